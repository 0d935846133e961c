// The help: the page each topic number opens, the site's own page in place of the built-in ones
// (anchors, size limit, encoding, links and pictures kept inside), and F1 through real windows,
// modal dialogs included. With VURNA_SCREENSHOT_DIR set the help window is also saved there as
// help-board.png and help-absence.png for a person to look at.

#include "MainFixture.h"

#include "app/help/HelpBook.h"
#include "app/help/HelpKey.h"
#include "app/help/HelpWindow.h"
#include "board/BoardModel.h"
#include "board/UserLoader.h"
#include "forms/HelpContext.h"
#include "forms/TfrmDefaultValue.h"
#include "forms/TfrmInfo.h"
#include "store/StatusSink.h"
#include "support/BoardFixtures.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTimer>
#include <QWindow>

namespace {

// Every link target (or picture source) of the page on show, as the page writes it.
QStringList References(const QTextBrowser& browser, bool pictures)
{
    QStringList found;
    for (QTextBlock block = browser.document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            if (pictures && format.isImageFormat())
                found.append(format.toImageFormat().name());
            else if (!pictures && format.isAnchor() && !format.anchorHref().isEmpty())
                found.append(format.anchorHref());
        }
    }
    return found;
}

// A picture as the document holds it: the bytes loaded, or the image it made of them once drawn.
QImage PictureOf(const QVariant& resource)
{
    if (resource.userType() == QMetaType::QImage)
        return resource.value<QImage>();
    if (resource.userType() == QMetaType::QPixmap)
        return resource.value<QPixmap>().toImage();
    return QImage::fromData(resource.toByteArray());
}

// Takes whatever reaches the desktop's opener, which the help must never call. A browser's own
// setSource slot takes the calls, so the spy needs no meta-object of its own.
class OpenerSpy final : public QTextBrowser
{
public:
    OpenerSpy()
    {
        for (const char* scheme : Schemes)
            QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "setSource");
    }
    ~OpenerSpy() override
    {
        for (const char* scheme : Schemes)
            QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
    }
    QList<QUrl> opened;

protected:
    void doSetSource(const QUrl& url, QTextDocument::ResourceType) override { opened.append(url); }

private:
    static constexpr const char* Schemes[] = {"http", "https", "file", "mailto"};
};

class Help : public ::testing::Test
{
protected:
    HelpWindow& show(int context)
    {
        window.ShowTopic(context);
        return window;
    }
    QString text() const { return window.Browser()->toPlainText(); }
    void site(const QByteArray& bytes) const { share.writeBytes(QStringLiteral("vurnaboard.html"), bytes); }

    TestShare share;
    HelpWindow window{HelpBook(share.dataSource())};
};

TEST_F(Help, EveryTopicOpensItsOwnPageAndAnyOtherNumberTheContents)
{
    const int cases[][2] = {{1, 1},   {2, 2},   {6, 6},   {7, 7}, {20, 20}, {30, 30}, {43, 43},
                            {45, 45}, {46, 46}, {47, 47}, {0, 1}, {3, 1},   {44, 1},  {-6, 1}};
    QSet<QString> titles;
    for (const auto& [context, topic] : cases) {
        SCOPED_TRACE(context);
        show(context);
        EXPECT_EQ(window.CurrentSource(), HelpBook::BuiltInUrl(topic));
        EXPECT_EQ(window.CurrentTopic(), topic);
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Vurnaboard - ヘルプ -"));
        titles.insert(window.Browser()->documentTitle());
    }
    EXPECT_EQ(titles.size(), HelpBook::Topics().size());
    EXPECT_TRUE(titles.contains(QStringLiteral("不在設定")));
}

TEST_F(Help, ContentsLinksEveryTopicAndNoPageLinksOrPicturesAnythingMissing)
{
    QSet<int> fromContents;
    for (const int topic : HelpBook::Topics()) {
        const QUrl page = show(topic).CurrentSource();
        for (const QString& href : References(*window.Browser(), false)) {
            SCOPED_TRACE(href.toStdString());
            const QUrl target = page.resolved(QUrl(href));
            EXPECT_NE(HelpBook::TopicOfUrl(target), 0);
            EXPECT_TRUE(!target.hasFragment() || HelpBook::HasAnchor(HelpBook::BuiltInText(target), target.fragment()));
            if (topic == HelpTopic::Contents)
                fromContents.insert(HelpBook::TopicOfUrl(target));
        }
        for (const QString& source : References(*window.Browser(), true)) {
            const QVariant picture =
                window.Browser()->document()->resource(QTextDocument::ImageResource, page.resolved(QUrl(source)));
            EXPECT_FALSE(PictureOf(picture).isNull()) << source.toStdString();
        }
    }
    for (const int topic : HelpBook::Topics())
        EXPECT_TRUE(topic == HelpTopic::Contents || fromContents.contains(topic)) << topic;
}

