// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/profilefile.h"

#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace tavlo;

TEST(ProfileFileTest, FindsSectionsAndKeysInAnyCaseFirstOneWins)
{
    const ProfileFile file = ProfileFile::fromBytes("; a comment\n"
                                                    "[Main]\n"
                                                    "  Theme-Color = 255  \n"
                                                    "theme-color=1\n"
                                                    "quoted=\"  spaced  \"\n"
                                                    "empty=\n"
                                                    "[text]\r\n"
                                                    "font=DejaVu Sans\r\n"
                                                    "[MAIN]\n"
                                                    "late=1\n");
    EXPECT_EQ(file.value("main", "theme-color"), "255");
    EXPECT_EQ(file.value("main", "quoted"), "  spaced  ");
    EXPECT_EQ(file.value("main", "empty"), QString());
    EXPECT_EQ(file.value("TEXT", "FONT"), "DejaVu Sans");
    // Only the first section of a name counts, and sections do not leak into each other.
    EXPECT_FALSE(file.value("main", "late"));
    EXPECT_FALSE(file.value("text", "theme-color"));
    EXPECT_FALSE(file.value("missing", "font"));
}

TEST(ProfileFileTest, WritingKeepsEveryOtherLineAndUsesCrlf)
{
    ProfileFile file = ProfileFile::fromBytes("; keep me\n"
                                              "[main]\n"
                                              "a=1\n"
                                              "odd line without equals\n"
                                              "\n"
                                              "[text]\n"
                                              "b=2\n");
    file.setValue("MAIN", "A", "9");
    file.setValue("main", "c", "3");
    file.setValue("preset", "caption", "Mine");
    EXPECT_EQ(file.toBytes(), QByteArray("; keep me\r\n"
                                         "[main]\r\n"
                                         "A=9\r\n"
                                         "odd line without equals\r\n"
                                         "c=3\r\n"
                                         "\r\n"
                                         "[text]\r\n"
                                         "b=2\r\n"
                                         "[preset]\r\n"
                                         "caption=Mine\r\n"));
}

TEST(ProfileFileTest, WindowsTextKeepsItsNamesAndItsEncoding)
{
    // "Café Sans" and a euro sign in Windows-1252: not UTF-8.
    const QByteArray cp1252("[text]\r\nfont=Caf\xE9 Sans\r\nsign=\x80\r\n");
    ProfileFile file = ProfileFile::fromBytes(cp1252);
    EXPECT_EQ(file.encoding(), ProfileFile::Encoding::Cp1252);
    EXPECT_EQ(file.value("text", "font"), "Café Sans");
    EXPECT_EQ(file.value("text", "sign"), "€");
    file.setValue("text", "size", "12");
    EXPECT_EQ(file.toBytes(), cp1252 + "size=12\r\n");
    // Text Windows-1252 cannot hold turns the file into UTF-8, names intact.
    file.setValue("text", "title", "Кириллица");
    const ProfileFile again = ProfileFile::fromBytes(file.toBytes());
    EXPECT_EQ(again.encoding(), ProfileFile::Encoding::Utf8);
    EXPECT_EQ(again.value("text", "font"), "Café Sans");
    EXPECT_EQ(again.value("text", "title"), "Кириллица");
}

TEST(ProfileFileTest, ByteOrderMarksChooseTheEncodingAndAreWrittenBack)
{
    // clang-format off
    const struct { const char *name; QByteArray mark; QStringConverter::Encoding encoding; ProfileFile::Encoding expected; } cases[] = {
        {"Utf16LE", "\xFF\xFE", QStringConverter::Utf16LE, ProfileFile::Encoding::Utf16LE},
        {"Utf16BE", "\xFE\xFF", QStringConverter::Utf16BE, ProfileFile::Encoding::Utf16BE},
        {"Utf8", "\xEF\xBB\xBF", QStringConverter::Utf8, ProfileFile::Encoding::Utf8}};
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QStringEncoder encoder(c.encoding, QStringConverter::Flag::Stateless);
        const auto bytes = [&](const QString &text) { return QByteArray(encoder.encode(text)); };
        const QString text = "; Café €\r\n[main]\r\n>     theme-color=255\r\n";
        ProfileFile file = ProfileFile::fromBytes(c.mark + bytes(text));
        EXPECT_EQ(file.encoding(), c.expected);
        EXPECT_EQ(file.value("MAIN", ">     theme-color"), "255");
        file.setValue("text", "font", "Кириллица");
        EXPECT_EQ(file.toBytes(), c.mark + bytes(text + "[text]\r\nfont=Кириллица\r\n"));
    }
    // Line ends of one kind or the other, and a last byte that finds no partner.
    const ProfileFile odd = ProfileFile::fromBytes(QByteArray("\xFF\xFE[\0m\0]\0\n\0k\0=\0"
                                                              "1\0\r\0\n\0x",
                                                              21));
    EXPECT_EQ(odd.value("m", "k"), "1");
    EXPECT_TRUE(odd.toBytes().endsWith(QByteArray("\r\0\n\0x\r\0\n\0", 9)));
}

TEST(ProfileFileTest, LoadTakesOnlySmallRegularFilesAndSaveFailsCleanly)
{
    const QString folder = test::dataHome();
    QDir().mkpath(folder);
    const auto put = [&](const char *name, qint64 size) {
        QFile file(folder + QLatin1Char('/') + QLatin1String(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[main]\r\nk=v\r\n");
        file.resize(size);
    };
    put("limit.tvp", kProfileFileLimit);
    put("over.tvp", kProfileFileLimit + 1);
    QFile::link(folder + "/limit.tvp", folder + "/link.tvp");
    QFile::link("/dev/zero", folder + "/zero.tvp");
    QDir().mkpath(folder + "/folder.tvp");
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + "/pipe.tvp").constData(), 0600), 0);
    // A missing file loads as an empty one.
    // clang-format off
    const struct { const char *name; bool accepted; QString k; } cases[] = {
        {"limit.tvp", true, "v"}, {"link.tvp", true, "v"}, {"missing.tvp", true, QString()},
        {"over.tvp", false, {}}, {"zero.tvp", false, {}}, {"folder.tvp", false, {}}, {"pipe.tvp", false, {}}};
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const auto file = ProfileFile::load(folder + QLatin1Char('/') + QLatin1String(c.name));
        ASSERT_EQ(file.has_value(), c.accepted);
        if (file) {
            EXPECT_EQ(file->value("main", "k").value_or(QString()), c.k);
        }
    }
    EXPECT_TRUE(ProfileFile::load(folder + "/missing.tvp")->toBytes().isEmpty());

    ProfileFile file;
    file.setValue("main", "k", "w");
    EXPECT_FALSE(file.save(folder + "/no/such/folder/p.tvp"));
    ASSERT_TRUE(file.save(folder + "/limit.tvp"));
    EXPECT_EQ(ProfileFile::load(folder + "/limit.tvp")->value("main", "k"), "w");
}
