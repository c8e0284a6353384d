// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/fdlg_settings.h"

#include "controls/ovctrls/buttonpalette.h"
#include "controls/ovctrls/pagetab.h"
#include "core/kind.h"
#include "core/valuenames.h"
#include "frame/fixedframe.h"
#include "globalsfixture.h"
#include "settings/aboutpage.h"
#include "settings/datepage.h"
#include "settings/fontlists.h"
#include "settings/presetpage.h"
#include "settings/textpage.h"
#include "settings/themepage.h"
#include "settings/windowspage.h"
#include "testenv.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QWindow>

using namespace tavlo;

namespace {

// A widget of a many-widget kind whose main part shows a picture, so Exit keeps it.
class PaperClock final : public FixedFrame
{
public:
    PaperClock(const QString &picture, OleColor theme, const QString &font)
        : FixedFrame(QStringLiteral("fapp_PAPER"))
    {
        m_paper.setProperty("Tag", picture);
        setLngTHEMECOLOR(theme);
        lblTIME->setFontName(font);
    }
    void updateparts() override {}
    QWidget *mainPart() const override { return const_cast<QWidget *>(&m_paper); }

protected:
    void loadFirstTexts() override {}

private:
    QWidget m_paper;
};

class SettingsDialogTest : public test::GlobalsFixture
{
protected:
    fdlg_SETTINGS *open(WidgetForm *widget = nullptr)
    {
        fdlg_SETTINGS::showFor(widget ? widget : form());
        return fdlg_SETTINGS::instance();
    }
    FixedFrame *clockFrame() { return static_cast<FixedFrame *>(form()); }
    bool onTop() { return form()->windowFlags().testFlag(Qt::WindowStaysOnTopHint); }
    static QString stored(const QString &name)
    {
        return LoadSetting(name, QStringLiteral("<none>"));
    }
    // Each name's stored value, "<none>" for none.
    static void expectStored(const std::vector<std::pair<QString, QString>> &values)
    {
        for (const auto &[name, value] : values)
            EXPECT_EQ(stored(name), value) << name.toStdString();
    }
    static void choose(QComboBox *box, const QString &text)
    {
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), text);
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    }
    static void pickColour(ButtonPalette *button, OleColor colour)
    {
        Q_EMIT button->ColorChosen(colour);
        button->setColor(colour);
    }
    // Two paper clocks in slots 0 and 1 of a many-widget kind, shown.
    std::array<PaperClock *, 2> twoWidgets()
    {
        EXPECT_TRUE(start());
        widgetSet().clear();
        setRunningKind(&m_paperKind);
        SaveSetting(QStringLiteral("1Style-modern"), QStringLiteral("False"));
        std::array<PaperClock *, 2> widgets{
            new PaperClock(QStringLiteral("/p/0.png"), 0x0000FF, QStringLiteral("DejaVu Serif")),
            new PaperClock(QStringLiteral("/p/1.png"), 0x00FF00, QStringLiteral("DejaVu Sans"))};
        for (int i = 0; i < 2; ++i) {
            widgetSet().add(i, widgets[size_t(i)], true);
            widgets[size_t(i)]->setLngTRANSVALCONTRAST(10 + i);
            widgets[size_t(i)]->resize(120, 60);
            widgets[size_t(i)]->show();
        }
        return widgets;
    }

private:
    const KindRow m_paperKind{
        .formName = "fapp_PAPER", .family = WidgetFamily::Resizable, .manyWidgets = true};
};

} // namespace

