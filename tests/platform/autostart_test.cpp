#include "platform/autostart.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace tavlo;

namespace {

QString dir()
{
    return autostart::defaultDir();
}

QStringList linesOf(const QString &name)
{
    QFile file(dir() + QLatin1Char('/') + name + QStringLiteral(".desktop"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString lineStartingWith(const QStringList &lines, const QString &prefix)
{
    for (const QString &line : lines) {
        if (line.startsWith(prefix))
            return line;
    }
    return QString();
}

void writeRaw(const QString &name, const QByteArray &content)
{
    ASSERT_TRUE(QDir().mkpath(dir()));
    QFile file(dir() + QLatin1Char('/') + name + QStringLiteral(".desktop"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

} // namespace

TEST(AutostartTest, WritesAValidDesktopEntry)
{
    EXPECT_EQ(dir(), tavlo::test::configHome() + QStringLiteral("/autostart"));
    ASSERT_TRUE(autostart::write(dir(), QStringLiteral("TavloClock"),
                                 QStringLiteral("/opt/tavlo apps/tavlo-clock")));
    const QStringList lines = linesOf(QStringLiteral("TavloClock"));
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), QStringLiteral("[Desktop Entry]"));
    EXPECT_TRUE(lines.contains(QStringLiteral("Type=Application")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Name=TavloClock")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Exec=\"/opt/tavlo apps/tavlo-clock\"")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Terminal=false")));
    EXPECT_TRUE(lines.contains(QStringLiteral("X-GNOME-Autostart-enabled=true")));
    EXPECT_TRUE(lines.contains(QStringLiteral("X-Tavlo-Run=true")));
    EXPECT_EQ(lineStartingWith(lines, QStringLiteral("Hidden=")), QString());
    EXPECT_EQ(autostart::read(dir(), QStringLiteral("TavloClock")),
              QStringLiteral("/opt/tavlo apps/tavlo-clock"));

    // A plain path needs no quotes; only the atomic write's result is left in the folder.
    ASSERT_TRUE(autostart::write(dir(), QStringLiteral("TavloClock"),
                                 QStringLiteral("/usr/bin/tavlo-clock")));
    EXPECT_EQ(lineStartingWith(linesOf(QStringLiteral("TavloClock")), QStringLiteral("Exec=")),
              QStringLiteral("Exec=/usr/bin/tavlo-clock"));
    EXPECT_EQ(QDir(dir()).entryList(QDir::Files | QDir::Hidden), QStringList{"TavloClock.desktop"});

    // Names match without regard to case, and the first spelling stays.
    ASSERT_TRUE(autostart::write(dir(), QStringLiteral("TAVLOCLOCK"), QStringLiteral("/bin/x")));
    EXPECT_EQ(autostart::read(dir(), QStringLiteral("tavloclock")), QStringLiteral("/bin/x"));
    EXPECT_EQ(QDir(dir()).entryList(QDir::Files | QDir::Hidden), QStringList{"TavloClock.desktop"});
    EXPECT_TRUE(linesOf(QStringLiteral("TavloClock")).contains(QStringLiteral("Name=TavloClock")));
}

TEST(AutostartTest, CommandsWithReservedCharactersRoundTrip)
{
    struct Case
    {
        QString command;
        QString execLine; // empty: only the round trip is checked
    };
    const QList<Case> table = {
        {QStringLiteral("C:\\Tavlo\\clock.exe"),
         QStringLiteral("Exec=\"C:\\\\\\\\Tavlo\\\\\\\\clock.exe\"")},
        {QStringLiteral("/opt/100%/clock"), QStringLiteral("Exec=/opt/100%%/clock")},
        {QStringLiteral("/opt/$HOME/clock"), QStringLiteral("Exec=\"/opt/\\\\$HOME/clock\"")},
        {QStringLiteral("/opt/say \"hi\"/clock"),
         QStringLiteral("Exec=\"/opt/say \\\\\"hi\\\\\"/clock\"")},
        {QStringLiteral("/opt/a`b`;c#d(e)|f&g*h?i~j<k>l'm"), QString()},
        {QStringLiteral("/opt/line\nbreak\tand tab"), QString()},
        {QStringLiteral(" leading space"), QString()},
        {QStringLiteral("/opt/Tävlö ∑/時計"), QString()},
        {QStringLiteral("/opt/50% \"off\" $5"), QString()},
    };
    for (const Case &c : table) {
        ASSERT_TRUE(autostart::write(dir(), QStringLiteral("Entry"), c.command));
        const QStringList lines = linesOf(QStringLiteral("Entry"));
        // Every value stays on its one line.
        EXPECT_EQ(lines.size(), 7) << c.command.toStdString();
        if (!c.execLine.isEmpty()) {
            EXPECT_EQ(lineStartingWith(lines, QStringLiteral("Exec=")), c.execLine);
        }
        EXPECT_EQ(autostart::read(dir(), QStringLiteral("Entry")), c.command)
            << c.command.toStdString();
    }
}

TEST(AutostartTest, EmptyCommandHidesTheEntry)
{
    ASSERT_TRUE(autostart::write(dir(), QStringLiteral("Fresh"), QString()));
    QStringList lines = linesOf(QStringLiteral("Fresh"));
    EXPECT_TRUE(lines.contains(QStringLiteral("Hidden=true")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Exec=true")));
    EXPECT_EQ(autostart::read(dir(), QStringLiteral("Fresh")), QString());

    // Hiding an entry keeps its command on the Exec line.
    ASSERT_TRUE(autostart::write(dir(), QStringLiteral("TavloClock"),
                                 QStringLiteral("/opt/my clock/tavlo-clock")));
    ASSERT_TRUE(autostart::write(dir(), QStringLiteral("TavloClock"), QString()));
    lines = linesOf(QStringLiteral("TavloClock"));
    EXPECT_TRUE(lines.contains(QStringLiteral("Hidden=true")));
    EXPECT_TRUE(lines.contains(QStringLiteral("Exec=\"/opt/my clock/tavlo-clock\"")));
    EXPECT_TRUE(lines.contains(QStringLiteral("X-Tavlo-Run=true")));
    const auto hidden = autostart::read(dir(), QStringLiteral("TavloClock"));
    ASSERT_TRUE(hidden);
    EXPECT_EQ(*hidden, QString());

    ASSERT_TRUE(autostart::write(dir(), QStringLiteral("TavloClock"), QStringLiteral("/bin/c")));
    EXPECT_EQ(lineStartingWith(linesOf(QStringLiteral("TavloClock")), QStringLiteral("Hidden")),
              QString());
    EXPECT_EQ(autostart::read(dir(), QStringLiteral("TavloClock")), QStringLiteral("/bin/c"));
}

TEST(AutostartTest, ListsAndRemovesOnlyOurEntries)
{
    EXPECT_EQ(autostart::names(dir()), QStringList());
    EXPECT_FALSE(autostart::read(dir(), QStringLiteral("TavloClock")));
    ASSERT_TRUE(autostart::write(dir(), QStringLiteral("TavloTimer"), QStringLiteral("/bin/t")));
    ASSERT_TRUE(autostart::write(dir(), QStringLiteral("TavloClock"), QStringLiteral("/bin/c")));
    ASSERT_TRUE(autostart::write(dir(), QStringLiteral("Tavlo.Notes"), QString()));
    writeRaw(QStringLiteral("firefox"), "[Desktop Entry]\nType=Application\nName=Firefox\n"
                                        "Exec=firefox --private-window %u\n");
    writeRaw(QStringLiteral("gnome-off"), "[Desktop Entry]\nExec=/usr/bin/thing\n"
                                          "X-GNOME-Autostart-enabled=false\n");
    writeRaw(QStringLiteral("broken"), "no group here\nExec=/bin/x\n");

    EXPECT_EQ(autostart::names(dir()), (QStringList{"Tavlo.Notes", "TavloClock", "TavloTimer"}));
    // Another program's entry reads as its command line, but is not ours to remove.
    EXPECT_EQ(autostart::read(dir(), QStringLiteral("firefox")),
              QStringLiteral("firefox --private-window %u"));
    EXPECT_EQ(autostart::read(dir(), QStringLiteral("gnome-off")), QString());
    EXPECT_FALSE(autostart::read(dir(), QStringLiteral("broken")));
    EXPECT_FALSE(autostart::remove(dir(), QStringLiteral("firefox")));
    EXPECT_TRUE(QFileInfo::exists(dir() + QStringLiteral("/firefox.desktop")));

    EXPECT_TRUE(autostart::remove(dir(), QStringLiteral("TavloClock")));
    EXPECT_FALSE(autostart::remove(dir(), QStringLiteral("TavloClock")));
    EXPECT_FALSE(autostart::read(dir(), QStringLiteral("TavloClock")));
    EXPECT_EQ(autostart::names(dir()), (QStringList{"Tavlo.Notes", "TavloTimer"}));
}

TEST(AutostartTest, RefusesNamesThatLeaveTheFolder)
{
    const QString sub = dir() + QStringLiteral("/inner");
    ASSERT_TRUE(QDir().mkpath(sub));
    const QStringList bad = {QString(),
                             QStringLiteral("."),
                             QStringLiteral(".."),
                             QStringLiteral("../escape"),
                             QStringLiteral("a/b"),
                             QStringLiteral("nul") + QChar(0) + QStringLiteral("x")};
    for (const QString &name : bad) {
        EXPECT_FALSE(autostart::isValidName(name));
        EXPECT_FALSE(autostart::write(sub, name, QStringLiteral("/bin/x")));
        EXPECT_FALSE(autostart::read(sub, name));
        EXPECT_FALSE(autostart::remove(sub, name));
    }
    EXPECT_TRUE(QDir(sub).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(dir() + QStringLiteral("/escape.desktop")));
    EXPECT_FALSE(QFileInfo::exists(dir() + QStringLiteral("/.desktop")));
    EXPECT_TRUE(autostart::isValidName(QStringLiteral("Tavlo Clock")));
}

TEST(AutostartTest, TheSameEntryIsNotWrittenAgain)
{
    const QString path = dir() + QStringLiteral("/TavloClock.desktop");
    const auto inode = [&] {
        struct stat info = {};
        return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : ino_t(0);
    };
    ASSERT_TRUE(autostart::write(dir(), QStringLiteral("TavloClock"), QStringLiteral("/bin/a")));
    const ino_t first = inode();
    ASSERT_NE(first, ino_t(0));
    ASSERT_TRUE(autostart::write(dir(), QStringLiteral("TavloClock"), QStringLiteral("/bin/a")));
    EXPECT_EQ(inode(), first);

    ASSERT_TRUE(autostart::write(dir(), QStringLiteral("TavloClock"), QStringLiteral("/bin/b")));
    EXPECT_NE(inode(), first);
    EXPECT_EQ(autostart::read(dir(), QStringLiteral("TavloClock")), QStringLiteral("/bin/b"));
}
