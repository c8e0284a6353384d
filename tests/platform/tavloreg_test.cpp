// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/regfile.h"
#include "platform/registrystore.h"
#include "storetest.h"
#include "testenv.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace tavlo;
using namespace tavlo::test;

namespace {

const QString kDetailsArg = QStringLiteral("HKCU\\SOFTWARE\\TavloClock\\Settings\\Details");
const QString kRunArg = QStringLiteral("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
const QString kDone = QStringLiteral("The operation completed successfully.\n");
const QString kCanceled = QStringLiteral("The operation was canceled by the user.\n");

struct Result
{
    int code = -1;
    QString out;
    QString err;
};

// Runs tavloreg with the test's folders, or another config folder; childSetup
// runs in the child before the program starts.
Result reg(const QStringList &args, const QByteArray &input = QByteArray(),
           const QString &configHome = QString(), const std::function<void()> &childSetup = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!configHome.isEmpty())
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    process.setProcessEnvironment(env);
    if (childSetup)
        process.setChildProcessModifier(childSetup);
    process.start(QStringLiteral(TAVLOREG_PATH), args);
    if (!process.waitForStarted(10000))
        return {};
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return {};
    }
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QString textOf(const QString &name)
{
    SettingsDatabase db;
    return test::textOf(db, name);
}

void expectError(const Result &r, const QString &start = QStringLiteral("ERROR: "))
{
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.startsWith(start)) << r.err.toStdString();
    EXPECT_EQ(r.out, QString()) << r.out.toStdString();
}

void seedClock()
{
    SettingsDatabase db;
    ASSERT_TRUE(db.setValue(kUser, kDetails, RegValue::text("Date-align", "1")));
    ASSERT_TRUE(db.setValue(kUser, kDetails, RegValue::dword("Count", 42)));
    ASSERT_TRUE(db.setValue(kUser, kDetails, RegValue{"Bin", RegBinary, QByteArray("\1\2\xab")}));
    ASSERT_TRUE(db.setValue(kUser, kDetails, RegValue{"Multi", RegMultiSz, QByteArray("a\0b", 3)}));
    ASSERT_TRUE(db.setValue(kUser, kDetails, RegValue::text(QString(), "dflt")));
    ASSERT_TRUE(
        db.setValue(kUser, kDetails + "\\Sub\\Deep", RegValue::text("Time-Font", "Tahoma")));
}

// Every key and value row of a config folder's database and every autostart entry, as text.
QStringList storeContents(const QString &config = test::configHome())
{
    QStringList rows;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(config + "/tavlo/registry.db").constData(), &db,
                        SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_exec(
            db,
            "SELECT hive, path_folded, name, NULL, NULL FROM regkey UNION ALL "
            "SELECT hive, key_folded, name, type, hex(data) FROM regvalue ORDER BY 1, 2, 3",
            [](void *out, int columns, char **texts, char **) {
                QStringList row;
                for (int i = 0; i < columns; ++i)
                    row.append(QString::fromUtf8(texts[i] ? texts[i] : "NULL"));
                static_cast<QStringList *>(out)->append(row.join(QLatin1Char('|')));
                return 0;
            },
            &rows, nullptr);
    }
    sqlite3_close(db);
    const QDir autostart(config + QStringLiteral("/autostart"));
    for (const QString &entry : autostart.entryList(QDir::Files))
        rows.append(entry + QLatin1Char('|') +
                    QString::fromUtf8(readFile(autostart.filePath(entry))));
    return rows;
}

// The file type bits of path, without following a last symlink.
mode_t fileType(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

} // namespace

TEST(TavloregTest, QueryPrintsLikeRegExe)
{
    seedClock();
    const QString head =
        QStringLiteral("\nHKEY_CURRENT_USER\\SOFTWARE\\TavloClock\\Settings\\Details");
    const Result r = reg({"query", kDetailsArg});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, head +
                         "\n"
                         "    Date-align    REG_SZ    1\n"
                         "    Count    REG_DWORD    0x2a\n"
                         "    Bin    REG_BINARY    0102AB\n"
                         "    Multi    REG_MULTI_SZ    a\\0b\n"
                         "    (Default)    REG_SZ    dflt\n" +
                         head + "\\Sub\n");
    // One value, the key and name in any case; options in any case, with '-' or '/'.
    EXPECT_EQ(reg({"QUERY", kDetailsArg.toLower(), "-V", "DATE-ALIGN"}).out,
              "\nHKEY_CURRENT_USER\\software\\tavloclock\\settings\\details\n"
              "    Date-align    REG_SZ    1\n");
    EXPECT_TRUE(
        reg({"query", kDetailsArg, "/ve"}).out.endsWith("\n    (Default)    REG_SZ    dflt\n"));
    const Result deep = reg({"query", "HKCU\\SOFTWARE\\TavloClock", "/s"});
    EXPECT_TRUE(deep.out.startsWith("\nHKEY_CURRENT_USER\\SOFTWARE\\TavloClock\n\n"
                                    "HKEY_CURRENT_USER\\SOFTWARE\\TavloClock\\Settings\n"));
    EXPECT_TRUE(deep.out.endsWith(head + "\\Sub\\Deep\n    Time-Font    REG_SZ    Tahoma\n"));
}

