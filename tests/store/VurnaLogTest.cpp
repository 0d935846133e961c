#include "store/VurnaLog.h"
#include "store/StatusReport.h"
#include "store/StatusSink.h"
#include "support/TestShare.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

const QDateTime at(QDate(2004, 5, 1), QTime(13, 2, 9));

struct ColumnCase
{
    const char* name;
    QByteArray kind;
    QByteArray member;
    QByteArray kindColumn;   // 8 bytes
    QByteArray memberColumn; // 10 bytes
};
class LogColumnTable : public ::testing::TestWithParam<ColumnCase>
{
};

TEST_P(LogColumnTable, MessageStartsInColumn39)
{
    const ColumnCase& c = GetParam();
    const QByteArray line = VurnaLog::FormatLine(at, c.kind, c.member, "msg");
    EXPECT_EQ(line.left(18), "04/05/01 13:02:09 ") << c.name;
    EXPECT_EQ(line.mid(18, 8).toHex(' '), c.kindColumn.toHex(' ')) << c.name;
    EXPECT_EQ(line.at(26), ' ');
    EXPECT_EQ(line.mid(27, 10).toHex(' '), c.memberColumn.toHex(' ')) << c.name;
    EXPECT_EQ(line.mid(37), " msg") << c.name;
}

// 山田花子様: 8E 52 93 63 89 D4 8E 71 97 6C.
const QByteArray hanako = sjis({0x8E, 0x52, 0x93, 0x63, 0x89, 0xD4, 0x8E, 0x71});
const QByteArray sama = sjis({0x97, 0x6C});

INSTANTIATE_TEST_SUITE_P(Table, LogColumnTable,
                         ::testing::Values(ColumnCase{"short ascii", "Error", "Sato", "Error   ", "Sato      "},
                                           ColumnCase{"long ascii", "Information", "abcdefghijkl", "Informat",
                                                      "abcdefghij"},
                                           ColumnCase{"five double-byte characters", "Error", hanako + sama + sama,
                                                      "Error   ", hanako + sama},
                                           ColumnCase{"cut through a pair is padded", "Error", "A" + hanako + sama,
                                                      "Error   ", "A" + hanako + " "},
                                           ColumnCase{"empty name", "Error", "", "Error   ", "          "}));

TEST(VurnaLogFile, FirstEntryCreatesLaterEntriesAppend)
{
    TestShare share;
    VurnaLog::WriteLogEntry(share.dataSource() + VurnaLog::FileName, "Sato", "first", VurnaLog::KindError, at);
    VurnaLog::WriteLogEntry(share.dataSource() + "VURNA.LOG", "Sato", "second", VurnaLog::KindError, at.addSecs(61));
    EXPECT_EQ(share.readBytes(QStringLiteral("vurna.log")), "04/05/01 13:02:09 Error    Sato       first\r\n"
                                                            "04/05/01 13:03:10 Error    Sato       second\r\n");
    // The existing file was found, not a twin in other letters.
    EXPECT_EQ(QDir(share.realPath()).entryList(QDir::Files), QStringList{QStringLiteral("vurna.log")});
}

TEST(VurnaLogFile, UnreachableDirectoryDropsTheEntry)
{
    TestShare share;
    VurnaLog::WriteLogEntry(share.dataSource() + "NO/SUCH/DIR/vurna.log", "Sato", "lost", VurnaLog::KindError, at);
    EXPECT_FALSE(share.exists(QStringLiteral("NO")));
}

class RecordingSink final : public StatusSink
{
public:
    void setStatusText(const QString& t) override { text = t; }
    void setProgress(int) override {}
    QString text = QStringLiteral("untouched");
};

struct SeverityCase
{
    int severity;
    const char* shown; // UTF-8
};
class StatusReportTable : public ::testing::TestWithParam<SeverityCase>
{
};

TEST_P(StatusReportTable, PrefixBySeverity)
{
    RecordingSink sink;
    ReportStatus(sink, QStringLiteral("ＵＤＰメッセージの受信に失敗しました。"), GetParam().severity);
    EXPECT_EQ(sink.text, QString::fromUtf8(GetParam().shown));
}

INSTANTIATE_TEST_SUITE_P(Table, StatusReportTable,
                         ::testing::Values(SeverityCase{0, "ＵＤＰメッセージの受信に失敗しました。"},
                                           SeverityCase{1, "【警告】ＵＤＰメッセージの受信に失敗しました。"},
                                           SeverityCase{2, "【障害】ＵＤＰメッセージの受信に失敗しました。"},
                                           SeverityCase{3, "untouched"}, SeverityCase{-1, "untouched"}));

TEST(StatusReport, LaterInformationReplacesTheWholeText)
{
    RecordingSink sink;
    ReportStatus(sink, QStringLiteral("詳細表示画面の初期化に失敗しました。"), Severity::Fault);
    ReportStatus(sink, QStringLiteral("ok"), Severity::Information);
    EXPECT_EQ(sink.text, QStringLiteral("ok"));
}

} // namespace
