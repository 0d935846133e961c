#include "forms/CalendarMonth.h"
#include "forms/TVurnaCalendar.h"
#include "platform/Clock.h"
#include "support/TestShare.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using Cell = CalendarMonth::Cell;
using Marking = CalendarMonth::Marking;

// ---- layout ----

struct LayoutCase
{
    const char* label;
    int year, month, startOfWeek;
    Cell first;
    int days;
    Cell last;
    const char16_t* firstHeader;
};

class CalendarLayout : public ::testing::TestWithParam<LayoutCase>
{
};

TEST_P(CalendarLayout, PlacesTheMonthUnderItsWeekdays)
{
    const LayoutCase& c = GetParam();
    const CalendarMonth month(c.year, c.month, c.startOfWeek);
    EXPECT_EQ(month.DaysInMonth(), c.days) << c.label;
    EXPECT_EQ(month.CellText(0, 0), QString::fromUtf16(c.firstHeader)) << c.label;
    EXPECT_TRUE(month.CellOf(c.days) == c.last) << c.label;
    // The first and last day, and the cells just before and after them (in reading order).
    const int first = c.first.Col + 7 * c.first.Row;
    const int last = c.last.Col + 7 * c.last.Row;
    EXPECT_EQ(month.DayAt(first % 7, first / 7), 1) << c.label;
    EXPECT_EQ(month.DayAt((first - 1) % 7, (first - 1) / 7), 0) << c.label;
    EXPECT_EQ(month.DayAt(last % 7, last / 7), c.days) << c.label;
    EXPECT_EQ(month.DayAt((last + 1) % 7, (last + 1) / 7), 0) << c.label;
}

const LayoutCase kLayoutCases[] = {
    {"Saturday 1st, Sunday first", 2023, 7, 0, {6, 1}, 31, {1, 6}, u"日"},
    {"Friday 1st, 31 days", 2024, 3, 0, {5, 1}, 31, {0, 6}, u"日"},
    {"Sunday 1st, Sunday first", 2023, 1, 0, {0, 1}, 31, {2, 5}, u"日"},
    {"28 days filling four rows", 2015, 2, 0, {0, 1}, 28, {6, 4}, u"日"},
    {"leap year by 400", 2000, 2, 0, {2, 1}, 29, {2, 5}, u"日"},
    {"no leap year by 100", 1900, 2, 0, {4, 1}, 28, {3, 5}, u"日"},
    {"Monday 1st, Monday first", 2024, 1, 1, {0, 1}, 31, {2, 5}, u"月"},
    {"Sunday 1st, Monday first", 2023, 1, 1, {6, 1}, 31, {1, 6}, u"月"},
    {"Sunday 1st, Saturday first", 2023, 1, 6, {1, 1}, 31, {3, 5}, u"土"},
};
INSTANTIATE_TEST_SUITE_P(Months, CalendarLayout, ::testing::ValuesIn(kLayoutCases));

// ---- marks, seen from Wednesday 13 March 2024 (the 1st is a Friday) ----

const QDate kToday(2024, 3, 13);

CalendarMonth::Marks marks()
{
    CalendarMonth::Marks m;
    m.Weekend = cp932(u"土日"_qs);
    m.HoliDay = {"2024/03/20A", "2024/03/21X", "2024/03/20B", "2024/03/05" + cp932(u"過去"_qs),
                 "2024/03/25" + QByteArray(1200, 'x')};
    m.WorkDay = {"2024/03/20C", "2024/03/23" + cp932(u"休日出勤"_qs)};
    return m;
}

struct DayCase
{
    const char* label;
    int startOfWeek;
    int day; // 0: a header cell, -1: the empty first cell
    Marking marking;
    QString whatDay;
};

class CalendarDay : public ::testing::TestWithParam<DayCase>
{
};

