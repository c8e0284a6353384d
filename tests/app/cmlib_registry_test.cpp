#include "app/cmlib_registry.h"

#include "app/modmain.h"
#include "app/valuenames.h"
#include "frame/twips.h"
#include "platform/registrystore.h"
#include "testenv.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace tavlo;

namespace {

class RegistryTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        globals().strAPPTITLE = QStringLiteral("TavloClock");
        globals().strREGROOT = QStringLiteral("SOFTWARE\\TavloClock\\");
        globals().objREGISTRY = std::make_unique<cmlib_REGISTRY>();
    }
    void TearDown() override { resetGlobals(); }

    cmlib_REGISTRY &registry() { return *globals().objREGISTRY; }
    const QString details = QStringLiteral("SOFTWARE\\TavloClock\\Settings\\Details");
};

// A form that only holds numbers, standing in for a window.
class PaperForm final : public FormPlacement
{
public:
    QString formName() const override { return QStringLiteral("fapp_CLOCK"); }
    double formLeft() const override { return left; }
    double formTop() const override { return top; }
    double formWidth() const override { return width; }
    double formHeight() const override { return height; }
    void setFormLeft(double t) override { left = t; }
    void setFormTop(double t) override { top = t; }
    void setFormWidth(double t) override { width = t; }
    void setFormHeight(double t) override { height = t; }
    int formWindowState() const override { return state; }
    void setFormWindowState(int s) override { state = s; }
    double left = 1500, top = 900, width = 3000, height = 1500;
    int state = 0;
};

} // namespace

TEST_F(RegistryTest, ReadsWhatWasWrittenWithNamesInAnyCase)
{
    EXPECT_TRUE(registry().RegSave(reg::HKCU, details, QStringLiteral("Date-align"), "2"));
    EXPECT_EQ(registry().RegLoad(reg::HKCU, details, QStringLiteral("date-ALIGN"), "0"), "2");
    EXPECT_EQ(registry().RegLoad(reg::HKCU, details.toLower(), QStringLiteral("DATE-align"), "0"),
              "2");
    EXPECT_EQ(registry().RegLoad(reg::HKCU, details, QStringLiteral("Missing"), "dflt"), "dflt");
    EXPECT_EQ(registry().RegLoad(reg::HKCU, QStringLiteral("SOFTWARE\\Nowhere"), "x", "d"), "d");
    EXPECT_EQ(registry().RegLoad(QStringLiteral("12"), details, "Date-align", "d"), "d");
}

TEST_F(RegistryTest, LongValuesAndEmptyTextsReadBackWhole)
{
    const QString path = QStringLiteral("/home/user/Pictures/") + QString(2000, QLatin1Char('p'));
    ASSERT_TRUE(registry().RegSave(reg::HKCU, details, QStringLiteral("2PHOTO"), path));
    EXPECT_EQ(registry().RegLoad(reg::HKCU, details, QStringLiteral("2PHOTO"), "d"), path);
    ASSERT_TRUE(registry().RegSave(reg::HKCU, details, QStringLiteral("Empty"), QString()));
    EXPECT_EQ(registry().RegLoad(reg::HKCU, details, QStringLiteral("Empty"), "d"), "");
}

TEST_F(RegistryTest, ValuesOfOtherTypesReadAsTheDefault)
{
    ASSERT_TRUE(registry().store().setValue(RegHive::CurrentUser, details,
                                            RegValue::dword(QStringLiteral("Color"), 255)));
    EXPECT_EQ(registry().RegLoad(reg::HKCU, details, QStringLiteral("Color"), "0"), "0");
}

TEST_F(RegistryTest, FormSaveWritesTwipsAndFormLoadRestoresThem)
{
    PaperForm form;
    form.left = 4560;
    form.top = 1200;
    registry().FormSave(form, false);
    const QString window = QStringLiteral("SOFTWARE\\TavloClock\\fapp_CLOCK\\Window");
    EXPECT_EQ(registry().RegLoad(reg::HKCU, window, QStringLiteral("Left"), ""), "4560");
    EXPECT_EQ(registry().RegLoad(reg::HKCU, window, QStringLiteral("Width"), "none"), "none");

    PaperForm other;
    registry().FormLoad(other, false);
    EXPECT_EQ(other.left, 4560);
    EXPECT_EQ(other.top, 1200);
}

TEST_F(RegistryTest, FormLoadCentresAPlaceOffTheScreen)
{
    const ScreenTwips screen = primaryScreenTwips();
    const QString window = QStringLiteral("SOFTWARE\\TavloClock\\fapp_CLOCK\\Window");
    registry().RegSave(reg::HKCU, window, QStringLiteral("Left"), "-300");
    registry().RegSave(reg::HKCU, window, QStringLiteral("Top"),
                       QString::number(screen.height - 1000));
    PaperForm form;
    registry().FormLoad(form, false);
    EXPECT_EQ(form.left, std::nearbyint((screen.width + form.width) * 0.5 - form.width));
    EXPECT_EQ(form.top, std::nearbyint((screen.height + form.height) * 0.5 - form.height));
}

TEST_F(RegistryTest, FormLoadKeepsPlaceWhenStoredTextIsNotANumber)
{
    const QString window = QStringLiteral("SOFTWARE\\TavloClock\\fapp_CLOCK\\Window");
    registry().RegSave(reg::HKCU, window, QStringLiteral("Left"), "left");
    PaperForm form;
    registry().FormLoad(form, false);
    EXPECT_EQ(form.left, 1500);
}

TEST_F(RegistryTest, ResizableSaveWritesStateAndSizeOnlyWhenNormal)
{
    const QString window = QStringLiteral("SOFTWARE\\TavloClock\\fapp_CLOCK\\Window");
    PaperForm form;
    form.state = 2;
    registry().FormSave(form, true);
    EXPECT_EQ(registry().RegLoad(reg::HKCU, window, QStringLiteral("Window State"), ""), "2");
    EXPECT_EQ(registry().RegLoad(reg::HKCU, window, QStringLiteral("Left"), "none"), "none");

    PaperForm restored;
    registry().FormLoad(restored, true);
    EXPECT_EQ(restored.state, 2);

    form.state = 0;
    form.width = 4000;
    registry().FormSave(form, true);
    PaperForm normal;
    registry().FormLoad(normal, true);
    EXPECT_EQ(normal.width, 4000);
}

TEST_F(RegistryTest, ProgramLaunchWritesTheAutostartEntry)
{
    const QString entry = test::configHome() + QStringLiteral("/autostart/TavloClock.desktop");
    SaveSetting(reg::ProgramLaunch, QStringLiteral("1"));
    ApplyProgramLaunch();
    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    file.close();
    EXPECT_TRUE(text.contains(QStringLiteral("Type=Application")));
    EXPECT_TRUE(text.contains(QStringLiteral("Exec=")));
    EXPECT_FALSE(text.contains(QStringLiteral("Hidden=true")));
    EXPECT_FALSE(registry().RegLoad(reg::HKLM, reg::RunKey, "TavloClock", "").isEmpty());

    SaveSetting(reg::ProgramLaunch, QStringLiteral("0"));
    ApplyProgramLaunch();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(file.readAll()).contains(QStringLiteral("Hidden=true")));
    EXPECT_EQ(registry().RegLoad(reg::HKLM, reg::RunKey, "TavloClock", "x"), "");
}
