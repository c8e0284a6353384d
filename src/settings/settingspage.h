// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>
#include <initializer_list>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

namespace tavlo {

class WidgetForm;

// One page of the settings dialog: it owns its controls, takes them from the
// widget it is bound to and changes that widget live.
class SettingsPage : public QWidget
{
    Q_OBJECT
public:
    explicit SettingsPage(QWidget *parent = nullptr);

    // The widget the page edits now; nullptr once it is gone.
    WidgetForm *widget() const;
    // Takes the controls' values from the widget the dialog is bound to.
    virtual void load(WidgetForm *) {}
    // Gives the page the dialog's face colour.
    virtual void paint(const QColor &face) = 0;

protected:
    void bind(WidgetForm *widget);
    // Lays frames out one above the other on this page.
    void addFrames(std::initializer_list<QGroupBox *> frames, bool stretch = false);

private:
    QPointer<WidgetForm> m_widget;
};

namespace page {

// A control with the name the skin and the rest of the program know it by.
template <typename T> T *named(T *object, const char *name)
{
    object->setObjectName(QLatin1String(name));
    return object;
}

QPushButton *button(const char *name, const QString &caption);
QLabel *label(const char *name, const QString &caption, QWidget *buddy = nullptr);
QGroupBox *frame(const char *name, const QString &caption, QWidget *inner);
// A picture box that takes the page colour.
QWidget *container(const char *name);
QComboBox *combo(const char *name, bool editable);
// Gives each widget the page colour.
void paint(std::initializer_list<QWidget *> widgets, const QColor &face);

} // namespace page

// Moves dialog below owner, or above it where there is no room below, so the
// widget stays in sight while it is edited.
void placeBeside(QWidget *dialog, const QWidget *owner);
// Lays dialog out from the innermost widget outwards: hidden pages do not
// pass size changes up by themselves.
void settleLayouts(QWidget *dialog);
} // namespace tavlo
