// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/settingswriter.h"

#include "dblock.h"
#include "storetest.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

using namespace tavlo;
using namespace tavlo::test;
using namespace std::chrono_literals;

namespace {

const QString kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class SettingsWriterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The database exists before anyone locks it.
        SettingsDatabase db(path);
        ASSERT_TRUE(db.createKey(kUser, kDetails));
    }

    QString stored(const QString &name)
    {
        SettingsDatabase db(path);
        return textOf(db, name);
    }
    static QString pendingText(SettingsWriter &writer, const QString &name)
    {
        const SettingsWrite *write = writer.pending(kUser, kDetails, name);
        if (!write)
            return "<none>";
        return write->value ? write->value->toText() : "<deleted>";
    }
    // Leaves a pending file behind, as a program ended with the lock held: Left = 1, Top
    // deleted, Width empty. A lock the test holds already does as well as this one.
    QString leavePendingFile()
    {
        test::DatabaseLock lock(path);
        SettingsWriter writer(path, autostart);
        writer.setValue(kUser, kDetails, RegValue::text("Left", "1"));
        writer.setValue(kUser, kDetails, RegValue::text("Top", "2"));
        writer.deleteValue(kUser, kDetails, "Top");
        writer.setValue(kUser, kDetails, RegValue::text("Width", QString()));
        EXPECT_FALSE(writer.flush(100ms));
        const QString file = writer.pendingPath();
        EXPECT_TRUE(QFile::exists(file));
        writer.stop();
        return file;
    }

    QTemporaryDir dir;
    const QString path = dir.filePath("registry.db");
    const QString autostart = dir.filePath("autostart");
};

} // namespace

TEST_F(SettingsWriterTest, WritesCommitInOrderAndShowUntilThen)
{
    test::DatabaseLock lock(path);
    SettingsWriter writer(path, autostart);
    writer.setValue(kUser, kDetails, RegValue::text("Left", "1"));
    writer.setValue(kUser, kDetails, RegValue::text("Top", "2"));
    writer.setValue(kUser, kDetails, RegValue::text("LEFT", "3"));
    writer.deleteValue(kUser, kDetails, "Top");
    writer.deleteValue(kUser, kDetails, "Never-there");
    EXPECT_EQ(pendingText(writer, "left"), "3");
    EXPECT_EQ(pendingText(writer, "Top"), "<deleted>");
    EXPECT_EQ(pendingText(writer, "Width"), "<none>");
    EXPECT_EQ(writer.committed(), 0u);

    lock.release();
    EXPECT_TRUE(writer.flush(5s));
    EXPECT_EQ(stored("Left"), "3");
    EXPECT_EQ(stored("Top"), "<absent>");
    EXPECT_EQ(pendingText(writer, "Left"), "<none>");
    EXPECT_EQ(writer.committed(), 5u);
    EXPECT_FALSE(QFile::exists(writer.pendingPath()));
}

TEST_F(SettingsWriterTest, AutostartEntriesTakeTextOnlyAndNeverHoldUpTheRest)
{
    {
        SettingsWriter writer(path, autostart);
        EXPECT_FALSE(
            writer.setValue(RegHive::LocalMachine, kRun, RegValue::dword("TavloClock", 1)));
        EXPECT_TRUE(writer.setValue(RegHive::LocalMachine, kRun,
                                    RegValue::text("TavloClock", "/bin/clock")));
        EXPECT_TRUE(writer.flush(5s));
        EXPECT_TRUE(QFile::exists(autostart + "/TavloClock.desktop"));
    }
    // A file where the folder belongs.
    ASSERT_TRUE(QDir(autostart).removeRecursively());
    ASSERT_TRUE(writeFile(autostart, ""));
    SettingsWriter writer(path, autostart);
    writer.setValue(RegHive::LocalMachine, kRun, RegValue::text("TavloClock", "/bin/other"));
    writer.setValue(kUser, kDetails, RegValue::text("Left", "1"));
    EXPECT_TRUE(writer.flush(5s));
    EXPECT_EQ(stored("Left"), "1");
}

TEST_F(SettingsWriterTest, NextWriterAppliesThePendingFileOnceTheLockIsGone)
{
    test::DatabaseLock lock(path);
    const QString file = leavePendingFile();
    SettingsWriter next(path, autostart);
    EXPECT_EQ(pendingText(next, "Left"), "1");
    EXPECT_EQ(pendingText(next, "Top"), "<deleted>");
    EXPECT_EQ(pendingText(next, "Width"), "");
    lock.release();
    EXPECT_TRUE(next.flush(5s));
    EXPECT_EQ(stored("Left"), "1");
    EXPECT_EQ(stored("Top"), "<absent>");
    EXPECT_EQ(stored("Width"), "");
    EXPECT_FALSE(QFile::exists(file));
}

TEST_F(SettingsWriterTest, BadPendingFilesAreIgnored)
{
    const QString good = leavePendingFile();
    const QByteArray bytes = readFile(good);
    QFile::remove(good);

    const QString prefix = path + ".pending.";
    QByteArray flipped = bytes;
    flipped[flipped.size() - 2] = char(flipped[flipped.size() - 2] ^ 0x20);
    // pid 1 is always running: its writes are its own to commit.
    // clang-format off
    const struct { const char *what; QString file; QByteArray bytes; qint64 size; } cases[] = {
        {"garbage", prefix + "999999991", QByteArray(300, 'g'), 0},
        {"truncated", prefix + "999999992", bytes.left(bytes.size() - 3), 0},
        {"one bit changed", prefix + "999999993", flipped, 0},
        {"empty", prefix + "999999994", QByteArray(), 0},
        {"huge", prefix + "999999995", bytes, SettingsWriter::MaxPendingFileBytes + 1},
        {"owner running", prefix + "1", bytes, 0}, {"not a process number", prefix + "x12", bytes, 0}};
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(writeFile(c.file, c.bytes));
        if (c.size) {
            ASSERT_TRUE(QFile::resize(c.file, c.size));
        }
        SettingsWriter writer(path, autostart);
        EXPECT_EQ(pendingText(writer, "Left"), "<none>");
        EXPECT_TRUE(writer.flush(5s));
        EXPECT_EQ(stored("Left"), "<absent>");
        EXPECT_TRUE(QFile::exists(c.file));
        QFile::remove(c.file);
    }
}
