// SPDX-License-Identifier: GPL-3.0-or-later
// tavlo-fetch URL FILE [TOTAL_MS MAX_BYTES MAX_REDIRECTS]
// Downloads URL into FILE within the limits; exit status 0 on success.
#include "fetch/boundeddownload.h"

#include <QCoreApplication>
#include <QUrl>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 3)
        return 2;
    tavlo::DownloadLimits limits;
    if (args.size() >= 6) {
        limits.totalMs = args[3].toInt();
        limits.maxBytes = args[4].toLongLong();
        limits.maxRedirects = args[5].toInt();
    }
    return tavlo::FetchBounded(QUrl(args[1]), args[2], limits) ? 0 : 1;
}
