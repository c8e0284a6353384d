// SPDX-License-Identifier: GPL-3.0-or-later
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
// True when the whole body arrived within the limits with a 2xx answer;
// otherwise no file is written.
bool FetchBounded(const QUrl &url, const QString &localFile, const DownloadLimits &limits);

} // namespace tavlo
