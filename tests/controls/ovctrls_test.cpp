#include "controls/ovctrls/buttonpalette.h"
#include "controls/ovctrls/datecalendar.h"
#include "controls/ovctrls/ovline.h"
#include "controls/ovctrls/pagetab.h"
#include "controls/ovctrls/updowntextbox.h"
#include "fakes.h"

#include <QAction>
#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QSet>
#include <QSignalSpy>
#include <QStyleOptionSpinBox>
#include <QTest>
#include <gtest/gtest.h>

namespace tavlo {
namespace {

const QString kDialogTabs = QStringLiteral("Theme,Preset,Text,Date,Windows,About");

QStringList tabClicks(const QSignalSpy &spy)
{
    QStringList captions;
    for (const QList<QVariant> &call : spy)
        captions << call.at(0).toString();
    return captions;
}

TEST(PageTabTest, SplitsCaptionListIntoTabs)
{
    PageTab tabs;
    tabs.setTabString(kDialogTabs);
    EXPECT_EQ(tabs.captions(), kDialogTabs.split(QLatin1Char(',')));
    EXPECT_EQ(tabs.tabString(), kDialogTabs);
    EXPECT_EQ(tabs.selectedTab(), 1);
}

TEST(PageTabTest, DropsEmptyPartsAndTrimsSpaces)
{
    PageTab tabs;
    tabs.setTabString(QStringLiteral(" a, ,b "));
    EXPECT_EQ(tabs.captions(), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));

    tabs.setTabString(QStringLiteral(" , ,"));
    EXPECT_TRUE(tabs.captions().isEmpty());
    EXPECT_EQ(tabs.selectedTab(), 0);
}

TEST(PageTabTest, SelectingByIndexRaisesNothing)
{
    PageTab tabs;
    tabs.setTabString(kDialogTabs);
    QSignalSpy spy(&tabs, &PageTab::TabClick);
    tabs.setSelectedTab(3);
    EXPECT_EQ(tabs.selectedTab(), 3);
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(tabs.accessibleName(), QStringLiteral("Text"));
}

TEST(PageTabTest, IgnoresOutOfRangeSelection)
{
    PageTab tabs;
    tabs.setTabString(kDialogTabs);
    tabs.setSelectedTab(2);
    for (const int index : {0, -1, 7, 100})
        tabs.setSelectedTab(index);
    EXPECT_EQ(tabs.selectedTab(), 2);
}

TEST(PageTabTest, ShorterCaptionListKeepsSelectionInRange)
{
    PageTab tabs;
    tabs.setTabString(kDialogTabs);
    tabs.setSelectedTab(6);
    tabs.setTabString(QStringLiteral("Theme,Preset,Windows,About"));
    EXPECT_GE(tabs.selectedTab(), 1);
    EXPECT_LE(tabs.selectedTab(), 4);
}

TEST(PageTabTest, ClickOnThirdTabSelectsItAndRaisesItsCaption)
{
    PageTab tabs;
    tabs.setTabString(kDialogTabs);
    tabs.resize(tabs.sizeHint());
    tabs.show();
    QSignalSpy spy(&tabs, &PageTab::TabClick);

    QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(3).center());

    EXPECT_EQ(tabClicks(spy), QStringList{QStringLiteral("Text")});
    EXPECT_EQ(tabs.selectedTab(), 3);
    EXPECT_EQ(tabs.accessibleName(), QStringLiteral("Text"));
}

TEST(PageTabTest, ClickBesideTheTabsRaisesNothing)
{
    PageTab tabs;
    tabs.setTabString(QStringLiteral("One,Two"));
    tabs.resize(tabs.sizeHint().width() * 3, tabs.sizeHint().height());
    tabs.show();
    QSignalSpy spy(&tabs, &PageTab::TabClick);

    QTest::mouseClick(&tabs, Qt::LeftButton, {}, QPoint(tabs.width() - 3, tabs.height() / 2));
    QTest::mouseClick(&tabs, Qt::RightButton, {}, tabs.tabRect(2).center());

    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(tabs.selectedTab(), 1);
}

