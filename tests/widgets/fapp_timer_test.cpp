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
    // The three boxes and the two captions, as "HH:MM:SS Start/Stop".
    QString shown()
    {
        return box("txtHOURS")->text() + u':' + box("txtMINS")->text() + u':' +
               box("txtSECS")->text() + u' ' + button("btnSTART")->Caption() + u'/' +
               button("btnSTOP")->Caption();
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
        const KeyLabel *stop = button("btnSTOP");
        const DurationBox *h = box("txtHOURS"), *m = box("txtMINS"), *s = box("txtSECS");
        const Label *sep1 = label("lblSEP1"), *sep2 = label("lblSEP2");
        SCOPED_TRACE(size.width());
        expectButtonsPlaced();
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
    ASSERT_TRUE(startThemed<fapp_TIMER>("TavloTimer"));
    for (const char *name : {"txtHOURS", "txtMINS", "txtSECS"}) {
        const QPalette palette = box(name)->palette();
        EXPECT_TRUE(palette.color(QPalette::Base) == toQColor(kTheme) &&
                    palette.color(QPalette::Active, QPalette::Text) == toQColor(kTime) &&
                    box(name)->font().family() == QStringLiteral("DejaVu Serif") &&
                    box(name)->font().pointSizeF() == 72)
            << name;
    }
    // A fixed amount of white, whatever the contrast.
    for (const char *name : {"btnSTART", "btnSTOP"})
        EXPECT_TRUE(button(name)->BackColor() == ColorBlend(0xFFFFFF, kTheme, 145) &&
                    button(name)->ForeColor() == kDate)
            << name;
    EXPECT_EQ(label("lblSEP1")->ForeColor(), 0xFFFFFF);
}

TEST_F(TimerTest, ButtonsKeysBoxesAndTicksRunTheStates)
{
    ASSERT_TRUE(start());
    // What each step leaves: boxes and captions, hours and minutes enabled.
    // clang-format off
    const struct { std::function<void()> step; const char *shown; bool hours, mins; } steps[] = {
        {[] {}, "00:01:00 Start/Stop", true, true},
        {[&] { type("txtMINS", "75"); }, "00:75:00 Start/Stop", true, true},
        {[&] { type("txtSECS", "4x-2"); }, "00:75:42 Start/Stop", true, true},
        {[&] { key(Qt::Key_Return, Qt::NoModifier, box("txtSECS")); }, "00:75:42 Pause/Stop", false, true},
        {[&] { tick(); }, "00:75:41 Pause/Stop", false, true},
        // A stall of 42 s applies its 42 steps at once, without carrying into hours.
        {[&] { tick(42'000); }, "00:74:59 Pause/Stop", false, true},
        {[&] { QTest::mouseClick(button("btnSTART"), Qt::LeftButton); }, "00:74:59 Resume/Reset", false, true},
        {[&] { tick(60'000); }, "00:74:59 Resume/Reset", false, true},
        {[&] { key(Qt::Key_Space); tick(); }, "00:74:58 Pause/Stop", false, true},
        {[&] { key(Qt::Key_Escape); }, "00:74:58 Resume/Reset", false, true},
        {[&] { key(Qt::Key_Escape); }, "00:01:00 Start/Stop", true, true},
        // Stop while idle resets what was typed.
        {[&] { type("txtHOURS", "3"); QTest::mouseClick(button("btnSTOP"), Qt::LeftButton); },
         "00:01:00 Start/Stop", true, true},
    };
    // clang-format on
    for (const auto &s : steps) {
        s.step();
        EXPECT_EQ(shown(), QLatin1String(s.shown));
        EXPECT_EQ(std::pair(box("txtHOURS")->isEnabled(), box("txtMINS")->isEnabled()),
                  std::pair(s.hours, s.mins))
            << s.shown;
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
    EXPECT_EQ(shown(), QStringLiteral("00:01:00 Start/Stop"));
    EXPECT_FALSE(part<QTimer>("tmrTimer")->isActive());
}

TEST(DurationBoxTest, DigitsFromPicturesLookAsTheLineEditDrawsThem)
{
    // clang-format off
    const struct { const char *text; bool enabled, focusedBefore; } cases[] = {
        {"00", true, false}, {"59", true, false}, {"7", true, false}, {"123", true, false},
        {"00", false, false}, {"", true, false}, {"7", true, true}, {"0", true, true},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.text) + (c.enabled ? " enabled" : " greyed"));
        DurationBox box(QStringLiteral("txtSECS"), nullptr);
        box.setColours(0x203040, 0xF0E0D0);
        box.setText(QLatin1String(c.text));
        box.setEnabled(c.enabled);
        box.resize(twipsToPixelsX(box.fittingSizeTwips().width()), 120);
        // The same box drawn by the line edit itself.
        QLineEdit edit;
        edit.setFrame(false);
        edit.setAlignment(Qt::AlignCenter);
        edit.setAutoFillBackground(true);
        edit.setFont(box.font());
        edit.setPalette(box.palette());
        edit.setText(box.text());
        edit.setEnabled(c.enabled);
        edit.resize(box.size());
        for (QWidget *shown : {static_cast<QWidget *>(&box), static_cast<QWidget *>(&edit)}) {
            QFocusEvent in(QEvent::FocusIn), out(QEvent::FocusOut);
            if (c.focusedBefore) {
                QCoreApplication::sendEvent(shown, &in);
                QCoreApplication::sendEvent(shown, &out);
            }
        }
        const QImage ours = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage its = edit.grab().toImage().convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(ours.size(), its.size());
        // Smoothing differs at the edges (the line edit places digits to a
        // quarter pixel, the pictures to a pixel); a digit a pixel off differs a lot.
        int differing = 0;
        for (int y = 0; y < ours.height(); ++y)
            for (int x = 0; x < ours.width(); ++x) {
                const QRgb a = ours.pixel(x, y), b = its.pixel(x, y);
                differing += std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                                       std::abs(qBlue(a) - qBlue(b))}) > 96;
            }
        EXPECT_EQ(differing, 0);
    }
}
