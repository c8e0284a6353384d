// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/fixedframe.h"
#include "widgets/calendar/calendargrid.h"

#include <QDate>
#include <QFont>
#include <QList>

class QComboBox;
class QLineEdit;

namespace tavlo {

class FilledBox;

// The calendar's shades of theme colour t at contrast c.
struct CalendarShades
{
    OleColor back = 0;      // window background and border
    OleColor separator = 0; // the frame's light line
    OleColor shadow = 0;    // the frame's shadow line
    OleColor monthFrom = 0; // the month panel's gradient, top to bottom
    OleColor monthTo = 0;
    OleColor headerBand = 0;  // behind the month and year
    OleColor weekdayBand = 0; // behind the weekday names
    OleColor today = 0;       // today's marker
    OleColor dateFrom = 0;    // the frame's date strip, top to bottom
    OleColor dateTo = 0;
    bool operator==(const CalendarShades &) const = default;
};

CalendarShades calendarShades(OleColor t, int32_t c);

// The month calendar: a header with the month and year between two arrows,
// the weekday names, six weeks of day numbers starting on Monday, and a
// marker on today. It shows the current month at every start.
class fapp_CALNDR final : public FixedFrame
{
    Q_OBJECT
public:
    explicit fapp_CALNDR(QWidget *parent = nullptr);
    ~fapp_CALNDR() override;

    // Colours and fonts of every part from the theme and the two text labels.
    void ColorUpdate() override;
    // Refills the grid with the displayed month and places today's marker.
    void updateparts() override;

    int lngFIRSTCELL() const { return m_grid.lngFIRSTCELL(); }
    int lngMONTHDAYS() const { return m_grid.lngMONTHDAYS(); }
    const CalendarGrid &grid() const { return m_grid; }

protected:
    void loadFirstTexts() override;
    void tmrTimer1_Timer() override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    // What ColorUpdate reads; while none of it changes, it has nothing to do.
    struct Look
    {
        OleColor theme = 0;
        int32_t contrast = 0;
        QFont timeFont;
        OleColor timeColour = 0;
        QFont dateFont;
        OleColor dateColour = 0;
        bool operator==(const Look &) const = default;
    };
    Look currentLook() const;

    void imgbtnCALENDARMONTHBACK_Click();
    void imgbtnCALENDARMONTHNEXT_Click();
    void lablMONTHYEAR_Click();

    // Moves the displayed month by steps (negative: back), stopping at the
    // ends of the range; nothing happens when it cannot move.
    void stepMonths(qint64 steps);
    void showTodaysMonth();
    void showMonth(int year, int month);
    // A refill drawn at once when it is done, never half-way.
    void refillFrozen();
    void placeTodayMarker();
    // The day numbers take the colour and font of the date label.
    void styleDates();
    // A new date (midnight, a clock change, a resume) moves the marker.
    void followTheDate();

    PictureBox *pfrCALENDAR = nullptr;
    PictureBox *pfrMONTH = nullptr;
    FilledBox *shptop = nullptr;
    FilledBox *shpbar = nullptr;
    FilledBox *lblDATETODAY = nullptr;
    Label *imgbtnCALENDARMONTHBACK = nullptr;
    Label *lablMONTHYEAR = nullptr;
    Label *imgbtnCALENDARMONTHNEXT = nullptr;
    QList<Label *> lblDAY;
    QList<Label *> lblDAYNO;
    QList<Label *> labcapNO;
    QComboBox *cboMONTH = nullptr;
    QLineEdit *udnYEAR = nullptr;

    CalendarGrid m_grid;
    // The date the marker was placed for.
    QDate m_markerDate;
    Look m_look;
    bool m_lookApplied = false;
    // A left press on an arrow, waiting for its release.
    QObject *m_arrowPressed = nullptr;
    // A left press on the header, where it was: a release near it is a click.
    bool m_headerPressed = false;
    QPoint m_headerPressGlobal;
    // Wheel turns not yet a whole month (touchpads send small steps).
    qint64 m_wheelDelta = 0;
};

} // namespace tavlo
