#include "store/DateTimeText.h"
#include "support/TestShare.h"

#include <gtest/gtest.h>

using namespace DateTimeText;

namespace {

const QDate today(2026, 12, 8);

// What each reading makes of one text; an invalid QDate or QTime stands for "not one".
struct TextCase
{
    QByteArray text;
    QDate date;
    QTime time;
    bool dateTime;
    bool timeTable;
};
class DateTimeTable : public ::testing::TestWithParam<TextCase>
{
};

TEST_P(DateTimeTable, EveryReadingAgrees)
{
    const TextCase& c = GetParam();
    const std::optional<QDate> date = ParseDate(c.text, today);
    EXPECT_EQ(date.value_or(QDate()), c.date) << c.text.constData();
    EXPECT_EQ(ParseTime(c.text).value_or(QTime()), c.time) << c.text.constData();
    EXPECT_EQ(IsDateTimeText(c.text, today), c.dateTime) << c.text.constData();
    EXPECT_EQ(IsTimeText(c.text, today), c.timeTable) << c.text.constData();
    if (date) {
        EXPECT_EQ(ParseDate(FormatDate(*date), today), date) << c.text.constData();
    }
}

// １２ in full-width digits.
const QByteArray fullWidth12 = sjis({0x82, 0x50, 0x82, 0x51});

INSTANTIATE_TEST_SUITE_P(
    Table, DateTimeTable,
    ::testing::Values(
        TextCase{"2026/12/09", QDate(2026, 12, 9), {}, true, false},
        TextCase{"2027/1/5", QDate(2027, 1, 5), {}, true, false},
        TextCase{"2004/05/01", QDate(2004, 5, 1), {}, true, false},
        TextCase{" 2024/5/1\r\n", QDate(2024, 5, 1), {}, true, false},
        TextCase{"12/24", QDate(2026, 12, 24), {}, true, false},
        TextCase{"27/01/05", QDate(2027, 1, 5), {}, true, false},
        TextCase{"04/05/01", QDate(2004, 5, 1), {}, true, false}, TextCase{"4/5/1", QDate(2004, 5, 1), {}, true, false},
        TextCase{"76/1/1", QDate(2076, 1, 1), {}, true, false}, TextCase{"77/1/1", QDate(1977, 1, 1), {}, true, false},
        TextCase{"0004/1/2", QDate(4, 1, 2), {}, true, false},
        TextCase{"2024/2/29", QDate(2024, 2, 29), {}, true, false}, TextCase{"2023/2/29", {}, {}, false, false},
        TextCase{"2026/13/01", {}, {}, false, false}, TextCase{"0000/1/1", {}, {}, false, false},
        TextCase{"024/5/1", {}, {}, false, false}, TextCase{"2024/005/01", {}, {}, false, false},
        TextCase{"2024//1", {}, {}, false, false}, TextCase{"2024/ 5/1", {}, {}, false, false},
        TextCase{"-4/5/1", {}, {}, false, false}, TextCase{"2026-12-09", {}, {}, false, false},
        TextCase{"a/b/c", {}, {}, false, false}, TextCase{"", {}, {}, false, false},
        TextCase{"08:30", {}, QTime(8, 30), true, true}, TextCase{"8:30", {}, QTime(8, 30), true, true},
        TextCase{"17:15:00", {}, QTime(17, 15), true, true}, TextCase{"12:5", {}, QTime(12, 5), true, true},
        TextCase{"9:05 ", {}, QTime(9, 5), true, true}, TextCase{"24:00", {}, {}, false, false},
        TextCase{"12:60", {}, {}, false, false}, TextCase{"009:00", {}, {}, false, false},
        TextCase{"9:05:", {}, {}, false, false}, TextCase{fullWidth12 + ":00", {}, {}, false, false},
        TextCase{"noon", {}, {}, false, false}, TextCase{"2004/05/01 09:00", {}, {}, true, true},
        TextCase{"2004/5/1 \t 9:5", {}, {}, true, true}, TextCase{"5/1 9:00", {}, {}, true, true},
        TextCase{"9:00 2004/5/1", {}, {}, false, false}, TextCase{"2004/5/1 soon", {}, {}, false, false},
        TextCase{"2004/5/1 9:00 x", {}, {}, false, false}));

TEST(FormatDate, FourDigitYearAndTwoDigitMonthAndDay)
{
    EXPECT_EQ(FormatDate(QDate(2004, 5, 1)), "2004/05/01");
    EXPECT_EQ(FormatDate(QDate(4, 11, 30)), "0004/11/30");
    EXPECT_EQ(FormatDate(QDate()), "");
}

} // namespace
