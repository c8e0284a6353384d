// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ovctrls/pagetab.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <algorithm>
#include <numeric>

namespace tavlo {

namespace {

QColor mix(const QColor &a, const QColor &b, double weightB)
{
    const double weightA = 1.0 - weightB;
    return QColor::fromRgbF(float(a.redF() * weightA + b.redF() * weightB),
                            float(a.greenF() * weightA + b.greenF() * weightB),
                            float(a.blueF() * weightA + b.blueF() * weightB));
}

// A rectangle with rounded top corners, open at the bottom unless closed.
QPainterPath tabPath(const QRectF &r, qreal radius, bool closed)
{
    QPainterPath path;
    path.moveTo(r.left(), r.bottom());
    path.lineTo(r.left(), r.top() + radius);
    path.arcTo(QRectF(r.left(), r.top(), 2 * radius, 2 * radius), 180, -90);
    path.lineTo(r.right() - radius, r.top());
    path.arcTo(QRectF(r.right() - 2 * radius, r.top(), 2 * radius, 2 * radius), 90, -90);
    path.lineTo(r.right(), r.bottom());
    if (closed)
        path.closeSubpath();
    return path;
}

// One tab of the strip, named by its caption; pressing it is a click.
class PageTabButton final : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    PageTabButton(PageTab *strip, int index) : m_strip(strip), m_index(index) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface
                   ? static_cast<QAccessibleActionInterface *>(this)
                   : nullptr;
    }
    bool isValid() const override { return m_strip && m_index <= m_strip->captions().size(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override
    {
        return m_strip ? m_strip->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_strip);
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && isValid() ? m_strip->captions().at(m_index - 1)
                                                   : QString();
    }
    void setText(QAccessible::Text, const QString &) override {}
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        s.focusable = s.selectable = true;
        s.selected = m_strip->selectedTab() == m_index;
        s.focused = s.selected && m_strip->hasFocus();
        s.invisible = !m_strip->isVisible();
        return s;
    }
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect r = m_strip->tabRect(m_index);
        return QRect(m_strip->mapToGlobal(r.topLeft()), r.size());
    }
    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString &name) override
    {
        if (name == pressAction() && isValid())
            m_strip->clickTab(m_index);
    }
    QStringList keyBindingsForAction(const QString &) const override { return {}; }

private:
    QPointer<PageTab> m_strip;
    int m_index; // 1-based, as the strip counts
};

// The strip as a page tab list with one page tab per caption; its value is
// the selected caption.
class PageTabAccessible final : public QAccessibleWidget
{
public:
    explicit PageTabAccessible(PageTab *strip) : QAccessibleWidget(strip, QAccessible::PageTabList)
    {}
    ~PageTabAccessible() override
    {
        for (const QAccessible::Id id : std::as_const(m_tabs))
            QAccessible::deleteAccessibleInterface(id);
    }
    int childCount() const override { return int(strip()->captions().size()); }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        if (const QAccessible::Id id = m_tabs.value(index))
            return QAccessible::accessibleInterface(id);
        auto *tab = new PageTabButton(strip(), index + 1);
        m_tabs.insert(index, QAccessible::registerAccessibleInterface(tab));
        return tab;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (auto it = m_tabs.cbegin(); it != m_tabs.cend(); ++it) {
            if (QAccessible::accessibleInterface(it.value()) == child)
                return it.key();
        }
        return -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QPoint at = strip()->mapFromGlobal(QPoint(x, y));
        for (int i = 1; i <= childCount(); ++i) {
            if (strip()->tabRect(i).contains(at))
                return child(i - 1);
        }
        return nullptr;
    }
    QAccessibleInterface *focusChild() const override
    {
        return strip()->hasFocus() ? child(strip()->selectedTab() - 1) : nullptr;
    }
    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value) {
            const int selected = strip()->selectedTab();
            return selected > 0 ? strip()->captions().at(selected - 1) : QString();
        }
        return QAccessibleWidget::text(t);
    }

private:
    PageTab *strip() const { return static_cast<PageTab *>(widget()); }

    mutable QHash<int, QAccessible::Id> m_tabs;
};

QAccessibleInterface *pageTabAccessible(const QString &, QObject *object)
{
    if (auto *strip = qobject_cast<PageTab *>(object))
        return new PageTabAccessible(strip);
    return nullptr;
}

} // namespace

PageTab::PageTab(QWidget *parent) : QWidget(parent)
{
    static const bool accessible = [] {
        QAccessible::installFactory(pageTabAccessible);
        return true;
    }();
    Q_UNUSED(accessible);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    m_pageColor = palette().color(QPalette::Window);
}

