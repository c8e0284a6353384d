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
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <QWindow>

using namespace tavlo;

namespace {

// A clock-like widget of a many-widget kind: its main part shows a picture,
// so Exit program keeps it.
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
    static QString stored(const QString &name)
    {
        return LoadSetting(name, QStringLiteral("<none>"));
    }
    static void choose(QComboBox *box, const QString &text)
    {
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), text);
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    }
    static void clickTab(fdlg_SETTINGS *d, int tab)
    {
        QTest::mouseClick(d->ptbCOLORS, Qt::LeftButton, {}, d->ptbCOLORS->tabRect(tab).center());
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

TEST_F(SettingsDialogTest, LoadingFillsEveryControlFromTheClockAndTheStore)
{
    prepareStore();
    SaveSetting(reg::ProgramLaunch, QStringLiteral("0"));
    SaveSetting(reg::OnTop, QStringLiteral("1"));
    SaveSetting(QStringLiteral("0State"), QStringLiteral("2"));
    SaveSetting(QStringLiteral("0Style-modern"), QStringLiteral("False"));
    SaveSetting(reg::TimeFont, QStringLiteral("DejaVu Serif"));
    SaveSetting(reg::TimeSize, QStringLiteral("20.4"));
    SaveSetting(reg::DateColor, QString::number(0x123456));
    SaveSetting(reg::DateAlign, QStringLiteral("2"));
    SaveSetting(reg::Color, QString::number(0x00FF00));
    SaveSetting(reg::DefaultTransparency, QStringLiteral("150"));
    SaveSetting(reg::DefaultContrast, QStringLiteral("60"));
    ASSERT_TRUE(start());
    fdlg_SETTINGS *d = open();
    ASSERT_TRUE(d);

    EXPECT_EQ(d->windowTitle(), QStringLiteral("TavloClock"));
    // Above the clock, yet not its child: closing the clock leaves the dialog to save.
    EXPECT_EQ(d->parentWidget(), nullptr);
    EXPECT_EQ(d->windowHandle()->transientParent(), form()->windowHandle());
    EXPECT_FALSE(d->isModal());
    EXPECT_EQ(d->ptbCOLORS->tabString(), QStringLiteral("Theme,Preset,Text,Date,Windows,About"));
    EXPECT_EQ(d->ptbCOLORS->selectedTab(), 1);
    EXPECT_TRUE(d->theme->fraPRESETS->isVisible());
    EXPECT_FALSE(d->preset->fraTRANS->isVisible());
    EXPECT_EQ(d->text->lblTIME->text(), QStringLiteral("&Time:"));
    EXPECT_EQ(d->text->lblDATE->text(), QStringLiteral("&Date:"));

    EXPECT_FALSE(d->windows->chkSTARTUP->isChecked());
    EXPECT_TRUE(d->windows->chkONTOP->isChecked());
    EXPECT_TRUE(d->date->optSTATE[2]->isChecked());
    EXPECT_TRUE(d->date->optSTYLECLASS->isChecked());
    EXPECT_FALSE(d->date->optSTYLEMOD->isChecked());
    EXPECT_EQ(d->preset->hscVALUE->value(), 150);
    EXPECT_EQ(d->preset->hscCONTRAST->value(), 60);
    EXPECT_EQ(d->text->cboTIMEFONT->currentText(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(d->text->cboTIMESIZE->currentText(), QStringLiteral("20"));
    // The lists open on the entries the boxes show.
    for (QComboBox *box : {d->text->cboTIMEFONT, d->text->cboTIMESIZE}) {
        const int entry = box->findText(box->currentText());
        ASSERT_GE(entry, 0) << box->objectName().toStdString();
        box->showPopup();
        EXPECT_EQ(box->view()->currentIndex().row(), entry) << box->objectName().toStdString();
        box->hidePopup();
    }
    EXPECT_EQ(d->text->cboALIGNDATE->currentIndex(), 2);
    EXPECT_EQ(d->text->cboALIGNTIME->currentIndex(), 0);
    EXPECT_EQ(d->text->btnpDATE->color(), 0x123456);
    EXPECT_EQ(d->text->btnpTIME->color(), label("lblTIME")->ForeColor());
    EXPECT_EQ(d->preset->btnpCOLOR->color(), 0x00FF00);
    EXPECT_EQ(d->about->lablTITLE->text(), QStringLiteral("Orvane TavloClock"));
    EXPECT_EQ(d->about->lablVersion->text(), QStringLiteral("Version: 1.05"));
    EXPECT_EQ(d->about->lblCOPY->text(), globals().strRIGHTS);
    // Loading put the clock on top from the box.
    EXPECT_TRUE(form()->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(SettingsDialogTest, EachTabShowsExactlyItsFrames)
{
    ASSERT_TRUE(start());
    fdlg_SETTINGS *d = open();
    const QList<QGroupBox *> all{
        d->theme->fraPRESETS, d->preset->fraTRANS,  d->preset->fraPRESETMAKE, d->text->fraFORMAT,
        d->date->fraADVSETS,  d->windows->fraFRAME, d->about->fraABOUT};
    const struct
    {
        int tab;
        QList<QGroupBox *> shown;
    } pages[] = {{2, {d->preset->fraTRANS, d->preset->fraPRESETMAKE}},
                 {3, {d->text->fraFORMAT}},
                 {4, {d->date->fraADVSETS}},
                 {5, {d->windows->fraFRAME}},
                 {6, {d->about->fraABOUT}},
                 {1, {d->theme->fraPRESETS}}};
    const QSize size = d->size();
    for (const auto &page : pages) {
        clickTab(d, page.tab);
        EXPECT_EQ(d->ptbCOLORS->selectedTab(), page.tab);
        for (QGroupBox *f : all)
            EXPECT_EQ(f->isVisible(), page.shown.contains(f)) << f->objectName().toStdString();
        // Every page fits the same dialog.
        EXPECT_EQ(d->size(), size);
    }
}

TEST_F(SettingsDialogTest, OptionsChangeTheClockAtOnce)
{
    ASSERT_TRUE(start());
    auto *clock = static_cast<FixedFrame *>(form());
    fdlg_SETTINGS *d = open();

    d->preset->hscVALUE->setValue(100);
    EXPECT_EQ(clock->lngTRANSVAL(), 100);
    EXPECT_EQ(clock->lngTRANSVALCUST(), 100);
    EXPECT_NEAR(clock->windowOpacity(), 100 / 255.0, 0.002);
    // The slider goes lower than the window may.
    d->preset->hscVALUE->setValue(10);
    EXPECT_EQ(clock->lngTRANSVAL(), 20);

    Q_EMIT d->preset->btnpCOLOR->ColorChosen(0x0000FF);
    EXPECT_EQ(clock->lngTHEMECOLOR(), 0x0000FF);
    EXPECT_EQ(clock->BackColor(), ColorBlend(0, 0x0000FF, -34));

    d->preset->hscCONTRAST->setValue(100);
    EXPECT_EQ(clock->lngTRANSVALCONTRAST(), 100);
    EXPECT_EQ(clock->BackColor(), ColorBlend(0, 0x0000FF, 100));

    Label *time = label("lblTIME");
    ASSERT_TRUE(time->FontBold());
    choose(d->text->cboTIMEFONT, QStringLiteral("DejaVu Sans Mono"));
    EXPECT_EQ(time->FontName(), QStringLiteral("DejaVu Sans Mono"));
    EXPECT_FALSE(time->FontBold());
    EXPECT_EQ(time->font().family(), QStringLiteral("DejaVu Sans Mono"));

    choose(d->text->cboTIMESIZE, QStringLiteral("20"));
    EXPECT_FLOAT_EQ(time->FontSize(), 20);
    choose(d->text->cboTIMESIZE, QStringLiteral("abc"));
    EXPECT_FLOAT_EQ(time->FontSize(), 20);
    EXPECT_EQ(d->text->cboTIMESIZE->currentText(), QStringLiteral("abc"));

    // The second row edits the date label.
    Q_EMIT d->text->btnpDATE->ColorChosen(0x00FFFF);
    EXPECT_EQ(label("lblDATE")->ForeColor(), 0x00FFFF);
    d->text->cboALIGNDATE->setCurrentIndex(2);
    Q_EMIT d->text->cboALIGNDATE->activated(2);
    EXPECT_EQ(label("lblDATE")->textAlign(), 2);
    EXPECT_EQ(time->textAlign(), 0);

    clickTab(d, 5);
    d->windows->chkONTOP->click();
    EXPECT_EQ(clock->windowFlags().testFlag(Qt::WindowStaysOnTopHint),
              d->windows->chkONTOP->isChecked());

    clickTab(d, 4);
    d->date->optSTATE[1]->click();
    EXPECT_EQ(stored(QStringLiteral("0State")), QStringLiteral("1"));
    d->date->optSTYLECLASS->click();
    EXPECT_EQ(stored(QStringLiteral("0Style-modern")), QStringLiteral("False"));
    clock->updateparts();
    EXPECT_FALSE(picture("picTIME")->isVisible());
    EXPECT_TRUE(label("lblSECS")->Caption().isEmpty());
    d->date->optSTYLEMOD->click();
    EXPECT_EQ(stored(QStringLiteral("0Style-modern")), QStringLiteral("True"));
}

TEST_F(SettingsDialogTest, SliderKeysRaiseAndLowerAsTheDesktopsSlidersDo)
{
    ASSERT_TRUE(start());
    fdlg_SETTINGS *d = open();
    const struct
    {
        Qt::Key key;
        int change;
    } keys[] = {{Qt::Key_PageUp, 50}, {Qt::Key_PageDown, -50}, {Qt::Key_Up, 1},
                {Qt::Key_Right, 1},   {Qt::Key_Down, -1},      {Qt::Key_Left, -1}};
    for (QScrollBar *bar : {d->preset->hscVALUE, d->preset->hscCONTRAST}) {
        for (const auto &k : keys) {
            bar->setValue(100);
            QTest::keyClick(bar, k.key);
            EXPECT_EQ(bar->value(), 100 + k.change)
                << bar->objectName().toStdString() << " key " << QTest::toString(k.key);
        }
    }
    EXPECT_EQ(static_cast<FixedFrame *>(form())->lngTRANSVAL(), 99);
}

TEST_F(SettingsDialogTest, AlignmentChangesOnlyWhileTheDialogIsVisible)
{
    ASSERT_TRUE(start());
    fdlg_SETTINGS *d = fdlg_SETTINGS::load(form());
    ASSERT_FALSE(d->isVisible());
    d->text->cboALIGNTIME->setCurrentIndex(1);
    Q_EMIT d->text->cboALIGNTIME->activated(1);
    EXPECT_EQ(label("lblTIME")->textAlign(), 0);
    fdlg_SETTINGS::showFor(form());
    Q_EMIT d->text->cboALIGNTIME->activated(1);
    EXPECT_EQ(label("lblTIME")->textAlign(), 1);
}

TEST_F(SettingsDialogTest, SaveWritesTheNumberedNames)
{
    ASSERT_TRUE(start());
    fdlg_SETTINGS *d = open();
    Q_EMIT d->preset->btnpCOLOR->ColorChosen(0x0000FF);
    d->preset->btnpCOLOR->setColor(0x0000FF);
    d->preset->hscCONTRAST->setValue(70);
    d->windows->chkONTOP->setChecked(true);
    d->btnCANCEL->click();

    EXPECT_EQ(stored(QStringLiteral("0Color")), QString::number(0x0000FF));
    EXPECT_EQ(stored(QStringLiteral("0On-Top")), QStringLiteral("1"));
    EXPECT_EQ(stored(QStringLiteral("0Default-Contrast")), QStringLiteral("70"));
    EXPECT_EQ(stored(QStringLiteral("0Default-Transparency-Color")), QStringLiteral("211"));
    EXPECT_EQ(stored(QStringLiteral("0Style-modern")), QStringLiteral("True"));
    EXPECT_EQ(stored(QStringLiteral("0Time-Font")), label("lblTIME")->FontName());
    EXPECT_EQ(stored(QStringLiteral("0PHOTOLEFT")), QString::number(form()->x() * 15));
    // The clock has no picture surface.
    EXPECT_EQ(stored(QStringLiteral("0PHOTO")), QStringLiteral("<none>"));
    // The plain names wait for Close.
    EXPECT_EQ(stored(reg::Color), QStringLiteral("<none>"));
    EXPECT_TRUE(d->isVisible());
}

TEST_F(SettingsDialogTest, CloseAndEscapeWriteThePlainNames)
{
    for (const bool escape : {false, true}) {
        ASSERT_TRUE(start());
        fdlg_SETTINGS *d = open();
        Q_EMIT d->preset->btnpCOLOR->ColorChosen(0x00FF00);
        d->preset->btnpCOLOR->setColor(0x00FF00);
        d->text->cboALIGNTIME->setCurrentIndex(2);
        d->date->optSTYLECLASS->setChecked(true);
        if (escape)
            QTest::keyClick(d, Qt::Key_Escape);
        else
            d->btnOK->click();
        settle();
        EXPECT_EQ(fdlg_SETTINGS::instance(), nullptr) << escape;
        EXPECT_EQ(stored(reg::Color), QString::number(0x00FF00)) << escape;
        EXPECT_EQ(stored(reg::OnTop), QStringLiteral("0"));
        EXPECT_EQ(stored(reg::TimeAlign), QStringLiteral("2"));
        EXPECT_EQ(stored(reg::DateAlign), QStringLiteral("0"));
        EXPECT_EQ(stored(reg::DateFont), label("lblDATE")->FontName());
        EXPECT_EQ(stored(reg::TimeSize), QStringLiteral("36"));
        EXPECT_EQ(stored(reg::ProgramLaunch), QStringLiteral("1"));
        EXPECT_EQ(stored(QStringLiteral("0Style-modern")), QStringLiteral("False"));
        EXPECT_EQ(stored(QStringLiteral("0Color")), QStringLiteral("<none>"));
        resetGlobals();
    }
}

TEST_F(SettingsDialogTest, ARightClickOpensItAndAnotherBringsTheSameDialogForward)
{
    ASSERT_TRUE(start());
    QTest::mouseClick(label("lblDATE"), Qt::RightButton, {}, QPoint(3, 3));
    fdlg_SETTINGS *d = fdlg_SETTINGS::instance();
    ASSERT_TRUE(d);
    EXPECT_TRUE(d->isVisible());
    d->preset->txtPRESETNEW->setText(QStringLiteral("kept"));
    QTest::mouseClick(label("lblDATE"), Qt::RightButton, {}, QPoint(3, 3));
    EXPECT_EQ(fdlg_SETTINGS::instance(), d);
    EXPECT_EQ(d->preset->txtPRESETNEW->text(), QStringLiteral("kept"));
}

TEST_F(SettingsDialogTest, ExitSavesEverythingAndWritesTotal)
{
    ASSERT_TRUE(start());
    QFile update(globals().strUPDATEFILE);
    ASSERT_TRUE(update.open(QIODevice::WriteOnly));
    update.close();
    form()->move(60, 90);
    fdlg_SETTINGS *d = open();
    d->btnEXIT->click();
    settle();
    EXPECT_EQ(stored(reg::Total), QStringLiteral("0"));
    EXPECT_EQ(stored(reg::Color), QStringLiteral("0"));
    EXPECT_EQ(stored(QStringLiteral("0Color")), QStringLiteral("0"));
    EXPECT_FALSE(QFile::exists(globals().strUPDATEFILE));
    EXPECT_FALSE(form()->isVisible());
    EXPECT_EQ(fdlg_SETTINGS::instance(), nullptr);
    const QString window = QStringLiteral("SOFTWARE\\TavloClock\\fapp_CLOCK\\Window");
    EXPECT_EQ(globals().objREGISTRY->RegLoad(reg::HKCU, window, reg::Left, QString()),
              QStringLiteral("900"));
}

TEST_F(SettingsDialogTest, ExitGivesTheDialogsValuesToItsWidgetOnly)
{
    const auto widgets = twoWidgets();
    fdlg_SETTINGS *d = open(widgets[0]);
    Q_EMIT d->preset->btnpCOLOR->ColorChosen(0xFF0000);
    d->preset->btnpCOLOR->setColor(0xFF0000);
    choose(d->text->cboTIMESIZE, QStringLiteral("20"));
    d->btnEXIT->click();
    settle();

    EXPECT_EQ(stored(reg::Total), QStringLiteral("2"));
    const struct
    {
        const char *name;
        const char *value;
    } expected[] = {
        {"0PHOTO", "/p/0.png"},         {"0Color", "16711680"},      {"0Time-Size", "20"},
        {"0Time-Font", "DejaVu Serif"}, {"0Default-Contrast", "10"}, {"0Style-modern", "True"},
        {"1PHOTO", "/p/1.png"},         {"1Color", "65280"},         {"1Time-Font", "DejaVu Sans"},
        {"1Default-Contrast", "11"},    {"1Style-modern", "False"},  {"1Program-Launch", "1"}};
    for (const auto &e : expected)
        EXPECT_EQ(stored(QLatin1String(e.name)), QLatin1String(e.value)) << e.name;
    EXPECT_NE(stored(QStringLiteral("1Time-Size")), QStringLiteral("20"));
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
    EXPECT_EQ(d->preset->btnpCOLOR->color(), 0x00FF00);
    EXPECT_EQ(d->preset->hscCONTRAST->value(), 11);
    EXPECT_EQ(d->text->cboTIMEFONT->currentText(), QStringLiteral("DejaVu Sans"));
    EXPECT_TRUE(d->date->optSTYLECLASS->isChecked());
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
    for (const char *name : {"Color", "0Color", "1Color"})
        EXPECT_EQ(stored(QLatin1String(name)), QStringLiteral("<none>")) << name;
}

TEST(FontListTest, LeavesOutVerticalAndCharacterSetFonts)
{
    for (const char *hidden : {"", "@MS Gothic", "WST_Czec", "Arial TUR", "Arial Greek",
                               "Arial Baltic", "Arial CE", "Arial CYR"})
        EXPECT_TRUE(isHiddenFontName(QLatin1String(hidden))) << hidden;
    for (const char *shown : {"DejaVu Sans", "Arial", "CE Sans", "Cyrillic", "Arial Cyr"})
        EXPECT_FALSE(isHiddenFontName(QLatin1String(shown))) << shown;
}

TEST(FontListTest, ListsEachFamilyOnceWithoutItsFoundry)
{
    const QStringList families{QStringLiteral("C059 [UKWN]"),     QStringLiteral(" DejaVu Sans "),
                               QStringLiteral("D050000L [URW ]"), QStringLiteral("C059 [URW ]"),
                               QStringLiteral("@Vertical [X]"),   QStringLiteral("Arial CYR"),
                               QStringLiteral("DejaVu Sans"),     QStringLiteral("[Odd]")};
    EXPECT_EQ(fontListNames(families),
              QStringList({QStringLiteral("C059"), QStringLiteral("DejaVu Sans"),
                           QStringLiteral("D050000L"), QStringLiteral("[Odd]")}));

    QComboBox box;
    FillFontList(&box);
    ASSERT_GT(box.count(), 0);
    QSet<QString> listed;
    for (int i = 0; i < box.count(); ++i) {
        const QString name = box.itemText(i);
        EXPECT_FALSE(name.endsWith(QLatin1Char(']'))) << name.toStdString();
        EXPECT_FALSE(listed.contains(name)) << name.toStdString();
        listed.insert(name);
    }
}

TEST(FontListTest, TheSizeListAlwaysHoldsTheTwentyFiveSizes)
{
    QComboBox box;
    for (int round = 0; round < 3; ++round) {
        FillSizeList(&box);
        ASSERT_EQ(box.count(), 25);
        EXPECT_EQ(box.itemText(0), QStringLiteral("7"));
        EXPECT_EQ(box.itemText(16), QStringLiteral("36"));
        EXPECT_EQ(box.itemText(24), QStringLiteral("200"));
    }
}

TEST_F(SettingsDialogTest, KeyboardReachesEveryControlInPageOrder)
{
    ASSERT_TRUE(start());
    fdlg_SETTINGS *d = open();
    d->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(d));

    // Ctrl+Tab walks to the next page.
    QTest::keyClick(d, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(d->ptbCOLORS->selectedTab(), 2);
    EXPECT_TRUE(d->preset->fraTRANS->isVisible());

    // The access key of a label focuses its control; Tab then follows the page.
    QTest::keyClick(d, Qt::Key_T, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), d->preset->hscVALUE);
    const char *order[] = {"hscCONTRAST", "txtPRESETNEW", "btnNEW",
                           "btnEXIT",     "btnCANCEL",    "btnOK"};
    for (const char *name : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_TRUE(QApplication::focusWidget());
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QLatin1String(name));
    }

    // A check box's access key ticks it and the clock follows.
    for (int page = 0; page < 3; ++page)
        QTest::keyClick(d, Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_TRUE(d->windows->fraFRAME->isVisible());
    const bool before = d->windows->chkONTOP->isChecked();
    QTest::keyClick(d, Qt::Key_W, Qt::AltModifier);
    QTest::qWait(200); // the access key animates the click
    EXPECT_NE(d->windows->chkONTOP->isChecked(), before);
    EXPECT_EQ(form()->windowFlags().testFlag(Qt::WindowStaysOnTopHint), !before);
}

TEST_F(SettingsDialogTest, DoubleClickOnATextOpensItAndTheToolButtonsOpenTheDesktopSettings)
{
    // A settings tool on PATH that the recorder catches instead of running.
    test::FakeToolOnPath tool(test::dataHome() + QStringLiteral("/bin"),
                              QStringLiteral("gnome-control-center"));
    test::RecordingDesktop desktop;

    ASSERT_TRUE(start());
    QTest::mouseDClick(label("lblTIME"), Qt::LeftButton, {}, QPoint(5, 5));
    fdlg_SETTINGS *d = fdlg_SETTINGS::instance();
    ASSERT_TRUE(d);
    d->date->btnDATE->click();
    d->date->btnINT->click();
    ASSERT_EQ(desktop.started.size(), 2);
    EXPECT_EQ(desktop.started[0].value(1), QStringLiteral("datetime"));
    EXPECT_EQ(desktop.started[1].value(1), QStringLiteral("region"));

    // The About page's links go through the desktop opener.
    globals().strDONATEURL = QStringLiteral("https://www.orvane.com/donate/");
    d->about->pbtnDONATE->click();
    Q_EMIT d->about->lblEMAIL->linkActivated(QStringLiteral("mailto:support@orvane.com"));
    ASSERT_EQ(desktop.opened.size(), 2);
    EXPECT_EQ(desktop.opened[0], QUrl(globals().strDONATEURL));
    EXPECT_EQ(desktop.opened[1].scheme(), QStringLiteral("mailto"));
}
