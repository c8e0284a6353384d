// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/framebase.h"

#include "core/convert.h"
#include "core/globals.h"
#include "core/twips.h"
#include "core/valuenames.h"
#include "frame/controls.h"
#include "frame/windowops.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <algorithm>
#include <cmath>

namespace tavlo {
namespace {

constexpr OleColor kBlack = 0x000000;
constexpr OleColor kWhite = 0xFFFFFF;

// A keyboard move or resize steps this far a press, one pixel with Shift,
// as window managers step normal windows.
constexpr int kKeyboardStep = 10;

} // namespace

ThemeShades themeShades(OleColor t, int32_t contrast)
{
    // Any stored contrast is taken. Beyond this bound every mix with a
    // differing channel is saturated already, so the shades stay the same and
    // twice the contrast cannot overflow.
    constexpr int32_t kBound = 1 << 20;
    const int32_t c = std::clamp(contrast, -kBound, kBound);
    ThemeShades shades;
    shades.back = ColorBlend(kBlack, t, 2 * c - 100);
    shades.separator = ColorBlend(kWhite, t, c + 30);
    shades.shadow = ColorBlend(kBlack, shades.back, 50);
    const auto halfContrast = int32_t(std::nearbyint(c / 2.0));
    shades.timeFrom = ColorBlend(kBlack, t, halfContrast);
    shades.timeTo = ColorBlend(kWhite, t, c + 40);
    shades.dateFrom = shades.timeFrom;
    shades.dateTo = ColorBlend(kWhite, t, c);
    shades.grip = shades.timeFrom;
    return shades;
}

FrameBase::FrameBase(const QString &formName, QWidget *parent) : WidgetForm(formName, parent)
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setWindowTitle(globals().strAPPTITLE);

    picTIME = new PictureBox(QStringLiteral("picTIME"), this);
    picDATE = new PictureBox(QStringLiteral("picDATE"), this);
    lblTIME = new Label(QStringLiteral("lblTIME"), picTIME);
    lblDATE = new Label(QStringLiteral("lblDATE"), picDATE);
    lnesep = new LineControl(QStringLiteral("lnesep"), this);
    shpBORDER = new ShapeControl(QStringLiteral("shpBORDER"), this);

    // Taken before the focused control sees them, so the calculator's keys
    // or a note's editor keep every other key.
    const auto onKeys = [this](QKeySequence keys, void (FrameBase::*action)()) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, action);
    };
    onKeys(QKeySequence(Qt::Key_Menu), &FrameBase::menuFromKeyboard);
    onKeys(QKeySequence(Qt::SHIFT | Qt::Key_F10), &FrameBase::menuFromKeyboard);
    onKeys(QKeySequence(Qt::ALT | Qt::Key_F7), &FrameBase::startKeyboardMove);
    onKeys(QKeySequence(Qt::ALT | Qt::Key_F8), &FrameBase::startKeyboardResize);
}

FrameBase::~FrameBase() = default;

void FrameBase::loadLabel(Label *label, QLatin1String align, QLatin1String font, QLatin1String size,
                          QLatin1String colour)
{
    const WidgetSettings stored = settings();
    if (const auto value = convert::toLong(stored.load(align, QString::number(label->textAlign()))))
        label->setTextAlign(*value);
    label->setFontName(stored.load(font, label->FontName()));
    if (const auto value =
            convert::toSingle(stored.load(size, convert::fromSingle(label->FontSize()))))
        label->setFontSize(*value);
    if (const auto value =
            convert::toLong(stored.load(colour, QString::number(label->ForeColor()))))
        label->setForeColor(*value);
}

void FrameBase::loadPreset()
{
    m_selPreset = settings().load(reg::SelectedPreset, reg::DefaultPreset);
}

void FrameBase::loadTextSettings()
{
    loadLabel(lblDATE, reg::DateAlign, reg::DateFont, reg::DateSize, reg::DateColor);
    loadLabel(lblTIME, reg::TimeAlign, reg::TimeFont, reg::TimeSize, reg::TimeColor);
}

void FrameBase::loadThemeColour()
{
    if (const auto colour = convert::toLong(settings().load(reg::Color, QStringLiteral("0"))))
        m_themeColor = *colour;
}

void FrameBase::writeFirstRunDefaults()
{
    const WidgetSettings stored = settings();
    if (stored.load(reg::ProgramLaunch, QString()).isEmpty())
        stored.save(reg::ProgramLaunch, QStringLiteral("1"));
    if (stored.load(reg::OnTop, QString()).isEmpty())
        stored.save(reg::OnTop, QStringLiteral("0"));
    ApplyProgramLaunch();
}

void FrameBase::loadTransparency()
{
    const WidgetSettings stored = settings();
    if (const auto alpha =
            convert::toByte(stored.load(reg::DefaultTransparency, QStringLiteral("211"))))
        m_transValCust = *alpha;
    if (const auto contrast =
            convert::toLong(stored.load(reg::DefaultContrast, QStringLiteral("33"))))
        m_contrast = *contrast;
    m_transVal = m_transValCust;
}

void FrameBase::ColorUpdate()
{
    const ThemeShades shades = themeShades(m_themeColor, m_contrast);
    applyBackColor(shades.back);
    lnesep->setBorderColor(shades.separator);
    colourParts(shades);
    picTIME->paintGradient(90, shades.timeFrom, shades.timeTo);
    picDATE->paintGradient(270, shades.dateFrom, shades.dateTo);
    SetTransparency(this, m_transVal);
}