TEST(PageTabTest, ArrowHomeAndEndKeysMoveAndRaise)
{
    PageTab tabs;
    tabs.setTabString(kDialogTabs);
    tabs.show();
    tabs.setFocus();
    QSignalSpy spy(&tabs, &PageTab::TabClick);

    QTest::keyClick(&tabs, Qt::Key_Right);
    EXPECT_EQ(tabs.selectedTab(), 2);
    QTest::keyClick(&tabs, Qt::Key_End);
    EXPECT_EQ(tabs.selectedTab(), 6);
    QTest::keyClick(&tabs, Qt::Key_Right); // already last: nothing
    QTest::keyClick(&tabs, Qt::Key_Left);
    EXPECT_EQ(tabs.selectedTab(), 5);
    QTest::keyClick(&tabs, Qt::Key_Home);
    EXPECT_EQ(tabs.selectedTab(), 1);
    QTest::keyClick(&tabs, Qt::Key_Left); // already first: nothing

    EXPECT_EQ(tabClicks(spy), (QStringList{QStringLiteral("Preset"), QStringLiteral("About"),
                                           QStringLiteral("Windows"), QStringLiteral("Theme")}));
}

TEST(PageTabTest, IsFocusableByTabAndClick)
{
    PageTab tabs;
    EXPECT_EQ(tabs.focusPolicy(), Qt::StrongFocus);
}

TEST(PageTabTest, SetFontWithNonNumericSizeKeepsSize)
{
    PageTab tabs;
    QFont start = tabs.font();
    start.setPointSizeF(12);
    tabs.setFont(start);

    tabs.SetFont(start.family(), QStringLiteral("abc"));
    EXPECT_DOUBLE_EQ(tabs.font().pointSizeF(), 12.0);

    tabs.SetFont(QString(), QStringLiteral("14"));
    EXPECT_DOUBLE_EQ(tabs.font().pointSizeF(), 14.0);
    EXPECT_EQ(tabs.font().family(), start.family());

    tabs.SetFont(QStringLiteral("Tahoma"), QStringLiteral(" 9 "));
    EXPECT_EQ(tabs.font().family(), QStringLiteral("Tahoma"));
    EXPECT_DOUBLE_EQ(tabs.font().pointSizeF(), 9.0);
}

TEST(PageTabTest, EveryCaptionFitsAtLargeFont)
{
    PageTab tabs;
    tabs.setTabString(kDialogTabs);
    const QSize smallHint = tabs.sizeHint();
    tabs.SetFont(QString(), QStringLiteral("28"));
    const QSize hint = tabs.sizeHint();
    EXPECT_GT(hint.width(), smallHint.width());
    EXPECT_GT(hint.height(), smallHint.height());

    const QFontMetrics fm(tabs.font());
    EXPECT_GT(hint.height(), fm.height());
    // At the preferred width, and squeezed to the minimum, every caption has room.
    for (const int width : {hint.width(), tabs.minimumSizeHint().width()}) {
        tabs.resize(width, hint.height());
        int previousRight = -1;
        for (int i = 1; i <= 6; ++i) {
            const QRect r = tabs.tabRect(i);
            SCOPED_TRACE(i);
            EXPECT_GE(r.width(), fm.horizontalAdvance(tabs.captions().at(i - 1)));
            EXPECT_GE(r.left(), previousRight);
            EXPECT_LE(r.right(), tabs.width() - 1);
            EXPECT_GE(r.height(), fm.height());
            previousRight = r.right();
        }
    }
    EXPECT_LT(tabs.minimumSizeHint().width(), hint.width());
}

TEST(PageTabTest, SelectedTabIsOpenToThePageBelow)
{
    PageTab tabs;
    tabs.setTabString(QStringLiteral("One,Two,Three"));
    const QColor page(12, 200, 90);
    tabs.setBackColorPage(page);
    tabs.setSelectedTab(2);
    tabs.resize(tabs.sizeHint());
    EXPECT_EQ(tabs.BackColorPage(), page);

    const QImage image = tabs.grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    auto colourAt = [&](int x, int y) {
        return QColor(image.pixel(int(x * ratio + 0.5), int(y * ratio + 0.5)));
    };
    const int bottom = tabs.height() - 1;
    // The selected tab's colour runs down to the bottom edge; the others stand on a line.
    EXPECT_EQ(colourAt(tabs.tabRect(2).left() + 4, bottom), page);
    EXPECT_NE(colourAt(tabs.tabRect(1).left() + 4, bottom), page);
    EXPECT_NE(colourAt(tabs.tabRect(1).left() + 4, tabs.tabRect(1).center().y()), page);
}

