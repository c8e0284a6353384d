// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/presetstore.h"

#include "core/convert.h"
#include "frame/modfileread.h"
#include "platform/desktop.h"
#include "platform/profilefile.h"

#include <QDateTime>
#include <QDir>

namespace tavlo {

PresetStore::PresetStore(const QString &folder) : m_folder(folder) {}

QString PresetStore::path(const QString &fileName) const
{
    return m_folder + QLatin1Char('/') + fileName;
}

QStringList PresetStore::list() const
{
    return QDir(m_folder).entryList({QStringLiteral("*.tvp")}, QDir::Files,
                                    QDir::Name | QDir::IgnoreCase);
}

bool PresetStore::open(const QString &fileName) const
{
    SetPresetFile(path(fileName));
    return LoadPresetFile();
}

void PresetStore::save(const QString &caption, const ProfileFile &preset) const
{
    const QString target = path(caption + QStringLiteral(".tvp"));
    preset.save(target);
    SetPresetFile(target);
}

void PresetStore::remove(const QString &fileName) const
{
    desktop().moveToTrash(path(fileName));
}

void PresetStore::removeStaleTemporaries() const
{
    // A save holds its temporary for well under a second; one five minutes
    // old belongs to no save still running.
    RemoveStalePresetTemporaries(m_folder, QDateTime::currentDateTimeUtc().addSecs(-5 * 60));
}

void PresetStore::put(ProfileFile &preset, QLatin1String section, const char *key,
                      const QString &value)
{
    preset.setValue(section, kPresetKeyPrefix + QLatin1String(key), value);
}

QString PresetStore::nameProblem(const QString &caption)
{
    if (caption.isEmpty())
        return tr("You need to select a preset name");
    if (caption.contains(QLatin1Char('/')))
        return tr("A preset name cannot contain \"/\".");
    if (caption.contains(QChar(0)))
        return tr("A preset name cannot contain a NUL character.");
    if (caption == QLatin1String(".") || caption == QLatin1String(".."))
        return tr("A preset name cannot be \".\" or \"..\".");
    return {};
}

namespace presetvalue {

std::optional<OleColor> colour(const QString &text)
{
    const auto number = convert::toLong(text);
    if (!number || TranslateColorValue(*number) == -1)
        return std::nullopt;
    return *number;
}

std::optional<int> whole(const QString &text)
{
    const auto number = convert::toLong(text);
    if (!number || *number < -32768 || *number > 32767)
        return std::nullopt;
    return int(*number);
}

std::optional<float> size(const QString &text)
{
    const auto points = convert::toSingle(text);
    if (!points || !(*points > 0) || *points > 2048)
        return std::nullopt;
    return points;
}

} // namespace presetvalue
} // namespace tavlo
