// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/calendar/calendargrid.h"

#include <gtest/gtest.h>

#include <climits>

using namespace tavlo;

namespace {

struct Month
{
    int year, month;
};

std::string name(const CalendarGrid &grid)
{
    return QStringLiteral("%1-%2").arg(grid.year()).arg(grid.month()).toStdString();
}

} // namespace

TEST(CalendarGridTest, FillsDaysFromTheMondayColumnOfDayOne)
{
    // clang-format off
    // Sunday start (day 31 in the sixth row), Monday start (four rows), leap
    // years by 400, by 4, and two by 100 only, then the first and last months.
    const struct { Month shown; int firstCell, monthDays; } cases[] = {
        {{2015, 3}, 6, 31}, {{2010, 2}, 0, 28}, {{2000, 2}, 1, 29}, {{2024, 2}, 3, 29},
        {{1900, 2}, 3, 28}, {{2100, 2}, 0, 28}, {{100, 1}, 4, 31},  {{9999, 12}, 2, 31},
    };
    // clang-format on
    for (const auto &c : cases) {
        const CalendarGrid grid(c.shown.year, c.shown.month);
        SCOPED_TRACE(name(grid));
        EXPECT_EQ(grid.lngFIRSTCELL(), c.firstCell);
        EXPECT_EQ(grid.lngMONTHDAYS(), c.monthDays);
        for (int cell = -1; cell <= CalendarGrid::CellCount; ++cell) {
            const int day = cell - c.firstCell + 1;
            const bool inMonth =
                cell >= 0 && cell < CalendarGrid::CellCount && day >= 1 && day <= c.monthDays;
            EXPECT_EQ(grid.dayInCell(cell), inMonth ? day : 0) << "cell " << cell;
            EXPECT_EQ(grid.caption(cell), inMonth ? QString::number(day) : QString());
        }
    }
    // Every month of the range fits the six weeks and agrees with Qt's calendar.
    for (int year = CalendarGrid::FirstYear; year <= CalendarGrid::LastYear; ++year) {
        for (int month = 1; month <= 12; ++month) {
            const CalendarGrid grid(year, month);
            ASSERT_EQ(grid.lngMONTHDAYS(), QDate(year, month, 1).daysInMonth()) << name(grid);
            ASSERT_LE(grid.lngFIRSTCELL() + grid.lngMONTHDAYS(), CalendarGrid::CellCount);
        }
    }
}

TEST(CalendarGridTest, StepsMonthsAndStopsAtTheEndsOfTheRange)
{
    // clang-format off
    // Steps: '<' previous, '>' next.
    const struct { Month start; const char *steps; Month end; bool lastStepMoved; } cases[] = {
        {{2011, 1}, "<", {2010, 12}, true}, {{2010, 6}, ">>>>>>>", {2011, 1}, true},
        {{100, 2}, "<<", {100, 1}, false},  {{9999, 11}, ">>>", {9999, 12}, false},
    };
    // clang-format on
    for (const auto &c : cases) {
        CalendarGrid grid(c.start.year, c.start.month);
        SCOPED_TRACE(name(grid) + " " + c.steps);
        bool moved = false;
        for (const char *step = c.steps; *step; ++step)
            moved = *step == '<' ? grid.previousMonth() : grid.nextMonth();
        EXPECT_EQ(moved, c.lastStepMoved);
        EXPECT_EQ(grid.year(), c.end.year);
        EXPECT_EQ(grid.month(), c.end.month);
        const CalendarGrid fresh(c.end.year, c.end.month);
        EXPECT_EQ(grid.lngFIRSTCELL(), fresh.lngFIRSTCELL());
        EXPECT_EQ(grid.lngMONTHDAYS(), fresh.lngMONTHDAYS());
    }
}

TEST(CalendarGridTest, KeepsMonthsOutOfRangeOff)
{
    // clang-format off
    const struct { Month asked, shown; } cases[] = {
        {{99, 12}, {100, 1}}, {{10000, 1}, {9999, 12}}, {{2010, 0}, {2010, 1}},
        {{2010, 13}, {2010, 12}}, {{INT_MAX, INT_MIN}, {9999, 12}},
    };
    // clang-format on
    for (const auto &c : cases) {
        CalendarGrid grid(c.asked.year, c.asked.month);
        SCOPED_TRACE(name(grid));
        EXPECT_EQ(grid.year(), c.shown.year);
        EXPECT_EQ(grid.month(), c.shown.month);
        EXPECT_GE(grid.lngMONTHDAYS(), 28);

        CalendarGrid unchanged(2010, 6);
        EXPECT_FALSE(unchanged.setMonth(c.asked.year, c.asked.month));
        EXPECT_EQ(unchanged.year(), 2010);
        EXPECT_EQ(unchanged.month(), 6);
        EXPECT_EQ(unchanged.lngMONTHDAYS(), 30);
    }
}

