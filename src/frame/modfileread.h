// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QLatin1String>
#include <QString>

namespace tavlo {

// Every key of a preset file stands behind this prefix; a key without it is
// not one of ours.
inline constexpr QLatin1String kPresetKeyPrefix{">     "};
// At most this many characters of a value are read.
inline constexpr qsizetype kPresetValueLimit = 399;

// Makes path the preset file the routines below read and write.
void SetPresetFile(const QString &path);
QString CurrentPresetFile();

// Reads the current preset file (again only when it changed on disk). False
// when the file is refused: too large, not a regular file, or unreadable. A
// refused file is never written, and reading it gives the defaults.
bool LoadPresetFile();

// The value of key in section of the current preset file (blanks around it
// removed, cut to 399 characters). A missing or empty value is replaced in
// the file by defaultText (trimmed), which is returned: reading completes a file.
QString ReadPresetValue(const QString &section, const QString &key, const QString &defaultText);

// Writes key = value into section of the current preset file, creating the
// file, section and key as needed; the file is replaced in one step, and a
// failure leaves it as it was, silently.
void WritePresetValue(const QString &section, const QString &key, const QString &value);

// While one lives, the writes to the current preset file wait in memory and
// are saved in one step when it ends, so a file is rewritten once, not once
// per key.
class PresetWriteBatch final
{
public:
    PresetWriteBatch();
    ~PresetWriteBatch();
    PresetWriteBatch(const PresetWriteBatch &) = delete;
    PresetWriteBatch &operator=(const PresetWriteBatch &) = delete;
};

// A save in progress holds its text in "name.tvp.XXXXXX" beside the preset;
// one killed midway leaves that file behind. Removes those in folder last
// changed before olderThan (so a save still running elsewhere is left
// alone) and returns how many went.
int RemoveStalePresetTemporaries(const QString &folder, const QDateTime &olderThan);

} // namespace tavlo