void FrameBase::colourParts(const ThemeShades &) {}

void FrameBase::applyBackColor(OleColor back)
{
    if (back == m_backColor)
        return;
    m_backColor = back;
    shpBORDER->setBorderColor(back);
    update();
}

double FrameBase::formLeft() const
{
    return pos().x() * twipsPerPixelX();
}

double FrameBase::formTop() const
{
    return pos().y() * twipsPerPixelY();
}

void FrameBase::setFormLeft(double twips)
{
    // A number that is no place leaves the window where it is.
    if (std::isfinite(twips))
        move(twipsToPixelsX(twips), pos().y());
}

void FrameBase::setFormTop(double twips)
{
    if (std::isfinite(twips))
        move(pos().x(), twipsToPixelsY(twips));
}

void FrameBase::pullBackOnScreen()
{
    const ScreenTwips desktop = virtualScreenTwips();
    if (formTop() + formHeight() > desktop.top + desktop.height)
        setFormTop(desktop.top + desktop.height - formHeight());
}

void FrameBase::armDrag()
{
    m_dragArmed = true;
    m_pressGlobal = m_lastPressGlobal;
}

bool FrameBase::dragOnMove(QMouseEvent *event)
{
    if (!m_dragArmed || !event->buttons().testFlag(Qt::LeftButton))
        return false;
    const QPoint now = event->globalPosition().toPoint();
    if ((now - m_pressGlobal).manhattanLength() < QApplication::startDragDistance())
        return true;
    m_dragArmed = false;
    // The window is held where it was pressed; this move already counts.
    const QPoint held = m_pressGlobal;
    move(pos() + now - held);
    DragForm(this, 1, now);
    return true;
}

void FrameBase::notePress(QMouseEvent *event)
{
    Q_EMIT activated();
    m_lastPressGlobal = event->globalPosition().toPoint();
}

int FrameBase::vbButton(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

void FrameBase::setAccessibleKind(const QString &kind)
{
    setAccessibleName(windowTitle() + QLatin1Char(' ') + kind);
}

void FrameBase::startKeyboardMove()
{
    startKeyboardMode(KeyboardMode::Move);
}

void FrameBase::startKeyboardResize()
{
    if (keyboardSizeRange())
        startKeyboardMode(KeyboardMode::Resize);
}

void FrameBase::startKeyboardMode(KeyboardMode mode)
{
    if (m_keyboardMode != KeyboardMode::None || !isVisible())
        return;
    Q_EMIT activated();
    m_keyboardMode = mode;
    m_keyboardStart = QRect(pos(), size());
    // Every key comes here until it ends, whichever control has the focus.
    grabKeyboard();
}

void FrameBase::endKeyboardMode(bool keep)
{
    if (m_keyboardMode == KeyboardMode::None)
        return;
    const KeyboardMode mode = m_keyboardMode;
    m_keyboardMode = KeyboardMode::None;
    releaseKeyboard();
    if (keep)
        return;
    // Escape: back where and as large as the window was.
    if (mode == KeyboardMode::Move)
        move(m_keyboardStart.topLeft());
    else
        resize(m_keyboardStart.size());
}

void FrameBase::keyboardModeKey(QKeyEvent *event)
{
    const int step = event->modifiers().testFlag(Qt::ShiftModifier) ? 1 : kKeyboardStep;
    QPoint by;
    switch (event->key()) {
    case Qt::Key_Left:
        by = QPoint(-step, 0);
        break;
    case Qt::Key_Right:
        by = QPoint(step, 0);
        break;
    case Qt::Key_Up:
        by = QPoint(0, -step);
        break;
    case Qt::Key_Down:
        by = QPoint(0, step);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        endKeyboardMode(true);
        return;
    case Qt::Key_Escape:
        endKeyboardMode(false);
        return;
    default:
        // Other keys wait for the move to end, as they do under a window manager.
        return;
    }
    if (m_keyboardMode == KeyboardMode::Move) {
        // The same move a mouse drag makes, so the place is kept the same way.
        move(pos() + by);
    } else if (const auto range = keyboardSizeRange()) {
        const QSize wanted = size() + QSize(by.x(), by.y());
        resize(wanted.expandedTo(range->first).boundedTo(range->second));
    }
}

bool FrameBase::event(QEvent *event)
{
    if (m_keyboardMode != KeyboardMode::None) {
        switch (event->type()) {
        case QEvent::KeyPress:
            keyboardModeKey(static_cast<QKeyEvent *>(event));
            event->accept();
            return true;
        case QEvent::KeyRelease:
            event->accept();
            return true;
        case QEvent::MouseButtonPress:
        case QEvent::WindowDeactivate:
        case QEvent::Hide:
            // A click or leaving the window ends it where the window is now.
            endKeyboardMode(true);
            break;
        default:
            break;
        }
    }
    return WidgetForm::event(event);
}

void FrameBase::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), toQColor(m_backColor));
    painter.setPen(toQColor(shpBORDER->BorderColor()));
    const QRect border = shpBORDER->pixelRect();
    if (border.width() > 1 && border.height() > 1)
        painter.drawRect(border.adjusted(0, 0, -1, -1));
}

void FrameBase::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Q_EMIT activated();
    WidgetForm::changeEvent(event);
}

void FrameBase::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragArmed = false;
    event->accept();
}

} // namespace tavlo
