#include "SiteFixture.h"

#include "store/NextWorkDay.h"

namespace {

// A whole file (UTF-8 here, lines split at "\n", written as CP932 with CR LF), what the
// weekend text becomes, how many faults reach the log and the next working day asked for
// on Friday 2024-03-08.
struct WeekendCase
{
    const char* name;
    const char* file;
    const char* weekend;
    int logged;
    QByteArray nextFromFriday;
};

class WeekendTable : public SiteFixture, public ::testing::WithParamInterface<WeekendCase>
{
};

TEST_P(WeekendTable, TakesTheValueAsWritten)
{
    const WeekendCase& c = GetParam();
    QByteArray text;
    for (const QString& line : QString::fromUtf8(c.file).split(QLatin1Char('\n')))
        text += cp932(line) + "\r\n";
    ASSERT_TRUE(load(text)) << c.name;
    EXPECT_EQ(own().Weekend.toHex(' '), cp932(QString::fromUtf8(c.weekend)).toHex(' ')) << c.name;
    EXPECT_EQ(NextWorkDay(own(), QDate(2024, 3, 8)), c.nextFromFriday) << c.name;
    EXPECT_EQ(share.readBytes(QStringLiteral("vurna.log")).count("\r\n"), c.logged) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Table, WeekendTable,
    ::testing::Values(
        WeekendCase{"holiday mark beside the days", "WEEKEND=土日祝", "土日祝", 0, "2024/03/11"},
        WeekendCase{"ideographic comma", "WEEKEND=土、日", "土、日", 0, "2024/03/11"},
        WeekendCase{"quoted with a blank", "WEEKEND=\"土 日\"", "土 日", 0, "2024/03/11"},
        WeekendCase{"key in lower case", "weekend=日", "日", 0, "2024/03/09"},
        WeekendCase{"ASCII comma ends the value", "WEEKEND=土,日", "土", 0, "2024/03/10"},
        WeekendCase{"later line wins", "WEEKEND=日\nWEEKEND=土日", "土日", 0, "2024/03/11"},
        WeekendCase{"empty value clears", "WEEKEND=土日\nWEEKEND=", "", 0, "2024/03/09"},
        WeekendCase{"unclosed quote is empty", "WEEKEND=土日\nWEEKEND=\"土日", "", 0, "2024/03/09"},
        WeekendCase{"no WEEKEND= key: kept, logged", "WEEKEND=土日\nWEEKEND 日", "土日", 1, "2024/03/11"},
        WeekendCase{"no day named: kept, logged", "WEEKEND=土日\nWEEKEND=SAT,SUN", "土日", 1, "2024/03/11"},
        WeekendCase{"each bad line logged once", "WEEKEND=sat\nWEEKEND\nWEEKEND=日", "日", 2, "2024/03/09"}));

} // namespace
