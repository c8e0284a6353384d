// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCalendarWidget>

namespace tavlo {

// A month calendar for picking a date. The program only sets its font and height.
class DateCalendar final : public QCalendarWidget
{
    Q_OBJECT
public:
    explicit DateCalendar(QWidget *parent = nullptr);
};

} // namespace tavlo