TEST_F(Help, ShiftJisSitePageWinsAndEachTopicOpensAtItsAnchorElseAtTheTop)
{
    QByteArray page = "<html><body><h1>" + cp932(QStringLiteral("ソフト表示の掲示板")) + "</h1>";
    for (int i = 0; i < 100; ++i)
        page += "<p>filler</p>";
    site(page + "<p><a name=\"ctx45\"></a>ABSENCE</p><h2 id=\"ctx47\">SEND</h2><p>end</p></body></html>");
    const struct
    {
        int context;
        const char* fragment;
        bool scrolled;
    } cases[] = {{45, "ctx45", true}, {6, "", false}, {47, "ctx47", true}, {1, "", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.context);
        show(c.context);
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Vurnaboard - ヘルプ（サイト） -"));
        EXPECT_TRUE(text().contains(QStringLiteral("ソフト表示の掲示板")));
        EXPECT_EQ(window.CurrentTopic(), c.context);
        EXPECT_EQ(window.CurrentSource().fragment(), QLatin1String(c.fragment));
        EXPECT_EQ(window.Browser()->verticalScrollBar()->value() > 0, c.scrolled);
    }
}

TEST_F(Help, OversizedSitePageGivesTheBuiltInPagesWithANoteUntilItIsFixed)
{
    site(QByteArray(int(HelpBook::SiteFileLimit) + 1, 'x'));
    show(HelpTopic::Absence);
    EXPECT_EQ(window.CurrentSource(), HelpBook::BuiltInUrl(HelpTopic::Absence));
    EXPECT_TRUE(text().contains(QStringLiteral("大きすぎる")));
    site("\xEF\xBB\xBF<html><body><p>" + QStringLiteral("小さくなりました").toUtf8() + "</p></body></html>");
    show(HelpTopic::Absence);
    EXPECT_TRUE(window.ShowsSiteHelp());
    EXPECT_TRUE(text().startsWith(QStringLiteral("小さくなりました")));
    ASSERT_TRUE(QFile::remove(share.realPath() + QStringLiteral("vurnaboard.html")));
    show(HelpTopic::Absence);
    EXPECT_EQ(window.CurrentSource(), HelpBook::BuiltInUrl(HelpTopic::Absence));
    EXPECT_FALSE(text().contains(QStringLiteral("大きすぎる")));
}

TEST_F(Help, LinksOutOfTheSitePageLeadNowhereAndOpenNothing)
{
    OpenerSpy opener;
    site("<html><body><p><a href=\"http://example.invalid/\">WEB</a> <a href=\"file:///etc/passwd\">FILE</a> "
         "<a href=\"other.html\">OTHER</a> <a href=\"mailto:a@example.invalid\">MAIL</a></p>"
         "<p><a href=\"#ctx7\">INPAGE</a> <a href=\"qrc:/help/board.html\">BUILTIN</a></p>"
         "<p><a name=\"ctx7\"></a>MEMO</p></body></html>");
    show(HelpTopic::Board);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QUrl start = window.CurrentSource();
    const auto click = [this](const char* link) {
        QTextCursor cursor = window.Browser()->document()->find(QLatin1String(link));
        cursor.setPosition(cursor.selectionStart() + 1);
        QTest::mouseClick(window.Browser()->viewport(), Qt::LeftButton, {},
                          window.Browser()->cursorRect(cursor).center());
        return window.CurrentSource();
    };
    for (const char* link : {"WEB", "FILE", "OTHER", "MAIL"})
        EXPECT_EQ(click(link), start) << link;
    // The two kinds that lead somewhere, so the clicks above did reach their links.
    EXPECT_EQ(click("INPAGE").fragment(), QStringLiteral("ctx7"));
    EXPECT_EQ(click("BUILTIN"), HelpBook::BuiltInUrl(HelpTopic::Board));
    EXPECT_TRUE(opener.opened.isEmpty());
    QDesktopServices::openUrl(QUrl(QStringLiteral("http://example.invalid/")));
    EXPECT_EQ(opener.opened.size(), 1); // the spy does see the opener
}

