// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/modblend.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <optional>

namespace tavlo {

class ProfileFile;

// The sections of a preset file.
inline constexpr QLatin1String kPresetMain{"main"};
inline constexpr QLatin1String kPresetText{"text"};
inline constexpr QLatin1String kPresetCaption{"preset"};

// The preset files of one folder: listing, reading, writing and deleting them.
class PresetStore final
{
    Q_DECLARE_TR_FUNCTIONS(PresetStore)
public:
    explicit PresetStore(const QString &folder);

    QString folder() const { return m_folder; }
    QString path(const QString &fileName) const;
    // The "*.tvp" files of the folder by name, ignoring case.
    QStringList list() const;
    // Makes fileName the preset the preset routines read; false when the file
    // is refused (too large, not a regular file, unreadable).
    bool open(const QString &fileName) const;
    // Writes preset as caption + ".tvp", replacing a file of that name in one
    // step; it becomes the preset the routines read. Silent on failure.
    void save(const QString &caption, const ProfileFile &preset) const;
    // Moves fileName to the trash.
    void remove(const QString &fileName) const;
    // Removes the temporaries that saves killed midway left behind.
    void removeStaleTemporaries() const;

    // Sets key of section in preset, behind the prefix every preset key carries.
    static void put(ProfileFile &preset, QLatin1String section, const char *key,
                    const QString &value);

    // The reason a caption cannot name a preset file, or an empty text when it can.
    static QString nameProblem(const QString &caption);

private:
    QString m_folder;
};

// A preset's values as the controls take them; nullopt refuses the value.
namespace presetvalue {
// A plain colour or a known system colour, as a palette button takes it.
std::optional<OleColor> colour(const QString &text);
// A whole number as a 16-bit integer takes it.
std::optional<int> whole(const QString &text);
// A font size in points.
std::optional<float> size(const QString &text);
} // namespace presetvalue

} // namespace tavlo
