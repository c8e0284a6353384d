// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/pictureprefetch.h"

#include <QLoggingCategory>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>

namespace tavlo {

struct PicturePrefetch::State
{
    std::mutex mutex;
    std::condition_variable changed;
    bool askRead = false;
    bool done = false;
    bool taken = false;
    std::optional<PictureAsk> ask;
    DecodedPicture picture;
};

namespace {

Q_LOGGING_CATEGORY(lcPrefetch, "tavlo.pictures.prefetch", QtCriticalMsg)

// A decoding that takes longer than this is left to the frame's own request.
constexpr auto kLongestWait = std::chrono::seconds(5);

std::mutex currentMutex;
std::shared_ptr<PicturePrefetch::State> current;

} // namespace

PicturePrefetch::PicturePrefetch(std::function<std::optional<PictureAsk>()> ask)
    : m_state(std::make_shared<State>())
{
    HoldPictureReaders();
    {
        const std::lock_guard lock(currentMutex);
        current = m_state;
    }
    m_thread = std::thread([state = m_state, ask = std::move(ask)] {
        std::optional<PictureAsk> asked = ask();
        {
            const std::lock_guard lock(state->mutex);
            state->ask = asked;
            state->askRead = true;
        }
        state->changed.notify_all();
        DecodedPicture picture;
        // No bound but the box: the screens are not known yet, and a box
        // smaller than the screens decides the size alone.
        if (asked && !asked->path.isEmpty())
            picture = DecodePicture(asked->path, QSize(), asked->cover);
        {
            const std::lock_guard lock(state->mutex);
            state->picture = std::move(picture);
            state->done = true;
        }
        state->changed.notify_all();
    });
}

void PicturePrefetch::applicationMade()
{
    if (std::exchange(m_holdingReaders, false))
        ReleasePictureReaders();
}

PicturePrefetch::~PicturePrefetch()
{
    // A decoding waiting for the plugins would never end.
    applicationMade();
    {
        const std::lock_guard lock(currentMutex);
        if (current == m_state)
            current.reset();
    }
    m_thread.join();
}

std::optional<DecodedPicture> PicturePrefetch::take(const QString &path, QSize maxSize, QSize cover)
{
    std::shared_ptr<State> state;
    {
        const std::lock_guard lock(currentMutex);
        state = current;
    }
    if (!state)
        return std::nullopt;
    std::unique_lock lock(state->mutex);
    // Another frame's picture is left for that frame.
    if (!state->changed.wait_for(lock, kLongestWait, [&] { return state->askRead; }) ||
        !state->ask || state->ask->path != path || state->taken)
        return std::nullopt;
    state->taken = true;
    if (!state->changed.wait_for(lock, kLongestWait, [&] { return state->done; }))
        return std::nullopt;
    DecodedPicture picture = std::move(state->picture);
    state->picture = {};
    // The same file read at the same size gives the same picture.
    if (picture.failure != PictureFailure::None ||
        PictureTargetSize(picture.source, maxSize, cover) != picture.image.size()) {
        qCDebug(lcPrefetch) << "start-up picture not the one asked for:" << path << cover;
        return std::nullopt;
    }
    qCDebug(lcPrefetch) << "start-up picture taken:" << path << picture.image.size();
    return picture;
}

} // namespace tavlo
