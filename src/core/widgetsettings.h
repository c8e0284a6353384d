// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLatin1String>
#include <QString>
#include <optional>

namespace tavlo {

// How a widget's number enters its value names.
enum class ValueNaming {
    ByKind,   // as the running kind reads them: plain for the fixed family, numbered otherwise
    Numbered, // the number in front of every name ("3Color")
    Plain,    // the plain names ("Color")
};

// The name under which widget number keeps value name. "Style-modern" and
// "State" always carry the number. Empty when the name needs a number and
// there is none: such a value is neither read nor written.
QString widgetValueName(QLatin1String name, std::optional<int> number,
                        ValueNaming naming = ValueNaming::ByKind);

// One widget's values as the texts they are stored as; what is not set is not written.
struct WidgetValues
{
    std::optional<QString> photo;
    std::optional<QString> photoWidth;
    std::optional<QString> photoHeight;
    std::optional<QString> photoLeft;
    std::optional<QString> photoTop;
    std::optional<QString> selectedPreset;
    std::optional<QString> transparency;
    std::optional<QString> contrast;
    std::optional<QString> dateFont;
    std::optional<QString> dateAlign;
    std::optional<QString> timeAlign;
    std::optional<QString> dateSize;
    std::optional<QString> dateColor;
    std::optional<QString> timeFont;
    std::optional<QString> timeSize;
    std::optional<QString> timeColor;
    std::optional<QString> color;
    std::optional<QString> programLaunch;
    std::optional<QString> onTop;
    std::optional<QString> styleModern;

    // Leaves the picture, size and place out of a write.
    void dropPlacement()
    {
        for (std::optional<QString> *value :
             {&photo, &photoWidth, &photoHeight, &photoLeft, &photoTop})
            value->reset();
    }
};

// Reads and writes the settings of one widget under its value names.
class WidgetSettings final
{
public:
    explicit WidgetSettings(std::optional<int> number, ValueNaming naming = ValueNaming::ByKind);

    QString name(QLatin1String valueName) const;
    // The stored text, or defaultText (also when the name cannot be formed).
    QString load(QLatin1String valueName, const QString &defaultText) const;
    bool save(QLatin1String valueName, const QString &value) const;
    // Writes every value that is set, the placement first.
    void write(const WidgetValues &values) const;
    // Deletes every value a widget keeps under its name, so that a widget
    // that takes the number next reads only defaults.
    void clear() const;

private:
    std::optional<int> m_number;
    ValueNaming m_naming;
};

} // namespace tavlo