TEST_F(Help, PicturesOfTheSitePageAreNeverReadFromDisk)
{
    QImage secret(8, 8, QImage::Format_RGB32);
    secret.fill(Qt::red);
    const QString real = share.realPath() + QStringLiteral("secret.png");
    ASSERT_TRUE(secret.save(real));
    site("<html><body><img src=\"secret.png\"><img src=\"" + QUrl::fromLocalFile(real).toEncoded() +
         "\"></body></html>");
    show(HelpTopic::Board);
    for (const QUrl& url : {QUrl(QStringLiteral("secret.png")), QUrl::fromLocalFile(real), QUrl(real)}) {
        const QImage loaded = PictureOf(window.Browser()->document()->resource(QTextDocument::ImageResource, url));
        // Nothing, or at most the browser's own sign for a missing picture.
        EXPECT_FALSE(loaded.size() == secret.size() && loaded.pixelColor(0, 0) == QColor(Qt::red))
            << url.toString().toStdString();
    }
    EXPECT_FALSE(PictureOf(window.Browser()->document()->resource(QTextDocument::ImageResource,
                                                                  QUrl(QStringLiteral("qrc:/help/status1.png"))))
                     .isNull());
}

TEST_F(Help, PagesRenderWithTheirTitleBar)
{
    for (const auto& [topic, file] :
         {std::pair{HelpTopic::Board, "help-board.png"}, std::pair{HelpTopic::Absence, "help-absence.png"}}) {
        show(topic).resize(680, 560);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        const QImage image = window.grab().toImage();
        if (const QString dir = qEnvironmentVariable("VURNA_SCREENSHOT_DIR"); !dir.isEmpty()) {
            QDir().mkpath(dir);
            image.save(dir + QLatin1Char('/') + QLatin1String(file));
        }
        QWidget* page = window.Browser()->viewport();
        EXPECT_EQ(image.pixelColor(page->mapTo(&window, QPoint(page->width() / 2, 12))), QColor(0x1f, 0x3a, 0x7a))
            << file;
    }
}

// F1 as the application sees it: a filter on the application that records what it asked for.
class F1 : public ::testing::Test
{
protected:
    F1() { qApp->installEventFilter(&key); }
    ~F1() override { qApp->removeEventFilter(&key); }
    int press(QWidget* widget)
    {
        asked.clear();
        QTest::keyClick(widget, Qt::Key_F1);
        return asked.size() == 1 ? asked.first() : -1;
    }

    QList<int> asked;
    HelpKey key{[this](int context) { asked.append(context); }};
};

struct NoStatus final : StatusSink
{
    void setStatusText(const QString&) override {}
    void setProgress(int) override {}
};

TEST_F(F1, InTheDetailWindowTheFocusedControlsPanelOpensItsTopic)
{
    TestShare share;
    share.writeBytes(QStringLiteral("abe.vrn"), memberFile(QStringLiteral("ｱﾍﾞ"), QStringLiteral("阿部")));
    BoardModel model;
    model.SetDataSource(share.dataSource());
    model.Reload(AllMembers);
    TVurnaDataRec own;
    FixedClock clock{QDateTime(QDate(2024, 3, 31), QTime(10, 0))};
    ScriptedMessageBoxes boxes;
    NoStatus status;
    TfrmInfo form(InfoContext{.board = model,
                              .setHuzai = {},
                              .own = own,
                              .clock = clock,
                              .boxes = boxes,
                              .status = status,
                              .statusPictures = {},
                              .dropFiles = {},
                              .clearDropFiles = {},
                              .send = {},
                              .showMemoBoard = {},
                              .history = {}});
    ASSERT_TRUE(form.Prepare(ParmRec{}, {TVurnaDataRec{}, model.GetMember(1)}, false, TfrmInfo::Mode::HuzaiSet));
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    ASSERT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("edtMonth"));
    EXPECT_EQ(press(QApplication::focusWidget()), HelpTopic::Absence);

    const std::pair<const char*, int> cases[] = {{"memHuzai", 45},    {"calMonth", 45}, {"memSend", 47},
                                                 {"memReadRich", 46}, {"edtGroup", 43}, {"cmbName", 43},
                                                 {"sbtnHuzai", 45},   {"sbtnTrans", 47}};
    for (const auto& [control, context] : cases)
        EXPECT_EQ(press(form.findChild<QWidget*>(QLatin1String(control))), context) << control;
}

