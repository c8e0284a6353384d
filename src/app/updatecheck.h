// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "fetch/boundeddownload.h"

#include <QObject>
#include <QString>

class QProcess;
class QTimer;
class QUrl;

namespace tavlo {

// Fetches one url afresh (no cache) into a local file through the tavlo-fetch
// helper beside the executable, while the event loop runs on. A failed or
// cut-off download leaves no file behind (it is "no file").
class FileDownload final : public QObject
{
    Q_OBJECT
public:
    explicit FileDownload(QObject *parent = nullptr);
    ~FileDownload() override;

    // Deletes localFile and starts the helper. False when it cannot start
    // (no helper, or not an http or https url); finished() does not follow then.
    bool start(const QUrl &url, const QString &localFile, const DownloadLimits &limits = {});
    bool isRunning() const { return m_helper != nullptr; }
    // Ends a running download at once: the helper is killed, its file removed,
    // and finished() does not follow.
    void cancel();

Q_SIGNALS:
    // ok when the whole body arrived within the limits and is in the file.
    void finished(bool ok);

private:
    void helperEnded();
    void stopHelper();

    QProcess *m_helper = nullptr;
    QTimer *m_deadline = nullptr;
    QString m_localFile;
};

// The last comma- or line-separated value of a version file (quotes removed).
QString LastVersionValue(const QByteArray &contents);

// Start-up check: starts fetching the version file and returns. When the file
// has arrived and names a newer version than this one, the newer-version page
// opens and "Update Shown" is noted.
void CheckForUpdate();
// True from CheckForUpdate until its answer has been handled.
bool UpdateCheckRunning();
// Ends a check still running (no page opens) and deletes the downloaded version file.
void EndUpdateCheck();

} // namespace tavlo
