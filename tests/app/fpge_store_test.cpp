// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/fpge_store.h"

#include "app/kindtable.h"
#include "core/valuenames.h"
#include "frame/commondialog.h"
#include "frame/picturedecode.h"
#include "photosfixture.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>

using namespace tavlo;

namespace {

class MenuFormTest : public test::PhotosFixture
{
protected:
    static fpge_STORE &menu() { return menuForm(); }
    // Makes number current and runs the menu's Close on it.
    static void closeWidget(int number)
    {
        widgetSet().setCurrent(number);
        menu().mnuFILECLOSE_Click();
    }
};

} // namespace

TEST_F(MenuFormTest, TheMenuHoldsItsEightItemsInOrderAndDownloadOpensTheAppsPage)
{
    ASSERT_TRUE(startWith({}));
    QMenu *top = menu().mnuFilePhotoTop;
    EXPECT_EQ(top->title(), "&photo");
    QStringList captions, names;
    for (const QAction *item : top->actions()) {
        captions << item->text();
        names << item->objectName();
        EXPECT_TRUE(item->isVisible() && item->isEnabled()) << item->objectName().toStdString();
    }
    // clang-format off
    EXPECT_EQ(captions, (QStringList{"Bro&wse for a file...", "Create a &new box", "", "&Close the selected box",
                                     "&Edit settings...", "", "&Download more Tavlo Apps", "E&xit program"}));
    EXPECT_EQ(names, (QStringList{"mnuFILEINSERT", "mnuFILENEW", "mnuFILESEP01", "mnuFILECLOSE",
                                  "mnuFILESETTINGS", "mnuFILESEP02", "mnuFILEDOWNLOAD", "mnuFILEEXIT"}));
    // clang-format on
    EXPECT_EQ(menu().cboDEFAULT->currentText(), "Combo");

    globals().strAPPSURL =
        QStringLiteral("https://example.org/how-to-get-tablet-style-apps-on-your-tavlo/");
    menu().mnuFILEDOWNLOAD_Click();
    EXPECT_EQ(desk.opened, QList<QUrl>{QUrl(globals().strAPPSURL)});
}

TEST_F(MenuFormTest, InsertAsksForAPhotoAndACancelChangesNothing)
{
    ASSERT_TRUE(startWith({}));
    const QString path = quadrants(QStringLiteral("chosen.png"));
    desk.fileAnswer = path;
    QSignalSpy shown(frame(0), &ResizableFrame::pictureShown);
    menu().mnuFILEINSERT_Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown.count() == 1; }, 5000));
    EXPECT_EQ(mainPart(0)->Tag(), path);
    ASSERT_EQ(desk.fileQuestions.size(), 1);
    EXPECT_EQ(desk.fileQuestions[0][0], "Select a photo");
    EXPECT_EQ(desk.fileQuestions[0][2], PictureNameFilters().join(QLatin1String(";;")));
    EXPECT_EQ(menu().dlgFILE->Filter, PictureFilter());

    desk.fileAnswer.clear();
    menu().mnuFILEINSERT_Click();
    QTest::qWait(50);
    EXPECT_EQ(mainPart(0)->Tag(), path);
    EXPECT_EQ(shown.count(), 1);
}

TEST_F(MenuFormTest, NewTakesTheNextNumberUpToTheLastSlot)
{
    ASSERT_TRUE(startWith({{"TOTAL", "0"}}));
    for (int expected = 1; expected < kWidgetSlots; ++expected) {
        menu().mnuFILENEW_Click();
        EXPECT_EQ(widgetSet().lngLASTINDEX(), expected);
        EXPECT_EQ(widgetSet().lngSELINDEX(), expected);
    }
    menu().mnuFILENEW_Click();
    EXPECT_EQ(widgetSet().lngLASTINDEX(), 20);
    EXPECT_EQ(widgetSet().lngOPENCOUNT(), kWidgetSlots);
    EXPECT_EQ(shownCount(), kWidgetSlots);
    // The count stays true: closing every widget shown ends the program.
    for (int i = 0; i < kWidgetSlots; ++i)
        closeWidget(i);
    EXPECT_EQ(widgetSet().lngOPENCOUNT(), 0);
    EXPECT_EQ(stored("TOTAL"), "0");
}

TEST_F(MenuFormTest, ANewNumberReadsNothingAnEarlierRunLeftUnderIt)
{
    // clang-format off
    ASSERT_TRUE(startWith({{"TOTAL", "2"}, {"0PHOTO", "/p/0.png"}, {"1PHOTO", "/p/1.png"},
                           {"2PHOTO", "/p/stale.png"}, {"2Color", "255"}, {"2PHOTOWIDTH", "15"}}));
    // clang-format on
    menu().mnuFILENEW_Click();
    ASSERT_TRUE(frame(2));
    EXPECT_EQ(mainPart(2)->Tag(), QString());
    EXPECT_EQ(frame(2)->lngTHEMECOLOR(), 0);
    EXPECT_EQ(mainPart(2)->width(), twipsToPixelsX(3600));
    EXPECT_EQ(stored("2PHOTO"), "<absent>");
}

TEST_F(MenuFormTest, ExitSavesTheOpenWidgetsDenselyNumbered)
{
    ASSERT_TRUE(startWith({}));
    for (int i = 1; i <= 5; ++i)
        menu().mnuFILENEW_Click();
    for (const int number : {0, 2, 5})
        frame(number)->mainPart()->setProperty("Tag", QStringLiteral("/p/%1.png").arg(number));
    for (const int number : {1, 3})
        closeWidget(number);
    EXPECT_EQ(widgetSet().lngOPENCOUNT(), 4);
    frame(4)->mainPart()->setProperty("Tag", QString()); // shows nothing: not kept
    widgetSet().setCurrent(2);
    menu().mnuFILEEXIT_Click();

    EXPECT_EQ(stored("TOTAL"), "3");
    EXPECT_EQ(stored("0PHOTO") + stored("1PHOTO") + stored("2PHOTO"), "/p/0.png/p/2.png/p/5.png");
    EXPECT_NE(stored("2Color"), "<absent>");
    EXPECT_EQ(shownCount(), 0);
}

TEST_F(MenuFormTest, ClosingTheLastWidgetEndsTheProgramWithNothingSaved)
{
    ASSERT_TRUE(startWith({{"TOTAL", "2"}, {"0PHOTO", "/p/0.png"}, {"1PHOTO", "/p/1.png"}}));
    closeWidget(1);
    EXPECT_EQ(stored("TOTAL"), "2");
    closeWidget(0);
    EXPECT_EQ(widgetSet().lngOPENCOUNT(), 0);
    EXPECT_EQ(stored("TOTAL"), "0");
    // A command on an empty slot does nothing.
    menu().mnuFILECLOSE_Click();
    menu().mnuFILESETTINGS_Click();
    menu().mnuFILEINSERT_Click();
    EXPECT_TRUE(desk.fileQuestions.isEmpty());
}

TEST_F(MenuFormTest, NewMakesNotesInTheNotesProgramAndPhotosInAnyOther)
{
    EXPECT_STREQ(newWidgetRow(QStringLiteral("TavloNotes")).kind.formName, "fapp_NOTES");
    for (const char *title : {"TavloStopwatch", "TavloTimer", "TavloPhotos", "TavloClock"})
        EXPECT_STREQ(newWidgetRow(QLatin1String(title)).kind.formName, "fapp_PHOTOS") << title;
}
