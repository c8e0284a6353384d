// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QLocale>
#include <QRect>
#include <QString>

#include <optional>

namespace tavlo {

// One month of the calendar laid out as six weeks of seven days, weeks starting
// on Monday whatever the locale. Months run from January of year 100 to
// December of year 9999; the grid never leaves that range.
class CalendarGrid final
{
public:
    static constexpr int CellCount = 42;
    static constexpr int ColumnCount = 7;
    static constexpr int FirstYear = 100;
    static constexpr int LastYear = 9999;

    // Shows the given month (1-12); a month out of range is taken to the nearest
    // month in range (a year before 100 to January 100, after 9999 to December 9999).
    CalendarGrid(int year, int month);

    int year() const { return m_year; }
    // 1 for January ... 12 for December.
    int month() const { return m_month; }
    // Cell of day 1: its weekday column, Monday 0 ... Sunday 6.
    int lngFIRSTCELL() const { return m_firstCell; }
    // Days of the shown month, 28-31.
    int lngMONTHDAYS() const { return m_monthDays; }

    // Shows another month; false and nothing changed when it is out of range.
    bool setMonth(int year, int month);
    // Steps one month back or forward; false and nothing changed at the ends of the range.
    bool previousMonth();
    bool nextMonth();

    // Day number in a cell, 0 for an empty cell or an index outside the grid.
    int dayInCell(int cell) const;
    // Caption of a cell: its day number without leading zero, or empty.
    QString caption(int cell) const;
    // Cell that holds today's marker, or nothing when today is not in the shown month.
    std::optional<int> todayCell(const QDate &today) const;

    // The year as the header shows it, four digits.
    QString yearText() const;
    // Header caption: the locale's stand-alone month name, a space, the year.
    QString monthYearCaption(const QLocale &locale) const;

    // What a change of today's date does to the shown month.
    struct TodayFollow
    {
        // The grid must be refilled: the marker moves, appears or goes.
        bool refill = false;
        // The month to show from now on.
        int year = 0;
        int month = 0;
    };
    // When the date moves from oldToday to newToday (midnight, a clock change,
    // resume), a grid showing the old today's month follows to the new one;
    // one showing another month stays where the user left it. An unknown
    // oldToday only asks for a refill; an invalid newToday changes nothing.
    TodayFollow followToday(const QDate &oldToday, const QDate &newToday) const;

    // Place and size of a cell in twips, inside the month panel; an index
    // outside the grid is taken to the nearest cell.
    static QRect cellTwips(int cell);
    // Place and size of today's marker on a cell: one pixel (15 twips) round it.
    static QRect markerTwips(int cell);

private:
    void fill();

    int m_year = FirstYear;
    int m_month = 1;
    int m_firstCell = 0;
    int m_monthDays = 31;
};

// Days of a month (1-12) by the Gregorian leap rule; 0 for a month out of range.
int daysInMonth(int year, int month);
// The locale's stand-alone name of a month (1-12), as a heading shows it.
QString calendarMonthName(const QLocale &locale, int month);
// Fixed weekday heading of a column, "Mon" ... "Sun"; empty outside 0-6.
QString weekdayCaption(int column);

} // namespace tavlo
