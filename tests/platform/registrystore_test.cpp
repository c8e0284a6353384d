// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/registrystore.h"
#include "storetest.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace tavlo;

namespace {

constexpr RegHive kMachine = RegHive::LocalMachine;
const QString kRun = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Run");

bool entryExists(const QString &name)
{
    return QFileInfo::exists(test::configHome() + "/autostart/" + name + ".desktop");
}

} // namespace

TEST(RegistryStoreTest, RunKeyIsTheAutostartFolder)
{
    RegistryStore store;
    ASSERT_TRUE(store.setValue(kMachine, kRun, RegValue::text("TavloClock", "/opt/tavlo/clock")));
    EXPECT_TRUE(entryExists("TavloClock"));
    // Nothing of it lands in the database.
    EXPECT_FALSE(store.database().keyExists(kMachine, kRun));
    for (const QString &spelling :
         {kRun, QStringLiteral("SOFTWARE\\microsoft\\WINDOWS\\currentversion\\RUN"),
          QStringLiteral("\\Software\\\\Microsoft\\Windows\\CurrentVersion\\Run\\")})
        EXPECT_EQ(store.value(kMachine, spelling, "TAVLOCLOCK")->toText(), "/opt/tavlo/clock");
    EXPECT_FALSE(RegistryStore::isRunKey(RegHive::CurrentUser, kRun));
    EXPECT_FALSE(RegistryStore::isRunKey(kMachine, kRun + "Once"));
    EXPECT_FALSE(RegistryStore::isRunKey(kMachine, kRun + "\\Sub"));

    // "Program-Launch" = "0": the value stays, with an empty text.
    ASSERT_TRUE(store.setValue(kMachine, kRun, RegValue::text("TavloClock", "")));
    ASSERT_TRUE(
        store.setValue(kMachine, kRun, RegValue::text("TavloTimer", "/bin/timer", RegExpandSz)));
    const auto values = store.values(kMachine, kRun);
    ASSERT_EQ(values->size(), 2);
    EXPECT_EQ(values->at(0).name + "=" + values->at(0).toText(), "TavloClock=");
    EXPECT_EQ(values->at(1).name + "=" + values->at(1).toText(), "TavloTimer=/bin/timer");
    EXPECT_EQ(values->at(1).type, RegSz);
    // Only text makes sense as a command.
    EXPECT_FALSE(store.setValue(kMachine, kRun, RegValue::dword("Number", 1)));
    EXPECT_FALSE(entryExists("Number"));
    EXPECT_TRUE(store.deleteValue(kMachine, kRun, "tavloTimer"));
    EXPECT_FALSE(entryExists("TavloTimer"));
    EXPECT_FALSE(store.deleteValue(kMachine, kRun, "TavloTimer"));
}

TEST(RegistryStoreTest, RunKeyAndItsParentsAlwaysExist)
{
    RegistryStore store;
    EXPECT_TRUE(store.keyExists(kMachine, kRun));
    EXPECT_TRUE(store.createKey(kMachine, kRun));
    EXPECT_TRUE(store.values(kMachine, kRun)->isEmpty());
    EXPECT_EQ(store.subKeys(kMachine, kRun), QStringList());
    EXPECT_TRUE(store.keyExists(kMachine, "software\\microsoft"));
    ASSERT_TRUE(store.createKey(kMachine, "Software\\Microsoft\\Windows\\Alpha"));
    ASSERT_TRUE(store.createKey(kMachine, "Software\\Microsoft\\Windows\\current"));
    EXPECT_EQ(store.subKeys(kMachine, "Software\\Microsoft\\Windows"),
              (QStringList{"Alpha", "current", "CurrentVersion"}));
    EXPECT_EQ(store.subKeys(kMachine, QString()), QStringList{"Software"});
    for (const QString &key :
         {kRun, QStringLiteral("Software\\Microsoft"), QStringLiteral("SOFTWARE"), QString()})
        EXPECT_FALSE(store.deleteKey(kMachine, key)) << key.toStdString();
    EXPECT_TRUE(store.deleteKey(kMachine, "Software\\Microsoft\\Windows\\Alpha"));
}

TEST(RegistryStoreTest, EverythingElseGoesToTheDatabase)
{
    RegistryStore store;
    const QString details = QStringLiteral("SOFTWARE\\TavloClock\\Settings\\Details");
    ASSERT_TRUE(store.setValue(RegHive::CurrentUser, details, RegValue::text("On-Top", "1")));
    ASSERT_TRUE(store.setValue(RegHive::CurrentUser, kRun, RegValue::text("TavloClock", "/x")));
    ASSERT_TRUE(store.setValue(kMachine, kRun + "Once", RegValue::text("TavloClock", "/y")));
    EXPECT_FALSE(QDir(store.autostartDir()).exists());
    SettingsDatabase db;
    EXPECT_EQ(db.value(RegHive::CurrentUser, details, "on-top")->toText(), "1");
    EXPECT_EQ(db.value(RegHive::CurrentUser, kRun, "TavloClock")->toText(), "/x");
    EXPECT_EQ(db.value(kMachine, kRun + "Once", "TavloClock")->toText(), "/y");
    EXPECT_TRUE(store.deleteKey(RegHive::CurrentUser, "SOFTWARE\\TavloClock"));
    EXPECT_FALSE(store.keyExists(RegHive::CurrentUser, details));
    EXPECT_TRUE(store.isAvailable());
}

TEST(RegistryStoreTest, DamagedDatabaseLeavesAutostartWorking)
{
    ASSERT_TRUE(test::writeFile(SettingsDatabase::defaultPath(), QByteArray(5000, 'Z')));
    RegistryStore store;
    EXPECT_FALSE(store.isAvailable());
    EXPECT_FALSE(store.setValue(RegHive::CurrentUser, "SOFTWARE", RegValue::text("x", "1")));
    EXPECT_TRUE(store.setValue(kMachine, kRun, RegValue::text("TavloClock", "/c")));
    EXPECT_EQ(store.value(kMachine, kRun, "TavloClock")->toText(), "/c");
}
