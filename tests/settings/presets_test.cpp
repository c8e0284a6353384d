// SPDX-License-Identifier: GPL-3.0-or-later
#include "controls/ovctrls/buttonpalette.h"
#include "controls/ovctrls/pagetab.h"
#include "core/valuenames.h"
#include "frame/fixedframe.h"
#include "globalsfixture.h"
#include "platform/profilefile.h"
#include "settings/fdlg_settings.h"
#include "settings/presetpage.h"
#include "settings/textpage.h"
#include "settings/themepage.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTest>

using namespace tavlo;

namespace {

class PresetTest : public test::GlobalsFixture
{
protected:
    FixedFrame *clockForm() { return static_cast<FixedFrame *>(form()); }
    QString folder() const { return globals().strPROGRAMFOLDER + QStringLiteral("/presets"); }
    void place(const QString &name, const QByteArray &bytes)
    {
        QFile file(folder() + QLatin1Char('/') + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray contents(const QString &name)
    {
        QFile file(folder() + QLatin1Char('/') + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    std::optional<QString> key(const char *name, const char *section, const char *key)
    {
        return ProfileFile::fromBytes(contents(QLatin1String(name)))
            .value(QLatin1String(section), QStringLiteral(">     ") + QLatin1String(key));
    }
    fdlg_SETTINGS *open()
    {
        fdlg_SETTINGS::showFor(form());
        return fdlg_SETTINGS::instance();
    }
    // Clicks the list entry of that file name, as the user does.
    void click(fdlg_SETTINGS *d, const QString &name)
    {
        const auto items = d->theme->flbLIST->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        const QRect rect = d->theme->flbLIST->visualItemRect(items[0]);
        QTest::mouseClick(d->theme->flbLIST->viewport(), Qt::LeftButton, {}, rect.center());
    }
    void save(fdlg_SETTINGS *d, const QString &caption)
    {
        d->preset->txtPRESETNEW->setText(caption);
        d->preset->btnNEW->click();
    }
    test::RecordingDesktop desktop;
};

} // namespace

TEST_F(PresetTest, AClickAppliesAPresetAndCompletesAMainOnlyFile)
{
    ASSERT_TRUE(start());
    place(QStringLiteral("Sample.tvp"), "[main]\r\n"
                                        ">     theme-color=255\r\n"
                                        ">     transparency=150\r\n"
                                        ">     contrast=60\r\n");
    fdlg_SETTINGS *d = open();
    const float timeSize = label("lblTIME")->FontSize();
    click(d, QStringLiteral("Sample.tvp"));

    EXPECT_EQ(clockForm()->lngTRANSVALCUST(), 150);
    EXPECT_EQ(clockForm()->BackColor(), ColorBlend(0, 255, 20));
    EXPECT_FLOAT_EQ(label("lblTIME")->FontSize(), timeSize);
    EXPECT_EQ(d->preset->txtPRESETNEW->text() + clockForm()->strSELPRESET(), "SampleSample");
    EXPECT_TRUE(d->theme->btnEDIT->isEnabled());

    // The text keys were written with what the dialog showed; no caption.
    EXPECT_EQ(key("Sample.tvp", "text", "time-size"), "36");
    EXPECT_EQ(key("Sample.tvp", "text", "date-color"),
              QString::number(label("lblDATE")->ForeColor()));
    EXPECT_EQ(key("Sample.tvp", "preset", "caption"), std::nullopt);
}

TEST_F(PresetTest, SavingTwiceUnderOneNameKeepsTheSecondSet)
{
    ASSERT_TRUE(start());
    fdlg_SETTINGS *d = open();
    d->preset->btnpCOLOR->setColor(0x0000FF);
    save(d, QStringLiteral("Mine"));
    d->preset->btnpCOLOR->setColor(0x00FF00);
    d->preset->hscCONTRAST->setValue(90);
    save(d, QStringLiteral("Mine"));
    EXPECT_EQ(QDir(folder()).entryList(QDir::Files), QStringList{"Mine.tvp"});
    const QByteArray bytes = contents(QStringLiteral("Mine.tvp"));
    EXPECT_EQ(key("Mine.tvp", "main", "theme-color"), QString::number(0x00FF00));
    EXPECT_EQ(key("Mine.tvp", "main", "contrast"), "90");
    EXPECT_EQ(key("Mine.tvp", "preset", "caption"), "Mine");
    // Sections in the order they are written, CRLF line ends.
    EXPECT_TRUE(bytes.startsWith("[main]\r\n>     theme-color="));
    EXPECT_LT(bytes.indexOf("[text]"), bytes.indexOf("[preset]"));
    EXPECT_LT(bytes.indexOf(">     time-align"), bytes.indexOf(">     time-color"));

    // It shows in the list at the next refresh, and applies back.
    QTest::mouseClick(d->ptbCOLORS, Qt::LeftButton, {}, d->ptbCOLORS->tabRect(2).center());
    QTest::mouseClick(d->ptbCOLORS, Qt::LeftButton, {}, d->ptbCOLORS->tabRect(1).center());
    d->preset->btnpCOLOR->setColor(0);
    click(d, QStringLiteral("Mine.tvp"));
    EXPECT_EQ(clockForm()->lngTHEMECOLOR(), 0x00FF00);

    // A caption that ends in ".tvp" keeps it, and applies back under that caption.
    save(d, QStringLiteral("Night.tvp"));
    d->theme->btnIMPORT->click();
    click(d, QStringLiteral("Night.tvp.tvp"));
    EXPECT_EQ(d->preset->txtPRESETNEW->text(), "Night.tvp");
}

TEST_F(PresetTest, CaptionsThatCannotNameAFileAreRefusedAndAnUnwritableFolderIsSilent)
{
    ASSERT_TRUE(start());
    fdlg_SETTINGS *d = open();
    const QString nul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    for (const QString &caption : QStringList{QString(), "../escape", "a/b", ".", "..", nul})
        save(d, caption);
    ASSERT_EQ(desktop.messages.size(), 6);
    EXPECT_EQ(desktop.messages[0][1], "You need to select a preset name");
    EXPECT_TRUE(desktop.messages[1][1].contains("\"/\""));
    EXPECT_TRUE(desktop.messages[5][1].contains("NUL"));
    EXPECT_TRUE(QDir(folder()).entryList(QDir::Files).isEmpty());
    EXPECT_FALSE(QFile::exists(globals().strPROGRAMFOLDER + "/escape.tvp"));

    // A file where the folder should be: nothing can be written into it, and no message says so.
    ASSERT_TRUE(QDir(folder()).removeRecursively());
    QFile blocker(folder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    save(d, QStringLiteral("Mine"));
    EXPECT_EQ(desktop.messages.size(), 6);
    EXPECT_EQ(d->theme->flbLIST->count(), 0);
}

TEST_F(PresetTest, DeleteAllOverFivePresetsThenAClickStillApplies)
{
    ASSERT_TRUE(start());
    fdlg_SETTINGS *d = open();
    const auto enabled = [d] {
        return QList<bool>{d->theme->btnEDIT->isEnabled(), d->theme->btnDELETE->isEnabled(),
                           d->theme->btnDELETEALL->isEnabled()};
    };
    EXPECT_EQ(enabled(), QList<bool>({false, false, false}));

    for (int i = 1; i <= 5; ++i)
        place(QStringLiteral("P%1.tvp").arg(i), "[main]\r\n>     theme-color=255\r\n");
    d->theme->btnEXPORT->click();
    EXPECT_EQ(enabled(), QList<bool>({false, true, true})); // Edit waits for a selection
    d->theme->btnDELETEALL->click();
    EXPECT_EQ(desktop.trashed.size(), 5);
    EXPECT_EQ(d->theme->flbLIST->count(), 0);
    EXPECT_EQ(clockForm()->lngTHEMECOLOR(), 0) << "deleting applied a preset";

    place(QStringLiteral("Red.tvp"), "[main]\r\n>     theme-color=255\r\n");
    d->theme->btnIMPORT->click();
    click(d, QStringLiteral("Red.tvp"));
    EXPECT_EQ(clockForm()->lngTHEMECOLOR(), 255);

    d->theme->btnDELETE->click();
    EXPECT_EQ(desktop.trashed.value(5), folder() + "/Red.tvp");
}

TEST_F(PresetTest, LoadingSelectsTheWidgetsPresetWithoutApplyingIt)
{
    prepareStore();
    SaveSetting(reg::SelectedPreset, QStringLiteral("sample"));
    ASSERT_TRUE(start());
    place(QStringLiteral("Other.tvp"), "[main]\r\n>     theme-color=65280\r\n");
    place(QStringLiteral("Sample.tvp"), "[main]\r\n>     theme-color=255\r\n");
    fdlg_SETTINGS *d = open();
    ASSERT_TRUE(d->theme->flbLIST->currentItem());
    EXPECT_EQ(d->theme->flbLIST->currentItem()->text(), "Sample.tvp");
    EXPECT_EQ(clockForm()->lngTHEMECOLOR(), 0);
    EXPECT_EQ(contents(QStringLiteral("Sample.tvp")),
              QByteArray("[main]\r\n>     theme-color=255\r\n"));

    // The list's access key, then an arrow key, applies as a click does.
    d->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(d));
    QTest::keyClick(d, Qt::Key_L, Qt::AltModifier);
    ASSERT_EQ(QApplication::focusWidget(), d->theme->flbLIST);
    QTest::keyClick(d->theme->flbLIST, Qt::Key_Up);
    EXPECT_EQ(d->theme->flbLIST->currentItem()->text(), "Other.tvp");
    EXPECT_EQ(clockForm()->lngTHEMECOLOR(), 65280);

    // A double click keeps the preset and closes the dialog as Close does.
    Q_EMIT d->theme->flbLIST->itemDoubleClicked(d->theme->flbLIST->currentItem());
    settle();
    EXPECT_EQ(fdlg_SETTINGS::instance(), nullptr);
    EXPECT_EQ(LoadSetting(reg::Color, QString()) + LoadSetting(reg::SelectedPreset, QString()),
              "65280Other");
}

TEST_F(PresetTest, BadPresetsApplyWhatIsValidRefusedOnesNothingAndNoneHangs)
{
    prepareStore();
    SaveSetting(reg::SelectedPreset, QStringLiteral("Mine"));
    ASSERT_TRUE(start());
    // Valid keys up front, then ten megabytes: the first keys must not apply either.
    QByteArray huge = "[main]\r\n>     theme-color=255\r\n[text]\r\n";
    while (huge.size() < 10 * 1024 * 1024)
        huge += "noise line that is not a key at all, repeated to fill ten megabytes\r\n";
    place(QStringLiteral("Huge.tvp"), huge);
    // The list shows a link to a device like any other preset.
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), folder() + QStringLiteral("/Zero.tvp")));
    QByteArray garbage(4096, 0);
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 7919 + 13) % 256);
    place(QStringLiteral("Empty.tvp"), QByteArray());
    // A key without the prefix is not one of ours.
    place(QStringLiteral("Plain.tvp"), "[main]\r\ntheme-color=255\r\n");
    place(QStringLiteral("Garbage.tvp"), garbage);
    place(QStringLiteral("Long.tvp"),
          "[text]\r\n>     time-font=" + QByteArray(10000, 'f') + "\r\n");
    place(QStringLiteral("Bad.tvp"), "[main]\r\n"
                                     ">     transparency=300\r\n"
                                     ">     theme-color=-1\r\n"
                                     ">     contrast=70\r\n"
                                     ">     contrast=5\r\n"
                                     "[text]\r\n"
                                     ">     time-size=abc\r\n"
                                     ">     time-color=99999999999\r\n"
                                     ">     date-color=255\r\n"
                                     ">     time-align=7\r\n");
    fdlg_SETTINGS *d = open();
    auto *clock = clockForm();
    const float timeSize = label("lblTIME")->FontSize();
    const OleColor timeColour = label("lblTIME")->ForeColor();
    const QString caption = d->preset->txtPRESETNEW->text();
    const QString timeSizeText = d->text->cboTIMESIZE->currentText();
    for (const QString &name : {QStringLiteral("Huge.tvp"), QStringLiteral("Zero.tvp")}) {
        QElapsedTimer timer;
        timer.start();
        click(d, name);
        EXPECT_LT(timer.elapsed(), 5000) << "a refused preset must not be read to its end";
        EXPECT_EQ(clock->lngTHEMECOLOR(), 0);
        EXPECT_EQ(d->text->cboTIMESIZE->currentText(), timeSizeText);
        EXPECT_EQ(d->preset->txtPRESETNEW->text(), caption);
        EXPECT_EQ(clock->strSELPRESET(), "Mine");
    }
    EXPECT_EQ(contents(QStringLiteral("Huge.tvp")), huge);
    EXPECT_TRUE(QFileInfo(folder() + "/Zero.tvp").isSymLink());

    click(d, QStringLiteral("Bad.tvp"));
    EXPECT_EQ(d->preset->hscVALUE->value(), 211) << "transparency 300 is refused";
    EXPECT_EQ(clock->lngTHEMECOLOR(), 0) << "colour -1 is refused";
    EXPECT_EQ(clock->lngTRANSVALCONTRAST(), 70) << "the first of two keys counts";
    EXPECT_FLOAT_EQ(label("lblTIME")->FontSize(), timeSize);
    EXPECT_EQ(label("lblTIME")->ForeColor(), timeColour);
    EXPECT_EQ(label("lblTIME")->textAlign(), 0);
    EXPECT_EQ(label("lblDATE")->ForeColor(), 255);
    // The file keeps what it had.
    EXPECT_TRUE(contents(QStringLiteral("Bad.tvp")).contains(">     transparency=300"));

    for (const char *name : {"Empty.tvp", "Garbage.tvp", "Long.tvp", "Plain.tvp"}) {
        click(d, QLatin1String(name));
        EXPECT_EQ(clock->lngTHEMECOLOR(), 0) << name;
    }
    EXPECT_EQ(label("lblTIME")->FontName().size(), 399);
    // Every byte of the garbage is still there; only line ends became CRLF.
    const auto lf = [](QByteArray bytes) { return bytes.replace("\r\n", "\n"); };
    EXPECT_TRUE(lf(contents(QStringLiteral("Garbage.tvp"))).startsWith(lf(garbage)));
    EXPECT_EQ(key("Plain.tvp", "main", "theme-color"), "0");
}