TEST(TavloregTest, WrongArgumentsMissingKeysAndHelp)
{
    // Help never creates the database.
    EXPECT_TRUE(reg({"/?"}).out.contains("QUERY | ADD | DELETE | EXPORT | IMPORT"));
    EXPECT_FALSE(QFileInfo::exists(SettingsDatabase::defaultPath()));
    EXPECT_TRUE(reg({"query", "/?"}).out.startsWith("TAVLOREG QUERY KEY"));
    seedClock();
    // clang-format off
    const QList<QStringList> syntax = {
        {}, {"query"}, {"frobnicate", "HKCU\\x"}, {"query", "HKCU\\x", "/v"},
        {"query", "HKCU\\x", "/v", "a", "/ve"}, {"add", "HKCU\\x", "/v", "a", "/v", "b"},
        {"query", "HKCU\\x", "extra"}, {"delete", "HKCU\\x", "/va", "/ve"}, {"export", "HKCU\\x"}};
    // clang-format on
    for (const QStringList &args : syntax) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const Result r = reg(args);
        expectError(r, QStringLiteral("ERROR: Invalid syntax.\n"));
        EXPECT_TRUE(r.err.contains("/?")) << r.err.toStdString();
    }
    expectError(reg({"query", "HKCR\\x"}), QStringLiteral("ERROR: Invalid key name."));
    const QString notFound = QStringLiteral(
        "ERROR: The system was unable to find the specified registry key or value.\n");
    expectError(reg({"query", "HKCU\\SOFTWARE\\Nothing"}), notFound);
    expectError(reg({"query", kDetailsArg, "/v", "Nothing"}), notFound);
    expectError(reg({"delete", kDetailsArg, "/v", "Nothing", "/f"}));
    expectError(reg({"delete", "HKCU\\Nothing", "/f"}));
    expectError(reg({"export", "HKCU\\Nothing", test::configHome() + "/x.reg"}));
}

TEST(TavloregTest, AddsValuesOfEachType)
{
    const auto add = [](const QStringList &extra) {
        return reg(QStringList{"add", kDetailsArg} + extra);
    };
    // Numbers and bytes as stored (little-endian), texts as read back.
    // clang-format off
    const struct { QStringList args; const char *name; int type; QByteArray data; } cases[] = {
        {{"/v", "TOTAL", "/d", "3"}, "total", RegSz, "3"},
        {{"/v", "Dec", "/t", "REG_DWORD", "/d", "4294967295"}, "Dec", RegDword, "\xff\xff\xff\xff"},
        {{"-V", "Hex", "-T", "reg_dword", "-D", "0x1F"}, "Hex", RegDword, QByteArray("\x1f\0\0\0", 4)},
        {{"/v", "Q", "/t", "REG_QWORD", "/d", "0x100000000"}, "Q", RegQword, QByteArray("\0\0\0\0\1\0\0\0", 8)},
        {{"/v", "B", "/t", "REG_BINARY", "/d", "00ff10"}, "B", RegBinary, QByteArray("\0\xff\x10", 3)},
        {{"/v", "M", "/t", "REG_MULTI_SZ", "/d", "one|two", "/s", "|"}, "M", RegMultiSz, QByteArray("one\0two", 7)},
        {{"/v", "E", "/t", "REG_EXPAND_SZ", "/d", "%HOME%"}, "E", RegExpandSz, "%HOME%"},
        {{"/ve", "/d", "unnamed"}, "", RegSz, "unnamed"},
        {{"/v", "Empty"}, "Empty", RegSz, ""}};
    // clang-format on
    SettingsDatabase db;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(add(c.args).out, kDone);
        const auto value = db.value(kUser, kDetails, QLatin1String(c.name));
        ASSERT_TRUE(value);
        EXPECT_EQ(value->type, c.type);
        EXPECT_EQ(value->isText() ? value->toText().toUtf8() : value->data, c.data);
    }
    // Bad numbers are refused and leave the value as it was.
    for (const char *bad : {"12abc", "-1", "4294967296", "0x", "0x1FFFFFFFF", " 7", "1.5", ""}) {
        SCOPED_TRACE(bad);
        const Result r = add({"/v", "Hex", "/t", "REG_DWORD", "/d", bad, "/f"});
        expectError(r);
        EXPECT_TRUE(r.err.contains("REG_DWORD"));
    }
    EXPECT_EQ(db.value(kUser, kDetails, "Hex")->data, QByteArray("\x1f\0\0\0", 4));
    expectError(add({"/v", "B", "/t", "REG_BINARY", "/d", "0g", "/f"}));
    expectError(add({"/v", "X", "/t", "REG_FOO", "/d", "1"}));
    // Without /v only the key is made.
    EXPECT_EQ(reg({"add", "HKCU\\SOFTWARE\\New\\Key"}).code, 0);
    EXPECT_TRUE(db.keyExists(kUser, "software\\new\\key"));
}

