#include "platform/Cp932.h"
#include "platform/MessageBoxes.h"
#include "store/StatusSink.h"
#include "store/TVurnaDataRec.h"
#include "store/ui/MemoBoardView.h"
#include "store/ui/TQuaxoRichEdit.h"
#include "support/TestShare.h"

#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QDir>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <gtest/gtest.h>

namespace {

class RecordingStatus final : public StatusSink
{
public:
    void setStatusText(const QString& text) override { events.append(QStringLiteral("text:") + text); }
    void setProgress(int percent) override { events.append(QStringLiteral("progress:") + QString::number(percent)); }
    QStringList events;
};

MemoFiles::Policy quickPolicy()
{
    MemoFiles::Policy policy;
    policy.files.delayMs = 1;
    policy.lock.maxWaitMs = 2000;
    return policy;
}

const QColor cyan(0, 255, 255);
const QColor white(255, 255, 255);
const QColor yellow(255, 255, 0);
const QColor lightBlue(32, 160, 255);
const QColor grey(128, 128, 128);
const QColor black(0, 0, 0);

// The colour drawn most often inside line `index` of the rendered view, background left out;
// black when the line has no visible text.
QColor dominantColour(TQuaxoRichEdit& view, const QImage& image, int index)
{
    const QTextBlock block = view.document()->findBlockByNumber(index);
    QRectF rect = view.document()->documentLayout()->blockBoundingRect(block);
    rect.translate(view.viewport()->geometry().topLeft());
    rect.translate(0, -view.verticalScrollBar()->value());
    QHash<QRgb, int> counts;
    // The inner part only: glyphs of a taller neighbour may reach a pixel or two into it.
    const QRect area = rect.toAlignedRect().adjusted(0, 3, 0, -3).intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb px = image.pixel(x, y) & 0xFFFFFF;
            if (px != 0)
                ++counts[px];
        }
    }
    QRgb best = 0;
    int bestCount = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > bestCount) {
            best = it.key();
            bestCount = it.value();
        }
    }
    return QColor::fromRgb(best);
}

// A member's board on disk: one unread memo whose body has a line that begins with "○",
// and one read memo.
struct BoardFixture
{
    TestShare share;
    TVurnaDataRec member;
    BoardFixture()
    {
        member.FileName = share.dataSource() + "YAMADA";
        share.writeBytes(QStringLiteral("YAMADA.mil"),
                         cp932(QStringLiteral("○佐藤より(伝言)     送信日時: 2024年 4月1日(月) 9時5分\r\n\r\n"
                                              "会議は3時からです。\r\n○印の資料を持参\r\n\r\n\r\n")));
        share.writeBytes(QStringLiteral("YAMADA.old"),
                         cp932(QStringLiteral("○鈴木より(伝言)     送信日時: 2024年 3月29日(金) 17時0分\r\n\r\n"
                                              "お先に失礼します。\r\n\r\n\r\n")));
    }
};

struct LineColour
{
    int line;
    QColor colour;
};

// Lines of the view filled from BoardFixture: the unread memo (0-5), the marker (6-8) when
// shown, then the read memo.
// clang-format off
const QList<LineColour> withMarker = {
    {0, cyan}, {1, black}, {2, white}, {3, cyan}, {4, black}, {5, black}, // unread memo
    {6, yellow}, {7, black}, {8, black},                                  // marker
    {9, lightBlue}, {10, black}, {11, grey}, {12, black}, {13, black},    // read memo
};
// clang-format on

TEST(MemoView, AnotherMembersBoardInItsColours)
{
    BoardFixture f;
    TQuaxoRichEdit view;
    view.resize(620, 900);
    RecordingStatus status;
    EXPECT_TRUE(MemoBoardView::ShowBoard(view, MemoFiles::ReadBoard(f.member.FileName, quickPolicy()), false, status));
    ASSERT_EQ(view.lines().size(), 14);
    EXPECT_EQ(view.lines().at(6), QStringLiteral("                ◆◆ 以上が未読伝言です。 ◆◆"));
    EXPECT_EQ(view.lines().at(3), QStringLiteral("○印の資料を持参"));
    const QImage image = view.grab().toImage();
    for (const LineColour& expected : withMarker)
        EXPECT_EQ(dominantColour(view, image, expected.line), expected.colour) << "line " << expected.line;
    // Headers are drawn larger than body lines.
    const auto height = [&](int line) {
        return view.document()->documentLayout()->blockBoundingRect(view.document()->findBlockByNumber(line)).height();
    };
    EXPECT_GT(height(0), height(2));
    EXPECT_GT(height(9), height(11));
    // Reading a board changes nothing on disk.
    EXPECT_TRUE(f.share.exists(QStringLiteral("YAMADA.mil")));
}

