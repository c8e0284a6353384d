// The preset part of the settings dialog: the list on the Theme page,
// applying a preset, saving one, deleting them.
#include "settings/fdlg_settings.h"

#include "controls/ovctrls/buttonpalette.h"
#include "core/convert.h"
#include "core/globals.h"
#include "core/kind.h"
#include "frame/controls.h"
#include "frame/modblend.h"
#include "frame/modfileread.h"
#include "frame/widgetform.h"
#include "platform/desktop.h"
#include "platform/profilefile.h"
#include "settings/fontlists.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace tavlo {
namespace {

const QString kMain = QStringLiteral("main");
const QString kText = QStringLiteral("text");
const QString kPreset = QStringLiteral("preset");

// A colour a palette button takes: a plain colour or a known system colour.
std::optional<OleColor> colourValue(const QString &text)
{
    const auto number = convert::toLong(text);
    if (!number || TranslateColorValue(*number) == -1)
        return std::nullopt;
    return *number;
}

// A whole number as a 16-bit integer takes it.
std::optional<int> shortValue(const QString &text)
{
    const auto number = convert::toLong(text);
    if (!number || *number < -32768 || *number > 32767)
        return std::nullopt;
    return int(*number);
}

std::optional<float> sizeValue(const QString &text)
{
    const auto size = convert::toSingle(text);
    if (!size || !(*size > 0) || *size > 2048)
        return std::nullopt;
    return size;
}

} // namespace

QString fdlg_SETTINGS::presetNameProblem(const QString &caption)
{
    if (caption.isEmpty())
        return tr("You need to select a preset name");
    if (caption.contains(QLatin1Char('/')))
        return tr("A preset name cannot contain \"/\".");
    if (caption.contains(QChar(0)))
        return tr("A preset name cannot contain a NUL character.");
    if (caption == QLatin1String(".") || caption == QLatin1String(".."))
        return tr("A preset name cannot be \".\" or \"..\".");
    return {};
}

QString fdlg_SETTINGS::presetPath(const QString &fileName) const
{
    return globals().strPROGRAMFOLDER + QStringLiteral("/presets/") + fileName;
}

void fdlg_SETTINGS::flbLIST_Click()
{
    if (!blnLOADED || !flbLIST->currentItem())
        return;
    SetPresetFile(presetPath(flbLIST->currentItem()->text()));
    ApplyPreset();
    btnEDIT->setEnabled(flbLIST->currentRow() >= 0);
}

void fdlg_SETTINGS::flbLIST_DblClick()
{
    if (flbLIST->currentRow() >= 0)
        btnOK_Click();
}

