// SPDX-License-Identifier: GPL-3.0-or-later
#include "fetch/boundeddownload.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>

namespace tavlo {

bool FetchBounded(const QUrl &url, const QString &localFile, const DownloadLimits &limits)
{
    if (!url.isValid() ||
        (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")))
        return false;

    QNetworkAccessManager network;
    QNetworkRequest request(url);
    // Always the newest file: nothing from a cache, and say so to any proxy.
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setRawHeader("Cache-Control", "no-cache");
    request.setRawHeader("Pragma", "no-cache");
    // Redirects are followed only to http and https, and only a few of them.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setMaximumRedirectsAllowed(limits.maxRedirects);
    request.setTransferTimeout(limits.totalMs);

    QNetworkReply *reply = network.get(request);
    QByteArray body;
    bool ok = true;
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, reply, [&] {
        ok = false;
        reply->abort();
    });
    QObject::connect(reply, &QNetworkReply::redirected, reply, [&](const QUrl &location) {
        const QUrl target = reply->url().resolved(location);
        if (target.scheme() != QLatin1String("http") && target.scheme() != QLatin1String("https")) {
            ok = false;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] {
        body += reply->read(limits.maxBytes + 1 - body.size());
        if (body.size() > limits.maxBytes) {
            ok = false;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    deadline.start(limits.totalMs);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    deadline.stop();

    if (ok && reply->bytesAvailable() > 0)
        body += reply->read(limits.maxBytes + 1 - body.size());
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    ok = ok && reply->error() == QNetworkReply::NoError && body.size() <= limits.maxBytes &&
         (status == 0 || (status >= 200 && status < 300));
    delete reply;
    if (!ok)
        return false;

    QSaveFile file(localFile);
    // A failed final flush would otherwise still put a cut file in place.
    if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size() || !file.flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace tavlo
