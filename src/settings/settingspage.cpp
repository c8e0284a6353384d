// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settingspage.h"

#include "frame/widgetform.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

namespace tavlo {

SettingsPage::SettingsPage(QWidget *parent) : QWidget(parent) {}

WidgetForm *SettingsPage::widget() const
{
    return m_widget;
}

void SettingsPage::bind(WidgetForm *widget)
{
    m_widget = widget;
}

void SettingsPage::addFrames(std::initializer_list<QGroupBox *> frames, bool stretch)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QGroupBox *f : frames)
        layout->addWidget(f);
    if (stretch)
        layout->addStretch();
}

namespace page {

QPushButton *button(const char *name, const QString &caption)
{
    auto *b = named(new QPushButton(caption), name);
    b->setAutoDefault(false);
    return b;
}

QLabel *label(const char *name, const QString &caption, QWidget *buddy)
{
    auto *l = named(new QLabel(caption), name);
    if (buddy)
        l->setBuddy(buddy);
    return l;
}

QGroupBox *frame(const char *name, const QString &caption, QWidget *inner)
{
    auto *box = named(new QGroupBox(caption), name);
    auto *layout = new QVBoxLayout(box);
    layout->addWidget(inner);
    return box;
}

QWidget *container(const char *name)
{
    auto *w = named(new QWidget, name);
    w->setAutoFillBackground(true);
    return w;
}

QComboBox *combo(const char *name, bool editable)
{
    auto *box = named(new QComboBox, name);
    box->setEditable(editable);
    if (editable)
        box->setInsertPolicy(QComboBox::NoInsert);
    return box;
}

void paint(std::initializer_list<QWidget *> widgets, const QColor &face)
{
    for (QWidget *w : widgets) {
        QPalette palette = w->palette();
        palette.setColor(QPalette::Window, face);
        w->setPalette(palette);
    }
}

} // namespace page

void placeBeside(QWidget *dialog, const QWidget *owner)
{
    dialog->adjustSize();
    const QScreen *screen = owner->screen();
    if (!screen)
        return;
    const QRect available = screen->availableGeometry();
    const QRect widget = owner->frameGeometry();
    const int gap = QFontMetrics(dialog->font()).height() / 2;
    // The frame is not known before the first show; leave room for a title bar.
    const int decoration = dialog->style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const QSize hint = dialog->sizeHint();
    const QSize size = hint + QSize(0, decoration);
    int y = widget.bottom() + gap + decoration;
    if (y + size.height() > available.bottom() &&
        widget.top() - gap - size.height() >= available.top())
        y = widget.top() - gap - hint.height();
    y = std::clamp(y, available.top(),
                   std::max(available.top(), available.bottom() - size.height()));
    const int x = std::clamp(widget.left(), available.left(),
                             std::max(available.left(), available.right() - size.width()));
    dialog->move(x, y);
}

void settleLayouts(QWidget *dialog)
{
    dialog->ensurePolished();
    const QList<QWidget *> children = dialog->findChildren<QWidget *>();
    for (QWidget *child : children)
        child->ensurePolished();
    for (auto it = children.crbegin(); it != children.crend(); ++it) {
        if (QLayout *inner = (*it)->layout()) {
            inner->invalidate();
            inner->activate();
        }
        (*it)->updateGeometry();
    }
    dialog->layout()->invalidate();
    dialog->layout()->activate();
}
} // namespace tavlo
