#include "app/updatecheck.h"

#include "app/cmlib_registry.h"
#include "app/convert.h"
#include "app/modmain.h"
#include "app/valuenames.h"
#include "messages/cmlib_objects.h"
#include "messages/fmsg_infobox.h"

#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
#include <QTimer>

namespace tavlo {

bool DownloadFile(const QUrl &url, const QString &localFile, const DownloadLimits &limits)
{
    QFile::remove(localFile);
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
    if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size())
        return false;
    return file.commit();
}

QString LastVersionValue(const QByteArray &contents)
{
    QString text = QString::fromUtf8(contents);
    // Separators at the very end close the last value; they start no new one.
    while (!text.isEmpty() && (text.endsWith(QLatin1Char('\n')) ||
                               text.endsWith(QLatin1Char('\r')) || text.endsWith(QLatin1Char(','))))
        text.chop(1);
    if (text.isEmpty())
        return {};
    const qsizetype cut =
        std::max({text.lastIndexOf(QLatin1Char(',')), text.lastIndexOf(QLatin1Char('\n')),
                  text.lastIndexOf(QLatin1Char('\r'))});
    QString value = text.mid(cut + 1).trimmed();
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        value = value.mid(1, value.size() - 2);
    return value;
}

void CheckForUpdate()
{
    MainGlobals &g = globals();
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    QFile::remove(g.strUPDATEFILE);
    DownloadFile(QUrl(g.strVERSIONURL), g.strUPDATEFILE);

    QFile file(g.strUPDATEFILE);
    if (file.open(QIODevice::ReadOnly)) {
        const QString latest = LastVersionValue(file.read(64 * 1024));
        file.close();
        if (!latest.isEmpty() && convert::val(g.strVERSION) < convert::val(latest)) {
            fmsg_INFOBOX &window = infoBox();
            if (g.objOBJECTS)
                g.objOBJECTS->InternetLinkRun(QString::number(window.winId()),
                                              QStringLiteral("http://"), g.strNEWERURL);
            if (g.objREGISTRY)
                g.objREGISTRY->RegSave(reg::HKCU, g.strREGROOT + reg::UpdateKey, reg::UpdateShown,
                                       QStringLiteral("True"));
        }
    }
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

} // namespace tavlo
