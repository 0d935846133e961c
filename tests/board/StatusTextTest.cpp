#include "board/StatusText.h"
#include "support/TestShare.h"

#include <gtest/gtest.h>

namespace {

struct StatusCase
{
    const char* label;
    QString date;
    QByteArray time;
    qint32 statusIndex;
    bool running;
    QDateTime now;
    QString text;
    int code;
};

QDateTime at(int y, int m, int d, int h, int n, int s = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, n, s));
}

const QDateTime tuesdayTen = at(2026, 12, 8, 10, 0);

class DisplayStatus : public ::testing::TestWithParam<StatusCase>
{
};

TEST_P(DisplayStatus, CodeAndText)
{
    const StatusCase& c = GetParam();
    TVurnaDataRec r;
    r.Date = cp932(c.date);
    r.Time = c.time;
    r.StatusIndex = c.statusIndex;
    r.Running = c.running;
    r.Locate = "somewhere";
    QByteArray text;
    int code = -1;
    GetStatusText(r, c.now, text, code);
    EXPECT_EQ(code, c.code) << c.label;
    EXPECT_EQ(text.toHex(' '), cp932(c.text).toHex(' ')) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Table, DisplayStatus,
    ::testing::Values(
        StatusCase{"stopped", "", "", 0, false, tuesdayTen, "", 0},
        StatusCase{"running", "", "", 0, true, tuesdayTen, "", 1},
        StatusCase{"running ignores status index", "", "18:00", 3, true, tuesdayTen, "18:00", 1},
        StatusCase{"today, no time", "2026/12/08", "", 0, true, tuesdayTen, QStringLiteral("本日 "), 3},
        StatusCase{"today, no time, at 23:59:30", "2026/12/08", "", 0, true, at(2026, 12, 8, 23, 59, 30),
                   QStringLiteral("12/08火 "), 2},
        StatusCase{"today, no time, at 23:59:00", "2026/12/08", "", 0, true, at(2026, 12, 8, 23, 59, 0),
                   QStringLiteral("本日 "), 3},
        StatusCase{"today, later time, custom mark", "2026/12/08", "15:00", 2, true, tuesdayTen,
                   QStringLiteral("本日 15:00"), 7},
        StatusCase{"return moment equal to now", "2026/12/08", "10:00", 0, true, tuesdayTen,
                   QStringLiteral("本日 10:00"), 3},
        StatusCase{"return moment one minute ago", "2026/12/08", "09:59", 1, true, tuesdayTen,
                   QStringLiteral("12/08火 09:59"), 2},
        StatusCase{"tomorrow", "2026/12/09", "09:00", 0, false, tuesdayTen, QStringLiteral("明日 09:00"), 4},
        StatusCase{"tomorrow, first custom mark", "2026/12/09", "", 1, true, tuesdayTen, QStringLiteral("明日 "), 6},
        StatusCase{"day after tomorrow", "2026/12/10", "13:00", 0, true, tuesdayTen, QStringLiteral("明後日 13:00"), 4},
        StatusCase{"later", "2026/12/15", "13:00", 0, true, tuesdayTen, QStringLiteral("12/15火 13:00"), 4},
        StatusCase{"overdue since yesterday", "2026/12/07", "18:00", 0, true, tuesdayTen,
                   QStringLiteral("12/07月 18:00"), 2},
        StatusCase{"across the new year", "2027/01/01", "", 0, true, at(2026, 12, 31, 9, 0), QStringLiteral("明日 "),
                   4},
        StatusCase{"a time that is not a time counts as 23:59", "2026/12/08", "soon", 0, true, at(2026, 12, 8, 23, 58),
                   QStringLiteral("本日 soon"), 3},
        StatusCase{"not a date, custom mark 1", QStringLiteral("出張"), "", 1, true, tuesdayTen, QStringLiteral("出張"),
                   6},
        StatusCase{"not a date, with time", QStringLiteral("出張"), "17:00", 0, false, tuesdayTen,
                   QStringLiteral("出張17:00"), 4},
        StatusCase{"impossible date is not a date", "2026/02/30", "", 0, true, tuesdayTen, QStringLiteral("2026/02/30"),
                   4}));

} // namespace
