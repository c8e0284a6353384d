#include "platform/settingsdb.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QtEndian>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <thread>

using namespace tavlo;

namespace {

const QString kDetails = QStringLiteral("SOFTWARE\\TavloClock\\Settings\\Details");
constexpr RegHive kUser = RegHive::CurrentUser;

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

QString textOf(SettingsDatabase &db, const QString &key, const QString &name)
{
    const auto value = db.value(kUser, key, name);
    return value ? value->toText() : QStringLiteral("<absent>");
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

// A valid database file at path holding one value, written by a connection
// that is closed again.
void makeDatabase(const QString &path, const QString &text)
{
    SettingsDatabase other(path);
    ASSERT_TRUE(other.setValue(kUser, kDetails, RegValue::text(QStringLiteral("TOTAL"), text)));
}

} // namespace

TEST(SettingsDatabaseTest, LivesUnderXdgConfigHome)
{
    const QString expected = tavlo::test::configHome() + QStringLiteral("/tavlo/registry.db");
    EXPECT_EQ(SettingsDatabase::defaultPath(), expected);
    SettingsDatabase db;
    EXPECT_EQ(db.path(), expected);
    ASSERT_TRUE(db.setValue(kUser, kDetails, RegValue::text(QStringLiteral("TOTAL"), "1")));
    EXPECT_TRUE(QFileInfo(expected).isFile());
    // Bytes 18 and 19 of the header are 2 in WAL mode.
    const QByteArray header = readFile(expected).left(20);
    ASSERT_EQ(header.size(), 20);
    EXPECT_EQ(header[18], 2);
    EXPECT_EQ(header[19], 2);
}

TEST(SettingsDatabaseTest, NamesAndKeysCompareCaseInsensitively)
{
    SettingsDatabase db;
    ASSERT_TRUE(db.setValue(kUser, kDetails, RegValue::text(QStringLiteral("Date-align"), "2")));
    EXPECT_EQ(textOf(db, kDetails, QStringLiteral("date-ALIGN")), QStringLiteral("2"));
    EXPECT_EQ(textOf(db, QStringLiteral("software\\tavloclock\\SETTINGS\\details"),
                     QStringLiteral("DATE-align")),
              QStringLiteral("2"));
    // Empty parts of a path do not count.
    EXPECT_EQ(textOf(db, QStringLiteral("\\SOFTWARE\\\\TavloClock\\Settings\\Details\\"),
                     QStringLiteral("Date-align")),
              QStringLiteral("2"));
    EXPECT_EQ(textOf(db, kDetails, QStringLiteral("Date-alig")), QStringLiteral("<absent>"));

    // A second write in other case replaces the data and keeps the first spelling.
    ASSERT_TRUE(db.setValue(kUser, QStringLiteral("software\\TAVLOCLOCK\\settings\\DETAILS"),
                            RegValue::text(QStringLiteral("DATE-ALIGN"), "1")));
    const auto values = db.values(kUser, kDetails);
    ASSERT_TRUE(values);
    ASSERT_EQ(values->size(), 1);
    EXPECT_EQ(values->first().name, QStringLiteral("Date-align"));
    EXPECT_EQ(values->first().toText(), QStringLiteral("1"));
    EXPECT_EQ(db.subKeys(kUser, QStringLiteral("software")), QStringList{"TavloClock"});

    // Beyond ASCII too.
    const QString key = QStringLiteral("Software\\Ärger\\ΩMEGA");
    ASSERT_TRUE(db.setValue(kUser, key, RegValue::text(QStringLiteral("Été-Größe"), "x")));
    EXPECT_EQ(textOf(db, QStringLiteral("SOFTWARE\\äRGER\\ωmega"), QStringLiteral("été-grÖße")),
              QStringLiteral("x"));
    EXPECT_TRUE(db.keyExists(kUser, QStringLiteral("software\\ärger")));

    // The two hives are separate.
    EXPECT_FALSE(db.value(RegHive::LocalMachine, kDetails, QStringLiteral("Date-align")));
}

TEST(SettingsDatabaseTest, KeepsTypeAndDataOfEveryType)
{
    SettingsDatabase db;
    QByteArray qword(8, '\0');
    qToLittleEndian<quint64>(0x0102030405060708ull, qword.data());
    const QList<RegValue> table = {
        RegValue::text(QStringLiteral("sz"), QStringLiteral("Trebuchet MS")),
        RegValue::text(QStringLiteral("expand"), QStringLiteral("%HOME%/x"), RegExpandSz),
        RegValue{QStringLiteral("binary"), RegBinary, QByteArray("\x00\x01\xff\x00", 4)},
        RegValue::dword(QStringLiteral("dword"), 0xdeadbeef),
        RegValue{QStringLiteral("multi"), RegMultiSz, QByteArray("one\0two\0three", 13)},
        RegValue{QStringLiteral("qword"), RegQword, qword},
        RegValue{QStringLiteral("none"), RegNone, QByteArray("\x7f", 1)},
        RegValue::text(QString(), QStringLiteral("unnamed")),
    };
    for (const RegValue &value : table)
        ASSERT_TRUE(db.setValue(kUser, kDetails, value)) << value.name.toStdString();
    for (const RegValue &value : table) {
        const auto back = db.value(kUser, kDetails, value.name);
        ASSERT_TRUE(back) << value.name.toStdString();
        EXPECT_EQ(back->type, value.type) << value.name.toStdString();
        EXPECT_EQ(back->data, value.data) << value.name.toStdString();
    }
    // values() lists them in the order first written.
    const auto values = db.values(kUser, kDetails);
    ASSERT_TRUE(values);
    ASSERT_EQ(values->size(), table.size());
    for (qsizetype i = 0; i < table.size(); ++i)
        EXPECT_EQ(values->at(i).name, table[i].name);
}

TEST(SettingsDatabaseTest, LongAndEmptyValuesReadBackWhole)
{
    SettingsDatabase db;
    QString longText;
    for (int i = 0; longText.size() < 100 * 1024; ++i)
        longText += QString::number(i) + QStringLiteral("ü,");
    ASSERT_TRUE(db.setValue(kUser, kDetails, RegValue::text(QStringLiteral("long"), longText)));
    ASSERT_TRUE(db.setValue(kUser, kDetails, RegValue::text(QStringLiteral("empty"), QString())));
    EXPECT_EQ(textOf(db, kDetails, QStringLiteral("long")), longText);

    const auto empty = db.value(kUser, kDetails, QStringLiteral("empty"));
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->type, RegSz);
    EXPECT_TRUE(empty->data.isEmpty());
    EXPECT_FALSE(empty->data.isNull());
    EXPECT_EQ(empty->toText(), QString());
    EXPECT_FALSE(db.value(kUser, kDetails, QStringLiteral("missing")));
}