TEST(MemoView, StatusTextsAndProgressPerPhase)
{
    BoardFixture f;
    f.share.writeBytes(QStringLiteral("YAMADA.mil"), "A\r\n\r\n\r\n");
    f.share.writeBytes(QStringLiteral("YAMADA.old"), "B\r\n");
    TQuaxoRichEdit view;
    RecordingStatus status;
    MemoBoardView::ShowBoard(view, MemoFiles::ReadBoard(f.member.FileName, quickPolicy()), false, status);
    const QStringList expected = {
        QStringLiteral("text:新着伝言の展開中です"), "progress:0", "progress:33",           "progress:66",
        QStringLiteral("text:新着伝言の展開中です"), "progress:0", "progress:33",           "progress:66",
        QStringLiteral("text:既読伝言の展開中です"), "progress:0", QStringLiteral("text:"), "progress:0"};
    EXPECT_EQ(status.events, expected);
}

TEST(MemoView, WithoutUnreadMemosThereIsNoMarker)
{
    BoardFixture f;
    QFile::remove(f.share.realPath() + QStringLiteral("YAMADA.mil"));
    TQuaxoRichEdit view;
    view.resize(620, 600);
    RecordingStatus status;
    EXPECT_FALSE(MemoBoardView::ShowBoard(view, MemoFiles::ReadBoard(f.member.FileName, quickPolicy()), false, status));
    ASSERT_EQ(view.lines().size(), 5);
    const QImage image = view.grab().toImage();
    EXPECT_EQ(dominantColour(view, image, 0), lightBlue);
    EXPECT_EQ(dominantColour(view, image, 2), grey);
}

TEST(MemoView, ReceivedTextIsNeverMarkup)
{
    TestShare share;
    share.writeBytes(QStringLiteral("YAMADA.mil"), "<b>bold</b> <img src=x> &amp;\r\n\r\n\r\n");
    TVurnaDataRec member;
    member.FileName = share.dataSource() + "YAMADA";
    TQuaxoRichEdit view;
    RecordingStatus status;
    MemoBoardView::ShowBoard(view, MemoFiles::ReadBoard(member.FileName, quickPolicy()), true, status);
    EXPECT_EQ(view.lines().first(), QStringLiteral("<b>bold</b> <img src=x> &amp;"));
}

TEST(MemoView, TheOwnBoardTakenInShowsWithoutMarkerAndSavesAsTheFileHoldsIt)
{
    BoardFixture f;
    const QByteArray unread = f.share.readBytes(QStringLiteral("YAMADA.mil"));
    const QByteArray read = f.share.readBytes(QStringLiteral("YAMADA.old"));
    TQuaxoRichEdit view;
    RecordingStatus status;
    const MemoFiles::TakeIn taken = MemoFiles::TakeInOwnMemos(f.member.FileName, quickPolicy());
    EXPECT_TRUE(MemoBoardView::ShowBoard(view, taken.board, true, status));
    EXPECT_EQ(view.lines().size(), 11);
    EXPECT_FALSE(view.isModified()); // programmatic lines are no user edit
    EXPECT_EQ(f.share.readBytes(QStringLiteral("YAMADA.old")), unread + read);
    EXPECT_EQ(MemoBoardView::BoardText(view), unread + read);

    view.setFocus();
    view.moveCursor(QTextCursor::End);
    QTest::keyClicks(&view, "abc");
    EXPECT_TRUE(view.isModified());
    EXPECT_EQ(MemoBoardView::BoardText(view), unread + read + "abc\r\n");
}

struct EraseCase
{
    const char* name;
    int answer;
    bool erased;
};

class EraseOwnBoard : public ::testing::TestWithParam<EraseCase>
{
};

TEST_P(EraseOwnBoard, AsksFirst)
{
    const EraseCase& c = GetParam();
    TQuaxoRichEdit view;
    view.addLine(QStringLiteral("shown"));
    view.setModified(true);
    ScriptedMessageBoxes boxes;
    boxes.setNextAnswer(c.answer);

    EXPECT_EQ(MemoBoardView::ConfirmErase(view, boxes), c.erased);
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown().first().text, QStringLiteral("伝言板を消去します。回復はできません。"));
    EXPECT_EQ(boxes.shown().first().flags, 49);
    EXPECT_EQ(boxes.shown().first().caption, QStringLiteral("Vurnaboard"));
    EXPECT_EQ(view.lines(), c.erased ? QStringList() : QStringList{"shown"});
    EXPECT_EQ(view.isModified(), !c.erased);
}

