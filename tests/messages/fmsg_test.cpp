// SPDX-License-Identifier: GPL-3.0-or-later
#include "globalsfixture.h"
#include "messages/cmlib_objects.h"
#include "messages/fmsg_calltoaction.h"
#include "messages/fmsg_infobox.h"

#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

using namespace tavlo;

namespace {

class MessageWindowTest : public test::GlobalsFixture
{
protected:
    void SetUp() override { prepareMessages(); }

    cmlib_OBJECTS &objects() { return *objOBJECTS(); }

    // Shows a message with the given bar and, once it is up, presses keys;
    // returns whether the window was still open after each key but the last.
    QList<bool> runWith(fmsg_INFOBOX::Bar bar, const QList<int> &keys)
    {
        QList<bool> openAfter;
        QTimer::singleShot(0, [&] {
            fmsg_INFOBOX &box = infoBox();
            for (const int key : keys) {
                QTest::keyClick(&box, Qt::Key(key));
                openAfter << box.isVisible();
            }
            if (box.isVisible())
                box.done(0);
        });
        infoBox().setMessage("Title", "Second", QString(), bar);
        infoBox().exec();
        return openAfter;
    }
};

} // namespace

TEST_F(MessageWindowTest, RowFifteenShowsItsLinesInTheMessageFont)
{
    QStringList shown;
    QTimer::singleShot(0, [&] {
        fmsg_INFOBOX &box = infoBox();
        shown << box.lablTITLE->text() << box.lblDESCRIPTION->text() << box.lblDETAILS->text();
        EXPECT_TRUE(box.pfrBTNBARO->isVisible() && !box.pfrBTNBARYN->isVisible() &&
                    !box.pfrBTNBARYNC->isVisible());
        QTest::keyClick(&box, Qt::Key_O);
    });
    objects().MessageBoxOpen(15, QString());
    EXPECT_EQ(shown,
              (QStringList{"There is an error accessing the website.",
                           "Please try again later. Also test your Internet connection.", ""}));
    EXPECT_EQ(infoBox().windowTitle(), "TavloClock");
    EXPECT_EQ(infoBox().lblDESCRIPTION->font().family(), "DejaVu Serif");
    EXPECT_EQ(infoBox().btnCLOSE->text(), " &Close ");
}

TEST_F(MessageWindowTest, KeysAnswerByTheVisibleBar)
{
    using Bar = fmsg_INFOBOX::Bar;
    // clang-format off
    const struct { Bar bar; QList<int> keys; int answer; } cases[] = {
        {Bar::Close, {Qt::Key_Escape}, 2}, {Bar::Close, {Qt::Key_Y, Qt::Key_N, Qt::Key_C, Qt::Key_O}, 2},
        {Bar::YesNo, {Qt::Key_C, Qt::Key_O, Qt::Key_Y}, 6}, {Bar::YesNo, {Qt::Key_N}, 7},
        {Bar::YesNo, {Qt::Key_Escape}, 2}, {Bar::YesNoCancel, {Qt::Key_O, Qt::Key_Y}, 6},
        {Bar::YesNoCancel, {Qt::Key_N}, 7}, {Bar::YesNoCancel, {Qt::Key_C}, 2}};
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "bar " << int(c.bar) << ", last key " << c.keys.last());
        objects().setMessageBoxClick(0);
        const QList<bool> open = runWith(c.bar, c.keys);
        EXPECT_EQ(objects().MessageBoxClick(), c.answer);
        // Every key before the last left the window up.
        for (qsizetype i = 0; i + 1 < open.size(); ++i)
            EXPECT_TRUE(open[i]) << "key " << c.keys[i];
        EXPECT_FALSE(open.last());
    }
}

TEST_F(MessageWindowTest, CloseKeepsTheLastAnswerAndButtonsAnswer)
{
    objects().setMessageBoxClick(6);
    QTimer::singleShot(0, [] { infoBox().btnCLOSE->click(); });
    objects().MessageBoxOpen(15, "detail");
    EXPECT_EQ(objects().MessageBoxClick(), 6);
    EXPECT_EQ(infoBox().lblDETAILS->text(), "detail");

    infoBox().setMessage({}, {}, {}, fmsg_INFOBOX::Bar::YesNoCancel);
    QTimer::singleShot(0, [] { infoBox().btnNO3->click(); });
    infoBox().exec();
    EXPECT_EQ(objects().MessageBoxClick(), 7);

    // A number outside the table shows no bar; Esc still closes it.
    objects().setMessageBoxClick(0);
    bool anyBar = true;
    QTimer::singleShot(0, [&] {
        fmsg_INFOBOX &box = infoBox();
        anyBar = box.pfrBTNBARO->isVisible() || box.pfrBTNBARYN->isVisible() ||
                 box.pfrBTNBARYNC->isVisible();
        QTest::keyClick(&box, Qt::Key_Escape);
    });
    objects().MessageBoxOpen(99, QString());
    EXPECT_FALSE(anyBar);
    EXPECT_EQ(objects().MessageBoxClick(), 2);
}

namespace {
class DonationTest : public test::GlobalsFixture
{
protected:
    test::RecordingDesktop desktop;
};
} // namespace

TEST_F(DonationTest, TheButtonsOpenThePageOrSayThanks)
{
    ASSERT_TRUE(start());
    globals().strDONATEURL = "https://www.orvane.com/donate/";
    fmsg_CALLTOACTION *window = fmsg_CALLTOACTION::showWindow();
    EXPECT_EQ(window->windowTitle(), "Donate");
    EXPECT_EQ(window->lablDESCDONATE->text(),
              "Would you be willing to donate towards the future of this program? ");
    EXPECT_EQ(window->Command1->text(), "Yes, I want to donate");
    EXPECT_EQ(window->Command2->text(), "Maybe later");
    window->Command1->click();
    window->Command1->click();
    QTest::mouseClick(window->imgDONATE, Qt::LeftButton);
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(2, 2));
    ASSERT_EQ(desktop.opened.size(), 4);
    for (const QUrl &url : desktop.opened)
        EXPECT_EQ(url, QUrl(globals().strDONATEURL));
    EXPECT_TRUE(window->isVisible());

    window->Command2->click();
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0][1],
              QStringLiteral("Thank you for considering to donate. Please keep using our tools.\n\n"
                             "And please spread the word, tell your friends about this.\n\n"));
    settle();
    EXPECT_EQ(fmsg_CALLTOACTION::instance(), nullptr);
}

TEST_F(DonationTest, TheWindowOpensCentredOverTheWidgetAndWholeOnTheScreen)
{
    ASSERT_TRUE(start());
    const QRect screen = form()->screen()->availableGeometry();
    form()->move(screen.center() - QPoint(form()->width() / 2, form()->height() / 2));
    fmsg_CALLTOACTION *window = fmsg_CALLTOACTION::showWindow();
    EXPECT_LE(
        (window->frameGeometry().center() - form()->frameGeometry().center()).manhattanLength(), 4);
    window->close();
    settle();
    form()->move(screen.topLeft());
    window = fmsg_CALLTOACTION::showWindow();
    EXPECT_TRUE(screen.contains(window->frameGeometry()));
}