class ButtonPaletteTest : public testing::Test
{
protected:
    test::RecordingDesktop desktop;

    static QMenu *menuOf(ButtonPalette &button) { return button.findChild<QMenu *>(); }

    static QAction *action(ButtonPalette &button, const QString &text)
    {
        for (QAction *a : menuOf(button)->actions()) {
            if (a->text().remove(QLatin1Char('&')) == text)
                return a;
        }
        return nullptr;
    }

    static QList<OleColor> chosen(const QSignalSpy &spy)
    {
        QList<OleColor> colours;
        for (const QList<QVariant> &call : spy)
            colours << call.at(0).value<OleColor>();
        return colours;
    }
};

TEST_F(ButtonPaletteTest, SetColorShowsTheColourAndRaisesNothing)
{
    ButtonPalette button;
    QSignalSpy spy(&button, &ButtonPalette::ColorChosen);
    button.setColor(0x0000FF);
    button.resize(button.sizeHint());

    EXPECT_EQ(button.color(), 0x0000FF);
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(button.toolTip(), QStringLiteral("#FF0000"));
    EXPECT_TRUE(button.accessibleName().contains(QStringLiteral("#FF0000")));
    EXPECT_TRUE(button.text().isEmpty());
    ASSERT_NE(action(button, QStringLiteral("Red")), nullptr);
    EXPECT_TRUE(action(button, QStringLiteral("Red"))->isChecked());
    EXPECT_FALSE(action(button, QStringLiteral("Blue"))->isChecked());

    const QImage image = button.grab().toImage();
    EXPECT_EQ(QColor(image.pixel(image.rect().center())), QColor(255, 0, 0));
}

TEST_F(ButtonPaletteTest, OffersSixteenOrMoreDistinctCommonColours)
{
    const auto &colours = ButtonPalette::commonColors();
    EXPECT_GE(colours.size(), 16);
    QSet<OleColor> values;
    for (const auto &entry : colours)
        values.insert(entry.second);
    EXPECT_EQ(values.size(), colours.size());
}

TEST_F(ButtonPaletteTest, ChoosingACommonColourRaisesItRedInLowByte)
{
    ButtonPalette button;
    QSignalSpy spy(&button, &ButtonPalette::ColorChosen);

    action(button, QStringLiteral("Red"))->trigger();
    action(button, QStringLiteral("Navy"))->trigger();

    EXPECT_EQ(chosen(spy), (QList<OleColor>{0x0000FF, 0x800000}));
    EXPECT_EQ(button.color(), 0x800000);
    EXPECT_EQ(button.toolTip(), QStringLiteral("#000080"));
}

TEST_F(ButtonPaletteTest, SpaceOpensTheMenuAndKeysPickFromIt)
{
    ButtonPalette button;
    button.setColor(0x000000); // Black, the first entry
    button.show();
    button.setFocus();
    QSignalSpy spy(&button, &ButtonPalette::ColorChosen);

    QTest::keyClick(&button, Qt::Key_Space);
    QMenu *menu = menuOf(button);
    ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }));
    EXPECT_EQ(menu->activeAction(), action(button, QStringLiteral("Black")));

    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);

    EXPECT_EQ(chosen(spy), QList<OleColor>{0xFFFFFF});
    EXPECT_FALSE(menu->isVisible());
}

TEST_F(ButtonPaletteTest, EnterOpensTheMenuOnTheCurrentColour)
{
    ButtonPalette button;
    button.setColor(0x008000); // Green
    button.show();
    button.setFocus();

    QTest::keyClick(&button, Qt::Key_Return);
    QMenu *menu = menuOf(button);
    ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }));
    EXPECT_EQ(menu->activeAction(), action(button, QStringLiteral("Green")));
    QTest::keyClick(menu, Qt::Key_Escape);
    EXPECT_EQ(button.color(), 0x008000);
}

