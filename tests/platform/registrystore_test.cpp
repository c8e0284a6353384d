#include "platform/registrystore.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace tavlo;

namespace {

constexpr RegHive kMachine = RegHive::LocalMachine;
const QString kRun = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run");

QString entryPath(const QString &name)
{
    return tavlo::test::configHome() + QStringLiteral("/autostart/") + name +
           QStringLiteral(".desktop");
}

} // namespace

TEST(RegistryStoreTest, RunKeyIsTheAutostartFolder)
{
    RegistryStore store;
    EXPECT_EQ(store.autostartDir(), tavlo::test::configHome() + QStringLiteral("/autostart"));
    ASSERT_TRUE(store.setValue(
        kMachine, kRun,
        RegValue::text(QStringLiteral("TavloClock"), QStringLiteral("/opt/tavlo/tavlo-clock"))));
    EXPECT_TRUE(QFileInfo::exists(entryPath(QStringLiteral("TavloClock"))));
    // Nothing of it lands in the database.
    EXPECT_FALSE(store.database().value(kMachine, kRun, QStringLiteral("TavloClock")));
    EXPECT_FALSE(store.database().keyExists(kMachine, kRun));

    for (const QString &spelling :
         {kRun, QStringLiteral("SOFTWARE\\microsoft\\WINDOWS\\currentversion\\RUN"),
          QStringLiteral("\\Software\\\\Microsoft\\Windows\\CurrentVersion\\Run\\")}) {
        EXPECT_TRUE(RegistryStore::isRunKey(kMachine, spelling));
        const auto value = store.value(kMachine, spelling, QStringLiteral("TavloClock"));
        ASSERT_TRUE(value) << spelling.toStdString();
        EXPECT_EQ(value->type, RegSz);
        EXPECT_EQ(value->toText(), QStringLiteral("/opt/tavlo/tavlo-clock"));
    }
    EXPECT_FALSE(RegistryStore::isRunKey(RegHive::CurrentUser, kRun));
    EXPECT_FALSE(RegistryStore::isRunKey(kMachine, kRun + QStringLiteral("Once")));
    EXPECT_FALSE(RegistryStore::isRunKey(kMachine, kRun + QStringLiteral("\\Sub")));

    // "Program-Launch" = "0": the value stays, with an empty text.
    ASSERT_TRUE(store.setValue(kMachine, kRun, RegValue::text(QStringLiteral("TavloClock"), "")));
    const auto off = store.value(kMachine, kRun, QStringLiteral("TavloClock"));
    ASSERT_TRUE(off);
    EXPECT_EQ(off->toText(), QString());
    ASSERT_TRUE(store.setValue(
        kMachine, kRun, RegValue::text(QStringLiteral("TavloTimer"), "/bin/timer", RegExpandSz)));

    const auto values = store.values(kMachine, kRun);
    ASSERT_TRUE(values);
    ASSERT_EQ(values->size(), 2);
    EXPECT_EQ(values->at(0).name, QStringLiteral("TavloClock"));
    EXPECT_EQ(values->at(0).toText(), QString());
    EXPECT_EQ(values->at(1).name, QStringLiteral("TavloTimer"));
    EXPECT_EQ(values->at(1).toText(), QStringLiteral("/bin/timer"));

    // Only text makes sense as a command.
    EXPECT_FALSE(store.setValue(kMachine, kRun, RegValue::dword(QStringLiteral("Number"), 1)));
    EXPECT_FALSE(QFileInfo::exists(entryPath(QStringLiteral("Number"))));

    // Value names compare case-insensitively here too.
    EXPECT_EQ(store.value(kMachine, kRun, QStringLiteral("TAVLOTIMER"))->toText(), "/bin/timer");
    EXPECT_TRUE(store.deleteValue(kMachine, kRun, QStringLiteral("tavloTimer")));
    EXPECT_FALSE(QFileInfo::exists(entryPath(QStringLiteral("TavloTimer"))));
    EXPECT_FALSE(store.deleteValue(kMachine, kRun, QStringLiteral("TavloTimer")));
}

