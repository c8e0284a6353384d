// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/stopwatch/fapp_swatch.h"

#include "core/twips.h"
#include "frame/labelbutton.h"
#include "widgets/stopwatch/readingtext.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QTimer>
#include <algorithm>

namespace tavlo {
namespace {

// Design geometry in twips.
constexpr int kStripHeight = 360;
// Wide enough for the two buttons with a margin on either side.
constexpr int kMainWidth = 4500;
constexpr int kMainHeight = 2700;
constexpr int kReadingRaise = 500;

// Copies the whole face (name, size, weight, slant) of one label to another.
void copyFace(const Label *from, Label *to)
{
    const QFont face = from->labelFont();
    to->setFontName(face.family());
    to->setFontSize(float(face.pointSizeF()));
    to->setFontBold(face.bold());
    to->setFontItalic(face.italic());
}

} // namespace

fapp_SWATCH::fapp_SWATCH(QWidget *parent) : ResizableFrame(QStringLiteral("fapp_SWATCH"), parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setDesignSize(kStripHeight, kMainWidth, kMainHeight);
    setCountingDesignText(*lblTIME, *lblDATE, true);

    btnSTART = makeButton("btnSTART", QStringLiteral("Start"), picDATE);
    btnSTOP = makeButton("btnSTOP", QStringLiteral("Reset"), picDATE);

    lblSIZE = new Label(QStringLiteral("lblSIZE"), picDATE);
    lblSIZE->setCaption(QStringLiteral("00:00:00"));
    lblSIZE->setShown(false);
    lblSIZE->hide();
    m_reading = new ReadingText(QStringLiteral("elapsedText"), picDATE);
    m_reading->setAccessibleName(tr("Elapsed time"));
    m_reading->setBackdrop(picDATE);
    setAccessibleKind(tr("stopwatch"));

    tmrSTOPWATCH = new QTimer(this);
    tmrSTOPWATCH->setObjectName(QStringLiteral("tmrSTOPWATCH"));
    tmrSTOPWATCH->setInterval(100);
    // Never early: a tick then always finds its tenth complete.
    tmrSTOPWATCH->setTimerType(Qt::PreciseTimer);
    tmrTimer = new QTimer(this);
    tmrTimer->setObjectName(QStringLiteral("tmrTimer"));
    tmrTimer->setInterval(500);
    connectParts();
    tmrTimer->start();
}

void fapp_SWATCH::connectParts()
{
    connect(btnSTART, &KeyLabel::Click, this, &fapp_SWATCH::btnSTART_Click);
    connect(btnSTOP, &KeyLabel::Click, this, &fapp_SWATCH::btnSTOP_Click);
    connect(btnSTART, &KeyLabel::menuRequested, this, &ResizableFrame::menuRequested);
    connect(btnSTOP, &KeyLabel::menuRequested, this, &ResizableFrame::menuRequested);
    connect(tmrSTOPWATCH, &QTimer::timeout, this, &fapp_SWATCH::tmrSTOPWATCH_Timer);
    connect(tmrTimer, &QTimer::timeout, this, &fapp_SWATCH::updateparts);
    connect(m_reading, &ReadingText::pumpStopped, this, &fapp_SWATCH::tickAgain);
}

QString fapp_SWATCH::shownReading() const
{
    return m_reading->text();
}

void fapp_SWATCH::btnSTART_Click()
{
    m_reading->stopPump();
    m_count.pressStartStop();
    btnSTART->setCaption(m_count.startCaption());
    btnSTOP->setCaption(m_count.stopCaption());
    drawDisplay();
    chooseTicker();
}

void fapp_SWATCH::btnSTOP_Click()
{
    m_reading->stopPump();
    m_count.pressLapReset();
    drawDisplay();
    chooseTicker();
}

void fapp_SWATCH::chooseTicker()
{
    const bool counting = m_count.isRunning() && !m_count.isLapHeld();
    if (counting && m_reading->startPump(m_count)) {
        // The re-layout then wakes the program on its own.
        tmrSTOPWATCH->stop();
        if (!tmrTimer->isActive())
            tmrTimer->start();
        return;
    }
    m_reading->stopPump();
    if (m_count.isRunning()) {
        tickAgain();
    } else {
        tmrSTOPWATCH->stop();
        if (!tmrTimer->isActive())
            tmrTimer->start();
    }
}

void fapp_SWATCH::tickAgain()
{
    if (!m_count.isRunning() || tmrSTOPWATCH->isActive())
        return;
    tmrTimer->stop();
    m_ticksSinceLayout = 0;
    tmrSTOPWATCH->start();
}

void fapp_SWATCH::tmrSTOPWATCH_Timer()
{
    // While counting, the re-layout rides on every fifth tick instead of
    // waking the program on its own.
    if (++m_ticksSinceLayout >= 5) {
        m_ticksSinceLayout = 0;
        updateparts();
    }
    if (m_count.tick())
        drawDisplay();
}

void fapp_SWATCH::drawDisplay()
{
    m_reading->showText(m_count.displayText());
}

void fapp_SWATCH::updateparts()
{
    ResizableFrame::updateparts();
    placeButtons(*btnSTART, *btnSTOP, picDATE->Width(), picDATE->Height());
    btnSTART->sync();
    btnSTOP->sync();
    // Every re-layout of a running count tries the thread again: a change
    // that stopped it has settled by then.
    if (m_count.isRunning() && !m_reading->pumping())
        chooseTicker();
}

void fapp_SWATCH::colourParts(const ThemeShades &shades)
{
    ResizableFrame::colourParts(shades);
    const OleColor buttonBack = ColorBlend(0xFFFFFF, lngTHEMECOLOR(), lngTRANSVALCONTRAST() + 40);
    for (KeyLabel *button : {btnSTART, btnSTOP}) {
        button->setBackColor(buttonBack);
        button->setForeColor(lblDATE->ForeColor());
    }
    // The reading is printed in the time face and colour, centred on the
    // body as "00:00:00" would be, 500 twips above the middle.
    copyFace(lblTIME, lblSIZE);
    lblSIZE->setAutoSize(true);
    m_reading->setFace(lblTIME->labelFont());
    m_reading->setColour(toQColor(lblTIME->ForeColor()));
    m_reading->setText(m_count.displayText());
    // As wide as the longest reading it may show: the minutes grow past 99.
    const QString widest = QStringLiteral("0000:00.00");
    m_reading->setWidth(std::max(lblSIZE->Width(), m_reading->textSizeTwips(widest).width()));
    m_reading->setHeight(lblSIZE->Height());
    m_reading->setLeft((picDATE->Width() - lblSIZE->Width()) / 2);
    m_reading->setTop((picDATE->Height() - lblSIZE->Height()) / 2 - kReadingRaise);
    m_reading->sync();
}

void fapp_SWATCH::copyReading()
{
    // The reading of this moment, shown as it is copied.
    tmrSTOPWATCH_Timer();
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setText(m_count.displayText());
}

void fapp_SWATCH::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copyReading();
        return;
    }
    const bool plain = !(event->modifiers() & ~Qt::KeypadModifier);
    if (plain && !event->isAutoRepeat()) {
        switch (event->key()) {
        case Qt::Key_Space:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            btnSTART_Click();
            return;
        case Qt::Key_Escape:
            btnSTOP_Click();
            return;
        default:
            break;
        }
    }
    if (event->key() == Qt::Key_Menu ||
        (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        Q_EMIT menuRequested(mapToGlobal(rect().center()));
        return;
    }
    ResizableFrame::keyPressEvent(event);
}

} // namespace tavlo
