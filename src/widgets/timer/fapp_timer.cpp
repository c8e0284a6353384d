// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/timer/fapp_timer.h"

#include "core/globals.h"
#include "core/twips.h"
#include "platform/desktop.h"
#include "frame/labelbutton.h"
#include "widgets/timer/durationbox.h"
#include "widgets/timer/finishednotice.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <cmath>

namespace tavlo {
namespace {

// Design geometry in twips: the body holds three 72 pt boxes side by side.
constexpr int kStripHeight = 360;
constexpr int kMainWidth = 7200;
constexpr int kMainHeight = 3300;
constexpr int kBoxGap = 500;
constexpr int kSeparatorGap = 100;
constexpr OleColor kWhite = 0xFFFFFF;

Label *makeSeparator(const char *name, QWidget *parent)
{
    auto *label = new Label(QLatin1String(name), parent);
    label->setFontName(QStringLiteral("Tahoma"));
    label->setFontSize(36);
    label->setForeColor(kWhite);
    label->setCaption(QStringLiteral(":"));
    label->setAutoSize(true);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}

QLineEdit *makeHidden(const char *name, const QString &text, QWidget *parent)
{
    auto *edit = new QLineEdit(text, parent);
    edit->setObjectName(QLatin1String(name));
    edit->setMaxLength(Countdown::kMaxEntryDigits);
    edit->hide();
    return edit;
}

} // namespace

fapp_TIMER::fapp_TIMER(QWidget *parent) : ResizableFrame(QStringLiteral("fapp_TIMER"), parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setDesignSize(kStripHeight, kMainWidth, kMainHeight);
    setCountingDesignText(*lblTIME, *lblDATE, false);

    txtHOURS = new DurationBox(QStringLiteral("txtHOURS"), picDATE);
    txtMINS = new DurationBox(QStringLiteral("txtMINS"), picDATE);
    txtSECS = new DurationBox(QStringLiteral("txtSECS"), picDATE);
    txtHOURS->setAccessibleName(tr("Hours"));
    txtMINS->setAccessibleName(tr("Minutes"));
    txtSECS->setAccessibleName(tr("Seconds"));
    setAccessibleKind(tr("timer"));
    lblSEP1 = makeSeparator("lblSEP1", picDATE);
    lblSEP2 = makeSeparator("lblSEP2", picDATE);
    dd = makeHidden("dd", QStringLiteral("00"), picDATE);
    ss = makeHidden("ss", QStringLiteral("1"), picDATE);
    btnSTART = makeButton("btnSTART", QStringLiteral("Start"), picDATE);
    btnSTOP = makeButton("btnSTOP", QStringLiteral("Stop"), picDATE);
    lblSIZE = new Label(QStringLiteral("lblSIZE"), picDATE);
    lblSIZE->setCaption(QStringLiteral("00:00:00"));
    lblSIZE->setShown(false);
    lblSIZE->hide();

    tmrTimer = new QTimer(this);
    tmrTimer->setObjectName(QStringLiteral("tmrTimer"));
    tmrTimer->setSingleShot(true);
    tmrTimer->setTimerType(Qt::PreciseTimer);
    connectParts();
    showState();
}

void fapp_TIMER::connectParts()
{
    connect(btnSTART, &KeyLabel::Click, this, &fapp_TIMER::btnSTART_Click);
    connect(btnSTOP, &KeyLabel::Click, this, &fapp_TIMER::btnSTOP_Click);
    connect(btnSTART, &KeyLabel::menuRequested, this, &ResizableFrame::menuRequested);
    connect(btnSTOP, &KeyLabel::menuRequested, this, &ResizableFrame::menuRequested);
    connect(tmrTimer, &QTimer::timeout, this, &fapp_TIMER::tmrTimer_Timer);
    const std::pair<DurationBox *, CountdownBox> boxes[] = {{txtHOURS, CountdownBox::Hours},
                                                            {txtMINS, CountdownBox::Minutes},
                                                            {txtSECS, CountdownBox::Seconds}};
    for (const auto &[edit, box] : boxes) {
        connect(edit, &QLineEdit::textEdited, this,
                [this, box](const QString &text) { box_Edited(box, text); });
        edit->installEventFilter(this);
    }
    connect(dd, &QLineEdit::editingFinished, this, &fapp_TIMER::dd_LostFocus);
    connect(ss, &QLineEdit::editingFinished, this, &fapp_TIMER::dd_LostFocus);
}

void fapp_TIMER::Form_Load()
{
    ResizableFrame::Form_Load();
    tmrTimer->stop();
    showState();
}

QString fapp_TIMER::finishedText()
{
    return QStringLiteral("\n\n           Finished                 \n\n");
}

void fapp_TIMER::btnSTART_Click()
{
    m_countdown.pressStartPause();
    // The count writes the boxes now: the focus leaves them, and with it the
    // blinking cursor that would repaint a box twice a second.
    if (m_countdown.state() == Countdown::State::Counting && focusWidget() != this)
        setFocus();
    showState();
    scheduleTick();
}

void fapp_TIMER::btnSTOP_Click()
{
    m_countdown.pressStopReset();
    showState();
    scheduleTick();
}

void fapp_TIMER::box_Edited(CountdownBox box, const QString &text)
{
    m_countdown.setBoxText(box, text);
    showState();
}

void fapp_TIMER::dd_LostFocus()
{
    m_countdown.setResetDuration(dd->text(), ss->text());
    showState();
}

void fapp_TIMER::tmrTimer_Timer()
{
    switch (m_countdown.tick()) {
    case CountdownTick::Nothing:
        break;
    case CountdownTick::Stepped:
        showState();
        break;
    case CountdownTick::Finished:
        showState();
        showFinished();
        return;
    }
    scheduleTick();
}

void fapp_TIMER::scheduleTick()
{
    const qint64 due = m_countdown.msToNextStep();
    if (due < 0) {
        tmrTimer->stop();
        return;
    }
    // A millisecond late, so that the step is surely due when the tick comes.
    tmrTimer->start(int(std::min<qint64>(due, 1000)) + 1);
}

void fapp_TIMER::showFinished()
{
    tmrTimer->stop();
    const QString title = globals().strAPPTITLE;
    sendFinishedNotice(title, finishedText().trimmed());
    QPointer<fapp_TIMER> self(this);
    desktop().message(this, title, finishedText());
    // The program may have ended while the message was open.
    if (!self)
        return;
    m_countdown.setFinishedBoxOpen(false);
    showState();
    scheduleTick();
}

void fapp_TIMER::showState()
{
    const std::pair<DurationBox *, CountdownBox> boxes[] = {{txtHOURS, CountdownBox::Hours},
                                                            {txtMINS, CountdownBox::Minutes},
                                                            {txtSECS, CountdownBox::Seconds}};
    bool resized = false;
    for (const auto &[edit, box] : boxes) {
        const QSize before = edit->fittingSizeTwips();
        edit->showText(m_countdown.boxText(box));
        edit->setEnabled(m_countdown.isBoxEnabled(box));
        resized = resized || edit->fittingSizeTwips() != before;
    }
    btnSTART->setCaption(m_countdown.startCaption());
    btnSTOP->setCaption(m_countdown.stopCaption());
    if (resized)
        updateparts();
}

void fapp_TIMER::updateparts()
{
    ResizableFrame::updateparts();
    placeButtons(*btnSTART, *btnSTOP, picDATE->Width(), picDATE->Height());
    for (DurationBox *box : {txtHOURS, txtMINS, txtSECS}) {
        const QSize size = box->fittingSizeTwips();
        box->setWidth(size.width());
        box->setHeight(size.height());
        box->setTop((btnSTOP->Top() - txtMINS->Height()) / 2);
    }
    for (Label *separator : {lblSEP1, lblSEP2})
        separator->setTop(txtMINS->Top() + (txtMINS->Height() - separator->Height()) / 2);
    txtMINS->setLeft((int(std::lround(formWidth())) - txtMINS->Width()) / 2);
    lblSEP1->setLeft(txtMINS->Left() - kSeparatorGap - lblSEP1->Width());
    lblSEP2->setLeft(txtMINS->Left() + txtMINS->Width() + kSeparatorGap);
    txtHOURS->setLeft(txtMINS->Left() - kBoxGap - txtHOURS->Width());
    txtSECS->setLeft(txtMINS->Left() + txtMINS->Width() + kBoxGap);
    btnSTART->sync();
    btnSTOP->sync();
    for (DurationBox *box : {txtHOURS, txtMINS, txtSECS})
        box->sync();
    lblSEP1->sync();
    lblSEP2->sync();
}

void fapp_TIMER::colourParts(const ThemeShades &shades)
{
    ResizableFrame::colourParts(shades);
    for (DurationBox *box : {txtHOURS, txtMINS, txtSECS}) {
        box->setFaceName(lblTIME->FontName());
        box->setColours(lngTHEMECOLOR(), lblTIME->ForeColor());
    }
    // A fixed amount of white here, where the stopwatch mixes in its contrast.
    const OleColor buttonBack = ColorBlend(kWhite, lngTHEMECOLOR(), 145);
    for (KeyLabel *button : {btnSTART, btnSTOP}) {
        button->setBackColor(buttonBack);
        button->setForeColor(lblDATE->ForeColor());
    }
}

void fapp_TIMER::copyReading()
{
    if (QClipboard *clipboard = QGuiApplication::clipboard())
        clipboard->setText(m_countdown.readingText());
}

bool fapp_TIMER::handleKey(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copyReading();
        return true;
    }
    if (event->key() == Qt::Key_Menu ||
        (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
        Q_EMIT menuRequested(mapToGlobal(rect().center()));
        return true;
    }
    if (event->modifiers() & ~Qt::KeypadModifier)
        return false;
    switch (event->key()) {
    case Qt::Key_Space:
        // A box takes no blank, so Space starts there too.
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat())
            btnSTART_Click();
        return true;
    case Qt::Key_Escape:
        if (!event->isAutoRepeat())
            btnSTOP_Click();
        return true;
    default:
        return false;
    }
}

void fapp_TIMER::keyPressEvent(QKeyEvent *event)
{
    if (!handleKey(event))
        ResizableFrame::keyPressEvent(event);
}

bool fapp_TIMER::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent *>(event)))
        return true;
    // Ctrl+C is a shortcut first: the box would copy its own selection.
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        event->accept();
        return true;
    }
    return ResizableFrame::eventFilter(watched, event);
}

void fapp_TIMER::showEvent(QShowEvent *event)
{
    ResizableFrame::showEvent(event);
    // The keys start and stop from the first moment; a box takes the focus
    // when clicked or reached with Tab.
    if (!focusWidget())
        setFocus();
}

} // namespace tavlo
