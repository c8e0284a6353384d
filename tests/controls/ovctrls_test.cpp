// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ovctrls/buttonpalette.h"
#include "controls/ovctrls/datecalendar.h"
#include "controls/ovctrls/pagetab.h"
#include "controls/ovctrls/updowntextbox.h"
#include "fakes.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
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
#include <optional>

namespace tavlo {
namespace {

const QString kDialogTabs = QStringLiteral("Theme,Preset,Text,Date,Windows,About");

QString accessibleValue(QWidget *control)
{
    return QAccessible::queryAccessibleInterface(control)->text(QAccessible::Value);
}

// The first argument of every signal the spy caught.
template <typename T> QList<T> firstArguments(const QSignalSpy &spy)
{
    QList<T> values;
    for (const QList<QVariant> &call : spy)
        values << call.at(0).value<T>();
    return values;
}

TEST(PageTabTest, SplitsTheCaptionListAndKeepsTheSelectionInRange)
{
    // clang-format off
    const struct { QString list; QStringList captions; } lists[] = {
        {kDialogTabs, kDialogTabs.split(QLatin1Char(','))}, {" a, ,b ", {"a", "b"}}, {" , ,", {}}};
    // clang-format on
    for (const auto &l : lists) {
        PageTab tabs;
        tabs.setTabString(l.list);
        EXPECT_EQ(tabs.captions(), l.captions) << l.list.toStdString();
        EXPECT_EQ(tabs.selectedTab(), l.captions.isEmpty() ? 0 : 1);
    }
    PageTab tabs;
    tabs.setTabString(kDialogTabs);
    QSignalSpy spy(&tabs, &PageTab::TabClick);
    for (const int index : {3, 0, -1, 7, 100})
        tabs.setSelectedTab(index);
    EXPECT_EQ(tabs.selectedTab(), 3);
    EXPECT_EQ(accessibleValue(&tabs), QStringLiteral("Text"));
    EXPECT_EQ(spy.count(), 0);
    // A shorter list keeps the selection on one of its tabs.
    tabs.setSelectedTab(6);
    tabs.setTabString(QStringLiteral("Theme,Preset,Windows,About"));
    EXPECT_TRUE(tabs.selectedTab() >= 1 && tabs.selectedTab() <= 4) << tabs.selectedTab();
}

TEST(PageTabTest, ClicksKeysAndAssistiveTechnologySelectATabAndRaiseItsCaption)
{
    PageTab tabs;
    tabs.setTabString(kDialogTabs);
    tabs.resize(tabs.sizeHint().width() * 2, tabs.sizeHint().height());
    tabs.show();
    tabs.setFocus();
    QSignalSpy spy(&tabs, &PageTab::TabClick);
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(&tabs);
    EXPECT_EQ(list->role(), QAccessible::PageTabList);
    ASSERT_EQ(list->childCount(), 6);
    for (int i = 0; i < 6; ++i) {
        QAccessibleInterface *tab = list->child(i);
        EXPECT_EQ(tab->role(), QAccessible::PageTab);
        EXPECT_EQ(tab->text(QAccessible::Name), tabs.captions().at(i));
        EXPECT_EQ(tab->state().selected, i == 0);
        EXPECT_TRUE(tab->parent() == list && list->indexOfChild(tab) == i) << i;
        EXPECT_EQ(list->childAt(tab->rect().center().x(), tab->rect().center().y()), tab);
    }
    // Beyond the last tab and with the right button: nothing.
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, QPoint(tabs.width() - 3, tabs.height() / 2));
    QTest::mouseClick(&tabs, Qt::RightButton, {}, tabs.tabRect(2).center());
    QTest::mouseClick(&tabs, Qt::LeftButton, {}, tabs.tabRect(3).center());
    EXPECT_EQ(tabs.selectedTab(), 3);
    // Right and Left stop at the ends.
    // clang-format off
    const struct { Qt::Key key; int selected; } keys[] = {
        {Qt::Key_Right, 4}, {Qt::Key_End, 6}, {Qt::Key_Right, 6}, {Qt::Key_Left, 5}, {Qt::Key_Home, 1}, {Qt::Key_Left, 1}};
    // clang-format on
    for (const auto &k : keys) {
        QTest::keyClick(&tabs, k.key);
        EXPECT_EQ(tabs.selectedTab(), k.selected) << k.key;
    }
    // Pressing a tab is a click on it.
    list->child(2)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(firstArguments<QString>(spy),
              (QStringList{"Text", "Date", "About", "Windows", "Theme", "Text"}));
    EXPECT_TRUE(list->child(2)->state().selected);
    EXPECT_EQ(list->text(QAccessible::Value), QStringLiteral("Text"));
    // Fewer captions leave the tabs beyond them invalid, never dangling.
    QAccessibleInterface *last = list->child(5);
    tabs.setTabString(QStringLiteral("Theme,Preset"));
    EXPECT_EQ(list->childCount(), 2);
    EXPECT_FALSE(last->isValid());
    EXPECT_EQ(list->child(5), nullptr);
}

TEST(OvctrlsTest, EveryControlHasARoleANameAndAValue)
{
    ButtonPalette colour;
    colour.setAccessibleName(QStringLiteral("Time color"));
    colour.setColor(0x563412);
    UpDownTextBox number;
    number.setText(QStringLiteral("2026"));
    DateCalendar calendar;
    // Qt's own calendar keeps its role; it only needs a name.
    // clang-format off
    const struct { QWidget *control; std::optional<QAccessible::Role> role; const char *name, *value; } controls[] = {
        {&colour, QAccessible::Button, "Time color", "#123456"},
        {&number, QAccessible::SpinBox, "Number", "2026"},
        {&calendar, std::nullopt, "Date", nullptr}};
    // clang-format on
    for (const auto &c : controls) {
        QAccessibleInterface *control = QAccessible::queryAccessibleInterface(c.control);
        if (c.role) {
            EXPECT_EQ(control->role(), *c.role) << c.name;
        }
        EXPECT_EQ(control->text(QAccessible::Name), QLatin1String(c.name));
        if (c.value) {
            EXPECT_EQ(control->text(QAccessible::Value), QLatin1String(c.value));
        }
    }
    // The colour button opens its palette when pressed.
    colour.show();
    QAccessible::queryAccessibleInterface(&colour)->actionInterface()->doAction(
        QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(colour.findChild<QMenu *>()->isVisible());
    colour.findChild<QMenu *>()->close();
}

TEST(PageTabTest, SetFontKeepsWhatItIsNotGivenAndEveryCaptionFits)
{
    PageTab tabs;
    tabs.setTabString(kDialogTabs);
    QString family = tabs.font().family();
    // clang-format off
    const struct { const char *family, *size; double expected; } fonts[] = {
        {"", "12", 12}, {"", "abc", 12}, {"Tahoma", " 9 ", 9}, {"", "28", 28}};
    // clang-format on
    for (const auto &f : fonts) {
        tabs.SetFont(QLatin1String(f.family), QLatin1String(f.size));
        if (*f.family)
            family = QLatin1String(f.family);
        EXPECT_DOUBLE_EQ(tabs.font().pointSizeF(), f.expected) << f.size;
        EXPECT_EQ(tabs.font().family(), family) << f.size;
    }
    // At the preferred width, and squeezed to the minimum, every caption has room.
    const QSize hint = tabs.sizeHint();
    const QFontMetrics fm(tabs.font());
    EXPECT_LT(tabs.minimumSizeHint().width(), hint.width());
    for (const int width : {hint.width(), tabs.minimumSizeHint().width()}) {
        tabs.resize(width, hint.height());
        int previousRight = -1;
        for (int i = 1; i <= 6; ++i) {
            const QRect r = tabs.tabRect(i);
            EXPECT_GE(r.width(), fm.horizontalAdvance(tabs.captions().at(i - 1))) << i;
            EXPECT_TRUE(r.left() >= previousRight && r.right() <= tabs.width() - 1) << i;
            EXPECT_GE(r.height(), fm.height()) << i;
            previousRight = r.right();
        }
    }
}

TEST(PageTabTest, SelectedTabIsOpenToThePageBelow)
{
    PageTab tabs;
    tabs.setTabString(QStringLiteral("One,Two,Three"));
    const QColor page(12, 200, 90);
    tabs.setBackColorPage(page);
    tabs.setSelectedTab(2);
    tabs.resize(tabs.sizeHint());
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

    static QAction *action(ButtonPalette &button, const QString &text)
    {
        for (QAction *a : button.findChild<QMenu *>()->actions()) {
            if (a->text().remove(QLatin1Char('&')) == text)
                return a;
        }
        return nullptr;
    }
};

TEST_F(ButtonPaletteTest, SetColorShowsTheColourAndOnlyAChoiceRaisesIt)
{
    ButtonPalette button;
    QSignalSpy spy(&button, &ButtonPalette::ColorChosen);
    button.setColor(0x0000FF);
    button.resize(button.sizeHint());
    EXPECT_EQ(spy.count(), 0);
    EXPECT_EQ(button.toolTip() + " " + accessibleValue(&button), "#FF0000 Red");
    EXPECT_TRUE(action(button, "Red")->isChecked() && !action(button, "Blue")->isChecked());
    const QImage image = button.grab().toImage();
    EXPECT_EQ(QColor(image.pixel(image.rect().center())), QColor(255, 0, 0));
    // Sixteen or more distinct colours, raised with red in the low byte.
    QSet<OleColor> values;
    for (const auto &entry : ButtonPalette::commonColors())
        values.insert(entry.second);
    EXPECT_TRUE(values.size() >= 16 && values.size() == ButtonPalette::commonColors().size());
    action(button, "Navy")->trigger();
    EXPECT_EQ(firstArguments<OleColor>(spy), QList<OleColor>{0x800000});
    EXPECT_EQ(button.toolTip(), "#000080");
}

TEST_F(ButtonPaletteTest, SpaceOrEnterOpensTheMenuOnTheCurrentColour)
{
    // clang-format off
    const struct { Qt::Key key; OleColor colour; const char *entry; OleColor next; } keys[] = {
        {Qt::Key_Space, 0x000000, "Black", 0xFFFFFF}, {Qt::Key_Return, 0x008000, "Green", 0xFFFF00}};
    // clang-format on
    for (const auto &k : keys) {
        SCOPED_TRACE(k.entry);
        ButtonPalette button;
        button.setColor(k.colour);
        button.show();
        button.setFocus();
        QSignalSpy spy(&button, &ButtonPalette::ColorChosen);
        QTest::keyClick(&button, k.key);
        QMenu *menu = button.findChild<QMenu *>();
        ASSERT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }));
        EXPECT_EQ(menu->activeAction(), action(button, QLatin1String(k.entry)));
        // The keys pick from it.
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
        EXPECT_EQ(firstArguments<OleColor>(spy), QList<OleColor>{k.next});
        EXPECT_FALSE(menu->isVisible());
    }
}

