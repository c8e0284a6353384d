// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/calendar/fapp_calndr.h"

#include "frame/controls.h"
#include "frame/windowops.h"
#include "platform/systemclock.h"
#include "widgets/calendar/filledbox.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>
#include <climits>
#include <cmath>

namespace tavlo {
namespace {

constexpr OleColor kBlack = 0x000000;
constexpr OleColor kWhite = 0xFFFFFF;

// Layout in twips.
constexpr int kClientWidth = 3285;
constexpr int kClientHeight = 3165;
constexpr int kWeekdayLefts[CalendarGrid::ColumnCount] = {60, 480, 915, 1350, 1785, 2220, 2640};
constexpr int kDayNumberSize = 9;

// One wheel notch.
constexpr qint64 kWheelStep = 120;
// Wheel turns kept at most; beyond that the range ends stop the month anyway.
constexpr qint64 kWheelBound = kWheelStep * 12 * (CalendarGrid::LastYear + 1);

// A contrast far out of range still gives a weight, the one its sign saturates to.
int32_t weight(double value)
{
    return int32_t(std::clamp(std::nearbyint(value), double(INT32_MIN), double(INT32_MAX)));
}

Label *makeLabel(const QString &name, QWidget *parent, const QRect &twips, const QString &face,
                 float size)
{
    auto *label = new Label(name, parent);
    label->setLeft(twips.left());
    label->setTop(twips.top());
    label->setWidth(twips.width());
    label->setHeight(twips.height());
    label->setTextAlign(Label::AlignCenter);
    label->setFontName(face);
    label->setFontSize(size);
    return label;
}

void place(TwipsBox *box, const QRect &twips)
{
    box->setLeft(twips.left());
    box->setTop(twips.top());
    box->setWidth(twips.width());
    box->setHeight(twips.height());
}

} // namespace

CalendarShades calendarShades(OleColor t, int32_t c)
{
    const double contrast = c;
    CalendarShades shades;
    shades.back = ColorBlend(kBlack, t, weight(2 * contrast - 130));
    shades.separator = ColorBlend(kWhite, t, weight(contrast + 30));
    shades.shadow = ColorBlend(kBlack, ColorBlend(kBlack, t, weight(2 * contrast - 100)), 50);
    shades.monthFrom = ColorBlend(kBlack, t, weight(contrast / 22));
    shades.monthTo = ColorBlend(kWhite, t, weight(contrast + 140));
    shades.headerBand = ColorBlend(kBlack, t, weight(contrast / 7));
    shades.weekdayBand = ColorBlend(kBlack, t, weight(contrast / 5));
    shades.today = ColorBlend(kBlack, t, weight(contrast - 50));
    shades.dateFrom = ColorBlend(kBlack, t, weight(contrast / 11));
    shades.dateTo = ColorBlend(kWhite, t, weight(contrast + 10));
    return shades;
}

fapp_CALNDR::fapp_CALNDR(QWidget *parent)
    : FixedFrame(QStringLiteral("fapp_CALNDR"), parent), m_grid(CalendarGrid::FirstYear, 1)
{
    const QString tahoma = QStringLiteral("Tahoma");
    setAccessibleKind(tr("calendar"));
    // The frame's strips and lines only carry the header and date settings.
    lblTIME->setFontName(tahoma);
    lblTIME->setFontSize(11.25f);
    lblTIME->setForeColor(kWhite);
    lblDATE->setFontName(tahoma);
    lblDATE->setFontSize(kDayNumberSize);
    lblDATE->setForeColor(kWhite);
    for (PictureBox *strip : {picTIME, picDATE})
        strip->setShown(false);
    for (LineControl *line : {lnesep, lneshad})
        line->setShown(false);

    pfrCALENDAR = new PictureBox(QStringLiteral("pfrCALENDAR"), this);
    place(pfrCALENDAR, QRect(90, 90, 3105, 2985));
    pfrMONTH = new PictureBox(QStringLiteral("pfrMONTH"), pfrCALENDAR);
    place(pfrMONTH, QRect(0, 0, 3105, 3030));

    // Made in drawing order: bands, marker, texts.
    shptop = new FilledBox(QStringLiteral("shptop"), pfrMONTH);
    place(shptop, QRect(0, 0, 3375, 420));
    shpbar = new FilledBox(QStringLiteral("shpbar"), pfrMONTH);
    place(shpbar, QRect(0, 405, 3375, 330));
    lblDATETODAY = new FilledBox(QStringLiteral("lblDATETODAY"), pfrMONTH);
    lblDATETODAY->setBackColor(0x0000C0);
    lblDATETODAY->setShown(false);

    imgbtnCALENDARMONTHBACK = makeLabel(QStringLiteral("imgbtnCALENDARMONTHBACK"), pfrMONTH,
                                        QRect(135, 60, 195, 270), tahoma, 11.25f);
    imgbtnCALENDARMONTHBACK->setCaption(QStringLiteral("<"));
    lablMONTHYEAR = makeLabel(QStringLiteral("lablMONTHYEAR"), pfrMONTH, QRect(525, 60, 2085, 300),
                              tahoma, 11.25f);
    imgbtnCALENDARMONTHNEXT = makeLabel(QStringLiteral("imgbtnCALENDARMONTHNEXT"), pfrMONTH,
                                        QRect(2790, 60, 195, 270), tahoma, 11.25f);
    imgbtnCALENDARMONTHNEXT->setCaption(QStringLiteral(">"));
    lablMONTHYEAR->setAccessibleName(tr("Month"));
    imgbtnCALENDARMONTHBACK->setAccessibleName(tr("Previous month"));
    imgbtnCALENDARMONTHNEXT->setAccessibleName(tr("Next month"));

    for (int column = 0; column < CalendarGrid::ColumnCount; ++column) {
        Label *day = makeLabel(QStringLiteral("lblDAY"), pfrMONTH,
                               QRect(kWeekdayLefts[column], 465, 420, 210), tahoma, 6.75f);
        day->setProperty("Index", column);
        day->setCaption(weekdayCaption(column));
        lblDAY << day;
    }
    for (int cell = 0; cell < CalendarGrid::CellCount; ++cell) {
        const QRect twips = CalendarGrid::cellTwips(cell);
        Label *number =
            makeLabel(QStringLiteral("lblDAYNO"), pfrMONTH, twips, tahoma, kDayNumberSize);
        number->setProperty("Index", cell);
        lblDAYNO << number;
        // Empty, and nothing writes it: each refill would make it just this again.
        Label *caption = makeLabel(QStringLiteral("labcapNO"), pfrMONTH,
                                   QRect(twips.left() + 330, twips.top() + 180, 75, 150),
                                   QStringLiteral("Verdana"), 6);
        caption->setProperty("Index", cell);
        caption->setFontBold(true);
        caption->setForeColor(kBlack);
        labcapNO << caption;
    }

    // The displayed month and year, kept above the panel's top edge, never seen.
    cboMONTH = new QComboBox(pfrMONTH);
    cboMONTH->setObjectName(QStringLiteral("cboMONTH"));
    udnYEAR = new QLineEdit(pfrMONTH);
    udnYEAR->setObjectName(QStringLiteral("udnYEAR"));
    for (QWidget *holder : {static_cast<QWidget *>(cboMONTH), static_cast<QWidget *>(udnYEAR)}) {
        holder->setGeometry(0, -40, 100, 20);
        holder->setFocusPolicy(Qt::NoFocus);
        holder->hide();
    }

    for (Label *label : {imgbtnCALENDARMONTHBACK, lablMONTHYEAR, imgbtnCALENDARMONTHNEXT})
        label->installEventFilter(this);

    setFormWidth(kClientWidth);
    setFormHeight(kClientHeight);
}

fapp_CALNDR::~fapp_CALNDR() = default;

void fapp_CALNDR::loadFirstTexts()
{
    const QDate today = systemClock().now().date();
    const QLocale locale;
    cboMONTH->clear();
    for (int month = 1; month <= 12; ++month)
        cboMONTH->addItem(calendarMonthName(locale, month));
    // A date outside the calendar's years shows the nearest month it has.
    m_grid = today.isValid() ? CalendarGrid(today.year(), today.month())
                             : CalendarGrid(CalendarGrid::FirstYear, 1);
    cboMONTH->setCurrentIndex(m_grid.month() - 1);
    udnYEAR->setText(m_grid.yearText());

    FrameGeometry();
    sync();
    for (PictureBox *panel : {pfrCALENDAR, pfrMONTH})
        panel->sync();
    for (FilledBox *box : {shptop, shpbar, lblDATETODAY})
        box->sync();
    for (const QList<Label *> &labels : {lblDAY, lblDAYNO, labcapNO}) {
        for (Label *label : labels)
            label->sync();
    }
    for (Label *label : {imgbtnCALENDARMONTHBACK, lablMONTHYEAR, imgbtnCALENDARMONTHNEXT})
        label->sync();
}

fapp_CALNDR::Look fapp_CALNDR::currentLook() const
{
    return Look{lngTHEMECOLOR(),      lngTRANSVALCONTRAST(), lblTIME->labelFont(),
                lblTIME->ForeColor(), lblDATE->labelFont(),  lblDATE->ForeColor()};
}

void fapp_CALNDR::ColorUpdate()
{
    // Run every half second: when nothing it reads has changed, the parts
    // already look as it would make them.
    const Look look = currentLook();
    if (!m_lookApplied || look != m_look) {
        m_look = look;
        m_lookApplied = true;
        const CalendarShades shades = calendarShades(look.theme, look.contrast);
        QList<Label *> header = {imgbtnCALENDARMONTHBACK, lablMONTHYEAR, imgbtnCALENDARMONTHNEXT};
        header += lblDAY;
        for (Label *label : header) {
            label->setForeColor(lblTIME->ForeColor());
            label->setFontName(lblTIME->FontName());
            label->sync();
        }
        applyBackColor(shades.back);
        lnesep->setBorderColor(shades.separator);
        lneshad->setBorderColor(shades.shadow);
        pfrMONTH->paintGradient(90, shades.monthFrom, shades.monthTo);
        shptop->setBackColor(shades.headerBand);
        shpbar->setBackColor(shades.weekdayBand);
        lblDATETODAY->setBackColor(shades.today);
        picDATE->paintGradient(90, shades.dateFrom, shades.dateTo);
        styleDates();
    }
    uint8_t alpha = lngTRANSVAL();
    SetTransparency(this, alpha);
    setLngTRANSVAL(alpha);
}

void fapp_CALNDR::styleDates()
{
    for (Label *number : lblDAYNO) {
        number->setForeColor(lblDATE->ForeColor());
        number->setFontName(lblDATE->FontName());
        number->sync();
    }
}

void fapp_CALNDR::updateparts()
{
    if (!isVisible())
        return;
    for (int cell = 0; cell < CalendarGrid::CellCount; ++cell) {
        Label *number = lblDAYNO[cell];
        number->setCaption(m_grid.caption(cell));
        number->setFontBold(false);
        number->setFontSize(kDayNumberSize);
    }
    lablMONTHYEAR->setCaption(cboMONTH->currentText() + QLatin1Char(' ') + udnYEAR->text());
    lablMONTHYEAR->sync();
    // Coloured now rather than at the next tick, so a new month never shows
    // its numbers in another colour first.
    styleDates();
    placeTodayMarker();
}

void fapp_CALNDR::placeTodayMarker()
{
    const QDate today = systemClock().now().date();
    m_markerDate = today;
    const std::optional<int> cell = m_grid.todayCell(today);
    lblDATETODAY->setShown(cell.has_value());
    if (cell)
        place(lblDATETODAY, CalendarGrid::markerTwips(*cell));
    lblDATETODAY->sync();
}

void fapp_CALNDR::refillFrozen()
{
    pfrCALENDAR->setUpdatesEnabled(false);
    updateparts();
    pfrCALENDAR->setUpdatesEnabled(true);
}

void fapp_CALNDR::showMonth(int year, int month)
{
    if (!m_grid.setMonth(year, month))
        return;
    cboMONTH->setCurrentIndex(m_grid.month() - 1);
    udnYEAR->setText(m_grid.yearText());
    refillFrozen();
}

void fapp_CALNDR::stepMonths(qint64 steps)
{
    const qint64 first = qint64(CalendarGrid::FirstYear) * 12;
    const qint64 last = qint64(CalendarGrid::LastYear) * 12 + 11;
    const qint64 shown = qint64(m_grid.year()) * 12 + m_grid.month() - 1;
    const qint64 target =
        std::clamp(shown + std::clamp(steps, first - last, last - first), first, last);
    if (target != shown)
        showMonth(int(target / 12), int(target % 12) + 1);
}

void fapp_CALNDR::showTodaysMonth()
{
    const QDate today = systemClock().now().date();
    if (today.isValid() && (today.year() != m_grid.year() || today.month() != m_grid.month()))
        showMonth(today.year(), today.month());
}

void fapp_CALNDR::followTheDate()
{
    if (!isVisible())
        return;
    const QDate today = systemClock().now().date();
    if (!today.isValid() || today == m_markerDate)
        return;
    const CalendarGrid::TodayFollow follow = m_grid.followToday(m_markerDate, today);
    m_markerDate = today;
    if (follow.refill)
        showMonth(follow.year, follow.month);
}

void fapp_CALNDR::tmrTimer1_Timer()
{
    followTheDate();
    ColorUpdate();
}

void fapp_CALNDR::imgbtnCALENDARMONTHBACK_Click()
{
    stepMonths(-1);
}

void fapp_CALNDR::imgbtnCALENDARMONTHNEXT_Click()
{
    stepMonths(1);
}

void fapp_CALNDR::lablMONTHYEAR_Click()
{
    refillFrozen();
}

bool fapp_CALNDR::eventFilter(QObject *watched, QEvent *event)
{
    const bool arrow = watched == imgbtnCALENDARMONTHBACK || watched == imgbtnCALENDARMONTHNEXT;
    if (!arrow && watched != lablMONTHYEAR)
        return FixedFrame::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (arrow) {
            // The arrows are buttons: a press on them neither drags nor opens the settings.
            m_arrowPressed = mouse->button() == Qt::LeftButton ? watched : nullptr;
            return true;
        }
        // The header drags and opens the settings like the rest; a press
        // released where it was is also a click.
        m_headerPressed = mouse->button() == Qt::LeftButton;
        m_headerPressGlobal = mouse->globalPosition().toPoint();
        return false;
    }
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const bool inside =
            mouse->button() == Qt::LeftButton &&
            static_cast<QWidget *>(watched)->rect().contains(mouse->position().toPoint());
        if (arrow) {
            const bool click = inside && m_arrowPressed == watched;
            m_arrowPressed = nullptr;
            if (click && watched == imgbtnCALENDARMONTHBACK)
                imgbtnCALENDARMONTHBACK_Click();
            else if (click)
                imgbtnCALENDARMONTHNEXT_Click();
            return true;
        }
        const bool click =
            inside && m_headerPressed &&
            (mouse->globalPosition().toPoint() - m_headerPressGlobal).manhattanLength() <
                QApplication::startDragDistance();
        m_headerPressed = false;
        if (click)
            lablMONTHYEAR_Click();
        return false;
    }
    default:
        return FixedFrame::eventFilter(watched, event);
    }
}