TEST(TavloregTest, OverwriteAndDeleteAskFirstAndNeverTakeTheHiveOrTheRunKey)
{
    seedClock();
    const QStringList add = {"add", kDetailsArg, "/v", "date-align", "/d", "2"};
    for (const QByteArray &answer : {QByteArray("n\n"), QByteArray("whatever\n"), QByteArray()}) {
        EXPECT_EQ(reg(add, answer).out, "Value date-align exists, overwrite(Yes/No)? " +
                                            QString(answer.isEmpty() ? "\n" : "") + kCanceled);
        EXPECT_EQ(textOf("Date-align"), "1");
    }
    EXPECT_TRUE(reg(add, "Yes\n").out.endsWith(kDone));
    EXPECT_EQ(textOf("Date-align"), "2");
    EXPECT_EQ(reg(QStringList(add).replaceInStrings("2", "0") << "/F").out, kDone);
    EXPECT_EQ(textOf("Date-align"), "0");

    EXPECT_EQ(reg({"delete", kDetailsArg, "/v", "Count"}, "n\n").out,
              "Delete the registry value Count (Yes/No)? " + kCanceled);
    EXPECT_NE(textOf("Count"), "<absent>");
    EXPECT_EQ(reg({"delete", kDetailsArg, "/v", "COUNT", "/f"}).out, kDone);
    EXPECT_EQ(textOf("Count"), "<absent>");
    EXPECT_EQ(textOf("Date-align"), "0");

    SettingsDatabase db;
    EXPECT_EQ(reg({"delete", kDetailsArg, "/va"}, "y\n").code, 0);
    EXPECT_EQ(db.values(kUser, kDetails)->size(), 0);
    EXPECT_TRUE(db.keyExists(kUser, kDetails + "\\Sub\\Deep"));
    const QStringList wholeKey = {"delete", "HKCU\\SOFTWARE\\TavloClock"};
    const QString ask = "Delete the registry key HKEY_CURRENT_USER\\SOFTWARE\\TavloClock (Yes/No)?";
    EXPECT_TRUE(reg(wholeKey, "no\n").out.startsWith(ask));
    EXPECT_TRUE(db.keyExists(kUser, kDetails));
    EXPECT_EQ(reg(wholeKey + QStringList{"/f"}).out, kDone);
    EXPECT_FALSE(db.keyExists(kUser, "SOFTWARE\\TavloClock"));
    EXPECT_TRUE(db.keyExists(kUser, "SOFTWARE"));
    expectError(reg({"delete", "HKCU", "/f"}));
    expectError(reg({"delete", kRunArg, "/f"}));
}