TEST(RegistryStoreTest, RunKeyAndItsParentsAlwaysExist)
{
    RegistryStore store;
    EXPECT_TRUE(store.keyExists(kMachine, kRun));
    EXPECT_TRUE(store.createKey(kMachine, kRun));
    const auto empty = store.values(kMachine, kRun);
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->isEmpty());
    EXPECT_EQ(store.subKeys(kMachine, kRun), QStringList());

    EXPECT_TRUE(store.keyExists(kMachine, QStringLiteral("software\\microsoft")));
    EXPECT_EQ(
        store.subKeys(kMachine, QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion")),
        QStringList{"Run"});
    ASSERT_TRUE(store.createKey(kMachine, QStringLiteral("Software\\Microsoft\\Windows\\Alpha")));
    ASSERT_TRUE(store.createKey(kMachine, QStringLiteral("Software\\Microsoft\\Windows\\current")));
    EXPECT_EQ(store.subKeys(kMachine, QStringLiteral("Software\\Microsoft\\Windows")),
              (QStringList{"Alpha", "current", "CurrentVersion"}));
    EXPECT_EQ(store.subKeys(kMachine, QString()), QStringList{"Software"});

    for (const QString &key :
         {kRun, QStringLiteral("Software\\Microsoft"), QStringLiteral("SOFTWARE"), QString()})
        EXPECT_FALSE(store.deleteKey(kMachine, key)) << key.toStdString();
    EXPECT_TRUE(store.keyExists(kMachine, QStringLiteral("Software\\Microsoft\\Windows\\Alpha")));
    EXPECT_TRUE(store.deleteKey(kMachine, QStringLiteral("Software\\Microsoft\\Windows\\Alpha")));
}

TEST(RegistryStoreTest, EverythingElseGoesToTheDatabase)
{
    RegistryStore store;
    const QString details = QStringLiteral("SOFTWARE\\TavloClock\\Settings\\Details");
    ASSERT_TRUE(store.setValue(RegHive::CurrentUser, details,
                               RegValue::text(QStringLiteral("On-Top"), "1")));
    ASSERT_TRUE(store.setValue(RegHive::CurrentUser, kRun,
                               RegValue::text(QStringLiteral("TavloClock"), "/x")));
    ASSERT_TRUE(store.setValue(kMachine, kRun + QStringLiteral("Once"),
                               RegValue::text(QStringLiteral("TavloClock"), "/y")));
    EXPECT_FALSE(QDir(store.autostartDir()).exists());

    SettingsDatabase db;
    EXPECT_EQ(db.value(RegHive::CurrentUser, details, QStringLiteral("on-top"))->toText(), "1");
    EXPECT_EQ(db.value(RegHive::CurrentUser, kRun, QStringLiteral("TavloClock"))->toText(), "/x");
    EXPECT_EQ(
        db.value(kMachine, kRun + QStringLiteral("Once"), QStringLiteral("TavloClock"))->toText(),
        "/y");
    EXPECT_EQ(store.value(RegHive::CurrentUser, details, QStringLiteral("ON-TOP"))->toText(), "1");
    EXPECT_TRUE(store.deleteKey(RegHive::CurrentUser, QStringLiteral("SOFTWARE\\TavloClock")));
    EXPECT_FALSE(store.keyExists(RegHive::CurrentUser, details));
    EXPECT_TRUE(store.isAvailable());
}

TEST(RegistryStoreTest, DamagedDatabaseLeavesAutostartWorking)
{
    const QString path = SettingsDatabase::defaultPath();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(path).absolutePath()));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(5000, 'Z'));
    }
    RegistryStore store;
    EXPECT_FALSE(store.isAvailable());
    EXPECT_FALSE(store.value(RegHive::CurrentUser, QStringLiteral("SOFTWARE"), "x"));
    EXPECT_FALSE(store.setValue(RegHive::CurrentUser, QStringLiteral("SOFTWARE"),
                                RegValue::text(QStringLiteral("x"), "1")));
    EXPECT_TRUE(store.setValue(kMachine, kRun, RegValue::text(QStringLiteral("TavloClock"), "/c")));
    EXPECT_EQ(store.value(kMachine, kRun, QStringLiteral("TavloClock"))->toText(), "/c");
}
