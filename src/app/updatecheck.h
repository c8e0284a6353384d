#pragma once

#include "fetch/boundeddownload.h"

#include <QString>

class QUrl;

namespace tavlo {

// Fetches url afresh (no cache) into localFile through the tavlo-fetch helper
// beside the executable. True when the whole body arrived within the limits;
// otherwise no file is left behind (a failed or cut-off download is "no file").
bool DownloadFile(const QUrl &url, const QString &localFile, const DownloadLimits &limits = {});

// The last comma- or line-separated value of a version file (quotes removed).
QString LastVersionValue(const QByteArray &contents);

// Start-up check: fetch the version file and, when it names a newer version
// than this one, open the newer-version page and note "Update Shown".
void CheckForUpdate();

} // namespace tavlo