TEST(SettingsDatabaseTest, KeysExistWithoutValues)
{
    SettingsDatabase db;
    EXPECT_TRUE(db.keyExists(kUser, QString())); // the hive itself
    EXPECT_FALSE(db.keyExists(kUser, QStringLiteral("SOFTWARE")));
    EXPECT_FALSE(db.values(kUser, QStringLiteral("SOFTWARE")));
    EXPECT_FALSE(db.subKeys(kUser, QStringLiteral("SOFTWARE")));

    ASSERT_TRUE(db.createKey(kUser, QStringLiteral("SOFTWARE\\TavloClock\\fapp_CLOCK\\Window")));
    EXPECT_TRUE(db.createKey(kUser, QStringLiteral("software\\tavloclock"))); // exists already
    EXPECT_TRUE(db.keyExists(kUser, QStringLiteral("SOFTWARE")));
    EXPECT_TRUE(db.keyExists(kUser, QStringLiteral("SOFTWARE\\TavloClock\\fapp_CLOCK")));
    const auto values = db.values(kUser, QStringLiteral("SOFTWARE\\TavloClock"));
    ASSERT_TRUE(values);
    EXPECT_TRUE(values->isEmpty());

    ASSERT_TRUE(db.setValue(kUser, kDetails, RegValue::text(QStringLiteral("TOTAL"), "0")));
    ASSERT_TRUE(db.createKey(kUser, QStringLiteral("SOFTWARE\\TavloClock\\Bravo")));
    EXPECT_EQ(db.subKeys(kUser, QStringLiteral("SOFTWARE\\TAVLOCLOCK")),
              (QStringList{"Bravo", "fapp_CLOCK", "Settings"}));
    EXPECT_EQ(db.subKeys(kUser, QStringLiteral("SOFTWARE\\TavloClock\\Bravo")), QStringList());
    EXPECT_EQ(db.subKeys(kUser, QString()), QStringList{"SOFTWARE"});
}

