// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/autostart.h"
#include "storetest.h"
#include "testenv.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace tavlo;

namespace {

QString dir()
{
    return autostart::defaultDir();
}

QString entryPath(const QString &name)
{
    return dir() + QLatin1Char('/') + name + QStringLiteral(".desktop");
}

QString contents(const QString &name)
{
    return QString::fromUtf8(test::readFile(entryPath(name)));
}

QString execLine(const QString &name)
{
    return contents(name).split(QLatin1Char('\n')).filter(QRegularExpression("^Exec=")).value(0);
}

} // namespace

TEST(AutostartTest, WritesAValidDesktopEntryOnceUnderItsFirstSpelling)
{
    EXPECT_EQ(dir(), test::configHome() + "/autostart");
    ASSERT_TRUE(autostart::write(dir(), "TavloClock", "/opt/tavlo apps/tavlo-clock"));
    EXPECT_EQ(contents("TavloClock"), "[Desktop Entry]\nType=Application\nName=TavloClock\n"
                                      "Exec=\"/opt/tavlo apps/tavlo-clock\"\nTerminal=false\n"
                                      "X-GNOME-Autostart-enabled=true\nX-Tavlo-Run=true\n");
    EXPECT_EQ(autostart::read(dir(), "TavloClock"), "/opt/tavlo apps/tavlo-clock");
    // Names match without regard to case; only the atomic write's result is left.
    ASSERT_TRUE(autostart::write(dir(), "TAVLOCLOCK", "/bin/x"));
    EXPECT_EQ(autostart::read(dir(), "tavloclock"), "/bin/x");
    EXPECT_EQ(QDir(dir()).entryList(QDir::Files | QDir::Hidden), QStringList{"TavloClock.desktop"});
    EXPECT_TRUE(contents("TavloClock").contains("\nName=TavloClock\n"));
    // The same entry is not written again; another one is.
    const auto inode = [] {
        struct stat info = {};
        return ::stat(QFile::encodeName(entryPath("TavloClock")).constData(), &info) == 0
                   ? info.st_ino
                   : ino_t(0);
    };
    const ino_t first = inode();
    ASSERT_TRUE(autostart::write(dir(), "TavloClock", "/bin/x"));
    EXPECT_EQ(inode(), first);
    ASSERT_TRUE(autostart::write(dir(), "TavloClock", "/bin/b"));
    EXPECT_NE(inode(), first);
}

TEST(AutostartTest, CommandsWithReservedCharactersRoundTrip)
{
    // An empty Exec line: only the round trip is checked.
    // clang-format off
    const struct { QString command, execLine; } cases[] = {
        {"/usr/bin/tavlo-clock", "Exec=/usr/bin/tavlo-clock"},
        {"C:\\Tavlo\\clock.exe", "Exec=\"C:\\\\\\\\Tavlo\\\\\\\\clock.exe\""},
        {"/opt/100%/clock", "Exec=/opt/100%%/clock"},
        {"/opt/$HOME/clock", "Exec=\"/opt/\\\\$HOME/clock\""},
        {"/opt/say \"hi\"/clock", "Exec=\"/opt/say \\\\\"hi\\\\\"/clock\""},
        {"/opt/a`b`;c#d(e)|f&g*h?i~j<k>l'm", ""}, {"/opt/line\nbreak\tand tab", ""}, {" leading space", ""},
        {"/opt/Tävlö ∑/時計", ""}, {"/opt/50% \"off\" $5", ""}};
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.command.toStdString());
        ASSERT_TRUE(autostart::write(dir(), "Entry", c.command));
        // Every value stays on its one line.
        EXPECT_EQ(contents("Entry").count(QLatin1Char('\n')), 7);
        if (!c.execLine.isEmpty()) {
            EXPECT_EQ(execLine("Entry"), c.execLine);
        }
        EXPECT_EQ(autostart::read(dir(), "Entry"), c.command);
    }
}