QString PageTab::tabString() const
{
    return m_captions.join(QLatin1Char(','));
}

void PageTab::setTabString(const QString &captions)
{
    QStringList parsed;
    for (const QString &part : captions.split(QLatin1Char(','))) {
        const QString caption = part.trimmed();
        if (!caption.isEmpty())
            parsed << caption;
    }
    m_captions = parsed;
    if (m_captions.isEmpty())
        m_selected = 0;
    else if (m_selected < 1 || m_selected > m_captions.size())
        m_selected = 1;
    m_hovered = 0;
    updateGeometry();
    update();
}

void PageTab::setSelectedTab(int index)
{
    select(index, false);
}

void PageTab::clickTab(int index)
{
    select(index, true);
}

void PageTab::SetFont(const QString &name, const QString &size)
{
    QFont f = font();
    if (!name.trimmed().isEmpty())
        f.setFamily(name.trimmed());
    bool ok = false;
    double points = size.trimmed().toDouble(&ok);
    if (!ok)
        points = QLocale::system().toDouble(size.trimmed(), &ok);
    if (ok && points > 0)
        f.setPointSizeF(points);
    setFont(f);
}

void PageTab::setBackColorPage(const QColor &colour)
{
    if (!colour.isValid() || colour == m_pageColor)
        return;
    m_pageColor = colour;
    update();
}

PageTab::Metrics PageTab::metrics() const
{
    const int h = fontMetrics().height();
    Metrics m;
    m.padding = (h * 3 + 2) / 4;
    m.minPadding = std::max(2, h / 6);
    m.vpadding = std::max(2, (h + 2) / 4);
    m.raise = std::max(2, h / 6);
    m.margin = m.raise;
    m.radius = std::max(2, h / 5);
    return m;
}

QList<int> PageTab::textWidths() const
{
    const QFontMetrics fm = fontMetrics();
    QList<int> widths;
    for (const QString &caption : m_captions)
        widths << fm.horizontalAdvance(caption);
    return widths;
}

QSize PageTab::sizeHint() const
{
    const Metrics m = metrics();
    const QList<int> widths = textWidths();
    const int text = std::accumulate(widths.begin(), widths.end(), 0);
    const int n = int(widths.size());
    const int w = 2 * m.margin + text + n * 2 * m.padding;
    const int h = m.raise + fontMetrics().height() + 2 * m.vpadding + 1;
    return {std::max(w, 2 * m.margin), h};
}

QSize PageTab::minimumSizeHint() const
{
    const Metrics m = metrics();
    const QList<int> widths = textWidths();
    const int text = std::accumulate(widths.begin(), widths.end(), 0);
    const int n = int(widths.size());
    return {2 * m.margin + text + n * 2 * m.minPadding, sizeHint().height()};
}

QList<QRect> PageTab::tabRects() const
{
    const Metrics m = metrics();
    const QList<int> widths = textWidths();
    const int n = int(widths.size());
    QList<QRect> rects;
    if (n == 0)
        return rects;

    const int text = std::accumulate(widths.begin(), widths.end(), 0);
    const int available = std::max(0, width() - 2 * m.margin);
    int padding = m.padding;
    if (text + n * 2 * padding > available)
        padding = std::max(m.minPadding, (available - text) / (2 * n));

    QList<int> tabWidths;
    for (const int w : widths)
        tabWidths << w + 2 * padding;
    const int total = std::accumulate(tabWidths.begin(), tabWidths.end(), 0);
    if (total > available && total > 0) {
        // Even the smallest padding does not fit: share the width out; captions get elided.
        for (int &w : tabWidths)
            w = std::max(1, int(qint64(w) * available / total));
    }

    int x = m.margin;
    for (const int w : tabWidths) {
        rects << QRect(x, 0, w, height());
        x += w;
    }
    return rects;
}

QRect PageTab::tabRect(int index) const
{
    const QList<QRect> rects = tabRects();
    if (index < 1 || index > rects.size())
        return {};
    QRect r = rects.at(index - 1);
    if (index != m_selected)
        r.setTop(metrics().raise);
    return r;
}

int PageTab::tabAt(const QPoint &pos) const
{
    for (int i = 1; i <= m_captions.size(); ++i) {
        if (tabRect(i).contains(pos))
            return i;
    }
    return 0;
}

