// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

namespace tavlo {

// Windows-1252 to text; the five codes it leaves unassigned read as the C1
// controls of the same number, so every byte sequence has a text.
QString decodeCp1252(QByteArrayView bytes);
// Text to Windows-1252; nullopt when a character has no code there.
std::optional<QByteArray> encodeCp1252(QStringView text);
// The text of UTF-8 bytes, a byte order mark kept as a character; nullopt
// when the bytes are not valid UTF-8.
std::optional<QString> decodeUtf8(QByteArrayView bytes);

} // namespace tavlo
