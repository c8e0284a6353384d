#pragma once

#include "app/cmlib_registry.h"
#include "app/modmain.h"
#include "fakes.h"
#include "frame/controls.h"
#include "frame/widgetform.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>

namespace tavlo::test {

// Starts the clock program on a clock the test controls.
class ClockFixture : public ::testing::Test
{
protected:
    void TearDown() override
    {
        resetGlobals();
        m_clock.reset();
    }

    // Settings written before start are what the clock loads.
    void prepareStore()
    {
        globals().strREGROOT = QStringLiteral("SOFTWARE\\TavloClock\\");
        globals().objREGISTRY = std::make_unique<cmlib_REGISTRY>();
    }

    WidgetForm *start(const QDateTime &now = QDateTime(QDate(2026, 12, 6), QTime(13, 7, 9)))
    {
        m_clock = std::make_unique<FakeClock>(now);
        if (!Main(QStringLiteral("TavloClock")))
            return nullptr;
        return globals().frmWIDGETS[0];
    }

    FakeClock &clock() { return *m_clock; }
    WidgetForm *form() { return globals().frmWIDGETS[0]; }
    Label *label(const char *name) { return form()->findChild<Label *>(QString::fromLatin1(name)); }
    PictureBox *picture(const char *name)
    {
        return form()->findChild<PictureBox *>(QString::fromLatin1(name));
    }
    LineControl *line(const char *name)
    {
        return form()->findChild<LineControl *>(QString::fromLatin1(name));
    }
    static void settle() { QCoreApplication::processEvents(); }

private:
    std::unique_ptr<FakeClock> m_clock;
};

} // namespace tavlo::test
