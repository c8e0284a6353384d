// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/stopwatch/fapp_swatch.h"

#include "countingfixture.h"
#include "frame/modblend.h"
#include "widgets/stopwatch/readingtext.h"

using namespace tavlo;

namespace {

class StopwatchTest : public test::CountingFixture
{
protected:
    fapp_SWATCH *start(Values values = {})
    {
        return startProgram<fapp_SWATCH>("TavloStopwatch", values);
    }
    QString reading() { return static_cast<fapp_SWATCH *>(form())->shownReading(); }
    // The reading as the window holds it, after a tick painted only what
    // changed, equals the reading painted whole.
    void expectReadingPaintedWhole()
    {
        QCoreApplication::processEvents();
        auto *shown = form()->findChild<ReadingText *>(QStringLiteral("elapsedText"));
        const QRect area(shown->mapTo(form(), QPoint()), shown->size());
        const QImage held = form()->screen()->grabWindow(form()->winId()).toImage().copy(area);
        const QImage whole = shown->grab().toImage();
        EXPECT_EQ(held.convertToFormat(QImage::Format_RGB32),
                  whole.convertToFormat(QImage::Format_RGB32));
    }
    // Lets ms pass on the boot clock, then one counting tick.
    void tick(qint64 ms = 100)
    {
        boot.advance(ms);
        fire("tmrSTOPWATCH");
    }
};

} // namespace

TEST_F(StopwatchTest, ButtonsAndReadingFollowTheBodyAtEverySize)
{
    fapp_SWATCH *watch = start();
    ASSERT_TRUE(watch);
    for (const QSize size : {QSize(256, 196), QSize(400, 300), QSize(600, 180)}) {
        watch->resize(size);
        watch->updateparts();
        const auto *body = picture("picDATE");
        SCOPED_TRACE(size.width());
        expectButtonsPlaced();
        const Label *size8 = label("lblSIZE");
        const auto *shown = form()->findChild<ReadingText *>(QStringLiteral("elapsedText"));
        EXPECT_EQ(shown->Left(), (body->Width() - size8->Width()) / 2);
        EXPECT_EQ(shown->Top(), (body->Height() - size8->Height()) / 2 - 500);
        EXPECT_EQ(shown->parentWidget(), body);
    }
}

TEST_F(StopwatchTest, ColoursComeFromTheThemeAndTheTextSettings)
{
    ASSERT_TRUE(startThemed<fapp_SWATCH>("TavloStopwatch"));
    for (const char *name : {"btnSTART", "btnSTOP"})
        EXPECT_TRUE(button(name)->BackColor() == ColorBlend(0xFFFFFF, kTheme, 90) &&
                    button(name)->ForeColor() == kDate)
            << name;
    const auto *shown = form()->findChild<ReadingText *>(QStringLiteral("elapsedText"));
    EXPECT_EQ(shown->colour(), toQColor(kTime));
    EXPECT_EQ(shown->face().family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(label("lblSIZE")->FontName(), QStringLiteral("DejaVu Serif"));
}

TEST_F(StopwatchTest, ButtonsKeysAndTicksRunTheCycle)
{
    ASSERT_TRUE(start());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form()));
    EXPECT_EQ(reading(), QStringLiteral("00:00.00"));
    // What each step leaves: the reading (also on the clipboard after Ctrl+C) and the captions.
    // clang-format off
    const struct { std::function<void()> step; const char *shown; } steps[] = {
        {[&] { QTest::mouseClick(button("btnSTART"), Qt::LeftButton); }, "00:00.00 Stop/Lap"},
        {[&] { tick(); }, "00:00.06 Stop/Lap"},
        // A stalled tick shows the true time; a held Lap survives ticks and re-layouts.
        {[&] { tick(1300); }, "00:01.24 Stop/Lap"},
        {[&] { key(Qt::Key_Escape); }, "00:01.24 Stop/Lap"},
        {[&] { tick(500); form()->updateparts(); }, "00:01.24 Stop/Lap"},
        {[&] { key(Qt::Key_Space); }, "00:01.54 Start/Reset"},
        {[&] { boot.advance(7'200'000); tick(); }, "00:01.54 Start/Reset"},
        {[&] { key(Qt::Key_Return); tick(); }, "00:02.00 Stop/Lap"},
        // A suspend of two hours counts in full.
        {[&] { tick(7'200'000); }, "120:02.00 Stop/Lap"},
        {[&] { QTest::mouseClick(button("btnSTART"), Qt::LeftButton); }, "120:02.00 Start/Reset"},
        {[&] { QTest::mouseClick(button("btnSTOP"), Qt::LeftButton); }, "00:00:00 Start/Reset"},
        {[&] { key(Qt::Key_Enter, Qt::KeypadModifier); tick(); }, "00:00.06 Stop/Lap"},
    };
    // clang-format on
    for (const auto &s : steps) {
        s.step();
        SCOPED_TRACE(s.shown);
        key(Qt::Key_C, Qt::ControlModifier);
        EXPECT_EQ(reading() + u' ' + button("btnSTART")->Caption() + u'/' +
                      button("btnSTOP")->Caption() + u'|' + clipboardText(),
                  QLatin1String(s.shown) + u'|' + QString::fromLatin1(s.shown).section(u' ', 0, 0));
        expectReadingPaintedWhole();
    }
}
