// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/timer/fapp_timer.h"

#include "countingfixture.h"
#include "frame/modblend.h"
#include "widgets/timer/durationbox.h"
#include "widgets/timer/finishednotice.h"

using namespace tavlo;

namespace {

class TimerTest : public test::CountingFixture
{
protected:
    void SetUp() override
    {
        setFinishedNoticeForTesting(
            [this](const QString &title, const QString &text) { notices << title + text; });
    }
    void TearDown() override
    {
        setFinishedNoticeForTesting({});
        CountingFixture::TearDown();
    }
    fapp_TIMER *start(Values values = {}) { return startProgram<fapp_TIMER>("TavloTimer", values); }
    DurationBox *box(const char *name) { return part<DurationBox>(name); }
    QString boxes()
    {
        return box("txtHOURS")->text() + QLatin1Char(':') + box("txtMINS")->text() +
               QLatin1Char(':') + box("txtSECS")->text();
    }
    // Lets ms pass on the boot clock, then one countdown tick.
    void tick(qint64 ms = 1000)
    {
        boot.advance(ms);
        fire("tmrTimer");
    }
    // Types text into a box as the user would: all of it replaced.
    void type(const char *name, const char *text)
    {
        box(name)->setFocus();
        box(name)->selectAll();
        QTest::keyClick(box(name), Qt::Key_Delete);
        QTest::keyClicks(box(name), QLatin1String(text));
    }

    QStringList notices;
};

} // namespace

TEST_F(TimerTest, PartsFollowTheBodyAtEverySize)
{
    fapp_TIMER *timer = start();
    ASSERT_TRUE(timer);
    for (const QSize size : {QSize(496, 236), QSize(700, 400), QSize(300, 150)}) {
        timer->resize(size);
        timer->updateparts();
        const auto *body = picture("picDATE");
        KeyLabel *start = button("btnSTART"), *stop = button("btnSTOP");
        const DurationBox *h = box("txtHOURS"), *m = box("txtMINS"), *s = box("txtSECS");
        const Label *sep1 = label("lblSEP1"), *sep2 = label("lblSEP2");
        SCOPED_TRACE(size.width());
        EXPECT_TRUE(start->Top() == body->Height() - 1000 && stop->Top() == start->Top());
        EXPECT_EQ(start->Left(), (body->Width() - 2 * start->Width()) / 2 - 150);
        EXPECT_EQ(stop->Left(), (body->Width() - start->Width()) / 2 + 1000);
        for (const DurationBox *b : {h, m, s})
            EXPECT_TRUE(b->Top() == (stop->Top() - m->Height()) / 2 &&
                        b->geometry() == b->pixelRect());
        EXPECT_EQ(m->Left(), (int(std::lround(timer->formWidth())) - m->Width()) / 2);
        EXPECT_EQ(h->Left(), m->Left() - 500 - h->Width());
        EXPECT_EQ(s->Left(), m->Left() + m->Width() + 500);
        EXPECT_EQ(sep1->Left(), m->Left() - 100 - sep1->Width());
        EXPECT_EQ(sep2->Left(), m->Left() + m->Width() + 100);
        EXPECT_EQ(sep1->Top(), m->Top() + (m->Height() - sep1->Height()) / 2);
    }
}

TEST_F(TimerTest, ColoursComeFromTheThemeAndTheTextSettings)
{
    const OleColor theme = 0x3060C0, time = 0x00FFFF, date = 0x102030;
    ASSERT_TRUE(start({{"0Color", QString::number(theme)},
                       {"0Default-Contrast", QStringLiteral("50")},
                       {"0Time-Color", QString::number(time)},
                       {"0Time-Font", QStringLiteral("DejaVu Serif")},
                       {"0Date-Color", QString::number(date)}}));
    for (const char *name : {"txtHOURS", "txtMINS", "txtSECS"}) {
        const QPalette palette = box(name)->palette();
        EXPECT_TRUE(palette.color(QPalette::Base) == toQColor(theme) &&
                    palette.color(QPalette::Active, QPalette::Text) == toQColor(time) &&
                    box(name)->font().family() == QStringLiteral("DejaVu Serif") &&
                    box(name)->font().pointSizeF() == 72)
            << name;
    }
    // A fixed amount of white, whatever the contrast.
    for (const char *name : {"btnSTART", "btnSTOP"})
        EXPECT_TRUE(button(name)->BackColor() == ColorBlend(0xFFFFFF, theme, 145) &&
                    button(name)->ForeColor() == date)
            << name;
    EXPECT_EQ(label("lblSEP1")->ForeColor(), 0xFFFFFF);
}