TEST(SettingsDatabaseTest, DeletesValuesAndWholeKeyTrees)
{
    SettingsDatabase db;
    const QString root = QStringLiteral("SOFTWARE\\TavloClock");
    ASSERT_TRUE(db.setValue(kUser, kDetails, RegValue::text(QStringLiteral("TOTAL"), "1")));
    ASSERT_TRUE(db.setValue(kUser, root + QStringLiteral("\\fapp_CLOCK\\Window"),
                            RegValue::text(QStringLiteral("Left"), "10")));
    // Shares the prefix "SOFTWARE\TavloClock" but is not below it.
    ASSERT_TRUE(db.setValue(kUser, QStringLiteral("SOFTWARE\\TavloClockX"),
                            RegValue::text(QStringLiteral("keep"), "1")));
    ASSERT_TRUE(db.setValue(kUser, root, RegValue::text(QStringLiteral("top"), "1")));

    EXPECT_TRUE(db.deleteValue(kUser, root, QStringLiteral("TOP")));
    EXPECT_FALSE(db.deleteValue(kUser, root, QStringLiteral("top")));
    EXPECT_TRUE(db.keyExists(kUser, root));

    EXPECT_TRUE(db.deleteKey(kUser, QStringLiteral("software\\tavloclock")));
    EXPECT_FALSE(db.keyExists(kUser, root));
    EXPECT_FALSE(db.keyExists(kUser, kDetails));
    EXPECT_FALSE(db.value(kUser, kDetails, QStringLiteral("TOTAL")));
    EXPECT_FALSE(db.value(kUser, root + QStringLiteral("\\fapp_CLOCK\\Window"), "Left"));
    EXPECT_EQ(textOf(db, QStringLiteral("SOFTWARE\\TavloClockX"), QStringLiteral("keep")), "1");
    EXPECT_EQ(db.subKeys(kUser, QStringLiteral("SOFTWARE")), QStringList{"TavloClockX"});

    // Re-created keys start empty.
    ASSERT_TRUE(db.createKey(kUser, kDetails));
    const auto fresh = db.values(kUser, kDetails);
    ASSERT_TRUE(fresh);
    EXPECT_TRUE(fresh->isEmpty());

    EXPECT_FALSE(db.deleteKey(kUser, QStringLiteral("SOFTWARE\\Nothing")));
    EXPECT_FALSE(db.deleteKey(kUser, QString()));
    EXPECT_FALSE(db.deleteKey(kUser, QStringLiteral("\\")));
    EXPECT_TRUE(db.keyExists(kUser, QString()));
}

TEST(SettingsDatabaseTest, EveryReadSeesTheLatestWriteOfAnotherConnection)
{
    SettingsDatabase reader;
    SettingsDatabase writer;
    EXPECT_EQ(textOf(reader, kDetails, QStringLiteral("Color")), QStringLiteral("<absent>"));
    ASSERT_TRUE(writer.setValue(kUser, kDetails, RegValue::text(QStringLiteral("Color"), "255")));
    EXPECT_EQ(textOf(reader, kDetails, QStringLiteral("color")), QStringLiteral("255"));
    ASSERT_TRUE(writer.setValue(kUser, kDetails, RegValue::text(QStringLiteral("Color"), "0")));
    EXPECT_EQ(textOf(reader, kDetails, QStringLiteral("Color")), QStringLiteral("0"));
    ASSERT_TRUE(writer.deleteKey(kUser, QStringLiteral("SOFTWARE")));
    EXPECT_EQ(textOf(reader, kDetails, QStringLiteral("Color")), QStringLiteral("<absent>"));
}

TEST(SettingsDatabaseTest, AnotherProgramsWriteShowsWhileTwoConnectionsHereAreOpen)
{
    SettingsDatabase first;
    ASSERT_TRUE(first.setValue(kUser, kDetails, RegValue::text(QStringLiteral("Color"), "1")));
    // Opening a second connection in this process must leave the first one's
    // locks in place, or the other program takes itself for the last user
    // and removes the write-ahead log under both.
    SettingsDatabase second;
    EXPECT_EQ(textOf(second, kDetails, QStringLiteral("Color")), QStringLiteral("1"));
    QProcess tavloreg;
    tavloreg.start(QStringLiteral(TAVLOREG_PATH),
                   {QStringLiteral("add"), QStringLiteral("HKCU\\") + kDetails,
                    QStringLiteral("/v"), QStringLiteral("Color"), QStringLiteral("/d"),
                    QStringLiteral("2"), QStringLiteral("/f")});
    ASSERT_TRUE(tavloreg.waitForFinished(30000));
    EXPECT_TRUE(QFileInfo::exists(first.path() + QStringLiteral("-wal")));
    EXPECT_EQ(textOf(first, kDetails, QStringLiteral("Color")), QStringLiteral("2"));
    EXPECT_EQ(textOf(second, kDetails, QStringLiteral("Color")), QStringLiteral("2"));
}

