// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/modmain.h"
#include "core/cmlib_registry.h"
#include "core/globals.h"
#include "fakes.h"
#include "frame/controls.h"
#include "frame/widgetform.h"
#include "frame/widgetset.h"
#include "messages/cmlib_objects.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>

namespace tavlo::test {

// Every test that touches the program's globals: it sets up what it needs of
// them here, and they are all dropped afterwards, widgets and windows included.
class GlobalsFixture : public ::testing::Test
{
protected:
    void TearDown() override
    {
        resetGlobals();
        m_clock.reset();
    }

    // The clock program's title and settings store, without starting it:
    // settings written now are what the clock loads.
    void prepareStore()
    {
        globals().strAPPTITLE = QStringLiteral("TavloClock");
        globals().strREGROOT = QStringLiteral("SOFTWARE\\TavloClock\\");
        globals().objREGISTRY = std::make_unique<cmlib_REGISTRY>();
    }
    // The message object and a message font of the given size.
    void prepareMessages(const QString &fontSize = QStringLiteral("10"))
    {
        globals().strAPPTITLE = QStringLiteral("TavloClock");
        globals().strMSGFONTNAME = QStringLiteral("DejaVu Serif");
        globals().strMSGFONTSIZE = fontSize;
        objOBJECTS() = std::make_unique<cmlib_OBJECTS>();
        wireLayers();
    }

    // Starts the clock program on a clock the test controls.
    WidgetForm *start(const QDateTime &now = QDateTime(QDate(2026, 12, 6), QTime(13, 7, 9)))
    {
        // The old clock goes first: leaving, it hands the program back to the real one.
        m_clock.reset();
        m_clock = std::make_unique<FakeClock>(now);
        if (!Main(QStringLiteral("TavloClock")))
            return nullptr;
        return form();
    }

    FakeClock &clock() { return *m_clock; }
    WidgetForm *form() { return widgetSet().frmWIDGETS(0); }
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