TEST_F(ButtonPaletteTest, MoreColoursAsksAndRaisesTheAnswerIfAny)
{
    for (const bool answered : {true, false}) {
        desktop.coloursOffered.clear();
        desktop.colourAnswer =
            answered ? std::optional<QColor>(QColor(0x10, 0x20, 0x30)) : std::nullopt;
        ButtonPalette button;
        button.setColor(0x00FFFF); // yellow
        QSignalSpy spy(&button, &ButtonPalette::ColorChosen);
        action(button, "More colors...")->trigger();
        ASSERT_TRUE(QTest::qWaitFor([this] { return desktop.coloursOffered.size() == 1; }));
        QCoreApplication::processEvents();
        EXPECT_EQ(desktop.coloursOffered, QList<QColor>{QColor(255, 255, 0)});
        EXPECT_EQ(firstArguments<OleColor>(spy),
                  answered ? QList<OleColor>{0x302010} : QList<OleColor>{});
        EXPECT_EQ(button.toolTip(), answered ? "#102030" : "#FFFF00");
    }
}

QPoint arrowCentre(UpDownTextBox &box, QStyle::SubControl arrow)
{
    QStyleOptionSpinBox option;
    option.initFrom(&box);
    option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
    option.buttonSymbols = box.buttonSymbols();
    option.frame = box.hasFrame();
    option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    return box.style()->subControlRect(QStyle::CC_SpinBox, &option, arrow, &box).center();
}

