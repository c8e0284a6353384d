// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/settingsdb.h"
#include "storetest.h"

#include <QProcess>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace tavlo;
using namespace tavlo::test;

namespace {

bool put(SettingsDatabase &db, const QString &name, const QString &text,
         const QString &key = kDetails)
{
    return db.setValue(kUser, key, RegValue::text(name, text));
}

QByteArray garbage(int size)
{
    QByteArray bytes(size, '\0');
    quint32 seed = 12345;
    for (char &c : bytes) {
        seed = seed * 1103515245u + 12345u;
        c = char(seed >> 16);
    }
    return bytes;
}

} // namespace

TEST(SettingsDatabaseTest, NamesAndKeysCompareCaseInsensitively)
{
    SettingsDatabase db;
    ASSERT_TRUE(put(db, "Date-align", "2"));
    EXPECT_EQ(textOf(db, "DATE-align", "software\\tavloclock\\SETTINGS\\details"), "2");
    // Empty parts of a path do not count.
    EXPECT_EQ(textOf(db, "Date-align", "\\SOFTWARE\\\\TavloClock\\Settings\\Details\\"), "2");
    EXPECT_EQ(textOf(db, "Date-alig"), "<absent>");
    // A second write in other case replaces the data and keeps the first spelling.
    ASSERT_TRUE(put(db, "DATE-ALIGN", "1", "software\\TAVLOCLOCK\\settings\\DETAILS"));
    const auto values = db.values(kUser, kDetails);
    ASSERT_EQ(values->size(), 1);
    EXPECT_EQ(values->first().name, "Date-align");
    EXPECT_EQ(values->first().toText(), "1");
    EXPECT_EQ(db.subKeys(kUser, "software"), QStringList{"TavloClock"});
    // Beyond ASCII too.
    ASSERT_TRUE(put(db, "Été-Größe", "x", "Software\\Ärger\\ΩMEGA"));
    EXPECT_EQ(textOf(db, "été-grÖße", "SOFTWARE\\äRGER\\ωmega"), "x");
    // The two hives are separate.
    EXPECT_FALSE(db.value(RegHive::LocalMachine, kDetails, "Date-align"));
}

TEST(SettingsDatabaseTest, KeysExistWithoutValuesAndGoAsWholeTrees)
{
    SettingsDatabase db;
    EXPECT_TRUE(db.keyExists(kUser, QString())); // the hive itself
    EXPECT_FALSE(db.keyExists(kUser, "SOFTWARE"));
    EXPECT_FALSE(db.values(kUser, "SOFTWARE"));
    EXPECT_FALSE(db.subKeys(kUser, "SOFTWARE"));
    ASSERT_TRUE(db.createKey(kUser, "SOFTWARE\\TavloClock\\fapp_CLOCK\\Window"));
    EXPECT_TRUE(db.createKey(kUser, "software\\tavloclock")); // exists already
    EXPECT_TRUE(db.keyExists(kUser, "SOFTWARE\\TavloClock\\fapp_CLOCK"));
    EXPECT_TRUE(db.values(kUser, "SOFTWARE\\TavloClock")->isEmpty());
    ASSERT_TRUE(put(db, "TOTAL", "0"));
    ASSERT_TRUE(db.createKey(kUser, "SOFTWARE\\TavloClock\\Bravo"));
    EXPECT_EQ(db.subKeys(kUser, "SOFTWARE\\TAVLOCLOCK"),
              (QStringList{"Bravo", "fapp_CLOCK", "Settings"}));
    EXPECT_EQ(db.subKeys(kUser, "SOFTWARE\\TavloClock\\Bravo"), QStringList());
    EXPECT_EQ(db.subKeys(kUser, QString()), QStringList{"SOFTWARE"});

    const QString root = QStringLiteral("SOFTWARE\\TavloClock");
    ASSERT_TRUE(put(db, "TOTAL", "1"));
    ASSERT_TRUE(put(db, "Left", "10", root + "\\fapp_CLOCK\\Window"));
    // Shares the prefix "SOFTWARE\TavloClock" but is not below it.
    ASSERT_TRUE(put(db, "keep", "1", "SOFTWARE\\TavloClockX"));
    ASSERT_TRUE(put(db, "top", "1", root));
    EXPECT_TRUE(db.deleteValue(kUser, root, "TOP"));
    EXPECT_FALSE(db.deleteValue(kUser, root, "top"));
    EXPECT_TRUE(db.keyExists(kUser, root));

    EXPECT_TRUE(db.deleteKey(kUser, "software\\tavloclock"));
    EXPECT_FALSE(db.keyExists(kUser, kDetails));
    EXPECT_FALSE(db.value(kUser, root + "\\fapp_CLOCK\\Window", "Left"));
    EXPECT_EQ(textOf(db, "keep", "SOFTWARE\\TavloClockX"), "1");
    EXPECT_EQ(db.subKeys(kUser, "SOFTWARE"), QStringList{"TavloClockX"});
    // Re-created keys start empty.
    ASSERT_TRUE(db.createKey(kUser, kDetails));
    EXPECT_TRUE(db.values(kUser, kDetails)->isEmpty());

    EXPECT_FALSE(db.deleteKey(kUser, "SOFTWARE\\Nothing"));
    EXPECT_FALSE(db.deleteKey(kUser, QString()));
    EXPECT_FALSE(db.deleteKey(kUser, "\\"));
    EXPECT_TRUE(db.keyExists(kUser, QString()));
}

