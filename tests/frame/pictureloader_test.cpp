// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/pictureloader.h"

#include <QCoreApplication>
#include <QImageWriter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>
#include <gtest/gtest.h>

#include <memory>

namespace tavlo {
namespace {

class PictureLoaderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QImage picture(600, 400, QImage::Format_RGB32);
        picture.fill(Qt::darkCyan);
        m_picture = m_dir.filePath(QStringLiteral("photo.png"));
        ASSERT_TRUE(QImageWriter(m_picture).write(picture));
        m_other = m_dir.filePath(QStringLiteral("other.jpg"));
        ASSERT_TRUE(QImageWriter(m_other).write(picture.scaled(300, 300)));
    }
    void TearDown() override { EXPECT_TRUE(m_pool.waitForDone(10000)); }

    // Lets queued results arrive for a while.
    static void settle()
    {
        for (int i = 0; i < 20; ++i) {
            QThread::msleep(10);
            QCoreApplication::processEvents();
        }
    }

    QTemporaryDir m_dir;
    QString m_picture;
    QString m_other;
    QThreadPool m_pool;
};

TEST_F(PictureLoaderTest, AnswersOnTheInterfaceThreadWithThePictureOrTheReason)
{
    PictureLoader loader(&m_pool);
    QThread *deliveredOn = nullptr;
    QObject::connect(&loader, &PictureLoader::pictureLoaded, &loader,
                     [&] { deliveredOn = QThread::currentThread(); });
    QSignalSpy loaded(&loader, &PictureLoader::pictureLoaded);
    QSignalSpy failed(&loader, &PictureLoader::pictureFailed);
    const quint64 generation = loader.request(m_picture, QSize(300, 300));
    ASSERT_TRUE(loaded.wait(10000));
    EXPECT_EQ(loaded[0][0].value<quint64>(), generation);
    EXPECT_EQ(loaded[0][1].toString(), m_picture);
    EXPECT_EQ(loaded[0][2].value<QImage>().size(), QSize(300, 200));
    EXPECT_EQ(deliveredOn, QCoreApplication::instance()->thread());

    const quint64 folder = loader.request(m_dir.path(), QSize(300, 300));
    ASSERT_TRUE(failed.wait(10000));
    EXPECT_EQ(failed[0][0].value<quint64>(), folder);
    EXPECT_EQ(failed[0][2].value<PictureFailure>(), PictureFailure::NotAFile);
    EXPECT_EQ(loaded.size(), 1);
}

TEST_F(PictureLoaderTest, OnlyTheLatestRequestIsAnswered)
{
    PictureLoader loader(&m_pool);
    QSignalSpy loaded(&loader, &PictureLoader::pictureLoaded);
    loader.request(m_picture, QSize(600, 400));
    loader.request(m_picture, QSize(60, 40));
    const quint64 last = loader.request(m_other, QSize(100, 100));
    ASSERT_TRUE(loaded.wait(10000));
    m_pool.waitForDone(10000);
    settle();
    ASSERT_EQ(loaded.size(), 1);
    EXPECT_EQ(loaded[0][0].value<quint64>(), last);
    EXPECT_EQ(loaded[0][1].toString(), m_other);
}

TEST_F(PictureLoaderTest, CancelledOrGoneLoadersHearNothing)
{
    auto loader = std::make_unique<PictureLoader>(&m_pool);
    QSignalSpy loaded(loader.get(), &PictureLoader::pictureLoaded);
    loader->request(m_picture, QSize(300, 300));
    loader->cancel();
    m_pool.waitForDone(10000);
    settle();
    EXPECT_EQ(loaded.size(), 0);

    loader->request(m_picture, QSize(300, 300));
    loader.reset();
    EXPECT_TRUE(m_pool.waitForDone(10000));
    settle();
}

} // namespace
} // namespace tavlo