TEST(SettingsDatabaseTest, DamagedFileFailsQuietlyAndIsLeftAlone)
{
    const QString path = SettingsDatabase::defaultPath();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    const QByteArray junk = garbage(8192);
    ASSERT_TRUE(writeFile(path, junk));

    SettingsDatabase db;
    EXPECT_FALSE(db.value(kUser, kDetails, QStringLiteral("TOTAL")));
    EXPECT_FALSE(db.setValue(kUser, kDetails, RegValue::text(QStringLiteral("TOTAL"), "1")));
    EXPECT_FALSE(db.createKey(kUser, kDetails));
    EXPECT_FALSE(db.keyExists(kUser, QString()));
    EXPECT_FALSE(db.values(kUser, QString()));
    EXPECT_FALSE(db.subKeys(kUser, QString()));
    EXPECT_FALSE(db.deleteKey(kUser, kDetails));
    EXPECT_FALSE(db.deleteValue(kUser, kDetails, QStringLiteral("TOTAL")));
    EXPECT_EQ(readFile(path), junk);
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral("-wal")));

    // Someone restores a good file: the same object works again.
    const QString good = path + QStringLiteral(".restored");
    makeDatabase(good, QStringLiteral("7"));
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(good, path));
    EXPECT_EQ(textOf(db, kDetails, QStringLiteral("TOTAL")), QStringLiteral("7"));
    EXPECT_TRUE(db.setValue(kUser, kDetails, RegValue::text(QStringLiteral("TOTAL"), "8")));
    EXPECT_EQ(textOf(db, kDetails, QStringLiteral("TOTAL")), QStringLiteral("8"));
}

TEST(SettingsDatabaseTest, FolderInPlaceOfTheFile)
{
    const QString path = SettingsDatabase::defaultPath();
    ASSERT_TRUE(QDir().mkpath(path));
    SettingsDatabase db;
    EXPECT_FALSE(db.value(kUser, kDetails, QStringLiteral("TOTAL")));
    EXPECT_FALSE(db.setValue(kUser, kDetails, RegValue::text(QStringLiteral("TOTAL"), "1")));
    EXPECT_TRUE(QFileInfo(path).isDir());
    EXPECT_TRUE(QDir(path).isEmpty());

    ASSERT_TRUE(QDir().rmdir(path));
    EXPECT_TRUE(db.setValue(kUser, kDetails, RegValue::text(QStringLiteral("TOTAL"), "1")));
    EXPECT_EQ(textOf(db, kDetails, QStringLiteral("TOTAL")), QStringLiteral("1"));
}

TEST(SettingsDatabaseTest, TruncatedFileIsNotWrittenTo)
{
    const QString path = SettingsDatabase::defaultPath();
    {
        SettingsDatabase db;
        for (int i = 0; i < 400; ++i)
            ASSERT_TRUE(db.setValue(
                kUser, kDetails + QStringLiteral("\\%1").arg(i % 20),
                RegValue::text(QStringLiteral("v%1").arg(i), QString(200, QLatin1Char('x')))));
    }
    QByteArray bytes = readFile(path);
    ASSERT_GT(bytes.size(), 64 * 1024);
    ASSERT_FALSE(QFileInfo::exists(path + QStringLiteral("-wal"))); // checkpointed at close
    for (const qsizetype keep : {bytes.size() / 2, qsizetype(100), qsizetype(4096 + 10)}) {
        const QByteArray cut = bytes.left(keep);
        ASSERT_TRUE(writeFile(path, cut));
        SettingsDatabase db;
        EXPECT_FALSE(db.setValue(kUser, kDetails, RegValue::text(QStringLiteral("new"), "1")))
            << keep;
        EXPECT_FALSE(db.createKey(kUser, QStringLiteral("Other"))) << keep;
        db.value(kUser, kDetails + QStringLiteral("\\3"), QStringLiteral("v3"));
        db.values(kUser, kDetails + QStringLiteral("\\3"));
        EXPECT_EQ(readFile(path), cut) << keep;
    }
}