TEST(UpDownTextBoxTest, TextIsReadBackUnchangedAndOnlyTypingKeysAndArrowsRaiseChange)
{
    UpDownTextBox box;
    box.resize(box.sizeHint());
    box.show();
    QLineEdit other;
    other.show();
    QSignalSpy spy(&box, &UpDownTextBox::Change);
    for (const char *text : {"007", " 12 ", "abc", "2024", "", "19"}) {
        box.setText(text);
        box.setFocus();
        other.setFocus();
        EXPECT_EQ(box.text(), text);
    }
    EXPECT_EQ(spy.count(), 0);
    box.setFocus();
    box.findChild<QLineEdit *>()->setCursorPosition(2);
    QTest::keyClicks(&box, QStringLiteral("9"));
    EXPECT_EQ(box.text(), "199");
    box.setText(QStringLiteral("2023"));
    QTest::keyClick(&box, Qt::Key_Up);
    EXPECT_EQ(box.text(), "2024");
    QTest::keyClick(&box, Qt::Key_Down);
    QTest::keyClick(&box, Qt::Key_Down);
    EXPECT_EQ(box.text(), "2022");
    QTest::mouseClick(&box, Qt::LeftButton, {}, arrowCentre(box, QStyle::SC_SpinBoxUp));
    EXPECT_EQ(box.text(), "2023");
    QTest::mouseClick(&box, Qt::LeftButton, {}, arrowCentre(box, QStyle::SC_SpinBoxDown));
    EXPECT_EQ(box.text(), "2022");
    EXPECT_EQ(spy.count(), 6);
}