TEST_P(CalendarDay, MarkingAndNotes)
{
    const DayCase& c = GetParam();
    const CalendarMonth month(2024, 3, c.startOfWeek);
    const Cell cell = c.day > 0 ? month.CellOf(c.day) : Cell{0, c.day == 0 ? 0 : 1};
    const Marking got = month.MarkingAt(cell.Col, cell.Row, marks(), kToday);
    EXPECT_EQ(got.Colour, c.marking.Colour) << c.label;
    EXPECT_EQ(got.Bold, c.marking.Bold) << c.label;
    EXPECT_EQ(month.WhatDayAt(cell.Col, cell.Row, marks()), c.whatDay) << c.label;
}

const QColor kRed = CalendarMonth::Red;
const DayCase kDayCases[] = {
    {"Sunday", 0, 17, {kRed, false}, {}},
    {"Thursday", 0, 14, {}, {}},
    {"Sunday in the last column", 1, 17, {kRed, false}, {}},
    {"Monday in the first column", 1, 18, {}, {}},
    {"Saturday before the last column", 1, 16, {kRed, false}, {}},
    {"weekday header", 0, 0, {}, {}},
    {"empty cell", 0, -1, {}, {}},
    {"holiday", 0, 21, {kRed, true}, u"X"_qs},
    {"two holidays and a workday", 0, 20, {CalendarMonth::Green, true}, u"A,B,C"_qs},
    {"workday on a Saturday", 0, 23, {CalendarMonth::Green, true}, u"休日出勤"_qs},
    {"long note", 0, 25, {kRed, true}, QString(999, u'x')},
    {"past holiday", 0, 5, {CalendarMonth::Silver, true}, u"過去"_qs},
    {"past Sunday", 0, 10, {CalendarMonth::Silver, false}, {}},
    {"today", 0, 13, {}, {}},
};
INSTANTIATE_TEST_SUITE_P(Days, CalendarDay, ::testing::ValuesIn(kDayCases));

// ---- the widget ----

class Calendar : public ::testing::Test
{
protected:
    Calendar()
    {
        calendar.resize(7 * 40 + 6, 7 * 24 + 6);
        calendar.SetWeekend(marks().Weekend);
        calendar.SetHoliDay(marks().HoliDay);
        calendar.SetWorkDay(marks().WorkDay);
    }
    QPoint centreOf(int day) const
    {
        const Cell cell = day ? calendar.Layout().CellOf(day) : Cell{0, 1};
        return calendar.CellRect(cell.Col, cell.Row).center();
    }

    FixedClock clock{QDateTime(kToday, QTime(10, 0))};
    TVurnaCalendar calendar{clock};
    QSignalSpy changes{&calendar, &TVurnaCalendar::OnChange};
    QSignalSpy clicks{&calendar, &TVurnaCalendar::OnClick};
};

struct ClickCase
{
    const char* label;
    bool readOnly;
    int clicked; // 0: an empty cell
    int day;
    int changes;
    int clicks; // a cell that cannot be selected is no pick
};

class CalendarClick : public Calendar, public ::testing::WithParamInterface<ClickCase>
{
};

TEST_P(CalendarClick, ChangesOnlyToAnotherDay)
{
    const ClickCase& c = GetParam();
    calendar.SetReadOnly(c.readOnly);
    QTest::mouseClick(&calendar, Qt::LeftButton, Qt::NoModifier, centreOf(c.clicked));
    EXPECT_EQ(calendar.Day(), c.day) << c.label;
    EXPECT_EQ(changes.count(), c.changes) << c.label;
    EXPECT_EQ(clicks.count(), c.clicks) << c.label;
    EXPECT_EQ(calendar.UseCurrentDate(), c.changes == 0) << c.label;
}

const ClickCase kClickCases[] = {
    {"selected day", false, 13, 13, 0, 1},
    {"another day", false, 20, 20, 1, 1},
    {"empty cell", false, 0, 13, 0, 0},
    {"read only", true, 20, 13, 0, 0},
};
INSTANTIATE_TEST_SUITE_P(Cells, CalendarClick, ::testing::ValuesIn(kClickCases));