TEST_F(ButtonPaletteTest, MoreColoursAsksAndRaisesTheAnswer)
{
    desktop.colourAnswer = QColor(QStringLiteral("#102030"));
    ButtonPalette button;
    button.setColor(0x00FFFF); // yellow
    QSignalSpy spy(&button, &ButtonPalette::ColorChosen);

    action(button, QStringLiteral("More colors..."))->trigger();

    ASSERT_TRUE(QTest::qWaitFor([&spy] { return spy.count() == 1; }));
    EXPECT_EQ(chosen(spy), QList<OleColor>{0x302010});
    EXPECT_EQ(desktop.coloursOffered, QList<QColor>{QColor(255, 255, 0)});
    EXPECT_EQ(button.color(), 0x302010);
    EXPECT_EQ(button.toolTip(), QStringLiteral("#102030"));
}

TEST_F(ButtonPaletteTest, CancelledColourDialogChangesNothing)
{
    ButtonPalette button;
    button.setColor(0x123456);
    QSignalSpy spy(&button, &ButtonPalette::ColorChosen);

    action(button, QStringLiteral("More colors..."))->trigger();

    ASSERT_TRUE(QTest::qWaitFor([this] { return desktop.coloursOffered.size() == 1; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(button.color(), 0x123456);
}

TEST_F(ButtonPaletteTest, BackColorIsTheButtonBackground)
{
    ButtonPalette button;
    const QColor back(250, 240, 200);
    button.setBackColor(back);
    EXPECT_EQ(button.BackColor(), back);
    EXPECT_EQ(button.palette().color(QPalette::Window), back);
}

class UpDownTextBoxTest : public testing::Test
{
protected:
    static QRect arrowRect(UpDownTextBox &box, QStyle::SubControl arrow)
    {
        QStyleOptionSpinBox option;
        option.initFrom(&box);
        option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
        option.buttonSymbols = box.buttonSymbols();
        option.frame = box.hasFrame();
        option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
        return box.style()->subControlRect(QStyle::CC_SpinBox, &option, arrow, &box);
    }
};

TEST_F(UpDownTextBoxTest, TextIsReadBackUnchanged)
{
    UpDownTextBox box;
    box.show();
    QLineEdit other;
    other.show();
    for (const QString &text : {QStringLiteral("007"), QStringLiteral(" 12 "),
                                QStringLiteral("abc"), QStringLiteral("2024"), QString()}) {
        box.setText(text);
        box.setFocus();
        other.setFocus();
        EXPECT_EQ(box.text(), text);
    }
}

TEST_F(UpDownTextBoxTest, UpAndDownKeysStepByOne)
{
    UpDownTextBox box;
    box.setText(QStringLiteral("2023"));
    box.show();
    box.setFocus();
    QSignalSpy spy(&box, &UpDownTextBox::Change);

    QTest::keyClick(&box, Qt::Key_Up);
    EXPECT_EQ(box.text(), QStringLiteral("2024"));
    QTest::keyClick(&box, Qt::Key_Down);
    QTest::keyClick(&box, Qt::Key_Down);
    EXPECT_EQ(box.text(), QStringLiteral("2022"));
    EXPECT_EQ(spy.count(), 3);
}

TEST_F(UpDownTextBoxTest, ArrowButtonsStep)
{
    UpDownTextBox box;
    box.setText(QStringLiteral("5"));
    box.resize(box.sizeHint());
    box.show();
    QSignalSpy spy(&box, &UpDownTextBox::Change);

    QTest::mouseClick(&box, Qt::LeftButton, {}, arrowRect(box, QStyle::SC_SpinBoxUp).center());
    EXPECT_EQ(box.text(), QStringLiteral("6"));
    QTest::mouseClick(&box, Qt::LeftButton, {}, arrowRect(box, QStyle::SC_SpinBoxDown).center());
    QTest::mouseClick(&box, Qt::LeftButton, {}, arrowRect(box, QStyle::SC_SpinBoxDown).center());
    EXPECT_EQ(box.text(), QStringLiteral("4"));
    EXPECT_EQ(spy.count(), 3);
}

TEST_F(UpDownTextBoxTest, ZeroPaddedNumberKeepsItsWidthWhenStepped)
{
    UpDownTextBox box;
    box.setText(QStringLiteral("007"));
    EXPECT_EQ(box.text(), QStringLiteral("007"));
    box.stepBy(1);
    EXPECT_EQ(box.text(), QStringLiteral("008"));
    box.setText(QStringLiteral("-01"));
    box.stepBy(1);
    EXPECT_EQ(box.text(), QStringLiteral("00"));
}

TEST_F(UpDownTextBoxTest, StepsStayWithinRange)
{
    UpDownTextBox box;
    box.setRange(1, 3);
    QSignalSpy spy(&box, &UpDownTextBox::Change);

    box.setText(QStringLiteral("3"));
    box.stepBy(1);
    EXPECT_EQ(box.text(), QStringLiteral("3"));
    EXPECT_EQ(spy.count(), 0);

    box.stepBy(-5);
    EXPECT_EQ(box.text(), QStringLiteral("1"));

    box.setText(QStringLiteral("10")); // typed outside the range: a step brings it back
    box.stepBy(-1);
    EXPECT_EQ(box.text(), QStringLiteral("3"));
}

TEST_F(UpDownTextBoxTest, NonNumericTextIsLeftAlone)
{
    UpDownTextBox box;
    box.show();
    box.setFocus();
    QSignalSpy spy(&box, &UpDownTextBox::Change);
    for (const QString &text : {QStringLiteral("abc"), QStringLiteral("12a"), QString()}) {
        box.setText(text);
        box.stepBy(1);
        QTest::keyClick(&box, Qt::Key_Up);
        QTest::keyClick(&box, Qt::Key_Down);
        EXPECT_EQ(box.text(), text);
    }
    EXPECT_EQ(spy.count(), 0);
}

TEST_F(UpDownTextBoxTest, TypingRaisesChangeButSetTextDoesNot)
{
    UpDownTextBox box;
    box.show();
    box.setFocus();
    QSignalSpy spy(&box, &UpDownTextBox::Change);

    box.setText(QStringLiteral("19"));
    EXPECT_EQ(spy.count(), 0);

    box.findChild<QLineEdit *>()->setCursorPosition(2);
    QTest::keyClicks(&box, QStringLiteral("9"));
    EXPECT_EQ(box.text(), QStringLiteral("199"));
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(UpDownTextBoxTest, RefreshFontAppliesTheFontToTheTextField)
{
    UpDownTextBox box;
    box.setText(QStringLiteral("2024"));
    box.show();
    const QSize before = box.sizeHint();

    QFont big = box.font();
    big.setPointSizeF(big.pointSizeF() * 3);
    box.setFont(big);
    box.Refresh();
    box.setFixedHeight(box.sizeHint().height());
    box.RefreshFont();
    box.resize(box.sizeHint().width(), box.height());

    QLineEdit *edit = box.findChild<QLineEdit *>();
    EXPECT_DOUBLE_EQ(edit->font().pointSizeF(), big.pointSizeF());
    EXPECT_GT(box.sizeHint().height(), before.height());
    EXPECT_GT(box.sizeHint().width(), before.width());
    EXPECT_GE(edit->width(), QFontMetrics(big).horizontalAdvance(box.text()));
    EXPECT_EQ(box.text(), QStringLiteral("2024"));
}

TEST(DateCalendarTest, TakesFontAndHeight)
{
    DateCalendar calendar;
    QFont f = calendar.font();
    f.setPointSizeF(15);
    calendar.setFont(f);
    calendar.setFixedHeight(240);
    EXPECT_DOUBLE_EQ(calendar.font().pointSizeF(), 15.0);
    EXPECT_EQ(calendar.height(), 240);
    EXPECT_EQ(calendar.selectedDate(), QDate::currentDate());
}

TEST(OvLineTest, IsAThinHorizontalLine)
{
    OvLine line;
    EXPECT_EQ(line.frameShape(), QFrame::HLine);
    EXPECT_LE(line.sizeHint().height(), 4);
    EXPECT_EQ(line.focusPolicy(), Qt::NoFocus);
}

} // namespace
} // namespace tavlo
