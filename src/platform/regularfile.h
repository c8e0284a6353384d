// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>

class QFile;

namespace tavlo {

// Why a file was not opened.
enum class RegularFileError { None, Missing, NotRegular, TooLarge, Unreadable };

struct RegularFile
{
    std::unique_ptr<QFile> file; // open for reading; null on error
    RegularFileError error = RegularFileError::None;
};

// Opens the regular file at path for reading. A folder, pipe, socket or device
// (links followed) is refused without waiting on it, as is a file larger than
// maxBytes; the checks hold for the file actually opened.
RegularFile OpenRegularFile(const QString &path, qint64 maxBytes);

} // namespace tavlo