TEST_F(F1, InsideAModalDialogTheHelpOpensInAWindowThatTheDialogDoesNotBlock)
{
    QWidget owner;
    owner.show();
    FixedClock clock{QDateTime(QDate(2024, 4, 1), QTime(9, 0))};
    ScriptedMessageBoxes boxes;
    TfrmDefaultValue dialog(ParmRec{}, {}, clock, boxes, TVurnaDefaultValue{}, &owner);
    HelpWindow* help = nullptr;
    QList<int> contexts;
    QWindow* unblockedBy = nullptr;
    QTimer::singleShot(0, &dialog, [&] {
        for (const char* control : {"cmbReturnTime", "memoLocate", "btnOK"}) {
            contexts.append(press(dialog.findChild<QWidget*>(QLatin1String(control))));
            help = HelpWindow::Open(HelpBook(), contexts.last(), &owner);
        }
        unblockedBy = help->windowHandle()->transientParent();
        dialog.reject();
    });
    dialog.exec();
    EXPECT_EQ(contexts, QList<int>({20, 20, 20}));
    EXPECT_EQ(help->parentWidget(), &dialog);
    EXPECT_EQ(unblockedBy, dialog.windowHandle());
    EXPECT_EQ(dialog.findChildren<HelpWindow*>().size(), 1);
    // With no dialog open, the owner's own help window, made once and reused.
    HelpWindow* boardHelp = HelpWindow::Open(HelpBook(), HelpTopic::Board, &owner);
    EXPECT_EQ(boardHelp->parentWidget(), &owner);
    EXPECT_EQ(HelpWindow::Open(HelpBook(), HelpTopic::Absence, &owner), boardHelp);
    EXPECT_EQ(boardHelp->CurrentTopic(), HelpTopic::Absence);
}

class F1InBoardWindow : public MainFixture
{
};

TEST_F(F1InBoardWindow, PagesMenusAndTheRestOfTheWindowOpenTheirTopics)
{
    addMember(QStringLiteral("yamada"),
              userFile(QStringLiteral("ﾔﾏﾀﾞ"), QStringLiteral("山田"), QStringLiteral("営業"), "192.168.10.20"));
    writeSettings(QStringLiteral("yamada"), QStringLiteral("山田"), false);
    ASSERT_TRUE(start());
    window->show();
    // The window's own F1 and its one help window.
    const auto shown = [&] {
        auto* help = window->findChild<HelpWindow*>();
        return help && help->isVisible() ? help->CurrentTopic() : -1;
    };
    const auto press = [&](QWidget* widget) {
        if (auto* help = window->findChild<HelpWindow*>())
            help->hide();
        QTest::keyClick(widget, Qt::Key_F1);
        return shown();
    };
    action(QStringLiteral("mnuHelp"))->trigger();
    EXPECT_EQ(shown(), 6) << "Vurnaヘルプ opens the board's topic";
    const std::pair<const char*, int> controls[] = {{"Keiziban", 6}, {"stsMain", 6}, {"rchDengonOwner", 7}};
    for (const auto& [control, context] : controls)
        EXPECT_EQ(press(window->findChild<QWidget*>(QLatin1String(control))), context) << control;
    // In an open menu: the highlighted command's topic, else the menus'; the menu closes.
    const std::pair<const char*, int> commands[] = {{"mnuHelp", 1}, {"mnuPreference", 20}, {"mnuQuit", 2}};
    for (const auto& [command, context] : commands) {
        QMenu* menu = nullptr;
        for (QObject* holder : action(QLatin1String(command))->associatedObjects())
            menu = menu ? menu : qobject_cast<QMenu*>(holder);
        menu->popup(QPoint(10, 10));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
        menu->setActiveAction(action(QLatin1String(command)));
        EXPECT_EQ(press(menu), context) << command;
        EXPECT_FALSE(menu->isVisible());
    }
}

} // namespace