TEST(TavloregTest, ExportThenImportIntoAFreshFolder)
{
    seedClock();
    ASSERT_TRUE(RegistryStore().setValue(RegHive::LocalMachine, RegistryStore::runKeyPath(),
                                         RegValue::text("TavloClock", "/usr/bin/c")));
    ASSERT_TRUE(
        SettingsDatabase().setValue(kUser, kDetails, RegValue::text("Path", "C:\\\"x\"\n2")));
    const QString file = test::configHome() + QStringLiteral("/clock.reg");
    EXPECT_EQ(reg({"export", "HKCU\\SOFTWARE\\TavloClock", file}).out, kDone);
    EXPECT_EQ(reg({"export", "HKLM\\Software\\Microsoft", file + ".run"}).code, 0);
    const QByteArray bytes = readFile(file);
    EXPECT_TRUE(bytes.startsWith("\xff\xfe"));
    // Exporting over an existing file asks first.
    EXPECT_EQ(reg({"export", "HKCU\\SOFTWARE", file}, "n\n").out,
              QStringLiteral("File %1 already exists. Overwrite (Yes/No)? ").arg(file) + kCanceled);
    EXPECT_EQ(readFile(file), bytes);

    // Every key, name, type and byte of the user hive comes back, and the autostart
    // entry; the machine hive gains the Run key's parents, which always exist anyway.
    QTemporaryDir fresh;
    const QString freshConfig = fresh.path() + QStringLiteral("/config");
    EXPECT_EQ(reg({"import", file}, QByteArray(), freshConfig).out, kDone);
    EXPECT_EQ(reg({"import", file + ".run"}, QByteArray(), freshConfig).code, 0);
    const auto withoutMachine = [](QStringList rows) {
        rows.removeIf([](const QString &row) {
            return row.startsWith(QString::number(int(RegHive::LocalMachine)) + '|');
        });
        return rows.join('\n').toStdString();
    };
    EXPECT_EQ(withoutMachine(storeContents(freshConfig)), withoutMachine(storeContents()));
}

TEST(TavloregTest, DamagedDatabaseIsReportedAndLeftAlone)
{
    const QString path = SettingsDatabase::defaultPath();
    const QByteArray junk(3000, '\x17');
    ASSERT_TRUE(writeFile(path, junk));
    expectError(reg({"query", kDetailsArg}));
    const Result add = reg({"add", kDetailsArg, "/v", "a", "/d", "1"});
    expectError(add);
    EXPECT_TRUE(add.err.contains(path)) << add.err.toStdString();
    EXPECT_EQ(readFile(path), junk);
}

TEST(TavloregTest, ImportIsAllOrNothing)
{
    seedClock();
    const QString dir = test::configHome();
    ASSERT_TRUE(refuseValueNamedRefused(SettingsDatabase::defaultPath()));
    const QStringList before = storeContents();

    QByteArray many;
    for (int i = 0; i < 500; ++i)
        many += "\"v" + QByteArray::number(i) + "\"=\"" + QByteArray::number(i) + "\"\n";
    const QByteArray head = "Windows Registry Editor Version 5.00\n"
                            "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion"
                            "\\Run]\n\"TavloClock\"=\"/usr/bin/tavlo-clock\"\n"
                            "[HKEY_CURRENT_USER\\SOFTWARE\\TavloClock\\Settings\\Details]\n"
                            "\"Date-align\"=\"2\"\n\"Count\"=-\n" +
                            many +
                            "[-HKEY_CURRENT_USER\\SOFTWARE\\TavloClock\\Settings\\Details\\Sub]\n";
    const QByteArray run = "[HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\n";
    // clang-format off
    const struct { const char *what; QByteArray tail; const char *message; } cases[] = {
        {"the database refuses the last value", "[HKCU\\SOFTWARE\\X]\n\"refused\"=\"1\"\n", "nothing was imported"},
        {"a number under the Run key", run + "\"N\"=dword:00000001\n", "REG_SZ"},
        {"a Run value that is no file name", run + "\"a/b\"=\"x\"\n", "a/b"},
        {"a key that cannot be deleted", "[-HKLM\\Software\\Microsoft]\n", "Access is denied"},
        {"a syntax error on the last line", "\"tail\"=dword:zz\n", "line 508"}};
    // clang-format on
    const QString file = dir + QStringLiteral("/bad.reg");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(writeFile(file, head + c.tail));
        const Result r = reg({"import", file});
        expectError(r);
        EXPECT_TRUE(r.err.contains(QLatin1String(c.message))) << r.err.toStdString();
        EXPECT_EQ(storeContents(), before);
    }
    // Without the poison value the same file goes in whole.
    ASSERT_TRUE(writeFile(file, head));
    EXPECT_EQ(reg({"import", file}).out, kDone);
    EXPECT_EQ(textOf("v499"), "499");
    EXPECT_EQ(textOf("Date-align"), "2");
    EXPECT_EQ(textOf("Count"), "<absent>");
    EXPECT_FALSE(SettingsDatabase().keyExists(kUser, kDetails + "\\Sub"));
    EXPECT_TRUE(QFileInfo::exists(dir + QStringLiteral("/autostart/TavloClock.desktop")));
}

