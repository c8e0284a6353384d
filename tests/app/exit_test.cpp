// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/valuenames.h"
#include "globalsfixture.h"
#include "platform/unixsignals.h"

#include <QApplication>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

using namespace tavlo;

namespace {

const QString kWindow = QStringLiteral("SOFTWARE\\TavloClock\\fapp_CLOCK\\Window");

class ExitTest : public test::GlobalsFixture
{
protected:
    void TearDown() override
    {
        // Give the signals back, so the test runner can still end this process.
        qDeleteAll(qApp->findChildren<UnixSignalWatcher *>());
        GlobalsFixture::TearDown();
    }
    QString stored(QLatin1String name)
    {
        return globals().objREGISTRY->RegLoad(reg::HKCU, kWindow, name, QString());
    }
};

} // namespace

TEST_F(ExitTest, SavingForTheSessionLeavesEverythingOpenAndEachSignalEndsTheProgram)
{
    for (const int signalNumber : {SIGTERM, SIGINT, SIGHUP}) {
        ASSERT_TRUE(Main(QStringLiteral("TavloClock")));
        installExitHandlers(*qApp);
        QWidget *clock = widgetSet().frmWIDGETS(0);
        clock->move(40, 60);
        SaveWidgets();
        EXPECT_TRUE(clock->isVisible());
        EXPECT_EQ(stored(reg::Left) + "," + stored(reg::Top), "600,900");
        clock->move(10 + signalNumber, 20);
        std::raise(signalNumber);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !clock->isVisible(); }, 2000)) << signalNumber;
        EXPECT_EQ(stored(reg::Left), QString::number((10 + signalNumber) * 15)) << signalNumber;
        EXPECT_EQ(stored(reg::Top), QStringLiteral("300"));
        qDeleteAll(qApp->findChildren<UnixSignalWatcher *>());
        resetGlobals();
    }
}
