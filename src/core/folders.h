// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tavlo {

// The per-user program folder: ${XDG_DATA_HOME:-~/.local/share}/tavlo/<title>.
QString programFolder(const QString &title);

bool FolderExists(const QString &path);
// Creates the folder (and its parents) when it is missing.
void MakeFolder(const QString &path);
// path with a trailing separator, except for a root of 3 characters or fewer.
QString AddBackslash(const QString &path);

} // namespace tavlo
