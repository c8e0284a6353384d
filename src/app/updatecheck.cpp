#include "app/updatecheck.h"

#include "app/cmlib_registry.h"
#include "app/convert.h"
#include "app/modmain.h"
#include "app/valuenames.h"
#include "messages/cmlib_objects.h"
#include "messages/fmsg_infobox.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QTimer>
#include <QUrl>

namespace tavlo {

bool DownloadFile(const QUrl &url, const QString &localFile, const DownloadLimits &limits)
{
    QFile::remove(localFile);
    if (!url.isValid() ||
        (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")))
        return false;
    // The network stack and its TLS library live in a helper process, so the
    // widget that keeps running all day never carries them.
    const QString helper = QCoreApplication::applicationDirPath() + QStringLiteral("/tavlo-fetch");
    if (!QFileInfo(helper).isExecutable())
        return false;
    QProcess fetch;
    fetch.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    fetch.setStandardOutputFile(QProcess::nullDevice());
    QEventLoop loop;
    QObject::connect(&fetch, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&fetch, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    QTimer::singleShot(limits.totalMs + 1000, &loop, &QEventLoop::quit);
    fetch.start(helper,
                {url.toString(QUrl::FullyEncoded), localFile, QString::number(limits.totalMs),
                 QString::number(limits.maxBytes), QString::number(limits.maxRedirects)});
    if (fetch.state() != QProcess::NotRunning)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (fetch.state() != QProcess::NotRunning) {
        fetch.kill();
        fetch.waitForFinished(1000);
        QFile::remove(localFile);
        return false;
    }
    const bool ok = fetch.exitStatus() == QProcess::NormalExit && fetch.exitCode() == 0;
    if (!ok)
        QFile::remove(localFile);
    return ok && QFile::exists(localFile);
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