INSTANTIATE_TEST_SUITE_P(MemoView, EraseOwnBoard,
                         ::testing::Values(EraseCase{"Cancel", Mb::IdCancel, false}, EraseCase{"Ok", Mb::IdOk, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MemoView, InsertLinePutsALineBeforeTheGivenIndex)
{
    TQuaxoRichEdit view;
    view.resize(400, 300);
    view.setLineColour(white);
    view.addLine(QStringLiteral("一■■■■"));
    view.addLine(QStringLiteral("三■■■■"));
    view.setLineColour(yellow);
    view.setLineSize(12);
    view.insertLine(1, QStringLiteral("二■■■■"));
    view.insertLine(9, QStringLiteral("四"));
    EXPECT_EQ(view.lines(), (QStringList{QStringLiteral("一■■■■"), QStringLiteral("二■■■■"), QStringLiteral("三■■■■"),
                                         QStringLiteral("四")}));
    const QImage image = view.grab().toImage();
    EXPECT_EQ(dominantColour(view, image, 0), white);
    EXPECT_EQ(dominantColour(view, image, 1), yellow);
    EXPECT_EQ(dominantColour(view, image, 2), white);
}

TEST(MemoView, PastedTextArrivesPlainAndWithoutCharactersTheFilesCannotHold)
{
    TQuaxoRichEdit view;
    QSignalSpy refused(&view, &TQuaxoRichEdit::charactersRefused);
    auto* mime = new QMimeData;
    mime->setHtml(QStringLiteral("<b>x</b>"));
    mime->setText(QStringLiteral("平成😀〜ok"));
    QGuiApplication::clipboard()->setMimeData(mime);
    view.paste();
    EXPECT_EQ(view.lines(), QStringList{QStringLiteral("平成〜ok")});
    ASSERT_EQ(refused.count(), 1);
    EXPECT_EQ(refused.first().first().toString(), QStringLiteral("😀"));
}

TEST(MemoView, MemoFontIsBoldFixedPitchJapanese)
{
    // Qt's headless platform on Windows reads fonts from its own folder only, which has none.
    if (QFontDatabase::families(QFontDatabase::Japanese).isEmpty())
        GTEST_SKIP() << "no Japanese font known to this platform";
    const QFont font = TQuaxoRichEdit::memoFont(12);
    EXPECT_TRUE(font.bold());
    EXPECT_EQ(font.pointSize(), 12);
    const QFontMetrics metrics(font);
    EXPECT_TRUE(metrics.inFont(QChar(0x4F1D))); // 伝
    // Half-width characters share one advance; full-width ones take two of them.
    EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("i")), metrics.horizontalAdvance(QStringLiteral("W")));
    EXPECT_EQ(metrics.horizontalAdvance(QStringLiteral("伝")), 2 * metrics.horizontalAdvance(QStringLiteral("W")));
}

// Writes the picture that reviewers look at when VURNA_SCREENSHOT_DIR is set.
TEST(MemoView, Screenshot)
{
    const QString dir = QString::fromLocal8Bit(qgetenv("VURNA_SCREENSHOT_DIR"));
    if (dir.isEmpty())
        GTEST_SKIP() << "set VURNA_SCREENSHOT_DIR to write memo-view.png";
    BoardFixture f;
    f.share.writeBytes(QStringLiteral("YAMADA.mil"),
                       cp932(QStringLiteral("○田中より(伝言)     送信日時: 2024年 4月2日(火) 10時15分\r\n\r\n"
                                            "お客様から電話がありました。\r\n折り返しお願いします。\r\n\r\n\r\n")) +
                           f.share.readBytes(QStringLiteral("YAMADA.mil")));
    TQuaxoRichEdit view;
    view.resize(620, 560);
    RecordingStatus status;
    MemoBoardView::ShowBoard(view, MemoFiles::ReadBoard(f.member.FileName, quickPolicy()), false, status);
    QDir().mkpath(dir);
    ASSERT_TRUE(view.grab().save(dir + QStringLiteral("/memo-view.png")));
}

} // namespace