TEST_F(SettingsDialogTest, LoadingFillsTheControlsFromTheClockAndTheStore)
{
    prepareStore();
    // clang-format off
    for (const auto &[name, value] : {std::pair{reg::ProgramLaunch, "0"}, {reg::OnTop, "1"},
             {reg::TimeFont, "DejaVu Serif"}, {reg::TimeSize, "20.4"}, {reg::DateAlign, "2"},
             {reg::DateColor, "1193046"}, {reg::DefaultTransparency, "150"}})
        SaveSetting(name, QLatin1String(value));
    // clang-format on
    SaveSetting("0State", "2");
    ASSERT_TRUE(start());
    fdlg_SETTINGS *d = open();
    ASSERT_TRUE(d);
    // Above the clock, yet not its child: closing the clock leaves the dialog to save.
    EXPECT_EQ(d->parentWidget(), nullptr);
    EXPECT_EQ(d->windowHandle()->transientParent(), form()->windowHandle());
    EXPECT_FALSE(d->isModal());
    EXPECT_EQ(d->ptbCOLORS->tabString(), "Theme,Preset,Text,Date,Windows,About");
    EXPECT_FALSE(d->windows->chkSTARTUP->isChecked());
    EXPECT_TRUE(d->windows->chkONTOP->isChecked());
    EXPECT_TRUE(d->date->optSTATE[2]->isChecked());
    EXPECT_EQ(d->preset->hscVALUE->value(), 150);
    EXPECT_EQ(d->text->cboTIMEFONT->currentText(), "DejaVu Serif");
    EXPECT_EQ(d->text->cboTIMESIZE->currentText(), "20");
    EXPECT_EQ(d->text->cboALIGNDATE->currentIndex(), 2);
    EXPECT_EQ(d->text->btnpDATE->color(), 0x123456);
    // The lists open on the entries the boxes show.
    for (QComboBox *box : {d->text->cboTIMEFONT, d->text->cboTIMESIZE}) {
        box->showPopup();
        EXPECT_EQ(box->view()->currentIndex().row(), box->findText(box->currentText()));
        box->hidePopup();
    }
    EXPECT_TRUE(onTop()) << "loading puts the clock on top from the box";
}

TEST_F(SettingsDialogTest, EachTabShowsExactlyItsFramesInOneSize)
{
    ASSERT_TRUE(start());
    fdlg_SETTINGS *d = open();
    const QList<QGroupBox *> all{
        d->theme->fraPRESETS, d->preset->fraTRANS,  d->preset->fraPRESETMAKE, d->text->fraFORMAT,
        d->date->fraADVSETS,  d->windows->fraFRAME, d->about->fraABOUT};
    const std::pair<int, QList<QGroupBox *>> pages[] = {
        {2, {d->preset->fraTRANS, d->preset->fraPRESETMAKE}},
        {3, {d->text->fraFORMAT}},
        {4, {d->date->fraADVSETS}},
        {5, {d->windows->fraFRAME}},
        {6, {d->about->fraABOUT}},
        {1, {d->theme->fraPRESETS}}};
    const QSize size = d->size();
    for (const auto &[tab, shown] : pages) {
        QTest::mouseClick(d->ptbCOLORS, Qt::LeftButton, {}, d->ptbCOLORS->tabRect(tab).center());
        EXPECT_EQ(d->ptbCOLORS->selectedTab(), tab);
        for (QGroupBox *f : all)
            EXPECT_EQ(f->isVisible(), shown.contains(f)) << f->objectName().toStdString();
        EXPECT_EQ(d->size(), size);
    }
}

