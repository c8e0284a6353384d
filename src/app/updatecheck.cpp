// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/updatecheck.h"

#include "core/cmlib_registry.h"
#include "core/convert.h"
#include "core/globals.h"
#include "core/valuenames.h"
#include "messages/cmlib_objects.h"
#include "messages/fmsg_infobox.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QTimer>
#include <QUrl>
#include <utility>

#ifndef TAVLO_HELPER_FROM_BIN
#define TAVLO_HELPER_FROM_BIN "../libexec/tavlo"
#endif

namespace tavlo {
namespace {

// The helper keeps its own time bound; this one only catches a helper that hangs.
constexpr int kHelperGraceMs = 1000;

QPointer<FileDownload> g_check;

bool isWebUrl(const QUrl &url)
{
    return url.isValid() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

void ShowNewerVersion()
{
    MainGlobals &g = globals();
    QFile file(g.strUPDATEFILE);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QString latest = LastVersionValue(file.read(64 * 1024));
    file.close();
    if (latest.isEmpty() || !(convert::val(g.strVERSION) < convert::val(latest)))
        return;
    fmsg_INFOBOX &window = infoBox();
    if (objOBJECTS())
        objOBJECTS()->InternetLinkRun(QString::number(window.winId()), QStringLiteral("http://"),
                                      g.strNEWERURL);
    if (g.objREGISTRY)
        g.objREGISTRY->RegSave(reg::HKCU, g.strREGROOT + reg::UpdateKey, reg::UpdateShown,
                               QStringLiteral("True"));
}

// Beside the program in the build tree, in its own folder below libexec once
// installed; never through PATH, which could hand the download to anything.
QString HelperPath()
{
    const QString folder = QCoreApplication::applicationDirPath();
    for (const QString &candidate :
         {folder + QStringLiteral("/tavlo-fetch"),
          folder + QStringLiteral("/" TAVLO_HELPER_FROM_BIN "/tavlo-fetch")}) {
        if (QFileInfo(candidate).isExecutable())
            return candidate;
    }
    return {};
}

} // namespace

FileDownload::FileDownload(QObject *parent) : QObject(parent) {}

FileDownload::~FileDownload()
{
    cancel();
}

bool FileDownload::start(const QUrl &url, const QString &localFile, const DownloadLimits &limits)
{
    cancel();
    QFile::remove(localFile);
    if (!isWebUrl(url))
        return false;
    // The network stack and its TLS library live in a helper process, so the
    // widget that keeps running all day never carries them.
    const QString helper = HelperPath();
    if (helper.isEmpty())
        return false;

    m_localFile = localFile;
    m_helper = new QProcess(this);
    m_helper->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_helper->setStandardOutputFile(QProcess::nullDevice());
    connect(m_helper, &QProcess::finished, this, &FileDownload::helperEnded);
    connect(m_helper, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        // Any other error is followed by finished().
        if (error == QProcess::FailedToStart)
            helperEnded();
    });
    m_deadline = new QTimer(this);
    m_deadline->setSingleShot(true);
    connect(m_deadline, &QTimer::timeout, this, [this] {
        if (m_helper)
            m_helper->kill();
    });
    m_deadline->start(limits.totalMs + kHelperGraceMs);
    m_helper->start(helper,
                    {url.toString(QUrl::FullyEncoded), localFile, QString::number(limits.totalMs),
                     QString::number(limits.maxBytes), QString::number(limits.maxRedirects)});
    return true;
}

void FileDownload::helperEnded()
{
    if (!m_helper)
        return;
    const bool ok = m_helper->state() == QProcess::NotRunning &&
                    m_helper->error() == QProcess::UnknownError &&
                    m_helper->exitStatus() == QProcess::NormalExit && m_helper->exitCode() == 0 &&
                    QFile::exists(m_localFile);
    stopHelper();
    if (!ok)
        QFile::remove(m_localFile);
    Q_EMIT finished(ok);
}

void FileDownload::cancel()
{
    if (!m_helper)
        return;
    stopHelper();
    QFile::remove(m_localFile);
}

void FileDownload::stopHelper()
{
    QProcess *helper = std::exchange(m_helper, nullptr);
    helper->disconnect(this);
    if (helper->state() != QProcess::NotRunning) {
        helper->kill();
        // SIGKILL cannot be refused; this only reaps the process.
        helper->waitForFinished(500);
    }
    helper->deleteLater();
    delete std::exchange(m_deadline, nullptr);
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
    delete g_check.data();
    QFile::remove(g.strUPDATEFILE);
    // No wait pointer: the widgets are on screen and in use while the helper runs.
    auto *check = new FileDownload(QCoreApplication::instance());
    QObject::connect(check, &FileDownload::finished, check, [check] {
        ShowNewerVersion();
        check->deleteLater();
        g_check.clear();
    });
    if (!check->start(QUrl(g.strVERSIONURL), g.strUPDATEFILE)) {
        delete check;
        return;
    }
    g_check = check;
}

bool UpdateCheckRunning()
{
    return g_check && g_check->isRunning();
}

void EndUpdateCheck()
{
    delete g_check.data();
    QFile::remove(globals().strUPDATEFILE);
}

} // namespace tavlo
