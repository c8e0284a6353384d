// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/cmlib_registry.h"
#include "core/globals.h"
#include "core/twips.h"
#include "globalsfixture.h"
#include "frame/labelbutton.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <initializer_list>
#include <utility>

namespace tavlo::test {

// The stopwatch or the timer program started on stored values the test
// gives, its boot clock and its desktop effects in the test's hands.
class CountingFixture : public GlobalsFixture
{
protected:
    using Values = std::initializer_list<std::pair<const char *, QString>>;

    // A theme colour at contrast 50, and time and date texts of their own.
    static constexpr OleColor kTheme = 0x3060C0, kTime = 0x00FFFF, kDate = 0x102030;
    template <typename Form> Form *startThemed(const char *title)
    {
        return startProgram<Form>(title, {{"0Color", QString::number(kTheme)},
                                          {"0Default-Contrast", QStringLiteral("50")},
                                          {"0Time-Color", QString::number(kTime)},
                                          {"0Time-Font", QStringLiteral("DejaVu Serif")},
                                          {"0Date-Color", QString::number(kDate)}});
    }

    template <typename Form> Form *startProgram(const char *title, Values values = {})
    {
        globals().strAPPTITLE = QLatin1String(title);
        globals().strREGROOT = QStringLiteral("SOFTWARE\\%1\\").arg(QLatin1String(title));
        globals().objREGISTRY = std::make_unique<cmlib_REGISTRY>();
        for (const auto &[name, value] : values)
            SaveSetting(QLatin1String(name), value);
        FlushSettings();
        if (!Main(QLatin1String(title)))
            return nullptr;
        return dynamic_cast<Form *>(widgetSet().frmWIDGETS(0));
    }
    template <typename Part> Part *part(const char *name)
    {
        return form()->findChild<Part *>(QLatin1String(name));
    }
    KeyLabel *button(const char *name) { return part<KeyLabel>(name); }
    // Start and Stop side by side, 1000 twips above the body's bottom, as
    // both kinds place them; the caller traces the size.
    void expectButtonsPlaced()
    {
        const auto *body = picture("picDATE");
        const KeyLabel *start = button("btnSTART"), *stop = button("btnSTOP");
        EXPECT_TRUE(start->Top() == body->Height() - 1000 && stop->Top() == start->Top());
        EXPECT_EQ(start->Left(), (body->Width() - 2 * start->Width()) / 2 - 150);
        EXPECT_EQ(stop->Left(), (body->Width() - start->Width()) / 2 + 1000);
        EXPECT_EQ(start->geometry(), start->pixelRect());
    }
    // Runs a timer's handler now, as if it had fired.
    void fire(const char *timerName)
    {
        QTimer *timer = part<QTimer>(timerName);
        ASSERT_TRUE(timer);
        QMetaObject::invokeMethod(timer, "timeout");
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, QWidget *to = nullptr)
    {
        QTest::keyClick(to ? to : form(), Qt::Key(key), modifiers);
    }
    static QString clipboardText() { return QGuiApplication::clipboard()->text(); }
    static QRect twipsToPixels(const TwipsBox &box) { return box.pixelRect(); }

    FakeBootClock boot;
    RecordingDesktop desk;
};

} // namespace tavlo::test