void PageTab::select(int index, bool notify)
{
    if (index < 1 || index > m_captions.size())
        return;
    const bool changed = index != m_selected;
    m_selected = index;
    if (changed) {
        update();
        if (QAccessible::isActive()) {
            QAccessibleEvent event(this, hasFocus() ? QAccessible::Focus : QAccessible::Selection);
            event.setChild(index - 1);
            QAccessible::updateAccessibility(&event);
        }
    }
    if (notify)
        Q_EMIT TabClick(m_captions.at(index - 1));
}

void PageTab::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette &pal = palette();
    const Metrics m = metrics();
    const QFontMetrics fm = fontMetrics();
    const QColor border = pal.color(QPalette::Mid);
    const QColor button = pal.color(QPalette::Button);
    const QColor restFill = mix(button, border, 0.3);
    const QColor hoverFill = mix(button, border, 0.1);
    const QColor textColour = pal.color(QPalette::ButtonText);
    // Cosmetic one-pixel lines sit on pixel centres.
    const qreal baseline = height() - 0.5;

    p.setPen(QPen(border, 1));
    p.drawLine(QPointF(0, baseline), QPointF(width(), baseline));

    const QList<QRect> rects = tabRects();
    auto drawCaption = [&](int i, const QRect &area) {
        const int pad = std::max(0, std::min(m.minPadding, area.width() / 4));
        const QRect textRect = area.adjusted(pad, 0, -pad, 0);
        const QString text = fm.elidedText(m_captions.at(i), Qt::ElideRight, textRect.width());
        p.setPen(textColour);
        p.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, text);
    };

    for (int i = 0; i < rects.size(); ++i) {
        if (i + 1 == m_selected)
            continue;
        const QRectF r = QRectF(rects[i]).adjusted(0.5, m.raise + 0.5, -0.5, -0.5);
        p.setPen(Qt::NoPen);
        p.setBrush(i + 1 == m_hovered ? hoverFill : restFill);
        p.drawPath(tabPath(r, m.radius, true));
        p.setPen(QPen(border, 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tabPath(r, m.radius, false));
        drawCaption(i, rects[i].adjusted(0, m.raise, 0, -1));
    }

    if (m_selected > 0 && m_selected <= rects.size()) {
        const QRect area = rects[m_selected - 1];
        // Drawn last and a pixel wider so it covers its neighbours' edges and the baseline.
        const QRectF r = QRectF(area).adjusted(-0.5, 0.5, 0.5, 1.0);
        p.setPen(Qt::NoPen);
        p.setBrush(m_pageColor);
        p.drawPath(tabPath(r, m.radius, true));
        p.setPen(QPen(border, 1));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tabPath(r, m.radius, false));
        const QRect textArea = area.adjusted(0, 0, 0, -m.raise);
        drawCaption(m_selected - 1, textArea);

        if (hasFocus()) {
            const int textWidth =
                std::min(fm.horizontalAdvance(m_captions.at(m_selected - 1)), textArea.width());
            QRect focus(0, 0, textWidth + 4 * m.minPadding, fm.height() + m.minPadding + 2);
            focus.moveCenter(textArea.center());
            QStyleOptionFocusRect option;
            option.initFrom(this);
            option.rect = focus.intersected(area.adjusted(1, 1, -1, 0));
            option.backgroundColor = m_pageColor;
            p.setRenderHint(QPainter::Antialiasing, false);
            style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &p, this);
        }
    }
}

void PageTab::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int index = tabAt(event->position().toPoint());
    if (index > 0)
        select(index, true);
    event->accept();
}

void PageTab::mouseMoveEvent(QMouseEvent *event)
{
    const int index = tabAt(event->position().toPoint());
    if (index != m_hovered) {
        m_hovered = index;
        update();
    }
    QWidget::mouseMoveEvent(event);
}

void PageTab::leaveEvent(QEvent *event)
{
    if (m_hovered != 0) {
        m_hovered = 0;
        update();
    }
    QWidget::leaveEvent(event);
}

void PageTab::keyPressEvent(QKeyEvent *event)
{
    const int n = int(m_captions.size());
    int target = 0;
    switch (event->key()) {
    case Qt::Key_Left:
        target = m_selected - 1;
        break;
    case Qt::Key_Right:
        target = m_selected + 1;
        break;
    case Qt::Key_Home:
        target = 1;
        break;
    case Qt::Key_End:
        target = n;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (layoutDirection() == Qt::RightToLeft &&
        (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right))
        target = 2 * m_selected - target;
    if (target >= 1 && target <= n && target != m_selected)
        select(target, true);
    event->accept();
}

} // namespace tavlo
