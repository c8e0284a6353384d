// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/widgetsettings.h"

#include "core/cmlib_registry.h"
#include "core/kind.h"
#include "core/valuenames.h"

namespace tavlo {

QString widgetValueName(QLatin1String name, std::optional<int> number, ValueNaming naming)
{
    bool numbered = naming == ValueNaming::Numbered;
    if (naming == ValueNaming::ByKind)
        numbered = runningKind().family == WidgetFamily::Resizable;
    if (name == reg::StyleModern || name == reg::State)
        numbered = true;
    if (!numbered)
        return name;
    if (!number)
        return {};
    return QString::number(*number) + name;
}

WidgetSettings::WidgetSettings(std::optional<int> number, ValueNaming naming)
    : m_number(number), m_naming(naming)
{}

QString WidgetSettings::name(QLatin1String valueName) const
{
    return widgetValueName(valueName, m_number, m_naming);
}

QString WidgetSettings::load(QLatin1String valueName, const QString &defaultText) const
{
    const QString stored = name(valueName);
    return stored.isEmpty() ? defaultText : LoadSetting(stored, defaultText);
}

bool WidgetSettings::save(QLatin1String valueName, const QString &value) const
{
    const QString stored = name(valueName);
    return !stored.isEmpty() && SaveSetting(stored, value);
}

void WidgetSettings::write(const WidgetValues &values) const
{
    const std::pair<QLatin1String, const std::optional<QString> *> order[] = {
        {reg::Photo, &values.photo},
        {reg::PhotoWidth, &values.photoWidth},
        {reg::PhotoHeight, &values.photoHeight},
        {reg::PhotoLeft, &values.photoLeft},
        {reg::PhotoTop, &values.photoTop},
        {reg::SelectedPreset, &values.selectedPreset},
        {reg::DefaultTransparency, &values.transparency},
        {reg::DefaultContrast, &values.contrast},
        {reg::DateFont, &values.dateFont},
        {reg::DateAlign, &values.dateAlign},
        {reg::TimeAlign, &values.timeAlign},
        {reg::DateSize, &values.dateSize},
        {reg::DateColor, &values.dateColor},
        {reg::TimeFont, &values.timeFont},
        {reg::TimeSize, &values.timeSize},
        {reg::TimeColor, &values.timeColor},
        {reg::Color, &values.color},
        {reg::ProgramLaunch, &values.programLaunch},
        {reg::OnTop, &values.onTop},
        {reg::StyleModern, &values.styleModern},
    };
    for (const auto &[valueName, value] : order) {
        if (*value)
            save(valueName, **value);
    }
}

void WidgetSettings::clear() const
{
    const QLatin1String names[] = {
        reg::Photo,
        reg::PhotoWidth,
        reg::PhotoHeight,
        reg::PhotoLeft,
        reg::PhotoTop,
        reg::SelectedPreset,
        reg::DefaultTransparency,
        reg::DefaultContrast,
        reg::DateFont,
        reg::DateAlign,
        reg::TimeAlign,
        reg::DateSize,
        reg::DateColor,
        reg::TimeFont,
        reg::TimeSize,
        reg::TimeColor,
        reg::Color,
        reg::ProgramLaunch,
        reg::OnTop,
        reg::StyleModern,
        reg::State,
    };
    for (const QLatin1String valueName : names) {
        if (const QString stored = name(valueName); !stored.isEmpty())
            DeleteSetting(stored);
    }
}

} // namespace tavlo