TEST(CalendarGridTest, MarksTodayOnlyInItsOwnMonth)
{
    // clang-format off
    const struct { QDate today; std::optional<int> cell; } cases[] = {
        {QDate(2015, 3, 1), 6}, {QDate(2015, 3, 31), 36}, {QDate(2015, 4, 1), std::nullopt},
        {QDate(2014, 3, 15), std::nullopt}, {QDate(), std::nullopt},
    };
    // clang-format on
    const CalendarGrid grid(2015, 3);
    for (const auto &c : cases)
        EXPECT_EQ(grid.todayCell(c.today), c.cell) << c.today.toString(Qt::ISODate).toStdString();
}

TEST(CalendarGridTest, FollowsTodayWhenItShowedTodaysMonth)
{
    // clang-format off
    const struct { const char *what; Month shown; QDate oldToday, newToday; bool refill; Month after; } cases[] = {
        {"same day", {2010, 6}, QDate(2010, 6, 4), QDate(2010, 6, 4), false, {2010, 6}},
        {"midnight", {2010, 6}, QDate(2010, 6, 4), QDate(2010, 6, 5), true, {2010, 6}},
        {"midnight, other month", {2010, 8}, QDate(2010, 6, 4), QDate(2010, 6, 5), false, {2010, 8}},
        {"end of month", {2011, 1}, QDate(2011, 1, 31), QDate(2011, 2, 1), true, {2011, 2}},
        {"end of month, other month", {2011, 3}, QDate(2011, 1, 31), QDate(2011, 2, 1), false, {2011, 3}},
        {"end of year", {2010, 12}, QDate(2010, 12, 31), QDate(2011, 1, 1), true, {2011, 1}},
        {"clock set back", {2011, 3}, QDate(2011, 3, 10), QDate(2010, 11, 2), true, {2010, 11}},
        {"today unknown", {2010, 8}, QDate(), QDate(2010, 6, 5), true, {2010, 8}},
        {"no new today", {2010, 6}, QDate(2010, 6, 4), QDate(), false, {2010, 6}},
        {"past the range", {9999, 12}, QDate(9999, 12, 31), QDate(10000, 1, 1), true, {9999, 12}},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const CalendarGrid grid(c.shown.year, c.shown.month);
        const CalendarGrid::TodayFollow follow = grid.followToday(c.oldToday, c.newToday);
        EXPECT_EQ(follow.refill, c.refill);
        EXPECT_EQ(follow.year, c.after.year);
        EXPECT_EQ(follow.month, c.after.month);
    }
}

TEST(CalendarGridTest, CaptionsTheHeaderInTheLocale)
{
    // clang-format off
    const struct { QLocale locale; Month shown; const char *caption; } cases[] = { // UTF-8 captions
        {QLocale(QLocale::English, QLocale::UnitedStates), {2010, 9}, "September 2010"},
        {QLocale(QLocale::German, QLocale::Germany), {2015, 3}, "März 2015"},
        // The stand-alone form, not the genitive "marca" of a written date.
        {QLocale(QLocale::Polish, QLocale::Poland), {2015, 3}, "marzec 2015"},
        {QLocale(QLocale::English, QLocale::UnitedStates), {100, 1}, "January 0100"},
    };
    // clang-format on
    for (const auto &c : cases) {
        const CalendarGrid grid(c.shown.year, c.shown.month);
        EXPECT_EQ(grid.monthYearCaption(c.locale), QString::fromUtf8(c.caption));
    }
    EXPECT_TRUE(calendarMonthName(QLocale::c(), 13).isEmpty());
}

TEST(CalendarGridTest, PlacesCellsAndTheMarkerInTwips)
{
    // clang-format off
    const struct { int cell; QRect rect; } cases[] = {
        {0, {45, 750, 420, 345}}, {36, {480, 2550, 420, 345}},
        {-1, {45, 750, 420, 345}}, {99, {2655, 2550, 420, 345}},
    };
    // clang-format on
    for (const auto &c : cases)
        EXPECT_EQ(CalendarGrid::cellTwips(c.cell), c.rect) << "cell " << c.cell;
    EXPECT_EQ(CalendarGrid::markerTwips(36), QRect(465, 2535, 450, 375));
}