TEST_F(PresetTest, AUtf16PresetAppliesAndStaysUtf16)
{
    ASSERT_TRUE(start());
    QStringEncoder utf16(QStringConverter::Utf16BE);
    const QByteArray original =
        "\xFE\xFF" + QByteArray(utf16.encode(u"[main]\r\n>     theme-color=255\r\n"
                                             u">     contrast=60\r\n[text]\r\n"
                                             u">     date-size=14\r\n"));
    place(QStringLiteral("Wide.tvp"), original);
    fdlg_SETTINGS *d = open();
    click(d, QStringLiteral("Wide.tvp"));
    EXPECT_EQ(clockForm()->lngTHEMECOLOR(), 255);
    EXPECT_EQ(clockForm()->lngTRANSVALCONTRAST(), 60);
    EXPECT_FLOAT_EQ(label("lblDATE")->FontSize(), 14);

    // Completed in the file's own encoding, with its mark, and nothing else in it.
    const QByteArray bytes = contents(QStringLiteral("Wide.tvp"));
    ASSERT_TRUE(bytes.startsWith("\xFE\xFF"));
    QStringDecoder decode(QStringConverter::Utf16BE, QStringConverter::Flag::Stateless);
    const QString text = decode(bytes.mid(2));
    EXPECT_FALSE(decode.hasError());
    EXPECT_EQ(bytes.size() % 2, 0);
    for (const char *line :
         {"[main]\r\n>     theme-color=255\r\n>     contrast=60\r\n", ">     transparency=211\r\n",
          ">     date-size=14\r\n", ">     time-size=36\r\n"})
        EXPECT_TRUE(text.contains(QLatin1String(line))) << line << " in " << text.toStdString();
}
