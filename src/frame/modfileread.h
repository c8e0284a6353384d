#pragma once

#include <QLatin1String>
#include <QString>

namespace tavlo {

// Every key of a preset file stands behind this prefix; a key without it is
// not one of ours.
inline constexpr QLatin1String kPresetKeyPrefix{">     "};
// At most this many characters of a value are read.
inline constexpr qsizetype kPresetValueLimit = 399;

// Makes path the preset file the two routines below read and write.
void SetPresetFile(const QString &path);
QString CurrentPresetFile();

// The value of key in section of the current preset file (blanks around it
// removed, cut to 399 characters). A missing or empty value is replaced in
// the file by defaultText (trimmed), which is returned: reading completes a file.
QString ReadPresetValue(const QString &section, const QString &key, const QString &defaultText);

// Writes key = value into section of the current preset file, creating the
// file, section and key as needed; the file is replaced in one step, and a
// failure leaves it as it was, silently.
void WritePresetValue(const QString &section, const QString &key, const QString &value);

} // namespace tavlo
