// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/regularfile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavlo {

RegularFile OpenRegularFile(const QString &path, qint64 maxBytes)
{
    RegularFile result;
    if (path.isEmpty()) {
        result.error = RegularFileError::Missing;
        return result;
    }
    // O_NONBLOCK: opening a pipe for reading would otherwise wait for a writer.
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        result.error = errno == ENOENT || errno == ENOTDIR ? RegularFileError::Missing
                                                           : RegularFileError::Unreadable;
        return result;
    }
    struct stat info = {};
    if (::fstat(fd, &info) != 0) {
        ::close(fd);
        result.error = RegularFileError::Unreadable;
        return result;
    }
    if (!S_ISREG(info.st_mode) || info.st_size > maxBytes) {
        ::close(fd);
        result.error =
            S_ISREG(info.st_mode) ? RegularFileError::TooLarge : RegularFileError::NotRegular;
        return result;
    }
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        result.error = RegularFileError::Unreadable;
        return result;
    }
    result.file = std::move(file);
    return result;
}

} // namespace tavlo
