#pragma once

#include <QString>

class QUrl;

namespace tavlo {

// Limits that keep an unreachable or hostile server from holding the start
// or filling the disk.
struct DownloadLimits
{
    int totalMs = 3000; // connection and transfer together
    qint64 maxBytes = 64 * 1024;
    int maxRedirects = 3; // and only to http or https
};

// Fetches url afresh (no cache) into localFile, replacing it in one step.
// True when the whole body arrived within the limits; otherwise no file is
// left behind (a failed or cut-off download is "no file").
bool DownloadFile(const QUrl &url, const QString &localFile, const DownloadLimits &limits = {});

// The last comma- or line-separated value of a version file (quotes removed).
QString LastVersionValue(const QByteArray &contents);

// Start-up check: fetch the version file and, when it names a newer version
// than this one, open the newer-version page and note "Update Shown".
void CheckForUpdate();

} // namespace tavlo
