#include "frame/modfileread.h"

#include "testenv.h"

#include <QDir>
#include <QFile>
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
    QString path;
};

} // namespace

TEST_F(PresetFileTest, ReadingTakesPrefixedKeysAndCompletesTheFile)
{
    write("[main]\r\n"
          ">     theme-color=255\r\n"
          "theme-color=65280\r\n"
          ">     contrast=   \r\n");
    SetPresetFile(QStringLiteral("  ") + path + QStringLiteral(" "));
    EXPECT_EQ(ReadPresetValue(QStringLiteral("main"), QStringLiteral("theme-color"), "0"),
              QStringLiteral("255"));
    // An empty value counts as missing and the default goes into the file.
    EXPECT_EQ(ReadPresetValue(QStringLiteral("main"), QStringLiteral("contrast"), " 33 "),
              QStringLiteral("33"));
    EXPECT_EQ(ReadPresetValue(QStringLiteral("text"), QStringLiteral("time-font"), "DejaVu Sans"),
              QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(read(), QByteArray("[main]\r\n"
                                 ">     theme-color=255\r\n"
                                 "theme-color=65280\r\n"
                                 ">     contrast=33\r\n"
                                 "[text]\r\n"
                                 ">     time-font=DejaVu Sans\r\n"));
}

TEST_F(PresetFileTest, LongValuesAreCutTo399Characters)
{
    write("[text]\n>     time-font=" + QByteArray(10000, 'x') + "\n");
    SetPresetFile(path);
    EXPECT_EQ(ReadPresetValue(QStringLiteral("text"), QStringLiteral("time-font"), "d").size(),
              399);
}

TEST_F(PresetFileTest, WritingCreatesTheFileAndChangesOnlyItsKey)
{
    SetPresetFile(path);
    WritePresetValue(QStringLiteral("main"), QStringLiteral("theme-color"), QStringLiteral("1"));
    WritePresetValue(QStringLiteral("main"), QStringLiteral("transparency"), QStringLiteral("211"));
    WritePresetValue(QStringLiteral("MAIN"), QStringLiteral("THEME-COLOR"), QStringLiteral("2"));
    EXPECT_EQ(read(), QByteArray("[main]\r\n>     THEME-COLOR=2\r\n>     transparency=211\r\n"));

    // A file changed behind the module's back is read again.
    write("[main]\r\n>     theme-color=7\r\n");
    EXPECT_EQ(ReadPresetValue(QStringLiteral("main"), QStringLiteral("theme-color"), "0"),
              QStringLiteral("7"));

    // A folder that cannot be written to leaves nothing behind and reports nothing.
    SetPresetFile(test::dataHome() + QStringLiteral("/missing/x.tvp"));
    WritePresetValue(QStringLiteral("main"), QStringLiteral("theme-color"), QStringLiteral("1"));
    EXPECT_EQ(ReadPresetValue(QStringLiteral("main"), QStringLiteral("theme-color"), "5"),
              QStringLiteral("5"));
    EXPECT_FALSE(QFile::exists(test::dataHome() + QStringLiteral("/missing/x.tvp")));
}
