// SPDX-License-Identifier: GPL-3.0-or-later
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

TEST_F(MainTest, FirstRunShowsOneClockWithTheProgramsGlobalsAnyOtherTitleUnderItsOwnRoot)
{
    ASSERT_TRUE(Main(QStringLiteral("TavloClock")));
    const MainGlobals &g = globals();
    EXPECT_EQ(form()->objectName(), "fapp_CLOCK");
    EXPECT_EQ(form()->Tag(), "0");
    for (int i = 1; i < kWidgetSlots; ++i)
        EXPECT_FALSE(widgetSet().frmWIDGETS(i));
    const QString folder = test::dataHome() + QStringLiteral("/tavlo/TavloClock");
    EXPECT_EQ(g.strPROGRAMFOLDER, folder);
    EXPECT_EQ(g.strUPDATEFILE, folder + "/latestupdate.txt");
    EXPECT_EQ(g.strREGROOT, "SOFTWARE\\TavloClock\\");
    EXPECT_EQ(g.strVERSIONTEXT, "Version: 1.05");
    EXPECT_TRUE(g.strVERSIONURL.endsWith("/prgdetails/ovapps_version.txt"));
    EXPECT_TRUE(g.strNEWERURL.endsWith("/there-is-a-newer-version-available/"));
    EXPECT_FALSE(g.strMSGFONTNAME.isEmpty());
    EXPECT_GE(g.strMSGFONTSIZE.toInt(), 8);

    resetGlobals();
    ASSERT_TRUE(Main(QStringLiteral("SomethingElse")));
    EXPECT_EQ(form()->objectName(), "fapp_CLOCK");
    EXPECT_EQ(globals().strREGROOT, "SOFTWARE\\SomethingElse\\");
}

TEST_F(MainTest, StoredTransparencyIsClampedOrKeepsTheDefault)
{
    // clang-format off
    const struct { const char *stored; int value; } cases[] = {{"5", 20}, {"300", 211}, {"x", 211}};
    // clang-format on
    for (const auto &c : cases) {
        prepareStore();
        SaveSetting(reg::DefaultTransparency, QLatin1String(c.stored));
        ASSERT_TRUE(Main(QStringLiteral("TavloClock")));
        form()->ColorUpdate();
        EXPECT_EQ(form()->lngTRANSVAL(), c.value) << c.stored;
        if (c.value == 211) {
            EXPECT_EQ(form()->lngTRANSVALCUST(), 211) << c.stored;
        }
        EXPECT_NEAR(form()->windowOpacity(), c.value / 255.0, 0.002) << c.stored;
        resetGlobals();
    }
}

TEST(AddBackslashTest, AddsASeparatorExceptToShortRoots)
{
    for (const char *path : {"/usr/bin", "/usr/bin/"})
        EXPECT_EQ(AddBackslash(QLatin1String(path)), "/usr/bin/");
    EXPECT_EQ(AddBackslash(QStringLiteral("/")), "/");
    EXPECT_EQ(AddBackslash(QStringLiteral("/ab")), "/ab");
}