struct SetCase
{
    const char* label;
    QDate from;
    void (TVurnaCalendar::*set)(int);
    int value;
    QDate to;
};

class CalendarSetter : public Calendar, public ::testing::WithParamInterface<SetCase>
{
};

TEST_P(CalendarSetter, IgnoresOutOfRangeAndClampsTheDay)
{
    const SetCase& c = GetParam();
    calendar.SetDate(c.from);
    (calendar.*c.set)(c.value);
    EXPECT_EQ(calendar.Date(), c.to) << c.label;
    const bool changed = c.to != c.from;
    EXPECT_EQ(changes.count(), changed ? 1 : 0) << c.label;
    EXPECT_EQ(calendar.UseCurrentDate(), !changed) << c.label;
    EXPECT_TRUE((Cell{calendar.Col(), calendar.Row()} == calendar.Layout().CellOf(c.to.day()))) << c.label;
}

const SetCase kSetCases[] = {
    {"month 13", {2024, 4, 10}, &TVurnaCalendar::SetMonth, 13, {2024, 4, 10}},
    {"day 0", {2024, 4, 10}, &TVurnaCalendar::SetDay, 0, {2024, 4, 10}},
    {"31 April", {2024, 4, 10}, &TVurnaCalendar::SetDay, 31, {2024, 4, 10}},
    {"same day", {2024, 4, 10}, &TVurnaCalendar::SetDay, 10, {2024, 4, 10}},
    {"another day", {2024, 4, 10}, &TVurnaCalendar::SetDay, 30, {2024, 4, 30}},
    {"31 January to February", {2024, 1, 31}, &TVurnaCalendar::SetMonth, 2, {2024, 2, 29}},
    {"29 February to 2023", {2024, 2, 29}, &TVurnaCalendar::SetYear, 2023, {2023, 2, 28}},
};
INSTANTIATE_TEST_SUITE_P(Values, CalendarSetter, ::testing::ValuesIn(kSetCases));

TEST_F(Calendar, ArrowKeyChoosesTheNextDayAndFollowsTheWeekStart)
{
    calendar.SetStartOfWeek(1);
    EXPECT_EQ(calendar.Col(), 2); // Wednesday, Monday first
    QTest::keyClick(&calendar, Qt::Key_Right);
    EXPECT_EQ(calendar.Day(), 14);
    EXPECT_EQ(calendar.Col(), 3);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(Calendar, MouseMoveSetsWhatDayBeforeTelling)
{
    QStringList seen;
    QObject::connect(&calendar, &TVurnaCalendar::OnMouseMove, [&] { seen << calendar.WhatDay(); });
    for (const QPoint at : {centreOf(20), calendar.CellRect(3, 0).center()}) {
        QMouseEvent move(QEvent::MouseMove, at, calendar.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&calendar, &move);
    }
    EXPECT_EQ(seen, (QStringList{u"A,B,C"_qs, QString()}));
}

TEST_F(Calendar, DrawsTheSelectedDayHighlightedAndWeekendDigitsRed)
{
    const QImage image = calendar.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const auto redPixels = [&](int day) {
        const Cell cell = calendar.Layout().CellOf(day);
        const QRect r = calendar.CellRect(cell.Col, cell.Row);
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x) {
                // Antialiased digits this small have no pixel of the full pen colour: count red tints on white.
                const QColor pixel = image.pixelColor(x, y);
                n += pixel.red() == 255 && pixel.green() == pixel.blue() && pixel.green() < 200;
            }
        }
        return n;
    };
    const Cell today = calendar.Layout().CellOf(13);
    EXPECT_EQ(image.pixelColor(calendar.CellRect(today.Col, today.Row).topLeft() + QPoint(2, 2)),
              calendar.palette().color(QPalette::Highlight));
    EXPECT_GT(redPixels(17), 5); // Sunday
    EXPECT_EQ(redPixels(14), 0); // Thursday
}

} // namespace
