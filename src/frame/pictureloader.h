// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/picturedecode.h"

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QString>

class QThreadPool;
template <typename T> class QFutureWatcher;

namespace tavlo {

// Decodes one frame's picture on a worker thread and hands it back on the
// thread the loader lives on, so a frame shows at once and its picture follows.
// Each request replaces the one before: a result that comes late is dropped.
class PictureLoader final : public QObject
{
    Q_OBJECT
public:
    // pool runs the decoding; the global pool when null.
    explicit PictureLoader(QThreadPool *pool = nullptr, QObject *parent = nullptr);
    ~PictureLoader() override;

    // Starts decoding the picture file at path at no more than maxSize
    // and no larger than covering cover (DecodePicture), and returns the
    // request's generation number.
    quint64 request(const QString &path, QSize maxSize, QSize cover = QSize());
    // Drops the request under way; a decoding not yet started does not run.
    void cancel();
    // Generation of the latest request; results of any other are dropped.
    quint64 generation() const { return m_generation; }

signals:
    void pictureLoaded(quint64 generation, const QString &path, const QImage &picture);
    void pictureFailed(quint64 generation, const QString &path, tavlo::PictureFailure failure);

private:
    void finished(QFutureWatcher<DecodedPicture> *watcher, quint64 generation, const QString &path);

    QThreadPool *m_pool = nullptr;
    QPointer<QFutureWatcher<DecodedPicture>> m_pending;
    quint64 m_generation = 0;
};

} // namespace tavlo
