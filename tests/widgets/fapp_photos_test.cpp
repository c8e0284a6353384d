// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/photos/fapp_photos.h"

#include "core/valuenames.h"
#include "frame/picturedecode.h"
#include "photosfixture.h"
#include "platform/unixsignals.h"

#include <QBuffer>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryFile>
#include <QThreadPool>
#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace tavlo;

namespace {

class PhotosTest : public test::PhotosFixture
{
protected:
    // The picture as read for widget number, before it is fitted to the main part.
    static QImage photo(int number)
    {
        return frame(number)->findChild<PictureSurface *>(QStringLiteral("picPHOTO"))->Picture();
    }
};

} // namespace

TEST_F(PhotosTest, TotalDecidesBetweenTheSavedSetAndOneNewWidget)
{
    // A new widget starts clean unless "TOTAL" says number 0 was kept.
    // clang-format off
    const struct { const char *total; int widgets; bool kept; } cases[] = {
        {"0", 1, false}, {"1", 1, true}, {"2", 2, true}, {"abc", 1, false},
        {"99", kWidgetSlots, true},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.total);
        ASSERT_TRUE(startWith(
            {{"TOTAL", QLatin1String(c.total)}, {"0PHOTO", QStringLiteral("/gone/0.png")}}));
        EXPECT_TRUE(shownCount() == c.widgets && widgetSet().lngOPENCOUNT() == c.widgets);
        EXPECT_TRUE(widgetSet().lngLASTINDEX() == c.widgets - 1 &&
                    widgetSet().lngSELINDEX() == c.widgets - 1);
        EXPECT_EQ(mainPart(0)->Tag(), c.kept ? QStringLiteral("/gone/0.png") : QString());
        resetGlobals();
    }
}

TEST_F(PhotosTest, RestoresEachWidgetsPictureSizeAndPlace)
{
    const QString a = quadrants(QStringLiteral("a.png"));
    const QString b = quadrants(QStringLiteral("b.png"), QSize(10, 30));
    const double tx = twipsPerPixelX(), ty = twipsPerPixelY();
    ASSERT_TRUE(startWith({{"TOTAL", QStringLiteral("2")},
                           {"0PHOTO", QStringLiteral("  ") + a + QStringLiteral(" ")},
                           {"0PHOTOWIDTH", QString::number(300 * tx)},
                           {"0PHOTOHEIGHT", QString::number(200 * ty)},
                           {"0PHOTOLEFT", QString::number(50 * tx)},
                           {"0PHOTOTOP", QString::number(60 * ty)},
                           {"0Color", QStringLiteral("255")},
                           {"1PHOTO", b},
                           {"1PHOTOWIDTH", QStringLiteral("1e30")},
                           {"1PHOTOHEIGHT", QStringLiteral("-5")},
                           {"1PHOTOLEFT", QStringLiteral("nan")},
                           {"1Color", QStringLiteral("65280")}}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !photo(0).isNull() && !photo(1).isNull(); }, 5000));
    EXPECT_EQ(mainPart(0)->Tag(), a);
    EXPECT_TRUE(mainPart(0)->size() == QSize(300, 200) && frame(0)->pos() == QPoint(50, 60));
    EXPECT_TRUE(frame(0)->lngTHEMECOLOR() == 255 && frame(1)->lngTHEMECOLOR() == 65280);
    // Numbers beyond reason are held to what the screens can show.
    EXPECT_LE(mainPart(1)->width(), LargestScreenSize().width() * 2);
    EXPECT_EQ(mainPart(1)->height(), 0);
}

TEST_F(PhotosTest, LayoutFollowsTheWindowDownToOnePixel)
{
    ASSERT_TRUE(startWith({}));
    ResizableFrame *w = frame(0);
    ASSERT_TRUE(take(0, quadrants(QStringLiteral("q.png"))));
    const double tx = twipsPerPixelX(), ty = twipsPerPixelY();
    const int margin = twipsToPixelsX(120);
    for (const QSize size : {QSize(400, 300), QSize(800, 600), QSize(30, 20), QSize(1, 1)}) {
        w->resize(size);
        const auto *picTIME = w->findChild<QWidget *>(QStringLiteral("picTIME"));
        const auto *picDATE = w->findChild<QWidget *>(QStringLiteral("picDATE"));
        const auto *grip = w->findChild<QWidget *>(QStringLiteral("lablCORNER"));
        const QRect main = mainPart(0)->geometry();
        SCOPED_TRACE(size.width());
        EXPECT_EQ(main.topLeft(), QPoint(margin, margin));
        EXPECT_EQ(main.width(), std::max(0, twipsToPixelsX(size.width() * tx - 240)));
        EXPECT_EQ(mainPart(0)->Picture().size(), main.size());
        EXPECT_EQ(picTIME->height(), twipsToPixelsY(std::lround(size.height() * ty * 0.3)));
        EXPECT_TRUE(picDATE->width() >= 0 && picDATE->height() >= 0);
        EXPECT_TRUE(w->rect().contains(grip->geometry()) || size.width() < grip->width());
        // The photo keeps its corners clear of the grip, and the separator
        // shows no ends in the margin.
        const auto *line = w->findChild<QWidget *>(QStringLiteral("lnesep"));
        EXPECT_TRUE(main.isEmpty() || (w->childAt(main.bottomRight()) == mainPart(0) &&
                                       w->childAt(line->geometry().topLeft()) != line));
    }
}

