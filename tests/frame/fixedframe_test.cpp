// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/fixedframe.h"

#include "core/valuenames.h"
#include "frame/windowops.h"
#include "globalsfixture.h"
#include "paintrecorder.h"

#include <QScreen>
#include <QTest>

using namespace tavlo;

using FrameTest = test::GlobalsFixture;

TEST_F(FrameTest, ThemeShadesReachTheLinesAndTheStripsPaintedOnlyWhenTheirInputsChange)
{
    ASSERT_TRUE(start());
    const qint64 before = picture("picTIME")->picture().cacheKey();
    form()->updateparts();
    form()->ColorUpdate();
    EXPECT_EQ(picture("picTIME")->picture().cacheKey(), before);
    auto *frame = static_cast<FixedFrame *>(form());
    frame->setLngTHEMECOLOR(0x336699);
    frame->ColorUpdate();
    EXPECT_NE(picture("picTIME")->picture().cacheKey(), before);
    frame->setLngTRANSVALCONTRAST(100);
    frame->ColorUpdate();
    const ThemeShades shades = themeShades(0x336699, 100);
    EXPECT_EQ(frame->BackColor(), shades.back);
    EXPECT_EQ(line("lnesep")->BorderColor(), shades.separator);
    EXPECT_EQ(line("lneshad")->BorderColor(), shades.shadow);
    // The time strip runs from light at the top to dark at the bottom, the
    // date strip the other way round.
    const QImage time = picture("picTIME")->picture();
    const QImage date = picture("picDATE")->picture();
    ASSERT_FALSE(time.isNull());
    EXPECT_GT(qGray(time.pixel(5, 0)), qGray(time.pixel(5, time.height() - 1)));
    EXPECT_LT(qGray(date.pixel(5, 0)), qGray(date.pixel(5, date.height() - 1)));
}

TEST_F(FrameTest, ATickThatChangesNoTextRepaintsNothing)
{
    ASSERT_TRUE(start());
    settle();
    test::PaintRecorder recorder(form());
    form()->updateparts();
    settle();
    EXPECT_TRUE(recorder.painted.isEmpty());
    // A new second repaints the seconds label's own area, nothing else.
    clock().set(clock().now().addSecs(1));
    form()->updateparts();
    settle();
    EXPECT_TRUE(recorder.paintedOnlyIn(label("lblSECS")));
}

TEST_F(FrameTest, OnTopIsReadAtLoadAndChangesWithoutANewWindow)
{
    prepareStore();
    SaveSetting(reg::OnTop, QStringLiteral("True"));
    ASSERT_TRUE(start());
    const auto onTop = [&] { return form()->windowFlags().testFlag(Qt::WindowStaysOnTopHint); };
    EXPECT_TRUE(onTop());
    const WId id = form()->winId();
    SetOnTop(form(), false);
    EXPECT_FALSE(onTop());
    SaveSetting(reg::OnTop, QStringLiteral("1"));
    form()->FormUpdate();
    EXPECT_TRUE(onTop() && form()->winId() == id);
}

TEST_F(FrameTest, AClickPullsAWidgetBelowTheScreenBackUp)
{
    ASSERT_TRUE(start());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    form()->move(100, screen.bottom() - form()->height() / 2);
    QTest::mouseClick(form(), Qt::RightButton, {}, QPoint(1, 1));
    EXPECT_EQ(form()->pos(), QPoint(100, screen.height() - form()->height()));
}

TEST_F(FrameTest, APlaceThatIsNoFiniteNumberOnTheScreenComesBackCentred)
{
    const QString window = QStringLiteral("SOFTWARE\\TavloClock\\fapp_CLOCK\\Window");
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const auto save = [&](QLatin1String name, const QString &text) {
        globals().objREGISTRY->RegSave(reg::HKCU, window, name, text);
    };
    const auto stored = [&](QLatin1String name) {
        return globals().objREGISTRY->RegLoad(reg::HKCU, window, name, QString()).toInt();
    };
    for (const char *text : {"1e30", "-3.4e38", "1e999", "NaN", "-inf", "Infinity"}) {
        for (const QLatin1String name : {reg::Left, reg::Top}) {
            resetGlobals();
            prepareStore();
            save(reg::Left, QStringLiteral("300"));
            save(reg::Top, QStringLiteral("450"));
            save(name, QLatin1String(text));
            ASSERT_TRUE(start()) << text;
            const QPoint centred((screen.width() - form()->width()) / 2,
                                 (screen.height() - form()->height()) / 2);
            const QPoint expected =
                name == reg::Left ? QPoint(centred.x(), 30) : QPoint(20, centred.y());
            EXPECT_LE((form()->pos() - expected).manhattanLength(), 1)
                << text << " as " << name.data();
            form()->saveOnUnload();
            EXPECT_EQ(QPoint(stored(reg::Left), stored(reg::Top)), form()->pos() * 15) << text;
        }
    }
}