void fapp_CALNDR::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_PageUp:
        imgbtnCALENDARMONTHBACK_Click();
        break;
    case Qt::Key_Right:
    case Qt::Key_PageDown:
        imgbtnCALENDARMONTHNEXT_Click();
        break;
    case Qt::Key_Home:
        showTodaysMonth();
        break;
    default:
        FixedFrame::keyPressEvent(event);
        return;
    }
    event->accept();
}

void fapp_CALNDR::wheelEvent(QWheelEvent *event)
{
    if (!pfrCALENDAR->geometry().contains(event->position().toPoint())) {
        event->ignore();
        return;
    }
    m_wheelDelta = std::clamp(m_wheelDelta + event->angleDelta().y(), -kWheelBound, kWheelBound);
    const qint64 notches = m_wheelDelta / kWheelStep;
    m_wheelDelta -= notches * kWheelStep;
    // Turned away from the user (up) goes back in time, as in a list of months.
    if (notches != 0)
        stepMonths(-notches);
    event->accept();
}

void fapp_CALNDR::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The frame's double-click targets lie outside the calendar's client
    // area; the second press of a double click counts as a press.
    mousePressEvent(event);
}

void fapp_CALNDR::mouseMoveEvent(QMouseEvent *event)
{
    // Unlike the clock, moving the mouse lays nothing out: a refill here
    // would redraw the grid under the pointer.
    dragOnMove(event);
    event->accept();
}

} // namespace tavlo
