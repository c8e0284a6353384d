// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/calculator/fapp_calc.h"

#include "controls/ovctrls/pagetab.h"
#include "core/twips.h"
#include "core/valuenames.h"
#include "frame/keylabel.h"
#include "frame/modblend.h"
#include "globalsfixture.h"
#include "paintrecorder.h"
#include "settings/fdlg_settings.h"

#include <QClipboard>
#include <QComboBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

using namespace tavlo;

namespace {

class CalcWindowTest : public test::GlobalsFixture
{
protected:
    fapp_CALC *startCalc()
    {
        if (!Main(QStringLiteral("TavloCalculator")))
            return nullptr;
        return qobject_cast<fapp_CALC *>(form());
    }
    KeyLabel *key(const QString &name) { return form()->findChild<KeyLabel *>(name); }
    QString shown(const char *name) { return label(name)->text(); }
    // The display, operator and memory texts.
    QStringList displays()
    {
        return {shown("lblDISPLAYNUMBER"), shown("lblDISPLAYFUNCTION"), shown("lblDISPLAYMEM")};
    }

    // Clicks the key where it shows in the window, as a user would; a key
    // that the window does not show is clicked on itself.
    void click(const QString &name)
    {
        KeyLabel *k = key(name);
        ASSERT_TRUE(k) << name.toStdString();
        const QPoint at = k->mapTo(form(), k->rect().center());
        if (form()->childAt(at) == k)
            QTest::mouseClick(form()->windowHandle(), Qt::LeftButton, {}, at);
        else
            QTest::mouseClick(k, Qt::LeftButton);
    }
    void clickAll(const char *names)
    {
        for (const QString &name :
             QString::fromLatin1(names).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            click(name);
    }
};

} // namespace

TEST_F(CalcWindowTest, EachKeyLiesWhereDesignedAndClickedThereRunsItsOperation)
{
    // Only the root and reciprocal keys lie out of reach, under others.
    ASSERT_TRUE(startCalc());
    EXPECT_EQ(form()->size(), QSize(twipsToPixelsX(3600), twipsToPixelsY(3210)));
    const QList<KeyLabel *> keys = form()->findChildren<KeyLabel *>();
    EXPECT_EQ(keys.size(), 29);
    for (KeyLabel *k : keys) {
        const bool hidden = k->objectName() == QLatin1String("btnSQRT") ||
                            k->objectName() == QLatin1String("btnDIVx");
        const QPoint at = k->mapTo(form(), k->rect().center());
        EXPECT_EQ(form()->childAt(at) == k, !hidden) << k->objectName().toStdString();
        EXPECT_EQ(k->geometry(), k->pixelRect()) << k->objectName().toStdString();
    }
    // The number's digits are not cut at the bottom.
    Label *display = label("lblDISPLAYNUMBER");
    EXPECT_GE(display->height(), QFontMetrics(display->font()).height());
    // The frame's text labels only carry settings.
    for (const char *name : {"lblTIME", "lblDATE", "lblSECS", "lblSTYLE"})
        EXPECT_FALSE(label(name)->isVisible()) << name;

    EXPECT_EQ(shown("lblDISPLAYNUMBER"), QStringLiteral("0"));
    // Keys clicked after C and MC, at their place where they show.
    // clang-format off
    const struct { const char *keys, *display, *function, *memory; } cases[] = {
        {"btn1 btn2 btn3 btn4 btn5 btn6 btn7 btn8 btn9 btn0 btn00 btnPOINT btn5", "1234567890000.5", "", ""},
        {"btn5 btnADD btnSUBTRACT btnMULTIPLY btnDIVIDE", "", "/", ""},
        {"btn5 btnADD btn3 btnEQL", "8", "", ""}, {"btn5 btn0 btnADD btn1 btn0 btnPRCNT", "5", "", ""},
        {"btn5 btnpls_minus", "-5", "", ""}, {"btn1 btn2 btnBCK", "1", "", ""},
        {"btn5 btnADD btn3 btnCE", "", "", ""}, {"btn7 btnMS btnC btnMR", "7", "", "7"},
        {"btn7 btnM btnM btnMEMSUB", "7", "", "7"}, {"btn7 btnMS btnMC", "7", "", ""},
        {"btn9 btnSQRT", "3", "", ""}, {"btn4 btnDIVx", "0.25", "", ""},
    };
    // clang-format on
    for (const auto &c : cases) {
        clickAll("btnC btnMC");
        clickAll(c.keys);
        EXPECT_EQ(displays(), QStringList({QLatin1String(c.display), QLatin1String(c.function),
                                           QLatin1String(c.memory)}))
            << c.keys;
    }
}

TEST_F(CalcWindowTest, TheThemeMixesThreeKeyColoursAndTheTextRowsStyleTheirParts)
{
    ASSERT_TRUE(startCalc());
    auto *calc = static_cast<fapp_CALC *>(form());
    const OleColor theme = 0x336699;
    calc->setLngTHEMECOLOR(theme);
    label("lblTIME")->setForeColor(0x0000FF);
    label("lblTIME")->setFontName(QStringLiteral("DejaVu Serif"));
    label("lblTIME")->setFontSize(30);
    label("lblDATE")->setForeColor(0x00FF00);
    calc->updateparts();

    const OleColor clear = ColorBlend(0xFFFFFF, theme, 45);
    const OleColor middle = ColorBlend(0xFFFFFF, theme, 115);
    const OleColor digit = ColorBlend(0xFFFFFF, theme, 165);
    // clang-format off
    const struct { const char *keys; OleColor back, fore; } groups[] = {
        {"btnMC btnMR btnMS btnM btnMEMSUB", middle, 0x0000FF},
        {"btnC btnCE btnBCK", clear, 0x00FF00},
        {"btnPRCNT btnpls_minus btnDIVx btnSQRT btnMULTIPLY btnDIVIDE btnADD btnSUBTRACT btnEQL", middle, 0x00FF00},
        {"btn0 btn1 btn2 btn3 btn4 btn5 btn6 btn7 btn8 btn9 btnPOINT btn00", digit, 0x00FF00},
    };
    // clang-format on
    for (const auto &group : groups) {
        for (const QString &name : QString::fromLatin1(group.keys).split(QLatin1Char(' '))) {
            EXPECT_EQ(key(name)->BackColor(), group.back) << name.toStdString();
            EXPECT_EQ(key(name)->ForeColor(), group.fore) << name.toStdString();
        }
    }
    EXPECT_EQ(label("lblSUB")->ForeColor(), middle);
    // The display takes the time row's colour and face, never its size.
    for (const char *name : {"lblDISPLAYNUMBER", "lblDISPLAYFUNCTION", "lblDISPLAYMEM"}) {
        EXPECT_EQ(label(name)->ForeColor(), 0x0000FF) << name;
        EXPECT_EQ(label(name)->FontName(), QStringLiteral("DejaVu Serif")) << name;
    }
    EXPECT_FLOAT_EQ(label("lblDISPLAYNUMBER")->FontSize(), 14.0f);
    EXPECT_FLOAT_EQ(label("lblDISPLAYMEM")->FontSize(), 8.25f);
}

TEST_F(CalcWindowTest, TheMemoryIndicatorIsReadFromTheOptionsKey)
{
    // Nothing stored yet shows "0"; any text stored shows as it is.
    for (const char *stored : {"", "not a number"}) {
        resetGlobals();
        globals().strAPPTITLE = QStringLiteral("TavloCalculator");
        globals().strREGROOT = QStringLiteral("SOFTWARE\\TavloCalculator\\");
        globals().objREGISTRY = std::make_unique<cmlib_REGISTRY>();
        if (*stored)
            globals().objREGISTRY->RegSave(reg::HKCU, globals().strREGROOT + reg::OptionsKey,
                                           reg::CalculatorMemory, QLatin1String(stored));
        ASSERT_TRUE(startCalc());
        EXPECT_EQ(shown("lblDISPLAYMEM"), *stored ? QLatin1String(stored) : QLatin1String("0"));
        // The memory itself starts at 0 whatever the indicator says.
        click(QStringLiteral("btnMR"));
        EXPECT_EQ(shown("lblDISPLAYNUMBER"), QStringLiteral("0")) << stored;
    }
}

TEST_F(CalcWindowTest, KeyboardActsAsTheKeysAndPasteTakesOnlyAStrictNumber)
{
    ASSERT_TRUE(startCalc());
    // The keys that type no text: Backspace, Delete, F9, the keypad's Enter and point.
    QTest::keyClicks(form(), QStringLiteral("25"));
    QTest::keyClick(form(), Qt::Key_Backspace);
    QTest::keyClick(form(), Qt::Key_F9);
    EXPECT_EQ(shown("lblDISPLAYNUMBER"), QStringLiteral("-2"));
    QTest::keyClick(form(), Qt::Key_Plus);
    QTest::keyClick(form(), Qt::Key_Comma, Qt::KeypadModifier);
    QTest::keyClick(form(), Qt::Key_5, Qt::KeypadModifier);
    QTest::keyClick(form(), Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(shown("lblDISPLAYNUMBER"), QStringLiteral("-1.5"));
    QTest::keyClick(form(), Qt::Key_Delete);
    EXPECT_EQ(shown("lblDISPLAYNUMBER"), QString());
    // With Ctrl or Alt a key is not for the calculator.
    QTest::keyClick(form(), Qt::Key_1, Qt::ControlModifier);
    QTest::keyClick(form(), Qt::Key_2, Qt::AltModifier);
    EXPECT_EQ(shown("lblDISPLAYNUMBER"), QString());

    // The clipboard takes one number in the strict form and nothing else.
    QGuiApplication::clipboard()->setText(QStringLiteral("4 2"));
    QTest::keyClick(form(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(shown("lblDISPLAYNUMBER"), QString());
}

TEST_F(CalcWindowTest, OnlyWhatChangedIsRepaintedAndAWideDisplayShowsItsLastDigit)
{
    ASSERT_TRUE(startCalc());
    settle();
    test::PaintRecorder recorder(form());
    form()->updateparts();
    QTimer *timer = form()->findChild<QTimer *>(QStringLiteral("tmrTimer1"));
    ASSERT_TRUE(timer);
    EXPECT_TRUE(timer->isActive());
    QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
    QTest::mouseMove(form()->windowHandle(), QPoint(2, 2));
    settle();
    EXPECT_TRUE(recorder.painted.isEmpty()) << "a tick or a move where nothing changed";
    // A key repaints the display, and only what changed in it.
    click(QStringLiteral("btn5"));
    settle();
    EXPECT_TRUE(recorder.paintedOnlyIn(label("lblDISPLAYNUMBER")));

    Label *display = label("lblDISPLAYNUMBER");
    const QRect designed = display->geometry();
    QTest::keyClicks(form(), QStringLiteral("1234567890123456789012345"));
    ASSERT_GT(display->textSizeTwips().width(), display->Width());
    const QImage before = display->grab().toImage();
    QTest::keyClick(form(), Qt::Key_7);
    const QImage after = display->grab().toImage();
    EXPECT_EQ(display->geometry(), designed);
    // The new digit shows at the right edge.
    const int w = after.width();
    EXPECT_NE(before.copy(w / 2, 0, w - w / 2, after.height()),
              after.copy(w / 2, 0, w - w / 2, after.height()));
}

TEST_F(CalcWindowTest, KeysDoNotDragAndTheStripOpensTheDialogWithTheCalculatorsRows)
{
    ASSERT_TRUE(startCalc());
    QWindow *window = form()->windowHandle();
    const auto at = [&](const char *name) {
        QWidget *w = form()->findChild<QWidget *>(QLatin1String(name));
        return w->mapTo(form(), w->rect().center());
    };
    // A right click on the display or a key opens nothing.
    QTest::mouseClick(window, Qt::RightButton, {}, at("lblDISPLAYNUMBER"));
    QTest::mouseClick(window, Qt::RightButton, {}, at("btn5"));
    EXPECT_FALSE(fdlg_SETTINGS::instance());
    EXPECT_EQ(shown("lblDISPLAYNUMBER"), QStringLiteral("0"));

    // A key stays a key: pressing it and moving does not drag the window.
    const QPoint start = form()->pos();
    const QPoint five = at("btn5");
    QTest::mousePress(window, Qt::LeftButton, {}, five);
    QTest::mouseMove(window, five + QPoint(40, 30));
    QTest::mouseRelease(window, Qt::LeftButton, {}, five + QPoint(40, 30));
    EXPECT_EQ(form()->pos(), start);
    EXPECT_EQ(shown("lblDISPLAYNUMBER"), QStringLiteral("0")) << "released off the key";

    // The keypad strip's background opens the dialog with the calculator's rows.
    const QPoint strip =
        form()->findChild<QWidget *>(QStringLiteral("picDATE"))->mapTo(form(), QPoint(3, 3));
    QTest::mouseClick(window, Qt::RightButton, {}, strip);
    fdlg_SETTINGS *d = fdlg_SETTINGS::instance();
    ASSERT_TRUE(d);
    // Found by name: the dialog's pages are its own business.
    const auto caption = [&](const char *name) {
        const auto *row = d->findChild<QLabel *>(QLatin1String(name));
        return row ? row->text() : QString();
    };
    EXPECT_EQ(caption("lblTIME"), QStringLiteral("&Display:"));
    EXPECT_EQ(caption("lblDATE"), QStringLiteral("&Buttons:"));
    const auto *tabs = d->findChild<PageTab *>(QStringLiteral("ptbCOLORS"));
    ASSERT_TRUE(tabs);
    EXPECT_EQ(tabs->tabString(), QStringLiteral("Theme,Preset,Text,Windows,About"));

    // A face chosen in the dialog's first row reaches the display at once.
    auto *font = d->findChild<QComboBox *>(QStringLiteral("cboTIMEFONT"));
    ASSERT_TRUE(font && font->lineEdit());
    font->lineEdit()->selectAll();
    QTest::keyClicks(font->lineEdit(), QStringLiteral("DejaVu Serif"));
    QTest::keyClick(font->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(label("lblDISPLAYNUMBER")->font().family(), QStringLiteral("DejaVu Serif"));
}
