// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/modfileread.h"

#include "platform/profilefile.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace tavlo;

namespace {

class PresetFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QDir().mkpath(test::dataHome());
        path = test::dataHome() + QStringLiteral("/Sample.tvp");
    }
    void write(const QByteArray &bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray read()
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static QString value(const char *section, const char *key, const char *defaultText)
    {
        return ReadPresetValue(QLatin1String(section), QLatin1String(key),
                               QLatin1String(defaultText));
    }
    static void put(const char *section, const char *key, const char *text)
    {
        WritePresetValue(QLatin1String(section), QLatin1String(key), QLatin1String(text));
    }
    QString path;
};

} // namespace

TEST_F(PresetFileTest, ReadingTakesPrefixedKeysAndCompletesTheFile)
{
    write("[main]\r\n>     theme-color=255\r\ntheme-color=65280\r\n>     contrast=   \r\n");
    SetPresetFile(QStringLiteral("  ") + path + QStringLiteral(" "));
    EXPECT_EQ(value("main", "theme-color", "0"), QStringLiteral("255"));
    // An empty value counts as missing and the default goes into the file.
    EXPECT_EQ(value("main", "contrast", " 33 "), QStringLiteral("33"));
    EXPECT_EQ(value("text", "time-font", "DejaVu Sans"), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(read(), QByteArray("[main]\r\n>     theme-color=255\r\ntheme-color=65280\r\n"
                                 ">     contrast=33\r\n[text]\r\n>     time-font=DejaVu Sans\r\n"));
}

TEST_F(PresetFileTest, WritingCreatesTheFileAndChangesOnlyItsKey)
{
    SetPresetFile(path);
    put("main", "theme-color", "1");
    put("main", "transparency", "211");
    put("MAIN", "THEME-COLOR", "2");
    EXPECT_EQ(read(), QByteArray("[main]\r\n>     THEME-COLOR=2\r\n>     transparency=211\r\n"));

    // A file changed behind the module's back is read again.
    write("[main]\r\n>     theme-color=7\r\n");
    EXPECT_EQ(value("main", "theme-color", "0"), QStringLiteral("7"));

    // A folder that cannot be written to leaves nothing behind and reports nothing.
    SetPresetFile(test::dataHome() + QStringLiteral("/missing/x.tvp"));
    put("main", "theme-color", "1");
    EXPECT_EQ(value("main", "theme-color", "5"), QStringLiteral("5"));
    EXPECT_FALSE(QFile::exists(test::dataHome() + QStringLiteral("/missing/x.tvp")));
}

TEST_F(PresetFileTest, ARefusedFileIsNeitherReadNorWritten)
{
    QByteArray big = "[main]\r\n>     theme-color=255\r\n";
    big.resize(kProfileFileLimit + 1, ' ');
    write(big);
    const QString zero = test::dataHome() + QStringLiteral("/Zero.tvp");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
    for (const QString &refused : {path, zero}) {
        SetPresetFile(refused);
        EXPECT_FALSE(LoadPresetFile());
        EXPECT_EQ(value("main", "theme-color", " 7 "), QStringLiteral("7"));
        put("main", "contrast", "1");
    }
    EXPECT_TRUE(read() == big && QFileInfo(zero).isSymLink());

    // Once cut down to size it is an ordinary preset again.
    write("[main]\r\n>     theme-color=255\r\n");
    SetPresetFile(path);
    EXPECT_TRUE(LoadPresetFile() && value("main", "theme-color", "7") == QStringLiteral("255"));
}

TEST_F(PresetFileTest, ABatchRewritesTheFileOnceAtItsEnd)
{
    write("[main]\r\n>     theme-color=255\r\n");
    SetPresetFile(path);
    {
        const PresetWriteBatch batch;
        value("main", "contrast", "60");
        value("text", "time-size", "36");
        // What the batch holds counts for reading before it is on disk.
        EXPECT_EQ(value("main", "contrast", "1"), QStringLiteral("60"));
        EXPECT_EQ(read(), QByteArray("[main]\r\n>     theme-color=255\r\n"));
    }
    EXPECT_EQ(read(), QByteArray("[main]\r\n>     theme-color=255\r\n>     contrast=60\r\n"
                                 "[text]\r\n>     time-size=36\r\n"));
}

TEST(PresetTemporariesTest, OnlyOldTemporariesOfOurSavesGo)
{
    const QString folder = test::dataHome() + QStringLiteral("/presets");
    QDir().mkpath(folder);
    const QDateTime now = QDateTime::currentDateTimeUtc();
    // clang-format off
    const struct { const char *name; int ageSeconds; bool removed; } cases[] = {
        {"Night.tvp.a1B2c3", 3600, true},  {"NIGHT.TVP.zzzzzz", 600, true},
        {".hidden.tvp.Q9q9Q9", 600, true}, {"Night.tvp.a1B2c3d", 3600, false},
        {"Night.tvp.a1B2c", 3600, false},  {"Night.tvp.a1-2c3", 3600, false},
        {"Night.tvp.young1", 10, false},   {"Night.tvp", 3600, false},
        {"notes.txt.a1B2c3", 3600, false}, {"Night.tvp.folder", 3600, false},
        {"Night.tvp.linked", 3600, false},
    };
    // clang-format on
    for (const auto &c : cases) {
        const QString path = folder + QLatin1Char('/') + QLatin1String(c.name);
        QFile file(path);
        if (path.endsWith(QLatin1String("folder")))
            QDir().mkpath(path);
        else if (path.endsWith(QLatin1String("linked")))
            QFile::link(folder + QStringLiteral("/Night.tvp"), path);
        else if (file.open(QIODevice::WriteOnly))
            file.setFileTime(now.addSecs(-c.ageSeconds), QFileDevice::FileModificationTime);
    }
    EXPECT_EQ(RemoveStalePresetTemporaries(folder, now.addSecs(-300)), 3);
    for (const auto &c : cases)
        EXPECT_EQ(QFileInfo::exists(folder + QLatin1Char('/') + QLatin1String(c.name)), !c.removed)
            << c.name;
    EXPECT_EQ(RemoveStalePresetTemporaries(folder + QStringLiteral("/missing"), now), 0);
}