TEST(SettingsDatabaseTest, FileReplacedWhileOpenIsFollowed)
{
    const QString path = SettingsDatabase::defaultPath();
    SettingsDatabase db;
    ASSERT_TRUE(db.setValue(kUser, kDetails, RegValue::text(QStringLiteral("TOTAL"), "1")));
    ASSERT_TRUE(db.setValue(kUser, kDetails, RegValue::text(QStringLiteral("Old"), "x")));
    ASSERT_TRUE(QFileInfo::exists(path + QStringLiteral("-wal")));

    // A backup restored by rename, as editors and backup tools do: its own
    // content shows, nothing of the old file's pending log leaks into it.
    const QString temp = path + QStringLiteral(".tmp");
    makeDatabase(temp, QStringLiteral("7"));
    ASSERT_TRUE(QFile::rename(path, path + QStringLiteral(".old")));
    ASSERT_TRUE(QFile::rename(temp, path));
    EXPECT_EQ(textOf(db, kDetails, QStringLiteral("TOTAL")), QStringLiteral("7"));
    EXPECT_EQ(textOf(db, kDetails, QStringLiteral("Old")), QStringLiteral("<absent>"));
    ASSERT_TRUE(db.setValue(kUser, kDetails, RegValue::text(QStringLiteral("Old"), "y")));

    // Replaced by junk: refused, and the junk stays as it is, also after close.
    const QByteArray junk = garbage(4096);
    ASSERT_TRUE(writeFile(temp, junk));
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(temp, path));
    EXPECT_FALSE(db.value(kUser, kDetails, QStringLiteral("TOTAL")));
    EXPECT_FALSE(db.setValue(kUser, kDetails, RegValue::text(QStringLiteral("TOTAL"), "2")));
    EXPECT_EQ(readFile(path), junk);

    // Removed altogether: a fresh store, as on a first run.
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_FALSE(db.value(kUser, kDetails, QStringLiteral("TOTAL")));
    EXPECT_TRUE(db.setValue(kUser, kDetails, RegValue::text(QStringLiteral("TOTAL"), "3")));
    EXPECT_EQ(textOf(db, kDetails, QStringLiteral("TOTAL")), QStringLiteral("3"));
    EXPECT_EQ(textOf(db, kDetails, QStringLiteral("Old")), QStringLiteral("<absent>"));

    // Removed while in use, then replaced by junk: the pending log is not replayed onto it.
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(writeFile(path, junk));
    EXPECT_FALSE(db.value(kUser, kDetails, QStringLiteral("TOTAL")));
    EXPECT_EQ(readFile(path), junk);
}

TEST(SettingsDatabaseTest, TwoWritersInTwoThreadsLoseNothing)
{
    constexpr int perWriter = 300;
    const auto writer = [](int id, std::atomic<int> *failures) {
        SettingsDatabase db;
        for (int i = 0; i < perWriter; ++i) {
            // Both also write one shared key, so their transactions really contend.
            const QString key = i % 2 ? kDetails : kDetails + QStringLiteral("\\W%1").arg(id);
            if (!db.setValue(
                    kUser, key,
                    RegValue::text(QStringLiteral("w%1-%2").arg(id).arg(i), QString::number(i))))
                ++*failures;
        }
    };
    std::atomic<int> failures = 0;
    std::thread first(writer, 1, &failures);
    std::thread second(writer, 2, &failures);
    first.join();
    second.join();
    EXPECT_EQ(failures.load(), 0);

    SettingsDatabase db;
    int found = 0;
    for (int id : {1, 2}) {
        for (int i = 0; i < perWriter; ++i) {
            const QString key = i % 2 ? kDetails : kDetails + QStringLiteral("\\W%1").arg(id);
            found += textOf(db, key, QStringLiteral("w%1-%2").arg(id).arg(i)) == QString::number(i);
        }
    }
    EXPECT_EQ(found, 2 * perWriter);
}