TEST(UpDownTextBoxTest, StepsKeepTheWidthStayWithinRangeAndLeaveTextAlone)
{
    // Typed outside the range, a step brings it back; what is not a number stays.
    // clang-format off
    const struct { std::optional<std::pair<int, int>> range; const char *text; int step; const char *expected; int changes; } steps[] = {
        {std::nullopt, "007", 1, "008", 1},    {std::nullopt, "-01", 1, "00", 1},
        {std::pair(1, 3), "3", 1, "3", 0},     {std::pair(1, 3), "3", -5, "1", 1},
        {std::pair(1, 3), "10", -1, "3", 1},   {std::nullopt, "abc", 1, "abc", 0},
        {std::nullopt, "12a", -1, "12a", 0},   {std::nullopt, "", 1, "", 0}};
    // clang-format on
    for (const auto &s : steps) {
        SCOPED_TRACE(testing::Message() << s.text << " by " << s.step);
        UpDownTextBox box;
        if (s.range)
            box.setRange(s.range->first, s.range->second);
        box.setText(QLatin1String(s.text));
        QSignalSpy spy(&box, &UpDownTextBox::Change);
        box.stepBy(s.step);
        EXPECT_EQ(box.text(), QLatin1String(s.expected));
        EXPECT_EQ(spy.count(), s.changes);
    }
}

TEST(UpDownTextBoxTest, RefreshFontAppliesTheFontToTheTextField)
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
    EXPECT_TRUE(box.sizeHint().height() > before.height() &&
                box.sizeHint().width() > before.width());
    EXPECT_GE(edit->width(), QFontMetrics(big).horizontalAdvance(box.text()));
}

} // namespace
} // namespace tavlo
