// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/presetpage.h"

#include "controls/ovctrls/buttonpalette.h"
#include "core/widgetsettings.h"
#include "frame/modfileread.h"
#include "frame/widgetform.h"
#include "platform/profilefile.h"
#include "settings/presetstore.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace tavlo {

PresetPage::PresetPage(QWidget *parent) : SettingsPage(parent)
{
    using namespace page;
    btnpCOLOR = named(new ButtonPalette, "btnpCOLOR");
    hscVALUE = named(new QScrollBar(Qt::Horizontal), "hscVALUE");
    hscVALUE->setRange(10, 255);
    hscCONTRAST = named(new QScrollBar(Qt::Horizontal), "hscCONTRAST");
    hscCONTRAST->setRange(0, 255);
    for (QScrollBar *bar : {hscVALUE, hscCONTRAST}) {
        bar->setPageStep(50);
        // These set a value rather than scroll a view: Page Up, Up and Right
        // raise it, as the desktop's sliders do (a scroll bar lowers it).
        bar->setInvertedControls(false);
        bar->setFocusPolicy(Qt::StrongFocus);
        bar->setMinimumWidth(QFontMetrics(font()).averageCharWidth() * 36);
    }
    lblCOLOR = label("lblCOLOR", tr("&Color:"), btnpCOLOR);
    btnpCOLOR->setAccessibleName(tr("Theme color"));
    lblVALUE = label("lblVALUE", tr("&Transparency:"), hscVALUE);
    lblCONTRAST = label("lblCONTRAST", tr("Co&ntrast:"), hscCONTRAST);

    picPRESETSET = container("picPRESETSET");
    auto *form = new QFormLayout(picPRESETSET);
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    form->setVerticalSpacing(QFontMetrics(font()).height() / 2);
    auto *colourRow = new QHBoxLayout;
    colourRow->addWidget(btnpCOLOR);
    colourRow->addStretch();
    form->addRow(lblCOLOR, colourRow);
    // The number beside each slider shows where the thumb stands.
    const auto sliderRow = [this](QScrollBar *bar, const char *name) {
        auto *number = label(name, QString::number(bar->maximum()));
        number->setMinimumWidth(QFontMetrics(font()).horizontalAdvance(QStringLiteral("0000")));
        number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        connect(bar, &QScrollBar::valueChanged, number,
                [number](int value) { number->setNum(value); });
        number->setNum(bar->value());
        auto *row = new QHBoxLayout;
        row->addWidget(bar, 1);
        row->addWidget(number);
        return row;
    };
    form->addRow(lblVALUE, sliderRow(hscVALUE, "lblVALUENUMBER"));
    form->addRow(lblCONTRAST, sliderRow(hscCONTRAST, "lblCONTRASTNUMBER"));
    fraTRANS = frame("fraTRANS", tr("Preset settings"), picPRESETSET);

    txtPRESETNEW = named(new QLineEdit, "txtPRESETNEW");
    lblNAME = label("lblNAME", tr("C&aption:"), txtPRESETNEW);
    btnNEW = button("btnNEW", tr("Add/&Update"));
    picfraPRESETNEW = container("picfraPRESETNEW");
    auto *row = new QHBoxLayout(picfraPRESETNEW);
    row->addWidget(lblNAME);
    row->addWidget(txtPRESETNEW, 1);
    row->addWidget(btnNEW);
    fraPRESETMAKE = frame("fraPRESETMAKE", tr("Preset name"), picfraPRESETNEW);
    addFrames({fraTRANS, fraPRESETMAKE}, true);

    connect(hscVALUE, &QScrollBar::valueChanged, this, &PresetPage::hscVALUE_Change);
    connect(hscCONTRAST, &QScrollBar::valueChanged, this, &PresetPage::hscCONTRAST_Change);
    connect(btnpCOLOR, &ButtonPalette::ColorChosen, this, &PresetPage::btnpCOLOR_ColorChosen);
    connect(btnNEW, &QPushButton::clicked, this, &PresetPage::addRequested);
}

void PresetPage::load(WidgetForm *w)
{
    bind(w);
    if (!w)
        return;
    hscVALUE->setValue(w->lngTRANSVALCUST());
    hscCONTRAST->setValue(w->lngTRANSVALCONTRAST());
    btnpCOLOR->setColor(w->lngTHEMECOLOR());
    txtPRESETNEW->setText(w->strSELPRESET());
}

void PresetPage::write(WidgetValues &values) const
{
    values.color = QString::number(btnpCOLOR->color());
}

void PresetPage::paint(const QColor &face)
{
    btnpCOLOR->setBackColor(face);
    page::paint({picPRESETSET, picfraPRESETNEW}, face);
}

void PresetPage::hscVALUE_Change(int value)
{
    WidgetForm *w = widget();
    if (!w)
        return;
    const auto alpha = uint8_t(std::clamp(value, 0, 255));
    w->setLngTRANSVAL(alpha);
    w->setLngTRANSVALCUST(alpha);
    w->updateparts();
}

void PresetPage::hscCONTRAST_Change(int value)
{
    if (WidgetForm *w = widget()) {
        w->setLngTRANSVALCONTRAST(value);
        w->updateparts();
    }
}

void PresetPage::btnpCOLOR_ColorChosen(OleColor colour)
{
    if (WidgetForm *w = widget()) {
        w->setLngTHEMECOLOR(colour);
        w->ColorUpdate();
    }
}

void PresetPage::writePreset(ProfileFile &preset) const
{
    PresetStore::put(preset, kPresetMain, "theme-color", QString::number(btnpCOLOR->color()));
    PresetStore::put(preset, kPresetMain, "transparency", QString::number(hscVALUE->value()));
    PresetStore::put(preset, kPresetMain, "contrast", QString::number(hscCONTRAST->value()));
}

void PresetPage::applyPreset()
{
    if (const auto colour = presetvalue::colour(ReadPresetValue(
            kPresetMain, QStringLiteral("theme-color"), QString::number(btnpCOLOR->color())))) {
        btnpCOLOR->setColor(*colour);
        if (WidgetForm *w = widget())
            w->setLngTHEMECOLOR(btnpCOLOR->color());
    }
    // A scroll bar refuses a value outside its range rather than clamping it;
    // a value it takes reaches the widget through its change handler.
    const auto toSlider = [](QScrollBar *bar, const char *key) {
        const auto value = presetvalue::whole(
            ReadPresetValue(kPresetMain, QLatin1String(key), QString::number(bar->value())));
        if (value && *value >= bar->minimum() && *value <= bar->maximum())
            bar->setValue(*value);
    };
    toSlider(hscVALUE, "transparency");
    toSlider(hscCONTRAST, "contrast");
}

} // namespace tavlo