TEST_F(PhotosTest, AFileThatCannotBeReadLeavesThePictureAsItWasAndSaysNothing)
{
    // Each kind of bad file is the decoder's own table; here the widget's side.
    ASSERT_TRUE(startWith({}));
    const QString good = quadrants(QStringLiteral("good.png"));
    ASSERT_TRUE(take(0, good));
    const qint64 before = mainPart(0)->Picture().cacheKey();

    QFile source(good);
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QByteArray png = source.readAll();
    QImage photo(300, 200, QImage::Format_RGB32);
    photo.fill(Qt::darkCyan);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && photo.save(&buffer, "JPEG"));
    // Garbage inside the scan, the markers left whole.
    for (qsizetype i = jpeg.size() / 2; i < jpeg.size() / 2 + 40; ++i)
        jpeg[i] = char(0xFF);
    const QString dir = test::dataHome();
    const auto write = [&](const char *name, const QByteArray &bytes) {
        QFile file(dir + QLatin1Char('/') + QLatin1String(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    };
    QDir(dir).mkdir(QStringLiteral("folder.png"));
    const QString refused[] = {write("empty.png", {}), write("cut.png", png.left(png.size() / 2)),
                               dir + QStringLiteral("/folder.png"),
                               dir + QStringLiteral("/missing.png")};

    // The image readers print about damaged files; none of it reaches the user.
    QTemporaryFile captured;
    ASSERT_TRUE(captured.open());
    fflush(stderr);
    const int saved = dup(2);
    dup2(captured.handle(), 2);
    for (const QString &path : refused)
        EXPECT_TRUE(!take(0, path) && mainPart(0)->Tag() == good &&
                    mainPart(0)->Picture().cacheKey() == before)
            << path.toStdString();
    // Shown as far as it can be read, or refused: either way without a word.
    take(0, write("garbled.jpg", jpeg));
    fflush(stderr);
    dup2(saved, 2);
    close(saved);
    EXPECT_EQ(captured.readAll(), QByteArray());
}

TEST_F(PhotosTest, APictureDroppedOnTheFrameIsTakenAndDecodedOffQtsThreadPool)
{
    // Qt's painting waits for work it puts on the global pool; decodes queued
    // there would hold every frame's painting up until they were done.
    ASSERT_TRUE(startWith({}));
    const QString path = quadrants(QStringLiteral("dropped.png"), QSize(1600, 1200));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    QSignalSpy shown(frame(0), &ResizableFrame::pictureShown);
    // A drop reaches the window that took the drag in.
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame(0), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(frame(0), &drop);
    EXPECT_EQ(QThreadPool::globalInstance()->activeThreadCount(), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.count() == 1; }, 5000));
    EXPECT_EQ(mainPart(0)->Tag(), path);
}

TEST_F(PhotosTest, SignalsAndTheSessionsEndSaveTheFrames)
{
    // Each signal's way out is the exit tests'; here what the photos program saves.
    for (const int signalNumber : {0, SIGTERM}) {
        ASSERT_TRUE(startWith({{"TOTAL", QStringLiteral("2")},
                               {"0PHOTO", QStringLiteral("/p/0.png")},
                               {"1PHOTO", QStringLiteral("/p/1.png")}}));
        installExitHandlers(*qApp);
        frame(1)->move(30 + signalNumber, 40);
        SaveSetting(reg::Total, QStringLiteral("9"));
        if (signalNumber == 0) {
            // The desktop session ending saves and leaves everything open.
            SaveWidgets();
            EXPECT_EQ(shownCount(), 2);
        } else {
            std::raise(signalNumber);
            EXPECT_TRUE(QTest::qWaitFor([] { return shownCount() == 0; }, 2000)) << signalNumber;
        }
        EXPECT_EQ(stored("TOTAL") + u' ' + stored("1PHOTO") + u' ' + stored("1PHOTOLEFT"),
                  QStringLiteral("2 /p/1.png %1").arg((30 + signalNumber) * twipsPerPixelX()))
            << signalNumber;
        qDeleteAll(qApp->findChildren<UnixSignalWatcher *>());
        resetGlobals();
    }
}

TEST_F(PhotosTest, APictureIsReadForItsFrameAndAgainWhenTheFrameGrows)
{
    const double tx = twipsPerPixelX(), ty = twipsPerPixelY();
    ASSERT_TRUE(startWith({{"TOTAL", QStringLiteral("2")},
                           {"0PHOTO", quadrants(QStringLiteral("big.png"), QSize(400, 300))},
                           {"0PHOTOWIDTH", QString::number(100 * tx)},
                           {"0PHOTOHEIGHT", QString::number(50 * ty)}}));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !photo(0).isNull(); }, 5000));
    // Just large enough to cover the main part, the aspect kept.
    EXPECT_EQ(photo(0).size(), QSize(100, 75));
    EXPECT_EQ(mainPart(0)->Picture().size(), QSize(100, 50));

    const QSize margins = frame(0)->size() - mainPart(0)->size();
    frame(0)->resize(QSize(300, 120) + margins);
    EXPECT_EQ(mainPart(0)->Picture().size(), QSize(300, 120));
    ASSERT_TRUE(QTest::qWaitFor([&] { return photo(0).size() == QSize(400, 300); }, 5000));
    const QImage shown = mainPart(0)->Picture();
    ASSERT_EQ(shown.size(), QSize(300, 120));
    EXPECT_TRUE(shown.pixel(299, 119) == qRgb(255, 255, 0) && shown.pixel(0, 0) == qRgb(255, 0, 0));
}