TEST(SettingsDatabaseTest, ReaderNeverSeesAHalfWrittenValue)
{
    const QString a(150 * 1024, QLatin1Char('A'));
    const QString b(160 * 1024, QLatin1Char('B'));
    {
        SettingsDatabase db;
        ASSERT_TRUE(db.setValue(kUser, kDetails, RegValue::text(QStringLiteral("PHOTO"), a)));
    }
    std::atomic<bool> done = false;
    std::atomic<int> writes = 0;
    std::thread writer([&] {
        SettingsDatabase db;
        for (int i = 0; i < 60; ++i) {
            if (db.setValue(kUser, kDetails,
                            RegValue::text(QStringLiteral("PHOTO"), i % 2 ? a : b)))
                ++writes;
        }
        done = true;
    });
    SettingsDatabase reader;
    int reads = 0;
    int torn = 0;
    int seenB = 0;
    while (!done || reads == 0) {
        const QString text = textOf(reader, kDetails, QStringLiteral("photo"));
        ++reads;
        if (text == b)
            ++seenB;
        else if (text != a)
            ++torn;
    }
    writer.join();
    EXPECT_EQ(writes.load(), 60);
    EXPECT_EQ(torn, 0) << "of " << reads << " reads";
    std::printf("[          ] %d reads, %d of the second value\n", reads, seenB);
}

TEST(SettingsDatabaseTest, AppliesABatchWhollyOrNotAtAll)
{
    using Change = SettingsDatabase::Change;
    const QString sub = kDetails + QStringLiteral("\\Sub");
    SettingsDatabase db;
    ASSERT_TRUE(db.setValue(kUser, kDetails, RegValue::text(QStringLiteral("a"), "1")));
    ASSERT_TRUE(db.setValue(kUser, kDetails, RegValue::text(QStringLiteral("b"), "1")));
    ASSERT_TRUE(db.setValue(kUser, sub + QStringLiteral("\\Deep"),
                            RegValue::text(QStringLiteral("c"), "1")));
    // A database that refuses one value name, to fail a batch part-way.
    char *error = nullptr;
    sqlite3 *raw = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(db.path()).constData(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw,
                           "CREATE TRIGGER refuse BEFORE INSERT ON regvalue WHEN NEW.name = "
                           "'refused' BEGIN SELECT RAISE(ABORT, 'refused'); END",
                           nullptr, nullptr, &error),
              SQLITE_OK)
        << error;
    sqlite3_close(raw);

    const auto set = [](const QString &key, const char *name, const char *text) {
        return Change{Change::SetValue, kUser, key,
                      RegValue::text(QString::fromLatin1(name), text)};
    };
    const auto unchanged = [&] {
        EXPECT_EQ(textOf(db, kDetails, QStringLiteral("a")), QStringLiteral("1"));
        EXPECT_EQ(textOf(db, kDetails, QStringLiteral("b")), QStringLiteral("1"));
        EXPECT_EQ(textOf(db, sub + QStringLiteral("\\Deep"), QStringLiteral("c")), "1");
        EXPECT_FALSE(db.keyExists(kUser, QStringLiteral("SOFTWARE\\New")));
    };
    const QList<QList<Change>> failing = {
        {set(kDetails, "a", "2"),
         {Change::DeleteKey, kUser, sub, {}},
         set(QStringLiteral("SOFTWARE\\New"), "refused", "x")},
        {{Change::CreateKey, kUser, QStringLiteral("SOFTWARE\\New"), {}},
         {Change::DeleteValue, kUser, kDetails, RegValue::text(QStringLiteral("B"), "")},
         {Change::DeleteKey, kUser, QStringLiteral("\\"), {}}},
    };
    for (const QList<Change> &batch : failing) {
        EXPECT_FALSE(db.applyBatch(batch));
        unchanged();
    }

    // In order: a key deleted and then made again holds only what came after.
    EXPECT_TRUE(db.applyBatch({
        set(kDetails, "A", "2"),
        {Change::DeleteValue, kUser, kDetails, RegValue::text(QStringLiteral("b"), "")},
        {Change::DeleteValue, kUser, kDetails, RegValue::text(QStringLiteral("none"), "")},
        {Change::DeleteKey, kUser, sub, {}},
        {Change::DeleteKey, kUser, QStringLiteral("SOFTWARE\\Nothing"), {}},
        set(sub, "d", "4"),
        {Change::CreateKey, kUser, QStringLiteral("SOFTWARE\\New\\Key"), {}},
    }));
    EXPECT_EQ(textOf(db, kDetails, QStringLiteral("a")), QStringLiteral("2"));
    EXPECT_EQ(textOf(db, kDetails, QStringLiteral("b")), QStringLiteral("<absent>"));
    EXPECT_EQ(textOf(db, sub, QStringLiteral("d")), QStringLiteral("4"));
    EXPECT_FALSE(db.keyExists(kUser, sub + QStringLiteral("\\Deep")));
    EXPECT_TRUE(db.keyExists(kUser, QStringLiteral("software\\new\\key")));
    EXPECT_TRUE(db.applyBatch({}));
}
