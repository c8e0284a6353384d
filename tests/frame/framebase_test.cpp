// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/framebase.h"

#include "photosfixture.h"

#include <QAccessible>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <vector>

using namespace tavlo;

// One theme colour whose channels (0x99, 0x66, 0x33) blend to whole numbers
// at contrast 100, so every shade is exact.
TEST(ThemeShadesTest, MixesEveryShadeFromColourAndContrast)
{
    const ThemeShades shades = themeShades(0x336699, 100);
    // Back: the theme darkened to 155/255; separator: 130/255 white; shadow: the back
    // darkened again; strips: half the contrast in black, contrast + 40 in white.
    EXPECT_EQ((std::vector<OleColor>{shades.back, shades.separator, shades.shadow, shades.timeFrom,
                                     shades.timeTo, shades.dateTo}),
              (std::vector<OleColor>{0x1F3E5D, 0x9BB4CD, 0x19324B, 0x29527B, 0xA3BAD1, 0x83A2C1}));
    EXPECT_TRUE(shades.dateFrom == shades.timeFrom && shades.grip == shades.timeFrom);
    // Half of an odd contrast rounds to even: 33 mixes like 32 at the strips' dark end.
    EXPECT_EQ(themeShades(0x123456, 33).timeFrom, ColorBlend(0, 0x123456, 16));
    // A contrast written by hand may be any 32-bit number: the mixes saturate
    // instead of overflowing.
    EXPECT_EQ(themeShades(0x336699, INT32_MAX).back, 0x000000u);
    EXPECT_EQ(themeShades(0x336699, INT32_MIN).back, 0xFFFFFFu);
    EXPECT_EQ(themeShades(0x336699, INT32_MAX), themeShades(0x336699, 1 << 24));
}

namespace {

// The clock and a photo frame, each driven from the keyboard alone.
class FrameKeysTest : public test::PhotosFixture
{
protected:
    FrameBase *clockFrame()
    {
        auto *frame = dynamic_cast<FrameBase *>(start());
        activate(frame);
        return frame;
    }
    FrameBase *photoFrame()
    {
        if (!startWith({}))
            return nullptr;
        activate(frame(0));
        return frame(0);
    }
    static void activate(QWidget *window)
    {
        window->activateWindow();
        (void)QTest::qWaitForWindowActive(window);
    }
    // Each key with its modifiers, sent to whoever takes keys now.
    static void press(QWidget *to, const QList<QKeyCombination> &keys)
    {
        for (const QKeyCombination key : keys) {
            QWidget *target = QWidget::keyboardGrabber() ? QWidget::keyboardGrabber() : to;
            QTest::keyClick(target, key.key(), key.keyboardModifiers());
        }
    }
};

constexpr QKeyCombination kMove = Qt::ALT | Qt::Key_F7;
constexpr QKeyCombination kResize = Qt::ALT | Qt::Key_F8;
constexpr QKeyCombination kLeft(Qt::Key_Left), kRight(Qt::Key_Right), kUp(Qt::Key_Up),
    kDown(Qt::Key_Down), kEnter(Qt::Key_Return), kEscape(Qt::Key_Escape);

} // namespace

TEST_F(FrameKeysTest, ArrowsMoveTheWindowUntilEnterKeepsOrEscapeRestores)
{
    // clang-format off
    const struct { QList<QKeyCombination> keys; QPoint by; } cases[] = {
        {{kMove, Qt::SHIFT | Qt::Key_Down, Qt::SHIFT | Qt::Key_Down, kUp, kEnter}, {0, -8}},
        {{kMove, kDown, Qt::Key_A, kLeft, kEnter}, {-10, 10}},
        {{kResize, kRight, kEnter}, {0, 0}}, // a resize is only for the resizable family
    };
    // clang-format on
    for (const auto &c : cases) {
        FrameBase *clock = clockFrame();
        ASSERT_NE(clock, nullptr);
        const QRect before = clock->geometry();
        press(clock, c.keys);
        EXPECT_TRUE(clock->keyboardMode() == FrameBase::KeyboardMode::None &&
                    !QWidget::keyboardGrabber());
        EXPECT_EQ(clock->geometry(), before.translated(c.by)) << c.by.x() << "," << c.by.y();
        resetGlobals();
    }
}

TEST_F(FrameKeysTest, ControlsKeepEveryKeyButTheFramesOwn)
{
    FrameBase *clock = clockFrame();
    ASSERT_NE(clock, nullptr);
    auto *editor = new QLineEdit(clock);
    editor->show();
    editor->setFocus();
    QSignalSpy settings(clock, &WidgetForm::settingsRequested);

    press(editor, {Qt::Key_A, Qt::SHIFT | Qt::Key_F10});
    EXPECT_EQ(settings.count(), 1);
    // The settings dialog took the keyboard; back to the clock.
    activate(clock);
    press(editor, {kMove});
    EXPECT_EQ(clock->keyboardMode(), FrameBase::KeyboardMode::Move);
    EXPECT_EQ(QWidget::keyboardGrabber(), clock);
    const QPoint start = clock->pos();
    press(editor, {kRight, Qt::Key_B, kEnter, Qt::Key_C});
    EXPECT_EQ(clock->pos(), start + QPoint(10, 0));
    EXPECT_EQ(editor->text(), QStringLiteral("ac"));
}

TEST_F(FrameKeysTest, ArrowsSizeAPhotoFrameWithinItsBounds)
{
    ResizableFrame *photo = dynamic_cast<ResizableFrame *>(photoFrame());
    ASSERT_NE(photo, nullptr);
    const QSize start = photo->size();
    const int margin = 2 * mainPart(0)->pixelRect().left();

    press(photo, {kResize, Qt::SHIFT | Qt::Key_Down, kEnter, kResize, kRight, kEscape});
    EXPECT_EQ(photo->size(), start + QSize(0, 1));
    // The main part follows, as after a drag of the grip: its size is what is saved.
    EXPECT_EQ(mainPart(0)->height(), photo->height() - margin);

    press(photo, {kResize});
    for (int i = 0; i < 200; ++i)
        press(photo, {kLeft, kUp});
    press(photo, {kEnter});
    const QSize least =
        photo->findChild<QWidget *>(QStringLiteral("lablCORNER"))->size() + QSize(margin, margin);
    const QSize over = photo->size() - least;
    EXPECT_TRUE(over.width() <= 1 && over.height() <= 1 && photo->width() > 0);
}

TEST_F(FrameKeysTest, FramesAndTheirMainTextTellAssistiveTechnologyWhatTheyAre)
{
    FrameBase *clock = clockFrame();
    ASSERT_NE(clock, nullptr);
    QAccessibleInterface *frame = QAccessible::queryAccessibleInterface(clock);
    EXPECT_EQ(frame->text(QAccessible::Name), QStringLiteral("TavloClock clock"));
    QAccessibleInterface *time = QAccessible::queryAccessibleInterface(label("lblTIME"));
    EXPECT_EQ(time->role(), QAccessible::StaticText);
    EXPECT_EQ(time->text(QAccessible::Name), QStringLiteral("Time"));
    EXPECT_EQ(time->text(QAccessible::Value), label("lblTIME")->Caption());
    EXPECT_FALSE(label("lblTIME")->Caption().isEmpty());
    // A label with no name of its own reads as its caption.
    QAccessibleInterface *secs = QAccessible::queryAccessibleInterface(label("lblSECS"));
    EXPECT_EQ(secs->text(QAccessible::Name), label("lblSECS")->Caption());
}