TEST(SettingsDatabaseTest, AnotherProgramsWriteShowsWhileTwoConnectionsHereAreOpen)
{
    SettingsDatabase first;
    ASSERT_TRUE(put(first, "Color", "1"));
    // Opening a second connection in this process must leave the first one's
    // locks in place, or the other program takes itself for the last user
    // and removes the write-ahead log under both.
    SettingsDatabase second;
    EXPECT_EQ(textOf(second, "Color"), "1");
    QProcess tavloreg;
    tavloreg.start(QStringLiteral(TAVLOREG_PATH),
                   {"add", "HKCU\\" + kDetails, "/v", "Color", "/d", "2", "/f"});
    ASSERT_TRUE(tavloreg.waitForFinished(30000));
    EXPECT_TRUE(QFileInfo::exists(first.path() + "-wal"));
    EXPECT_EQ(textOf(first, "Color"), "2");
    EXPECT_EQ(textOf(second, "Color"), "2");
}

TEST(SettingsDatabaseTest, DamagedOrTruncatedFileFailsQuietlyAndIsLeftAlone)
{
    const QString path = SettingsDatabase::defaultPath();
    {
        SettingsDatabase db;
        for (int i = 0; i < 400; ++i)
            ASSERT_TRUE(put(db, QStringLiteral("v%1").arg(i), QString(200, QLatin1Char('x')),
                            kDetails + QStringLiteral("\\%1").arg(i % 20)));
    }
    const QByteArray whole = readFile(path);
    ASSERT_GT(whole.size(), 64 * 1024);
    ASSERT_FALSE(QFileInfo::exists(path + "-wal")); // checkpointed at close
    // clang-format off
    const struct { const char *what; QByteArray bytes; } cases[] = {
        {"half", whole.left(whole.size() / 2)}, {"a header only", whole.left(100)},
        {"a page and a bit", whole.left(4096 + 10)}, {"garbage", garbage(8192)}};
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(writeFile(path, c.bytes));
        SettingsDatabase db;
        EXPECT_FALSE(put(db, "new", "1"));
        EXPECT_FALSE(db.createKey(kUser, "Other"));
        EXPECT_FALSE(db.deleteKey(kUser, kDetails + "\\3"));
        EXPECT_FALSE(db.deleteValue(kUser, kDetails + "\\4", "v4"));
        db.value(kUser, kDetails + "\\3", "v3");
        db.values(kUser, kDetails + "\\3");
        EXPECT_EQ(readFile(path), c.bytes);
        EXPECT_FALSE(QFileInfo::exists(path + "-wal"));
    }
    // Garbage, the last one, reads as absent everywhere, the hive itself included.
    SettingsDatabase db;
    EXPECT_FALSE(db.value(kUser, kDetails, "TOTAL"));
    EXPECT_FALSE(db.keyExists(kUser, QString()));
    EXPECT_FALSE(db.values(kUser, QString()));
    EXPECT_FALSE(db.subKeys(kUser, QString()));
}

TEST(SettingsDatabaseTest, FileReplacedWhileOpenIsFollowed)
{
    const QString path = SettingsDatabase::defaultPath();
    const QString temp = path + ".tmp";
    SettingsDatabase db;
    ASSERT_TRUE(put(db, "TOTAL", "1"));
    ASSERT_TRUE(put(db, "Old", "x"));
    ASSERT_TRUE(QFileInfo::exists(path + "-wal"));

    // A backup restored by rename, as editors and backup tools do: its own
    // content shows, nothing of the old file's pending log leaks into it.
    {
        SettingsDatabase backup(temp);
        ASSERT_TRUE(put(backup, "TOTAL", "7"));
    }
    ASSERT_TRUE(QFile::rename(path, path + ".old"));
    ASSERT_TRUE(QFile::rename(temp, path));
    EXPECT_EQ(textOf(db, "TOTAL"), "7");
    EXPECT_EQ(textOf(db, "Old"), "<absent>");
    ASSERT_TRUE(put(db, "Old", "y"));

    // Replaced by junk: refused, and the junk stays as it is.
    const QByteArray junk = garbage(4096);
    ASSERT_TRUE(writeFile(temp, junk));
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(temp, path));
    EXPECT_FALSE(db.value(kUser, kDetails, "TOTAL"));
    EXPECT_FALSE(put(db, "TOTAL", "2"));
    EXPECT_EQ(readFile(path), junk);

    // Removed altogether: a fresh store, as on a first run.
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_FALSE(db.value(kUser, kDetails, "TOTAL"));
    EXPECT_TRUE(put(db, "TOTAL", "3"));
    EXPECT_EQ(textOf(db, "TOTAL"), "3");
    EXPECT_EQ(textOf(db, "Old"), "<absent>");

    // Removed while in use, then replaced by junk: the pending log is not replayed onto it.
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(writeFile(path, junk));
    EXPECT_FALSE(db.value(kUser, kDetails, "TOTAL"));
    EXPECT_EQ(readFile(path), junk);
}