TEST(TavloregTest, ImportAndExportTakeOnlyRegularFiles)
{
    const QString dir = test::configHome();
    const QString fifo = dir + QStringLiteral("/fifo.reg");
    const QString toFifo = dir + QStringLiteral("/tofifo.reg");
    const QString toDevice = dir + QStringLiteral("/device.reg");
    const QString big = dir + QStringLiteral("/big.reg");
    ASSERT_TRUE(writeFile(big, ""));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(fifo, toFifo));
    ASSERT_TRUE(QFile::link("/dev/zero", toDevice));
    // Sparse: one byte over the bound without using the disk.
    ASSERT_TRUE(QFile::resize(big, 64 * 1024 * 1024 + 1));
    // clang-format off
    const struct { QString path; const char *reason; } imports[] = {
        {"/dev/zero", "it is not a regular file"}, {toDevice, "it is not a regular file"},
        {fifo, "it is not a regular file"}, {dir, "it is a folder"},
        {big, "it is larger than 64 MiB"}, {dir + "/missing.reg", "No such file"}};
    // clang-format on
    for (const auto &c : imports) {
        SCOPED_TRACE(c.path.toStdString());
        const Result r = reg({"import", c.path});
        expectError(r, QStringLiteral("ERROR: Unable to read the file %1: ").arg(c.path));
        EXPECT_TRUE(r.err.contains(QLatin1String(c.reason))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(SettingsDatabase::defaultPath()));

    // Export neither writes through nor replaces what is there, asked or not.
    seedClock();
    struct stat full;
    ASSERT_EQ(::stat("/dev/full", &full), 0);
    // clang-format off
    const struct { QString path; mode_t type; } exports[] = {
        {"/dev/full", S_IFCHR}, {fifo, S_IFIFO}, {toFifo, S_IFLNK}, {dir, S_IFDIR}, {dir + "/no/such/dir/x.reg", 0}};
    // clang-format on
    for (const auto &c : exports) {
        for (const QStringList &force : {QStringList{"/y"}, QStringList{}}) {
            SCOPED_TRACE(c.path.toStdString() + " " + force.join(' ').toStdString());
            const Result r = reg(QStringList{"export", kDetailsArg, c.path} + force, "y\n");
            expectError(r, QStringLiteral("ERROR: Unable to write the file %1: ").arg(c.path));
            EXPECT_EQ(fileType(c.path), c.type);
        }
    }
    struct stat after;
    ASSERT_EQ(::stat("/dev/full", &after), 0);
    EXPECT_TRUE(S_ISCHR(after.st_mode));
    EXPECT_EQ(after.st_rdev, full.st_rdev);
}

TEST(TavloregTest, ShortWriteFailsTheExportAndKeepsThePreviousFile)
{
    // 40 kB of binary take about 240 kB in the file; the database stays far below the limit.
    QByteArray blob(40000, Qt::Uninitialized);
    for (qsizetype i = 0; i < blob.size(); ++i)
        blob[i] = char(i * 7);
    ASSERT_TRUE(SettingsDatabase().setValue(kUser, kDetails, RegValue{"Blob", RegBinary, blob}));
    const QString dir = test::configHome() + QStringLiteral("/backup");
    const QString file = dir + QStringLiteral("/clock.reg");
    ASSERT_TRUE(QDir().mkpath(dir));
    ASSERT_EQ(reg({"export", kDetailsArg, file}).out, kDone);
    const QByteArray good = readFile(file);
    ASSERT_GT(good.size(), 200 * 1024);

    ASSERT_TRUE(SettingsDatabase().setValue(kUser, kDetails, RegValue::text("More", "1")));
    const auto fileSizeLimit = [] {
        const struct rlimit limit = {128 * 1024, 128 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::signal(SIGXFSZ, SIG_IGN);
    };
    const Result r =
        reg({"export", kDetailsArg, file, "/y"}, QByteArray(), QString(), fileSizeLimit);
    expectError(r, QStringLiteral("ERROR: Unable to write the file %1: ").arg(file));
    EXPECT_EQ(readFile(file), good);
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList{"clock.reg"});
}
