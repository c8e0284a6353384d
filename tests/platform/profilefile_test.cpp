#include "platform/profilefile.h"

#include "testenv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

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
    EXPECT_EQ(file.value(QStringLiteral("main"), QStringLiteral("theme-color")),
              QStringLiteral("255"));
    EXPECT_EQ(file.value(QStringLiteral("main"), QStringLiteral("quoted")),
              QStringLiteral("  spaced  "));
    EXPECT_EQ(file.value(QStringLiteral("main"), QStringLiteral("empty")), QString());
    EXPECT_EQ(file.value(QStringLiteral("TEXT"), QStringLiteral("FONT")),
              QStringLiteral("DejaVu Sans"));
    // Only the first section of a name counts, and sections do not leak into each other.
    EXPECT_EQ(file.value(QStringLiteral("main"), QStringLiteral("late")), std::nullopt);
    EXPECT_EQ(file.value(QStringLiteral("text"), QStringLiteral("theme-color")), std::nullopt);
    EXPECT_EQ(file.value(QStringLiteral("missing"), QStringLiteral("font")), std::nullopt);
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
    file.setValue(QStringLiteral("MAIN"), QStringLiteral("A"), QStringLiteral("9"));
    file.setValue(QStringLiteral("main"), QStringLiteral("c"), QStringLiteral("3"));
    file.setValue(QStringLiteral("preset"), QStringLiteral("caption"), QStringLiteral("Mine"));
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
    EXPECT_TRUE(file.isCp1252());
    EXPECT_EQ(file.value(QStringLiteral("text"), QStringLiteral("font")),
              QStringLiteral("Café Sans"));
    EXPECT_EQ(file.value(QStringLiteral("text"), QStringLiteral("sign")), QStringLiteral("€"));
    file.setValue(QStringLiteral("text"), QStringLiteral("size"), QStringLiteral("12"));
    EXPECT_EQ(file.toBytes(), cp1252 + "size=12\r\n");
    // Text Windows-1252 cannot hold turns the file into UTF-8, names intact.
    file.setValue(QStringLiteral("text"), QStringLiteral("title"), QStringLiteral("Кириллица"));
    const ProfileFile again = ProfileFile::fromBytes(file.toBytes());
    EXPECT_FALSE(again.isCp1252());
    EXPECT_EQ(again.value(QStringLiteral("text"), QStringLiteral("font")),
              QStringLiteral("Café Sans"));
    EXPECT_EQ(again.value(QStringLiteral("text"), QStringLiteral("title")),
              QStringLiteral("Кириллица"));

    const ProfileFile utf8 = ProfileFile::fromBytes("\xEF\xBB\xBF[text]\nfont=Café Sans\n");
    EXPECT_FALSE(utf8.isCp1252());
    EXPECT_EQ(utf8.value(QStringLiteral("text"), QStringLiteral("font")),
              QStringLiteral("Café Sans"));
}

TEST(ProfileFileTest, SaveReplacesTheFileAndFailsCleanly)
{
    const QString path = test::dataHome() + QStringLiteral("/p.tvp");
    ProfileFile file;
    file.setValue(QStringLiteral("main"), QStringLiteral("k"), QStringLiteral("v"));
    EXPECT_FALSE(file.save(test::dataHome() + QStringLiteral("/no/such/folder/p.tvp")));
    QDir().mkpath(test::dataHome());
    ASSERT_TRUE(file.save(path));
    EXPECT_EQ(ProfileFile::load(path).value(QStringLiteral("main"), QStringLiteral("k")),
              QStringLiteral("v"));
    EXPECT_EQ(ProfileFile::load(path + QStringLiteral(".missing")).toBytes(), QByteArray());
}
