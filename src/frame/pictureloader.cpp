// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/pictureloader.h"

#include "frame/pictureprefetch.h"

#include <QFutureWatcher>
#include <QPromise>
#include <QThreadPool>
#include <memory>

namespace tavlo {

PictureLoader::PictureLoader(QThreadPool *pool, QObject *parent)
    : QObject(parent), m_pool(pool ? pool : QThreadPool::globalInstance())
{}

PictureLoader::~PictureLoader()
{
    // A queued decoding then ends at once, so leaving never waits on it.
    cancel();
}

quint64 PictureLoader::request(const QString &path, QSize maxSize, QSize cover)
{
    cancel();
    const quint64 generation = ++m_generation;
    auto promise = std::make_shared<QPromise<DecodedPicture>>();
    auto *watcher = new QFutureWatcher<DecodedPicture>(this);
    connect(watcher, &QFutureWatcherBase::finished, this,
            [this, watcher, generation, path] { finished(watcher, generation, path); });
    promise->start();
    watcher->setFuture(promise->future());
    m_pending = watcher;
    m_pool->start([promise, path, maxSize, cover] {
        if (!promise->isCanceled()) {
            std::optional<DecodedPicture> early = PicturePrefetch::take(path, maxSize, cover);
            promise->addResult(early ? std::move(*early) : DecodePicture(path, maxSize, cover));
        }
        promise->finish();
    });
    return generation;
}

void PictureLoader::cancel()
{
    if (m_pending) {
        m_pending->cancel();
        m_pending = nullptr;
    }
    ++m_generation;
}

void PictureLoader::finished(QFutureWatcher<DecodedPicture> *watcher, quint64 generation,
                             const QString &path)
{
    watcher->deleteLater();
    if (m_pending == watcher)
        m_pending = nullptr;
    if (generation != m_generation || watcher->isCanceled() || watcher->future().resultCount() == 0)
        return;
    const DecodedPicture result = watcher->result();
    if (result.failure == PictureFailure::None)
        emit pictureLoaded(generation, path, result.image);
    else
        emit pictureFailed(generation, path, result.failure);
}

} // namespace tavlo
