#include "CopyWorld.h"

#include "app/tray/TaskTray.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QUdpSocket>

namespace {

quint16 freePort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress(QStringLiteral("127.0.0.1")), 0);
    return probe.localPort();
}

QString utf8(const char* text)
{
    return QString::fromUtf8(text);
}

} // namespace

void CopyWorld::startWorld(const QByteArray& udpLine, int changeStampMinutes,
                           const std::function<void(CopyProcess&, CopyProcess&)>& prepare)
{
    port = freePort();
    share.writeBytes(QStringLiteral("vurna.ini"), udpLine + " PORT=" + QByteArray::number(port) +
                                                      "\r\nINTERVAL RELOADALLFILE=600\r\nINTERVAL RELOADLASTCOMMIT=" +
                                                      QByteArray::number(changeStampMinutes) +
                                                      "\r\nINTERVAL DENGONCHECK=600\r\n");
    for (const auto& [base, furigana, name] :
         {std::tuple{"yamada", "ﾔﾏﾀﾞ", "山田"}, std::tuple{"suzuki", "ｽｽﾞｷ", "鈴木"},
          std::tuple{"tanaka", "ﾀﾅｶ", "田中"}}) {
        addMember(QLatin1String(base), userFile(utf8(furigana), utf8(name), utf8("営業"), ""));
        share.writeBytes(QLatin1String(base) + QStringLiteral(".off"), {});
    }
    writeSettings(QStringLiteral("yamada"), utf8("山田"));
    address = "127.0.0.2";
    bindAddress = address;
    realDatagrams = true;
    ASSERT_TRUE(start());

    suzuki = std::make_unique<CopyProcess>(QStringLiteral(VURNA3_PATH), share.realPath(), QStringLiteral("suzuki"),
                                           utf8("鈴木"), "127.0.0.3");
    tanaka = std::make_unique<CopyProcess>(QStringLiteral(VURNA3_PATH), share.realPath(), QStringLiteral("tanaka"),
                                           utf8("田中"), "127.0.0.4");
    if (prepare)
        prepare(*suzuki, *tanaka);
    for (CopyProcess* copy : {suzuki.get(), tanaka.get()}) {
        copy->start();
        ASSERT_TRUE(copy->waitLog(QStringLiteral("start-up finished"))) << copy->log().toStdString();
        // Its files are written and it has announced itself before the next copy loads the board.
        ASSERT_TRUE(copy->waitLog(QStringLiteral("own entry marked running"))) << copy->log().toStdString();
    }
}

TVurnaDataRec CopyWorld::shown(const char* fileNamePart)
{
    TVurnaDataRec record;
    state().Model.FindMember(fileNamePart, record);
    return record;
}

void CopyWorld::clickTrayItem(const char* name)
{
    QMenu& menu = child<TaskTray>().Menu();
    menu.popup(QPoint(200, 200));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    QAction* item = action(QLatin1String(name));
    ASSERT_TRUE(item->isEnabled());
    QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(item).center());
}