TEST(AutostartTest, EmptyCommandHidesTheEntryAndKeepsItsCommand)
{
    ASSERT_TRUE(autostart::write(dir(), "Fresh", QString()));
    EXPECT_TRUE(contents("Fresh").contains("\nHidden=true\n"));
    EXPECT_EQ(execLine("Fresh"), "Exec=true");
    EXPECT_EQ(autostart::read(dir(), "Fresh"), QString());

    ASSERT_TRUE(autostart::write(dir(), "TavloClock", "/opt/my clock/tavlo-clock"));
    ASSERT_TRUE(autostart::write(dir(), "TavloClock", QString()));
    EXPECT_TRUE(contents("TavloClock").contains("\nHidden=true\n"));
    EXPECT_TRUE(contents("TavloClock").contains("\nX-Tavlo-Run=true\n"));
    EXPECT_EQ(execLine("TavloClock"), "Exec=\"/opt/my clock/tavlo-clock\"");
    EXPECT_EQ(autostart::read(dir(), "TavloClock"), QString());

    ASSERT_TRUE(autostart::write(dir(), "TavloClock", "/bin/c"));
    EXPECT_FALSE(contents("TavloClock").contains("Hidden"));
    EXPECT_EQ(autostart::read(dir(), "TavloClock"), "/bin/c");
}

TEST(AutostartTest, ListsAndRemovesOnlyOurEntries)
{
    EXPECT_EQ(autostart::names(dir()), QStringList());
    EXPECT_FALSE(autostart::read(dir(), "TavloClock"));
    ASSERT_TRUE(autostart::write(dir(), "TavloTimer", "/bin/t"));
    ASSERT_TRUE(autostart::write(dir(), "TavloClock", "/bin/c"));
    ASSERT_TRUE(autostart::write(dir(), "Tavlo.Notes", QString()));
    // clang-format off
    ASSERT_TRUE(test::writeFile(entryPath("firefox"), "[Desktop Entry]\nType=Application\nName=Firefox\nExec=firefox --private-window %u\n"));
    ASSERT_TRUE(test::writeFile(entryPath("gnome-off"), "[Desktop Entry]\nExec=/usr/bin/thing\nX-GNOME-Autostart-enabled=false\n"));
    ASSERT_TRUE(test::writeFile(entryPath("broken"), "no group here\nExec=/bin/x\n"));
    // clang-format on

    EXPECT_EQ(autostart::names(dir()), (QStringList{"Tavlo.Notes", "TavloClock", "TavloTimer"}));
    // Another program's entry reads as its command line, but is not ours to remove.
    EXPECT_EQ(autostart::read(dir(), "firefox"), "firefox --private-window %u");
    EXPECT_EQ(autostart::read(dir(), "gnome-off"), QString());
    EXPECT_FALSE(autostart::read(dir(), "broken"));
    EXPECT_FALSE(autostart::remove(dir(), "firefox"));
    EXPECT_TRUE(QFileInfo::exists(entryPath("firefox")));
    EXPECT_TRUE(autostart::remove(dir(), "TavloClock"));
    EXPECT_FALSE(autostart::remove(dir(), "TavloClock"));
    EXPECT_EQ(autostart::names(dir()), (QStringList{"Tavlo.Notes", "TavloTimer"}));
}

TEST(AutostartTest, RefusesNamesThatLeaveTheFolder)
{
    const QString sub = dir() + QStringLiteral("/inner");
    ASSERT_TRUE(QDir().mkpath(sub));
    const QString nul = QStringLiteral("nul") + QChar(0) + QStringLiteral("x");
    for (const QString &name : QStringList{QString(), ".", "..", "../escape", "a/b", nul}) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_FALSE(autostart::isValidName(name));
        EXPECT_FALSE(autostart::write(sub, name, "/bin/x"));
        EXPECT_FALSE(autostart::read(sub, name));
        EXPECT_FALSE(autostart::remove(sub, name));
    }
    EXPECT_TRUE(QDir(sub).isEmpty());
    EXPECT_EQ(QDir(dir()).entryList(QDir::Files | QDir::Hidden), QStringList());
    EXPECT_TRUE(autostart::isValidName("Tavlo Clock"));
}
