// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>
#include <QString>
#include <memory>
#include <optional>

namespace tavlo {

class PicturePrefetch;
struct PictureAsk;

// What the first frame of the program titled title will show at start,
// read from the store by a connection of its own: the picture file and the
// box it covers at 96 dots per inch. Nothing when no frame is restored,
// there is no store yet, or the values are not the plain ones a frame writes.
std::optional<PictureAsk> RestoredPictureAsk(const QString &title);

// For a kind whose frames show pictures: the first restored frame's picture,
// decoded on a thread of its own while the program starts; nothing for other
// kinds. Until the application object is made it reads only what needs no
// picture plugin. Leaving waits for a decoding under way to end.
class StartupPicture final
{
public:
    explicit StartupPicture(const QString &title);
    ~StartupPicture();
    StartupPicture(const StartupPicture &) = delete;
    StartupPicture &operator=(const StartupPicture &) = delete;

    // The application object exists: plugins may be loaded.
    void applicationMade();

private:
    std::unique_ptr<PicturePrefetch> m_prefetch;
};

} // namespace tavlo
