// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/restoredpicture.h"

#include "frame/pictureprefetch.h"
#include "platform/settingsdb.h"

#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <optional>

using namespace tavlo;

namespace {

const QString kTitle = QStringLiteral("TavloPhotos");

TEST(RestoredPictureTest, AsksForTheFirstFramesPictureAtItsBox)
{
    EXPECT_FALSE(RestoredPictureAsk(kTitle)) << "no store yet";
    // clang-format off
    const struct { const char *total, *photo, *width, *height; std::optional<QSize> cover; } cases[] = {
        {"2", "/p/a.jpg", "6000", "4500", QSize(400, 300)},
        {"1", " /p/a.jpg ", "6007", "4492", QSize(400, 299)},
        {"0", "/p/a.jpg", "6000", "4500", std::nullopt},
        {"abc", "/p/a.jpg", "6000", "4500", std::nullopt},
        {"2", "", "6000", "4500", std::nullopt},
        {"2", "/p/a.jpg", "-15", "4500", std::nullopt},
        {"2", "/p/a.jpg", "6000", "1E+30", std::nullopt},
    };
    // clang-format on
    SettingsDatabase store;
    const QString key = QStringLiteral("SOFTWARE\\TavloPhotos\\Settings\\Details");
    for (const auto &c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2 %3").arg(c.total, c.photo, c.width).toStdString());
        for (const auto &[name, text] : {std::pair{"TOTAL", c.total},
                                         {"0PHOTO", c.photo},
                                         {"0PHOTOWIDTH", c.width},
                                         {"0PHOTOHEIGHT", c.height}})
            ASSERT_TRUE(store.setValue(RegHive::CurrentUser, key,
                                       RegValue::text(QLatin1String(name), QLatin1String(text))));
        const std::optional<PictureAsk> ask = RestoredPictureAsk(kTitle);
        ASSERT_EQ(ask.has_value(), c.cover.has_value());
        if (ask) {
            EXPECT_EQ(ask->path, QStringLiteral("/p/a.jpg"));
            EXPECT_EQ(ask->cover, *c.cover);
        }
    }
}

// A two-colour picture written as name in dir.
QString writePicture(const QTemporaryDir &dir, const char *name)
{
    QImage picture(640, 400, QImage::Format_RGB32);
    QPainter(&picture).fillRect(0, 0, 320, 400, Qt::darkRed);
    QPainter(&picture).fillRect(320, 0, 320, 400, Qt::darkCyan);
    const QString path = dir.filePath(QLatin1String(name));
    EXPECT_TRUE(QImageWriter(path).write(picture));
    return path;
}

const QSize screen(1920, 1080), box(160, 100);

TEST(RestoredPictureTest, ThePrefetchServesOnlyTheRequestItMatchesAndOnlyOnce)
{
    QTemporaryDir dir;
    const QString path = writePicture(dir, "a.jpg");
    {
        PicturePrefetch prefetch([&] { return std::optional<PictureAsk>({path, box}); });
        EXPECT_FALSE(PicturePrefetch::take(dir.filePath(QStringLiteral("b.jpg")), screen, box))
            << "another frame's picture";
        const std::optional<DecodedPicture> taken = PicturePrefetch::take(path, screen, box);
        ASSERT_TRUE(taken);
        EXPECT_EQ(taken->image, DecodePicture(path, screen, box).image);
        EXPECT_FALSE(PicturePrefetch::take(path, screen, box)) << "taken twice";
    }
    // Read for another size than the one asked for: the frame decodes for itself.
    PicturePrefetch prefetch([&] { return std::optional<PictureAsk>({path, box}); });
    EXPECT_FALSE(PicturePrefetch::take(path, QSize(80, 50), box));
}

// Qt's picture plugins are not loaded until the application object exists:
// JPEG is read without them, anything else waits.
TEST(RestoredPictureTest, UntilTheApplicationIsMadeOnlyJpegIsRead)
{
    QTemporaryDir dir;
    const QString jpeg = writePicture(dir, "a.jpg"), png = writePicture(dir, "a.png");
    PicturePrefetch prefetch([&] { return std::optional<PictureAsk>({png, box}); });
    EXPECT_EQ(DecodePicture(jpeg, screen, box).failure, PictureFailure::None);
    auto pending =
        std::async(std::launch::async, [&] { return PicturePrefetch::take(png, screen, box); });
    EXPECT_EQ(pending.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    prefetch.applicationMade();
    const std::optional<DecodedPicture> taken = pending.get();
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->image.size(), QSize(160, 100));
}

} // namespace