TEST(SettingsDatabaseTest, TwoWritersInTwoThreadsLoseNothing)
{
    constexpr int perWriter = 300;
    // Both also write one shared key, so their transactions really contend; the
    // second writes through batches, as an import does.
    const auto key = [](int id, int i) {
        return i % 2 ? kDetails : kDetails + QStringLiteral("\\W%1").arg(id);
    };
    const auto name = [](int id, int i) { return QStringLiteral("w%1-%2").arg(id).arg(i); };
    std::atomic<int> failures = 0;
    const auto writer = [&](int id) {
        SettingsDatabase db;
        for (int i = 0; i < perWriter; ++i) {
            const RegValue value = RegValue::text(name(id, i), QString::number(i));
            failures += !(id == 1 ? db.setValue(kUser, key(id, i), value)
                                  : db.applyBatch({{SettingsDatabase::Change::SetValue, kUser,
                                                    key(id, i), value}}));
        }
    };
    std::thread first(writer, 1);
    std::thread second(writer, 2);
    first.join();
    second.join();
    EXPECT_EQ(failures.load(), 0);
    SettingsDatabase db;
    int found = 0;
    for (int id : {1, 2}) {
        for (int i = 0; i < perWriter; ++i)
            found += textOf(db, name(id, i), key(id, i)) == QString::number(i);
    }
    EXPECT_EQ(found, 2 * perWriter);
}

TEST(SettingsDatabaseTest, ReaderNeverSeesAHalfWrittenValue)
{
    const QString a(150 * 1024, QLatin1Char('A'));
    const QString b(160 * 1024, QLatin1Char('B'));
    {
        SettingsDatabase db;
        ASSERT_TRUE(put(db, "PHOTO", a));
    }
    std::atomic<bool> done = false;
    std::atomic<int> writes = 0;
    std::thread writer([&] {
        SettingsDatabase db;
        for (int i = 0; i < 60; ++i)
            writes += put(db, "PHOTO", i % 2 ? a : b);
        done = true;
    });
    SettingsDatabase reader;
    int reads = 0;
    int torn = 0;
    while (!done || reads == 0) {
        const QString text = textOf(reader, "photo");
        ++reads;
        torn += text != a && text != b;
    }
    writer.join();
    EXPECT_EQ(writes.load(), 60);
    EXPECT_EQ(torn, 0) << "of " << reads << " reads";
}

TEST(SettingsDatabaseTest, AppliesABatchWhollyOrNotAtAll)
{
    using Change = SettingsDatabase::Change;
    const QString sub = kDetails + "\\Sub";
    SettingsDatabase db;
    ASSERT_TRUE(put(db, "a", "1"));
    ASSERT_TRUE(put(db, "b", "1"));
    ASSERT_TRUE(put(db, "c", "1", sub + "\\Deep"));
    ASSERT_TRUE(refuseValueNamedRefused(db.path()));

    const auto set = [](const QString &key, const char *name, const char *text) {
        return Change{Change::SetValue, kUser, key, RegValue::text(name, text)};
    };
    const auto change = [](Change::Kind kind, const QString &key, const char *name = "") {
        return Change{kind, kUser, key, RegValue::text(name, "")};
    };
    const QList<QList<Change>> failing = {
        {set(kDetails, "a", "2"), change(Change::DeleteKey, sub),
         set("SOFTWARE\\New", "refused", "x")},
        {change(Change::CreateKey, "SOFTWARE\\New"), change(Change::DeleteValue, kDetails, "B"),
         change(Change::DeleteKey, "\\")},
    };
    for (const QList<Change> &batch : failing) {
        EXPECT_FALSE(db.applyBatch(batch));
        EXPECT_EQ(textOf(db, "a") + textOf(db, "b") + textOf(db, "c", sub + "\\Deep"), "111");
        EXPECT_FALSE(db.keyExists(kUser, "SOFTWARE\\New"));
    }
    // In order: a key deleted and then made again holds only what came after.
    EXPECT_TRUE(db.applyBatch({
        set(kDetails, "A", "2"),
        change(Change::DeleteValue, kDetails, "b"),
        change(Change::DeleteValue, kDetails, "none"),
        change(Change::DeleteKey, sub),
        change(Change::DeleteKey, "SOFTWARE\\Nothing"),
        set(sub, "d", "4"),
        change(Change::CreateKey, "SOFTWARE\\New\\Key"),
    }));
    EXPECT_EQ(textOf(db, "a"), "2");
    EXPECT_EQ(textOf(db, "b"), "<absent>");
    EXPECT_EQ(textOf(db, "d", sub), "4");
    EXPECT_FALSE(db.keyExists(kUser, sub + "\\Deep"));
    EXPECT_TRUE(db.keyExists(kUser, "software\\new\\key"));
    EXPECT_TRUE(db.applyBatch({}));
}
