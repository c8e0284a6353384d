// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tavlo {

// Opens a web address, a mail address or a file with the user's default
// application. linkType is "http://", "mailto:" or empty (a file, unless the
// target names its own scheme). Only http, https, ftp, news, mailto and file
// targets are opened; anything else, and an empty target, opens nothing.
// windowHandleText names the calling window; the desktop opener has no owner.
void OpenLink(const QString &windowHandleText, const QString &linkType, const QString &target);

// The same decision without opening: the address that would be opened, or an
// empty text when nothing would be.
QString LinkAddress(const QString &linkType, const QString &target);

} // namespace tavlo
