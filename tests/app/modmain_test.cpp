#include "app/modmain.h"

#include "core/folders.h"
#include "core/valuenames.h"
#include "globalsfixture.h"
#include "testenv.h"

#include <QDir>
#include <QWidget>
#include <gtest/gtest.h>

using namespace tavlo;

namespace {

class MainTest : public test::GlobalsFixture
{};

} // namespace

TEST_F(MainTest, FirstRunShowsOneClockAndMakesTheFolders)
{
    ASSERT_TRUE(Main(QStringLiteral("TavloClock")));
    const MainGlobals &g = globals();
    ASSERT_TRUE(form());
    EXPECT_EQ(form()->objectName(), QStringLiteral("fapp_CLOCK"));
    EXPECT_TRUE(form()->isVisible());
    EXPECT_EQ(form()->Tag(), QStringLiteral("0"));
    EXPECT_EQ(form()->windowTitle(), QStringLiteral("TavloClock"));
    for (int i = 1; i < kWidgetSlots; ++i)
        EXPECT_FALSE(widgetSet().frmWIDGETS(i));

    const QString folder = test::dataHome() + QStringLiteral("/tavlo/TavloClock");
    EXPECT_EQ(g.strPROGRAMFOLDER, folder);
    EXPECT_TRUE(QDir(folder + QStringLiteral("/presets")).exists());
    EXPECT_TRUE(QDir(folder + QStringLiteral("/notes")).exists());
    EXPECT_EQ(g.strUPDATEFILE, folder + QStringLiteral("/latestupdate.txt"));

    EXPECT_EQ(g.strREGROOT, QStringLiteral("SOFTWARE\\TavloClock\\"));
    EXPECT_EQ(g.strVERSION, QStringLiteral("1.05"));
    EXPECT_EQ(g.strVERSIONTEXT, QStringLiteral("Version: 1.05"));
    EXPECT_TRUE(g.strVERSIONURL.endsWith(QStringLiteral("/prgdetails/ovapps_version.txt")));
    EXPECT_TRUE(g.strNEWERURL.endsWith(QStringLiteral("/there-is-a-newer-version-available/")));

    EXPECT_FALSE(g.strMSGFONTNAME.isEmpty());
    EXPECT_GE(g.strMSGFONTSIZE.toInt(), 8);

    // The first load writes the two defaults it needs.
    EXPECT_EQ(LoadSetting(reg::ProgramLaunch, QString()), QStringLiteral("1"));
    EXPECT_EQ(LoadSetting(reg::OnTop, QString()), QStringLiteral("0"));
}

TEST_F(MainTest, AnUnknownTitleRunsTheClockUnderItsOwnRoot)
{
    ASSERT_TRUE(Main(QStringLiteral("SomethingElse")));
    ASSERT_TRUE(widgetSet().frmWIDGETS(0));
    EXPECT_EQ(widgetSet().frmWIDGETS(0)->objectName(), QStringLiteral("fapp_CLOCK"));
    EXPECT_EQ(globals().strREGROOT, QStringLiteral("SOFTWARE\\SomethingElse\\"));
}

TEST_F(MainTest, KindsWithoutAWidgetYetStartNothing)
{
    EXPECT_FALSE(Main(QStringLiteral("TavloStopwatch")));
    EXPECT_FALSE(widgetSet().frmWIDGETS(0));
    // Their folders are made all the same.
    EXPECT_TRUE(QDir(test::dataHome() + QStringLiteral("/tavlo/TavloStopwatch/notes")).exists());
}

TEST_F(MainTest, StoredTransparencyIsAppliedAndClamped)
{
    globals().strREGROOT = QStringLiteral("SOFTWARE\\TavloClock\\");
    globals().objREGISTRY = std::make_unique<cmlib_REGISTRY>();
    SaveSetting(reg::DefaultTransparency, QStringLiteral("5"));
    ASSERT_TRUE(Main(QStringLiteral("TavloClock")));
    WidgetForm *clock = widgetSet().frmWIDGETS(0);
    clock->ColorUpdate();
    EXPECT_EQ(clock->lngTRANSVAL(), 20);
    EXPECT_NEAR(clock->windowOpacity(), 20 / 255.0, 0.002);
}

TEST_F(MainTest, TransparencyOutsideAByteKeepsTheDefault)
{
    globals().strREGROOT = QStringLiteral("SOFTWARE\\TavloClock\\");
    globals().objREGISTRY = std::make_unique<cmlib_REGISTRY>();
    SaveSetting(reg::DefaultTransparency, QStringLiteral("300"));
    ASSERT_TRUE(Main(QStringLiteral("TavloClock")));
    EXPECT_EQ(widgetSet().frmWIDGETS(0)->lngTRANSVAL(), 211);
    EXPECT_EQ(widgetSet().frmWIDGETS(0)->lngTRANSVALCUST(), 211);
}

TEST_F(MainTest, OrderlyExitSavesThePlaceOfEveryWidget)
{
    ASSERT_TRUE(Main(QStringLiteral("TavloClock")));
    QWidget *clock = widgetSet().frmWIDGETS(0);
    clock->move(123, 45);
    OrderlyExit();
    const QString window = QStringLiteral("SOFTWARE\\TavloClock\\fapp_CLOCK\\Window");
    EXPECT_EQ(globals().objREGISTRY->RegLoad(reg::HKCU, window, QStringLiteral("Left"), ""),
              QStringLiteral("1845"));
    EXPECT_EQ(globals().objREGISTRY->RegLoad(reg::HKCU, window, QStringLiteral("Top"), ""),
              QStringLiteral("675"));
}

TEST(AddBackslashTest, AddsASeparatorExceptToShortRoots)
{
    EXPECT_EQ(AddBackslash(QStringLiteral("/usr/bin")), QStringLiteral("/usr/bin/"));
    EXPECT_EQ(AddBackslash(QStringLiteral("/usr/bin/")), QStringLiteral("/usr/bin/"));
    EXPECT_EQ(AddBackslash(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(AddBackslash(QStringLiteral("/ab")), QStringLiteral("/ab"));
}
