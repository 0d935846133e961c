#include "MainFixture.h"

#include "app/Pictures.h"
#include "board/ChangeNotice.h"
#include "platform/Cp932.h"
#include "platform/SharePath.h"

#include "board/ui/TVurnaGrid.h"

#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QSettings>
#include <QTest>
#include <QUrl>

namespace {

// End-to-end runs on a file server (tests/e2e/smb_share.py) name a folder of the mounted share in
// VURNA_E2E_SHARE_ROOT: the shared directory is made there, while the profile and session folders
// stay on local disk as on a member's PC. TestShare makes its folder in the temporary folder, so
// that is the share root for as long as it takes.
TestShare makeShare()
{
    const QByteArray root = qgetenv("VURNA_E2E_SHARE_ROOT");
    if (root.isEmpty())
        return TestShare();
    const QByteArray previous = qgetenv("TMPDIR");
    qputenv("TMPDIR", root);
    TestShare share;
    if (previous.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", previous);
    return share;
}

} // namespace

MainFixture::MainFixture() : share(makeShare()), clock(QDateTime(QDate(2024, 4, 1), QTime(9, 30)))
{
    Pictures::InitResources();
    m_previousConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(profile.path()));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, profile.path());
    // Where the settings are not a file in the profile (the registry), each test starts empty.
    nativeSettings().clear();
    SharePath::clearCache();
}

MainFixture::~MainFixture()
{
    window.reset();
    session.reset();
    if (m_previousConfig.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", m_previousConfig);
}

QByteArray MainFixture::userFile(const QString& furigana, const QString& name, const QString& group,
                                 const QByteArray& ip, const QString& locate, const QByteArray& date,
                                 const QByteArray& time, int defaultOnExit)
{
    const QList<QByteArray> values = {Cp932::fromUnicodeLossy(furigana),
                                      Cp932::fromUnicodeLossy(name),
                                      Cp932::fromUnicodeLossy(group),
                                      "",
                                      Cp932::fromUnicodeLossy(locate),
                                      date,
                                      time,
                                      "",
                                      ip,
                                      "0",
                                      QByteArray::number(defaultOnExit),
                                      ""};
    return userFileText(values);
}

void MainFixture::writeSettings(const QString& fileBase, const QString& name, bool autoSmall) const
{
    setSetting(QStringLiteral("ShareDir"), share.realPath());
    setSetting(QStringLiteral("FileName"), fileBase.isEmpty() ? QString() : share.realPath() + fileBase);
    setSetting(QStringLiteral("Name"), name);
    setSetting(QStringLiteral("AutoSmall"), autoSmall ? 1 : 0);
}

QSettings MainFixture::nativeSettings()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Quaxosoft"),
                     QStringLiteral("Vurna"));
}

void MainFixture::setSetting(const QString& key, const QVariant& value) const
{
    nativeSettings().setValue(key, value);
}

QVariant MainFixture::setting(const QString& key) const
{
    return nativeSettings().value(key);
}

bool MainFixture::start(bool trayAvailable)
{
    window.reset();
    session = std::make_unique<BoardSession>(SessionEnvironment{
        .clock = &clock,
        .boxes = otherBoxes ? otherBoxes : &boxes,
        .folders = &folders,
        .lookUpAddress = [this] { return address; },
        .bindAddress = bindAddress,
        .programFolder = programFolder,
        .programFile = programFile,
        .arguments = arguments,
        .starter = &starter,
        .updateWait = {},
    });
    window = std::make_unique<TfrmMain>(*session,
                                        MainWindowEnvironment{.instance = nullptr, .trayAvailable = trayAvailable});
    if (!realDatagrams) {
        session->Notice().SetSender([this](const QByteArray& datagram, const QByteArray& to, quint16 port) {
            sent.append({datagram, to, port});
            return 0;
        });
    }
    const bool created = window->FormCreate();
    settle();
    return created;
}

void MainFixture::settle() const
{
    // Results handed back may post further work (a start-up after the preferences' write).
    // Some pass through a zero timer first: a few rounds of events after the queue is empty.
    for (int round = 0, quiet = 0; session && round < 20 && quiet < 3; ++round) {
        session->Queue().Drain(10000);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        quiet = session->Queue().Pending() == 0 ? quiet + 1 : 0;
    }
}

QMap<QString, QByteArray> MainFixture::shareSnapshot() const
{
    settle();
    QMap<QString, QByteArray> files;
    const QDir dir(share.realPath());
    for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            files.insert(name.toLower(), file.readAll());
    }
    return files;
}

QByteArray MainFixture::readShareFile(const QString& name) const
{
    return shareSnapshot().value(name.toLower());
}

bool MainFixture::shareHas(const QString& name) const
{
    return shareSnapshot().contains(name.toLower());
}

namespace {

// The centre of the cell of the member named `name`; invalid when nobody of that name is shown.
QPoint cellOf(const TVurnaGrid& grid, const QString& name)
{
    for (int row = 0; row < grid.RowCount(); ++row) {
        for (int col = 0; col < grid.ColCount(); ++col) {
            if (Cp932::toUnicode(grid.Cells().At(col, row).Name) == name)
                return grid.CellRect(col, row).center();
        }
    }
    return {-1, -1};
}

} // namespace

void MainFixture::pick(const QString& name, bool add) const
{
    TVurnaGrid& grid = child<TVurnaGrid>("Keiziban");
    const QPoint at = cellOf(grid, name);
    ASSERT_GE(at.x(), 0) << name.toStdString();
    QTest::mouseClick(&grid, Qt::LeftButton, add ? Qt::ControlModifier : Qt::KeyboardModifiers(), at);
}

void MainFixture::dropOn(const QString& name, const QStringList& files, bool add) const
{
    TVurnaGrid& grid = child<TVurnaGrid>("Keiziban");
    const QPoint at = cellOf(grid, name);
    ASSERT_GE(at.x(), 0) << name.toStdString();
    QMimeData mime;
    QList<QUrl> urls;
    for (const QString& file : files)
        urls.append(QUrl::fromLocalFile(file));
    mime.setUrls(urls);
    QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton,
                    add ? Qt::ControlModifier : Qt::KeyboardModifiers());
    // A drop that no drag of this application started: handed to the widget as the drag
    // manager would.
    static_cast<QObject&>(grid).event(&drop);
}
