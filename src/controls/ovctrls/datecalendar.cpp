// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ovctrls/datecalendar.h"

namespace tavlo {

DateCalendar::DateCalendar(QWidget *parent) : QCalendarWidget(parent)
{
    // Week numbers and grid lines crowd the small sizes the forms give it.
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setGridVisible(false);
    setSelectedDate(QDate::currentDate());
    setAccessibleName(tr("Date"));
}

} // namespace tavlo
