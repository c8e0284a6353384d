// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/widgetsettings.h"
#include "frame/modblend.h"

#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>

class QTimer;

namespace tavlo {

class Label;

// What the rest of the program may ask of any widget window. Setting a
// property only stores it; ColorUpdate or FormUpdate makes it visible.
class WidgetInterface
{
public:
    virtual ~WidgetInterface() = default;

    // Repaints the theme and re-applies the alpha.
    virtual void ColorUpdate() = 0;
    // Re-applies "On-Top" from the settings, then ColorUpdate.
    virtual void FormUpdate() = 0;
    virtual OleColor lngTHEMECOLOR() const = 0;
    virtual void setLngTHEMECOLOR(OleColor colour) = 0;
    virtual uint8_t lngTRANSVAL() const = 0;
    virtual void setLngTRANSVAL(uint8_t alpha) = 0;
    virtual int32_t lngTRANSVALCONTRAST() const = 0;
    virtual void setLngTRANSVALCONTRAST(int32_t contrast) = 0;
    virtual uint8_t lngTRANSVALCUST() const = 0;
    virtual void setLngTRANSVALCUST(uint8_t alpha) = 0;
    virtual QString strSELPRESET() const = 0;
    virtual void setStrSELPRESET(const QString &preset) = 0;
    // Refreshes the texts and lays the parts out again.
    virtual void updateparts() = 0;

    // The parts the settings dialog edits; nullptr where a kind has none.
    virtual Label *timeLabel() const { return nullptr; }
    virtual Label *dateLabel() const { return nullptr; }
    virtual QTimer *partsTimer() const { return nullptr; }
    virtual QWidget *mainPart() const { return nullptr; }
};

// A widget window: its form name (objectName) and its widget number, kept as
// decimal text in Tag.
class WidgetForm : public QWidget, public WidgetInterface
{
    Q_OBJECT
public:
    explicit WidgetForm(const QString &formName, QWidget *parent = nullptr);

    QString Tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }
    // The widget number from Tag; nullopt while Tag holds no number.
    std::optional<int> widgetNumber() const;
    // This widget's settings under the names its kind reads.
    WidgetSettings settings() const { return WidgetSettings(widgetNumber()); }

    // Runs the form's load code and shows it.
    virtual void Form_Load() = 0;
    // Saves what unloading the form saves (its place), leaving it open.
    virtual void saveOnUnload() = 0;

Q_SIGNALS:
    // The user activated or pressed the widget: it is the current one from now on.
    void activated();
    // The user asked for the settings dialog on this widget.
    void settingsRequested();

private:
    QString m_tag;
};

// The values the widget itself holds, as they are stored. What a widget does
// not hold (start at login, display style) is left unset.
WidgetValues widgetValues(const WidgetForm &widget);

} // namespace tavlo
