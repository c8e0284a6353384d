// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

class QSaveFile;

namespace tavlo {

// Puts the written temporary in place of the target only when every byte is
// known to be on disk: QSaveFile::commit alone lets a failed final flush or
// sync through and replaces a good file with a cut one. On failure the
// temporary is dropped and the target is left as it was.
bool commitSaveFile(QSaveFile &file);

// Replaces path's contents with bytes through a temporary file renamed over it.
bool writeFileAtomically(const QString &path, const QByteArray &bytes);

} // namespace tavlo
