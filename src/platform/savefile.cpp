// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/savefile.h"

#include <QSaveFile>

#include <unistd.h>

namespace tavlo {

bool commitSaveFile(QSaveFile &file)
{
    if (!file.isOpen())
        return false;
    if (file.error() != QFileDevice::NoError || !file.flush() || ::fsync(file.handle()) != 0) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return commitSaveFile(file);
}

} // namespace tavlo
