// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/picturedecode.h"

#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <thread>

namespace tavlo {

// What the first restored frame will ask for: its picture file and the box,
// in pixels, the picture is to cover.
struct PictureAsk
{
    QString path;
    QSize cover;
};

// The first restored frame's picture, read while the program starts: the
// stored values are read and the picture decoded on a thread of its own
// while the window system comes up, and the frame's first request for that
// picture at that size takes the result instead of decoding it again.
// Picture plugins are held back from its start until applicationMade (see
// HoldPictureReaders). One at a time; leaving waits for a decoding under way
// to end.
class PicturePrefetch final
{
public:
    // Runs ask and, when it names a picture, decodes it, on a new thread.
    explicit PicturePrefetch(std::function<std::optional<PictureAsk>()> ask);
    ~PicturePrefetch();
    PicturePrefetch(const PicturePrefetch &) = delete;
    PicturePrefetch &operator=(const PicturePrefetch &) = delete;

    // Releases the picture plugins; the first call only.
    void applicationMade();

    // For a decoding worker: the prefetched picture when it is exactly what
    // DecodePicture(path, maxSize, cover) would give, waiting (a few seconds
    // at most) while it is being read. Taken once: a later call, or a call
    // for anything else, gets nothing and decodes for itself.
    static std::optional<DecodedPicture> take(const QString &path, QSize maxSize, QSize cover);

    struct State;

private:
    std::shared_ptr<State> m_state;
    bool m_holdingReaders = true;
    std::thread m_thread;
};

} // namespace tavlo
