// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/folders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tavlo {

QString programFolder(const QString &title)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/tavlo/") + title;
}

bool FolderExists(const QString &path)
{
    return QFileInfo(path).isDir();
}

void MakeFolder(const QString &path)
{
    if (!FolderExists(path))
        QDir().mkpath(path);
}

QString AddBackslash(const QString &path)
{
    if (path.endsWith(QLatin1Char('/')))
        return path;
    return path.length() > 3 ? path + QLatin1Char('/') : path;
}

} // namespace tavlo