void fdlg_SETTINGS::ApplyPreset()
{
    // A refused file (too large, not a regular file) changes nothing at all.
    if (!LoadPresetFile())
        return;
    // Completing the file's missing keys rewrites it once, at the end.
    const PresetWriteBatch batch;
    WidgetForm *w = currentWidget();
    if (w)
        w->setUpdatesEnabled(false);

    if (const auto colour = colourValue(ReadPresetValue(kMain, QStringLiteral("theme-color"),
                                                        QString::number(btnpCOLOR->color())))) {
        btnpCOLOR->setColor(*colour);
        if (w)
            w->setLngTHEMECOLOR(btnpCOLOR->color());
    }
    // A scroll bar refuses a value outside its range rather than clamping it.
    const auto toSlider = [](QScrollBar *bar, const QString &text) {
        const auto value = shortValue(text);
        if (value && *value >= bar->minimum() && *value <= bar->maximum())
            bar->setValue(*value);
    };
    toSlider(hscVALUE, ReadPresetValue(kMain, QStringLiteral("transparency"),
                                       QString::number(hscVALUE->value())));
    toSlider(hscCONTRAST, ReadPresetValue(kMain, QStringLiteral("contrast"),
                                          QString::number(hscCONTRAST->value())));

    struct Row
    {
        const char *prefix;
        QComboBox *font;
        QComboBox *size;
        ButtonPalette *colour;
        QComboBox *align;
        const char *label;
    };
    const Row rows[] = {{"time", cboTIMEFONT, cboTIMESIZE, btnpTIME, cboALIGNTIME, "lblTIME"},
                        {"date", cboDATEFONT, cboDATESIZE, btnpDATE, cboALIGNDATE, "lblDATE"}};
    for (const Row &row : rows) {
        const QString prefix = QLatin1String(row.prefix);
        const QString font = plainFamilyName(
            ReadPresetValue(kText, prefix + QStringLiteral("-font"), row.font->currentText()));
        showInCombo(row.font, font);
        const QString sizeText =
            ReadPresetValue(kText, prefix + QStringLiteral("-size"), row.size->currentText());
        const auto size = sizeValue(sizeText);
        if (size)
            showInCombo(row.size, sizeText);
        const auto colour = colourValue(ReadPresetValue(kText, prefix + QStringLiteral("-color"),
                                                        QString::number(row.colour->color())));
        if (colour)
            row.colour->setColor(*colour);
        const auto align = shortValue(ReadPresetValue(kText, prefix + QStringLiteral("-align"),
                                                      QString::number(row.align->currentIndex())));
        if (align && *align >= 0 && *align < row.align->count())
            row.align->setCurrentIndex(*align);

        if (Label *part = widgetLabel(row.label)) {
            part->setTextAlign(row.align->currentIndex());
            if (size)
                part->setFontSize(*size);
            if (!font.isEmpty())
                part->setFontName(font);
            part->setForeColor(row.colour->color());
        }
    }

    QString name = flbLIST->currentItem() ? flbLIST->currentItem()->text() : QString();
    name.chop(4);
    txtPRESETNEW->setText(name);
    if (w) {
        if (runningKind().presetStartsPartsTimer) {
            if (QTimer *timer = w->partsTimer())
                timer->start();
        }
        w->updateparts();
        w->ColorUpdate();
        w->updateparts();
        w->setStrSELPRESET(txtPRESETNEW->text());
        w->setUpdatesEnabled(true);
    }
}

void fdlg_SETTINGS::btnNEW_Click()
{
    const QString caption = txtPRESETNEW->text();
    const QString problem = presetNameProblem(caption);
    if (!problem.isEmpty()) {
        desktop().message(this, globals().strAPPTITLE, problem);
        txtPRESETNEW->setFocus();
        return;
    }
    // The whole preset is built first and replaces any file of that name in
    // one step, so an old preset is never half overwritten.
    ProfileFile preset;
    const auto put = [&preset](const QString &section, const char *key, const QString &value) {
        preset.setValue(section, kPresetKeyPrefix + QLatin1String(key), value);
    };
    put(kMain, "theme-color", QString::number(btnpCOLOR->color()));
    put(kMain, "transparency", QString::number(hscVALUE->value()));
    put(kMain, "contrast", QString::number(hscCONTRAST->value()));
    put(kText, "time-align", QString::number(cboALIGNTIME->currentIndex()));
    put(kText, "time-font", cboTIMEFONT->currentText());
    put(kText, "time-size", cboTIMESIZE->currentText());
    put(kText, "date-align", QString::number(cboALIGNDATE->currentIndex()));
    put(kText, "date-font", cboDATEFONT->currentText());
    put(kText, "date-size", cboDATESIZE->currentText());
    put(kText, "date-color", QString::number(btnpDATE->color()));
    put(kText, "time-color", QString::number(btnpTIME->color()));
    put(kPreset, "caption", caption.trimmed());
    const QString path = presetPath(caption + QStringLiteral(".tvp"));
    preset.save(path);
    SetPresetFile(path);
}

void fdlg_SETTINGS::btnDELETE_Click()
{
    if (QListWidgetItem *item = flbLIST->currentItem()) {
        desktop().moveToTrash(presetPath(item->text()));
        RefreshPresetList();
    }
}

void fdlg_SETTINGS::btnDELETEALL_Click()
{
    blnLOADED = false;
    const int rounds = flbLIST->count();
    for (int i = 0; i < rounds; ++i) {
        if (flbLIST->count() == 0)
            break;
        flbLIST->setCurrentRow(0);
        desktop().moveToTrash(presetPath(flbLIST->item(0)->text()));
        RefreshPresetList();
    }
    blnLOADED = true;
    RefreshPresetList();
}

} // namespace tavlo
