// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/widgetsettings.h"

#include <QObject>
#include <QPointer>
#include <array>
#include <functional>
#include <optional>

namespace tavlo {

class WidgetForm;

inline constexpr int kWidgetSlots = 21;

// The widgets of the running program, each in the slot of its number, and
// which of them is current: the one the settings dialog and the menu act on.
class WidgetSet final : public QObject
{
    Q_OBJECT
public:
    explicit WidgetSet(QObject *parent = nullptr);
    ~WidgetSet() override;

    // The widget in slot number, or nullptr.
    WidgetForm *frmWIDGETS(int number) const;
    // The highest number handed out since the start.
    int lngLASTINDEX() const { return m_lastIndex; }
    // The current widget's number.
    int lngSELINDEX() const { return m_selIndex; }
    // How many widgets are open.
    int lngOPENCOUNT() const { return m_openCount; }

    // Puts form into slot number and tags it with the number; with counted it
    // adds to the open widgets. False (form untouched) when the number is
    // outside 0-20 or the slot is taken.
    bool add(int number, WidgetForm *form, bool counted);
    // The next number, lngLASTINDEX + 1, which becomes the last and the
    // current one; nullopt once the numbers are used up.
    std::optional<int> newNumber();
    // Puts form into the slot of the next number, counted as open, with no
    // values left under that number by an earlier run; the number becomes
    // lngLASTINDEX (the caller makes it current once the widget is loaded).
    // nullopt (form untouched, nothing counted) once the numbers are used up.
    std::optional<int> addNew(WidgetForm *form);
    // Sets lngLASTINDEX, for a restore that fills the slots in turn.
    void setLastIndex(int number);
    // Closes the widget in slot number, empties the slot and counts it no longer open.
    void close(int number);

    WidgetForm *current() const;
    // Makes number the current widget; a number outside 0-20 is ignored.
    void setCurrent(int number);
    // Makes form the current widget when it stands in the set under its number.
    void setCurrentForm(const WidgetForm *form);

    // The values saved for one widget.
    using ValuesOf = std::function<WidgetValues(const WidgetForm &)>;
    // Saves the whole set as the next start finds it: the many-widget kinds
    // renumbered densely from 0 and "TOTAL" = their count; the one-widget
    // kinds the current widget under the plain names and "TOTAL" = "0".
    // Each widget's values come from valuesOf, by default from the widget itself.
    void saveAll(const ValuesOf &valuesOf = {});
    // Closes every widget, leaving them in their slots (the program is ending).
    void closeAll();
    // Deletes every widget and starts afresh.
    void clear();

Q_SIGNALS:
    // Another widget (or none) is current now.
    void currentChanged(int number);

private:
    std::array<QPointer<WidgetForm>, kWidgetSlots> m_widgets;
    int m_lastIndex = 0;
    int m_selIndex = 0;
    int m_openCount = 0;
};

// The program's widget set.
WidgetSet &widgetSet();

} // namespace tavlo
