// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/restoredpicture.h"

#include "app/kindtable.h"
#include "core/convert.h"
#include "core/globals.h"
#include "core/valuenames.h"
#include "core/widgetsettings.h"
#include "frame/pictureprefetch.h"
#include "platform/settingsdb.h"

#include <QFileInfo>
#include <cmath>

namespace tavlo {
namespace {

// The program's own connection opens the store next; this one never holds it up for long.
constexpr int kStoreWaitMs = 20;
constexpr qint64 kLongestValue = 16384;
// Twips per pixel at 96 dots per inch; at other resolutions the frame asks
// for another size and decodes for itself.
constexpr double kTwipsPerPixel = 15;
constexpr double kLargestBox = 65536;

} // namespace

std::optional<PictureAsk> RestoredPictureAsk(const QString &title)
{
    const QString path = SettingsDatabase::defaultPath();
    // A first run has nothing to restore, and creating the store is the program's part.
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return std::nullopt;
    SettingsDatabase store(path);
    store.setBusyTimeout(kStoreWaitMs);
    const QString key = registryRoot(title) + reg::SettingsKey;
    const auto text = [&](const QString &name) -> std::optional<QString> {
        const SettingsDatabase::Read read =
            store.readValue(RegHive::CurrentUser, key, name, kLongestValue);
        if (read.status != SettingsDatabase::Read::Found || !read.value.isText())
            return std::nullopt;
        return read.value.toText();
    };
    const auto first = [&](QLatin1String name) {
        return text(widgetValueName(name, 0, ValueNaming::Numbered));
    };
    const auto pixels = [&](QLatin1String name) -> std::optional<int> {
        const std::optional<QString> stored = first(name);
        const std::optional<float> twips = stored ? convert::toSingle(*stored) : std::nullopt;
        if (!twips || !std::isfinite(*twips) || *twips <= 0 ||
            *twips / kTwipsPerPixel > kLargestBox)
            return std::nullopt;
        return int(std::lround(*twips / kTwipsPerPixel));
    };

    const std::optional<QString> total = text(reg::Total);
    const std::optional<int32_t> count = total ? convert::toLong(*total) : std::nullopt;
    if (!count || *count < 1)
        return std::nullopt;
    const std::optional<QString> photo = first(reg::Photo);
    const std::optional<int> width = pixels(reg::PhotoWidth);
    const std::optional<int> height = pixels(reg::PhotoHeight);
    if (!photo || photo->trimmed().isEmpty() || !width || !height)
        return std::nullopt;
    return PictureAsk{photo->trimmed(), QSize(*width, *height)};
}

StartupPicture::StartupPicture(const QString &title)
{
    if (kindRow(title).kind.showsPictures)
        m_prefetch =
            std::make_unique<PicturePrefetch>([title] { return RestoredPictureAsk(title); });
}

StartupPicture::~StartupPicture() = default;

void StartupPicture::applicationMade()
{
    if (m_prefetch)
        m_prefetch->applicationMade();
}

} // namespace tavlo