TEST_F(TimerTest, ButtonsKeysBoxesAndTicksRunTheStates)
{
    ASSERT_TRUE(start());
    // What each step leaves: the boxes, btnSTART, btnSTOP, hours and minutes enabled.
    // clang-format off
    const struct { std::function<void()> step; const char *boxes, *start, *stop; bool hours, mins; } steps[] = {
        {[] {}, "00:01:00", "Start", "Stop", true, true},
        {[&] { type("txtMINS", "75"); }, "00:75:00", "Start", "Stop", true, true},
        {[&] { type("txtSECS", "4x-2"); }, "00:75:42", "Start", "Stop", true, true},
        {[&] { key(Qt::Key_Return, Qt::NoModifier, box("txtSECS")); }, "00:75:42", "Pause", "Stop", false, true},
        {[&] { tick(); }, "00:75:41", "Pause", "Stop", false, true},
        // A stall of 42 s applies its 42 steps at once, without carrying into hours.
        {[&] { tick(42'000); }, "00:74:59", "Pause", "Stop", false, true},
        {[&] { QTest::mouseClick(button("btnSTART"), Qt::LeftButton); }, "00:74:59", "Resume", "Reset", false, true},
        {[&] { tick(60'000); }, "00:74:59", "Resume", "Reset", false, true},
        {[&] { key(Qt::Key_Space); tick(); }, "00:74:58", "Pause", "Stop", false, true},
        {[&] { key(Qt::Key_Escape); }, "00:74:58", "Resume", "Reset", false, true},
        {[&] { key(Qt::Key_Escape); }, "00:01:00", "Start", "Stop", true, true},
        // Stop while idle resets what was typed.
        {[&] {
             type("txtHOURS", "3");
             QTest::mouseClick(button("btnSTOP"), Qt::LeftButton);
         },
         "00:01:00", "Start", "Stop", true, true},
    };
    // clang-format on
    for (const auto &s : steps) {
        s.step();
        SCOPED_TRACE(s.boxes);
        EXPECT_EQ(boxes(), QLatin1String(s.boxes));
        EXPECT_EQ(button("btnSTART")->Caption(), QLatin1String(s.start));
        EXPECT_EQ(button("btnSTOP")->Caption(), QLatin1String(s.stop));
        EXPECT_EQ(std::pair(box("txtHOURS")->isEnabled(), box("txtMINS")->isEnabled()),
                  std::pair(s.hours, s.mins));
    }
    EXPECT_TRUE(desk.messages.isEmpty());
}

TEST_F(TimerTest, FinishedComesOnceThenTheResetDurationShows)
{
    ASSERT_TRUE(start());
    type("txtMINS", "0");
    type("txtSECS", "3");
    key(Qt::Key_Enter, Qt::KeypadModifier, box("txtSECS"));
    key(Qt::Key_C, Qt::ControlModifier, box("txtSECS"));
    EXPECT_EQ(clipboardText(), QStringLiteral("00:00:03"));
    tick(2000);
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboardText(), QStringLiteral("00:00:01"));
    EXPECT_TRUE(desk.messages.isEmpty());
    // Zero is passed during a stall: one message, the reset duration after it.
    tick(10'000);
    tick();
    EXPECT_EQ(desk.messages,
              (QList<QStringList>{{QStringLiteral("TavloTimer"), fapp_TIMER::finishedText()}}));
    EXPECT_EQ(notices, QStringList{QStringLiteral("TavloTimerFinished")});
    EXPECT_EQ(boxes(), QStringLiteral("00:01:00"));
    EXPECT_EQ(button("btnSTART")->Caption(), QStringLiteral("Start"));
    EXPECT_FALSE(part<QTimer>("tmrTimer")->isActive());
}
