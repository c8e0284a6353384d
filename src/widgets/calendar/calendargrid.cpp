// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/calendar/calendargrid.h"

#include <algorithm>
#include <array>

namespace tavlo {

namespace {

bool inRange(int year, int month)
{
    return year >= CalendarGrid::FirstYear && year <= CalendarGrid::LastYear && month >= 1 &&
           month <= 12;
}

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

} // namespace

int daysInMonth(int year, int month)
{
    static constexpr std::array<int, 12> days = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

QString calendarMonthName(const QLocale &locale, int month)
{
    if (month < 1 || month > 12)
        return {};
    const QString name = locale.standaloneMonthName(month, QLocale::LongFormat);
    // A locale without month names still gets a heading.
    return name.isEmpty() ? QLocale::c().standaloneMonthName(month, QLocale::LongFormat) : name;
}

QString weekdayCaption(int column)
{
    static constexpr std::array<const char *, CalendarGrid::ColumnCount> names = {
        "Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    if (column < 0 || column >= CalendarGrid::ColumnCount)
        return {};
    return QString::fromLatin1(names[column]);
}

CalendarGrid::CalendarGrid(int year, int month)
{
    if (year < FirstYear) {
        m_year = FirstYear;
        m_month = 1;
    } else if (year > LastYear) {
        m_year = LastYear;
        m_month = 12;
    } else {
        m_year = year;
        m_month = std::clamp(month, 1, 12);
    }
    fill();
}

bool CalendarGrid::setMonth(int year, int month)
{
    if (!inRange(year, month))
        return false;
    m_year = year;
    m_month = month;
    fill();
    return true;
}

bool CalendarGrid::previousMonth()
{
    return m_month == 1 ? setMonth(m_year - 1, 12) : setMonth(m_year, m_month - 1);
}

bool CalendarGrid::nextMonth()
{
    return m_month == 12 ? setMonth(m_year + 1, 1) : setMonth(m_year, m_month + 1);
}

void CalendarGrid::fill()
{
    // dayOfWeek counts Monday 1 ... Sunday 7, on the same Gregorian calendar as the leap rule.
    m_firstCell = QDate(m_year, m_month, 1).dayOfWeek() - 1;
    m_monthDays = daysInMonth(m_year, m_month);
}

int CalendarGrid::dayInCell(int cell) const
{
    const int day = cell - m_firstCell + 1;
    return cell >= 0 && cell < CellCount && day >= 1 && day <= m_monthDays ? day : 0;
}

QString CalendarGrid::caption(int cell) const
{
    const int day = dayInCell(cell);
    return day > 0 ? QString::number(day) : QString();
}

std::optional<int> CalendarGrid::todayCell(const QDate &today) const
{
    if (!today.isValid() || today.year() != m_year || today.month() != m_month)
        return std::nullopt;
    return today.day() + m_firstCell - 1;
}

QString CalendarGrid::yearText() const
{
    return QStringLiteral("%1").arg(m_year, 4, 10, QLatin1Char('0'));
}

QString CalendarGrid::monthYearCaption(const QLocale &locale) const
{
    return calendarMonthName(locale, m_month) + QLatin1Char(' ') + yearText();
}

CalendarGrid::TodayFollow CalendarGrid::followToday(const QDate &oldToday,
                                                    const QDate &newToday) const
{
    TodayFollow follow{false, m_year, m_month};
    if (!newToday.isValid() || oldToday == newToday)
        return follow;
    if (!oldToday.isValid()) {
        follow.refill = true;
        return follow;
    }
    const bool showedOld = oldToday.year() == m_year && oldToday.month() == m_month;
    if (showedOld && inRange(newToday.year(), newToday.month())) {
        follow.year = newToday.year();
        follow.month = newToday.month();
    }
    const bool showsNew = newToday.year() == follow.year && newToday.month() == follow.month;
    follow.refill = showedOld || showsNew;
    return follow;
}

QRect CalendarGrid::cellTwips(int cell)
{
    const int index = std::clamp(cell, 0, CellCount - 1);
    return QRect(45 + 435 * (index % ColumnCount), 750 + 360 * (index / ColumnCount), 420, 345);
}

QRect CalendarGrid::markerTwips(int cell)
{
    return cellTwips(cell).adjusted(-15, -15, 15, 15);
}

} // namespace tavlo