TEST_F(SettingsDialogTest, OptionsChangeTheClockAtOnceWhileTheDialogIsVisible)
{
    ASSERT_TRUE(start());
    FixedFrame *clock = clockFrame();
    Label *time = label("lblTIME");
    fdlg_SETTINGS *d = fdlg_SETTINGS::load(form());
    d->text->cboALIGNTIME->setCurrentIndex(1);
    Q_EMIT d->text->cboALIGNTIME->activated(1);
    EXPECT_EQ(time->textAlign(), 0) << "not yet shown";
    ASSERT_EQ(open(), d);
    Q_EMIT d->text->cboALIGNTIME->activated(1);
    EXPECT_EQ(time->textAlign(), 1);
    d->preset->hscVALUE->setValue(100);
    EXPECT_EQ(clock->lngTRANSVALCUST(), 100);
    EXPECT_NEAR(clock->windowOpacity(), 100 / 255.0, 0.002);
    d->preset->hscVALUE->setValue(10);
    EXPECT_EQ(clock->lngTRANSVAL(), 20) << "the slider goes lower than the window may";
    Q_EMIT d->preset->btnpCOLOR->ColorChosen(0x0000FF);
    d->preset->hscCONTRAST->setValue(100);
    EXPECT_EQ(clock->BackColor(), ColorBlend(0, 0x0000FF, 100));

    ASSERT_TRUE(time->FontBold());
    choose(d->text->cboTIMEFONT, QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(time->font().family(), "DejaVu Sans Mono");
    EXPECT_FALSE(time->FontBold());
    choose(d->text->cboTIMESIZE, QStringLiteral("20"));
    choose(d->text->cboTIMESIZE, QStringLiteral("abc"));
    EXPECT_FLOAT_EQ(time->FontSize(), 20);
    // The second row edits the date label only.
    Q_EMIT d->text->btnpDATE->ColorChosen(0x00FFFF);
    d->text->cboALIGNDATE->setCurrentIndex(2);
    Q_EMIT d->text->cboALIGNDATE->activated(2);
    EXPECT_EQ(label("lblDATE")->ForeColor(), 0x00FFFF);
    EXPECT_EQ(label("lblDATE")->textAlign(), 2);
    EXPECT_EQ(time->textAlign(), 1);

    d->windows->chkONTOP->click();
    EXPECT_EQ(onTop(), d->windows->chkONTOP->isChecked());
    d->date->optSTATE[1]->click();
    d->date->optSTYLECLASS->click();
    EXPECT_EQ(stored("0State") + stored("0Style-modern"), "1False");
    clock->updateparts();
    EXPECT_FALSE(picture("picTIME")->isVisible());
    EXPECT_TRUE(label("lblSECS")->Caption().isEmpty());
}

TEST_F(SettingsDialogTest, CloseWritesThePlainNamesAndSaveTheNumberedOnes)
{
    ASSERT_TRUE(start());
    fdlg_SETTINGS *d = open();
    pickColour(d->preset->btnpCOLOR, 0x0000FF);
    d->windows->chkONTOP->setChecked(true);
    d->text->cboALIGNTIME->setCurrentIndex(2);
    d->btnOK->click();
    settle();
    EXPECT_EQ(fdlg_SETTINGS::instance(), nullptr);
    // clang-format off
    expectStored({{reg::Color, "255"}, {reg::OnTop, "1"}, {reg::TimeAlign, "2"}, {reg::DateAlign, "0"},
                  {reg::TimeSize, "36"}, {reg::ProgramLaunch, "1"}, {reg::DateFont, label("lblDATE")->FontName()},
                  {"0Style-modern", "True"}, {"0Color", "<none>"}});
    // clang-format on

    d = open();
    d->preset->hscCONTRAST->setValue(70);
    d->btnCANCEL->click();
    EXPECT_TRUE(d->isVisible());
    // Save writes the numbered names now; the plain ones wait for Close. The clock shows no
    // picture.
    // clang-format off
    expectStored({{"0Color", "255"}, {"0On-Top", "1"}, {"0Default-Contrast", "70"},
                  {"0Default-Transparency-Color", "211"}, {"0Time-Font", label("lblTIME")->FontName()},
                  {"0PHOTOLEFT", QString::number(form()->x() * 15)}, {"0PHOTO", "<none>"},
                  {reg::DefaultContrast, "33"}});
    // clang-format on
}

TEST_F(SettingsDialogTest, ExitSavesEverythingAndDropsThePendingUpdate)
{
    ASSERT_TRUE(start());
    QFile update(globals().strUPDATEFILE);
    ASSERT_TRUE(update.open(QIODevice::WriteOnly));
    update.close();
    open()->btnEXIT->click();
    settle();
    EXPECT_EQ(stored(reg::Total) + stored(reg::Color) + stored("0Color"), "000");
    EXPECT_FALSE(QFile::exists(globals().strUPDATEFILE));
    EXPECT_FALSE(form()->isVisible());
    EXPECT_EQ(fdlg_SETTINGS::instance(), nullptr);
}

TEST_F(SettingsDialogTest, ExitGivesTheDialogsValuesToItsWidgetOnly)
{
    const auto widgets = twoWidgets();
    fdlg_SETTINGS *d = open(widgets[0]);
    pickColour(d->preset->btnpCOLOR, 0xFF0000);
    choose(d->text->cboTIMESIZE, QStringLiteral("20"));
    d->btnEXIT->click();
    settle();
    // clang-format off
    expectStored({{reg::Total, "2"},
        {"0PHOTO", "/p/0.png"},         {"0Color", "16711680"},      {"0Time-Size", "20"},
        {"0Time-Font", "DejaVu Serif"}, {"0Default-Contrast", "10"}, {"0Style-modern", "True"},
        {"1PHOTO", "/p/1.png"},         {"1Color", "65280"},         {"1Time-Font", "DejaVu Sans"},
        {"1Default-Contrast", "11"},    {"1Style-modern", "False"},  {"1Program-Launch", "1"}});
    // clang-format on
    EXPECT_NE(stored("1Time-Size"), "20");
}

TEST_F(SettingsDialogTest, TheDialogFollowsTheCurrentWidget)
{
    const auto widgets = twoWidgets();
    widgetSet().setCurrent(0);
    fdlg_SETTINGS *d = open(widgets[0]);
    ASSERT_EQ(d->preset->btnpCOLOR->color(), 0x0000FF);

    widgetSet().setCurrent(1);
    EXPECT_EQ(d->widget(), widgets[1]);
    EXPECT_EQ(d->windowHandle()->transientParent(), widgets[1]->windowHandle());
    EXPECT_EQ(d->preset->hscCONTRAST->value(), 11);
    EXPECT_EQ(d->text->cboTIMEFONT->currentText(), "DejaVu Sans");
    Q_EMIT d->preset->btnpCOLOR->ColorChosen(0x00FFFF);
    EXPECT_EQ(widgets[1]->lngTHEMECOLOR(), 0x00FFFF);
    EXPECT_EQ(widgets[0]->lngTHEMECOLOR(), 0x0000FF);

    // Its widget gone, the dialog stays, writes nothing for it and follows
    // the current one; with none left it closes.
    widgetSet().close(1);
    widgetSet().setCurrent(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(QTest::qWaitFor([&] { return d->widget() == widgets[0]; }, 2000));
    EXPECT_EQ(d->preset->btnpCOLOR->color(), 0x0000FF);
    widgetSet().close(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(QTest::qWaitFor([] { return !fdlg_SETTINGS::instance(); }, 2000));
    expectStored({{"Color", "<none>"}, {"0Color", "<none>"}, {"1Color", "<none>"}});
}

TEST(FontListTest, ListsEachFamilyOnceWithoutFoundryVerticalOrCharacterSetFonts)
{
    for (const char *hidden : {"", "WST_Czec", "Arial TUR", "Arial CE"})
        EXPECT_TRUE(isHiddenFontName(QLatin1String(hidden))) << hidden;
    EXPECT_FALSE(isHiddenFontName(QStringLiteral("CE Sans")));
    const QStringList families{"C059 [UKWN]",   " DejaVu Sans ", "D050000L [URW ]", "C059 [URW ]",
                               "@Vertical [X]", "Arial CYR",     "DejaVu Sans",     "[Odd]"};
    EXPECT_EQ(fontListNames(families), (QStringList{"C059", "DejaVu Sans", "D050000L", "[Odd]"}));
    // Filled again, the size list still holds its 25 sizes.
    QComboBox box;
    for (int round = 0; round < 2; ++round)
        FillSizeList(&box);
    ASSERT_EQ(box.count(), 25);
    EXPECT_EQ(box.itemText(16) + "," + box.itemText(24), "36,200");
}

TEST_F(SettingsDialogTest, KeyboardReachesEveryControlInPageOrder)
{
    ASSERT_TRUE(start());
    fdlg_SETTINGS *d = open();
    d->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(d));
    QTest::keyClick(d, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(d->ptbCOLORS->selectedTab(), 2);
    // The access key of a label focuses its control; Tab then follows the page.
    QTest::keyClick(d, Qt::Key_T, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), d->preset->hscVALUE);
    for (const char *name :
         {"hscCONTRAST", "txtPRESETNEW", "btnNEW", "btnEXIT", "btnCANCEL", "btnOK"}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_TRUE(QApplication::focusWidget());
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QLatin1String(name));
    }
}

TEST_F(SettingsDialogTest, ClicksOnATextBringOneDialogWhoseButtonsReachTheDesktop)
{
    test::FakeToolOnPath tool(test::dataHome() + QStringLiteral("/bin"),
                              QStringLiteral("gnome-control-center"));
    test::RecordingDesktop desktop;
    ASSERT_TRUE(start());
    QTest::mouseClick(label("lblDATE"), Qt::RightButton, {}, QPoint(3, 3));
    fdlg_SETTINGS *d = fdlg_SETTINGS::instance();
    ASSERT_TRUE(d);
    // A double click shows the same dialog again, as it was.
    d->preset->txtPRESETNEW->setText(QStringLiteral("kept"));
    d->hide();
    QTest::mouseDClick(label("lblTIME"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(fdlg_SETTINGS::instance() == d && d->isVisible());
    EXPECT_EQ(d->preset->txtPRESETNEW->text(), QStringLiteral("kept"));
    d->date->btnDATE->click();
    d->date->btnINT->click();
    ASSERT_EQ(desktop.started.size(), 2);
    EXPECT_EQ(desktop.started[0].value(1) + desktop.started[1].value(1), "datetimeregion");
    globals().strDONATEURL = QStringLiteral("https://www.orvane.com/donate/");
    d->about->pbtnDONATE->click();
    Q_EMIT d->about->lblEMAIL->linkActivated(QStringLiteral("mailto:support@orvane.com"));
    EXPECT_EQ(desktop.opened, (QList<QUrl>{QUrl(globals().strDONATEURL),
                                           QUrl(QStringLiteral("mailto:support@orvane.com"))}));
}
