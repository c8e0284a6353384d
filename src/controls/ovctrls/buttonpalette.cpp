// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ovctrls/buttonpalette.h"

#include "platform/desktop.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QIconEngine>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>
#include <algorithm>

namespace tavlo {

namespace {

OleColor packColour(const QColor &colour)
{
    return OleColor(colour.red() | (colour.green() << 8) | (colour.blue() << 16));
}

QString hexName(const QColor &colour)
{
    return colour.name(QColor::HexRgb).toUpper();
}

// A border that stands out against the swatch, whatever the colour.
QColor contrastBorder(const QColor &fill)
{
    const double luminance = 0.299 * fill.red() + 0.587 * fill.green() + 0.114 * fill.blue();
    return luminance > 140 ? QColor(0, 0, 0, 140) : QColor(255, 255, 255, 170);
}

void paintSwatch(QPainter *painter, const QRectF &rect, const QColor &fill, qreal radius)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(contrastBorder(fill), 1));
    painter->setBrush(fill);
    painter->drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    painter->restore();
}

// Menu icons painted at whatever size and pixel ratio the menu asks for.
class SwatchIconEngine final : public QIconEngine
{
public:
    explicit SwatchIconEngine(const QColor &colour) : m_colour(colour) {}
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        painter->save();
        if (mode == QIcon::Disabled)
            painter->setOpacity(0.4);
        const QRectF r = QRectF(rect).adjusted(1, 1, -1, -1);
        paintSwatch(painter, r, m_colour, std::max(1.0, r.height() / 6));
        painter->restore();
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return pixmap;
    }
    QIconEngine *clone() const override { return new SwatchIconEngine(m_colour); }

private:
    QColor m_colour;
};

// A button named after what it colours (its own name or its buddy label),
// its value the colour's name.
class ButtonPaletteAccessible final : public QAccessibleWidget
{
public:
    explicit ButtonPaletteAccessible(ButtonPalette *button)
        : QAccessibleWidget(button, QAccessible::Button)
    {}
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return static_cast<const ButtonPalette *>(widget())->colorName();
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.hasPopup = true;
        return s;
    }
    QStringList actionNames() const override
    {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &name) override
    {
        if (name == pressAction())
            static_cast<ButtonPalette *>(widget())->click();
        else
            QAccessibleWidget::doAction(name);
    }
};

QAccessibleInterface *buttonPaletteAccessible(const QString &, QObject *object)
{
    if (auto *button = qobject_cast<ButtonPalette *>(object))
        return new ButtonPaletteAccessible(button);
    return nullptr;
}

} // namespace

ButtonPalette::ButtonPalette(QWidget *parent) : QPushButton(parent), m_menu(new QMenu(this))
{
    static const bool accessible = [] {
        QAccessible::installFactory(buttonPaletteAccessible);
        return true;
    }();
    Q_UNUSED(accessible);
    // Enter opens the palette rather than making this the dialog's default button.
    setAutoDefault(false);
    m_menu->setObjectName(QStringLiteral("menuPALETTE"));
    for (const auto &[name, colour] : commonColors()) {
        QAction *action = m_menu->addAction(QIcon(new SwatchIconEngine(toQColor(colour))), name);
        action->setCheckable(true);
        action->setData(colour);
        connect(action, &QAction::triggered, this, [this, colour = colour] { pick(colour); });
        m_colourActions << action;
    }
    m_menu->addSeparator();
    m_moreAction = m_menu->addAction(tr("&More colors..."));
    // Queued so the dialog opens after the menu has closed and let go of the pointer.
    connect(m_moreAction, &QAction::triggered, this, &ButtonPalette::askMoreColours,
            Qt::QueuedConnection);
    connect(this, &QPushButton::clicked, this, &ButtonPalette::showPalette);
    updateLook();
}

const QList<QPair<QString, OleColor>> &ButtonPalette::commonColors()
{
    static const QList<QPair<QString, OleColor>> colours = {
        {tr("Black"), 0x000000},  {tr("White"), 0xFFFFFF},   {tr("Grey"), 0x808080},
        {tr("Silver"), 0xC0C0C0}, {tr("Red"), 0x0000FF},     {tr("Maroon"), 0x000080},
        {tr("Orange"), 0x00A5FF}, {tr("Brown"), 0x2A2AA5},   {tr("Yellow"), 0x00FFFF},
        {tr("Olive"), 0x008080},  {tr("Lime"), 0x00FF00},    {tr("Green"), 0x008000},
        {tr("Aqua"), 0xFFFF00},   {tr("Teal"), 0x808000},    {tr("Blue"), 0xFF0000},
        {tr("Navy"), 0x800000},   {tr("Fuchsia"), 0xFF00FF}, {tr("Purple"), 0x800080},
    };
    return colours;
}

void ButtonPalette::setColor(OleColor colour)
{
    m_color = colour;
    updateLook();
    update();
}

QColor ButtonPalette::BackColor() const
{
    return palette().color(QPalette::Button);
}

void ButtonPalette::setBackColor(const QColor &colour)
{
    if (!colour.isValid())
        return;
    QPalette p = palette();
    p.setColor(QPalette::Button, colour);
    p.setColor(QPalette::Window, colour);
    setPalette(p);
}

QString ButtonPalette::colorName() const
{
    for (const auto &[name, colour] : commonColors()) {
        if (colour == m_color)
            return name;
    }
    return hexName(toQColor(m_color));
}

void ButtonPalette::updateLook()
{
    for (QAction *action : std::as_const(m_colourActions))
        action->setChecked(action->data().toInt() == m_color);
    const QString hex = hexName(toQColor(m_color));
    if (toolTip() == hex)
        return;
    setToolTip(hex);
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent changed(this, colorName());
        QAccessible::updateAccessibility(&changed);
    }
}

void ButtonPalette::showPalette()
{
    updateLook();
    m_menu->popup(mapToGlobal(QPoint(0, height())));
    // Keyboard users start on the current colour, or on the first one.
    QAction *active = m_colourActions.value(0);
    for (QAction *action : std::as_const(m_colourActions)) {
        if (action->isChecked())
            active = action;
    }
    m_menu->setActiveAction(active);
}

void ButtonPalette::pick(OleColor colour)
{
    setColor(colour);
    Q_EMIT ColorChosen(colour);
}

void ButtonPalette::askMoreColours()
{
    const std::optional<QColor> chosen =
        desktop().askColor(this, toQColor(m_color), tr("Choose a color"));
    if (chosen && chosen->isValid())
        pick(packColour(*chosen));
}

void ButtonPalette::keyPressEvent(QKeyEvent *event)
{
    const bool altDown = event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
        event->key() == Qt::Key_F4 || altDown) {
        showPalette();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void ButtonPalette::paintEvent(QPaintEvent *)
{
    QStylePainter p(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    option.features &= ~QStyleOptionButton::HasMenu;
    p.drawControl(QStyle::CE_PushButtonBevel, option);

    QRect area = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (option.state & (QStyle::State_Sunken | QStyle::State_On)) {
        area.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                       style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    }
    const int gap = std::max(2, fontMetrics().height() / 6);
    const QRect swatch = area.adjusted(gap, gap, -gap, -gap);
    if (swatch.isValid()) {
        if (!isEnabled())
            p.setOpacity(0.4);
        paintSwatch(&p, swatch, toQColor(m_color), std::max(2, swatch.height() / 6));
        p.setOpacity(1.0);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = area.adjusted(gap / 2, gap / 2, -(gap / 2), -(gap / 2));
        focus.backgroundColor = BackColor();
        p.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

} // namespace tavlo
