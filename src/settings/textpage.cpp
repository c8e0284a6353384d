// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/textpage.h"

#include "controls/ovctrls/buttonpalette.h"
#include "core/convert.h"
#include "core/kind.h"
#include "core/widgetsettings.h"
#include "frame/controls.h"
#include "frame/modfileread.h"
#include "frame/widgetform.h"
#include "platform/profilefile.h"
#include "settings/fontlists.h"
#include "settings/presetstore.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <cmath>

namespace tavlo {

TextPage::TextPage(QWidget *parent) : SettingsPage(parent)
{
    using namespace page;
    cboTIMEFONT = combo("cboTIMEFONT", true);
    cboTIMESIZE = combo("cboTIMESIZE", true);
    btnpTIME = named(new ButtonPalette, "btnpTIME");
    cboALIGNTIME = combo("cboALIGNTIME", false);
    cboDATEFONT = combo("cboDATEFONT", true);
    cboDATESIZE = combo("cboDATESIZE", true);
    btnpDATE = named(new ButtonPalette, "btnpDATE");
    cboALIGNDATE = combo("cboALIGNDATE", false);
    lblTIME = label("lblTIME", tr("Typ&e1:"), cboTIMEFONT);
    lblDATE = label("lblDATE", tr("&Type2:"), cboDATEFONT);
    const int chars = QFontMetrics(font()).averageCharWidth();
    for (QComboBox *box : {cboTIMEFONT, cboDATEFONT})
        box->setMinimumWidth(chars * 24);
    for (QComboBox *box : {cboTIMESIZE, cboDATESIZE})
        box->setMinimumWidth(chars * 9);

    picTEXTBOX = container("picTEXTBOX");
    auto *grid = new QGridLayout(picTEXTBOX);
    const QString headers[] = {tr("Font"), tr("Size"), tr("Color"), tr("Alignment")};
    const char *headerNames[] = {"lblHEADFONT", "lblHEADSIZE", "lblHEADCOLOR", "lblHEADALIGN"};
    for (int i = 0; i < 4; ++i)
        grid->addWidget(label(headerNames[i], headers[i]), 0, i + 1);
    QLabel *captions[] = {lblTIME, lblDATE};
    for (int r = 0; r < 2; ++r) {
        const Row row = rows()[size_t(r)];
        int column = 0;
        for (QWidget *w : std::initializer_list<QWidget *>{captions[r], row.font, row.size,
                                                           row.colour, row.align})
            grid->addWidget(w, r + 1, column++);
    }
    // The size, colour and alignment boxes share their row's caption with
    // the font box; an unseen label of their own names each ("Time size") to
    // assistive technology.
    for (size_t r = 0; r < m_buddies.size(); ++r) {
        const Row row = rows()[r];
        QWidget *controls[] = {row.size, row.colour, row.align};
        for (size_t c = 0; c < m_buddies[r].size(); ++c) {
            auto *buddy = new QLabel(picTEXTBOX);
            buddy->setBuddy(controls[c]);
            buddy->hide();
            m_buddies[r][c] = buddy;
        }
    }
    nameRowControls();
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(1, 1);
    fraFORMAT = frame("fraFORMAT", tr("Preset Text setting"), picTEXTBOX);
    addFrames({fraFORMAT});

    for (const Row &row : rows()) {
        const auto onChoice = [this, row](QComboBox *box, void (TextPage::*handler)(const Row &)) {
            connect(box, &QComboBox::activated, this, [=, this] { (this->*handler)(row); });
            if (box->lineEdit())
                connect(box->lineEdit(), &QLineEdit::returnPressed, this,
                        [=, this] { (this->*handler)(row); });
        };
        onChoice(row.font, &TextPage::cboFONT_Click);
        onChoice(row.size, &TextPage::cboSIZE_Click);
        onChoice(row.align, &TextPage::cboALIGN_Click);
        connect(row.colour, &ButtonPalette::ColorChosen, this,
                [this, row](OleColor colour) { btnpCOLOR_ColorChosen(row, colour); });
    }
}

std::array<TextPage::Row, 2> TextPage::rows() const
{
    return {
        {{"time", cboTIMEFONT, cboTIMESIZE, btnpTIME, cboALIGNTIME, &WidgetInterface::timeLabel},
         {"date", cboDATEFONT, cboDATESIZE, btnpDATE, cboALIGNDATE, &WidgetInterface::dateLabel}}};
}

void TextPage::nameRowControls()
{
    const QLabel *captions[] = {lblTIME, lblDATE};
    for (size_t r = 0; r < m_buddies.size(); ++r) {
        // "&Time:" names the row "Time".
        QString row = captions[r]->text().remove(QLatin1Char('&')).trimmed();
        if (row.endsWith(QLatin1Char(':')))
            row.chop(1);
        m_buddies[r][0]->setText(tr("%1 size").arg(row));
        m_buddies[r][1]->setText(tr("%1 color").arg(row));
        m_buddies[r][2]->setText(tr("%1 alignment").arg(row));
    }
}

Label *TextPage::part(const Row &row) const
{
    const WidgetForm *w = widget();
    return w ? (w->*row.part)() : nullptr;
}

void TextPage::setUp(const KindRow &kind)
{
    if (kind.timeRowCaption)
        lblTIME->setText(tr(kind.timeRowCaption));
    if (kind.dateRowCaption)
        lblDATE->setText(tr(kind.dateRowCaption));
    if (kind.singleTextRow) {
        // Only the first row edits anything on a note.
        for (QWidget *w : std::initializer_list<QWidget *>{lblDATE, cboDATEFONT, cboDATESIZE,
                                                           btnpDATE, cboALIGNDATE})
            w->hide();
    }
    for (QComboBox *box : {cboALIGNTIME, cboALIGNDATE}) {
        box->clear();
        box->addItems({tr("Left"), tr("Right"), tr("Center")});
        box->setCurrentIndex(0);
    }
    nameRowControls();
    FillFontList(cboTIMEFONT);
    FillFontList(cboDATEFONT);
    FillSizeList(cboDATESIZE);
    FillSizeList(cboTIMESIZE);
}

void TextPage::load(WidgetForm *w)
{
    bind(w);
    // Date row first, as the dialog has always filled them.
    const auto all = rows();
    for (auto it = all.crbegin(); it != all.crend(); ++it) {
        const Row &row = *it;
        if (const Label *label = part(row)) {
            showInCombo(row.font, plainFamilyName(label->FontName()));
            showInCombo(row.size, QString::number(std::lround(label->FontSize())));
            row.align->setCurrentIndex(label->textAlign());
            row.colour->setColor(label->ForeColor());
        }
    }
}

void TextPage::write(WidgetValues &values, bool withAligns) const
{
    values.dateFont = cboDATEFONT->currentText();
    values.dateSize = cboDATESIZE->currentText();
    values.dateColor = QString::number(btnpDATE->color());
    values.timeFont = cboTIMEFONT->currentText();
    values.timeSize = cboTIMESIZE->currentText();
    values.timeColor = QString::number(btnpTIME->color());
    if (withAligns) {
        values.dateAlign = QString::number(cboALIGNDATE->currentIndex());
        values.timeAlign = QString::number(cboALIGNTIME->currentIndex());
    }
}

void TextPage::paint(const QColor &face)
{
    btnpTIME->setBackColor(face);
    btnpDATE->setBackColor(face);
    page::paint({picTEXTBOX}, face);
}

void TextPage::cboFONT_Click(const Row &row)
{
    Label *label = part(row);
    const QString name = row.font->currentText().trimmed();
    if (!label || name.isEmpty())
        return;
    label->setFontName(name);
    label->setFontBold(false);
    label->setFontItalic(false);
    widget()->updateparts();
}

void TextPage::cboSIZE_Click(const Row &row)
{
    Label *label = part(row);
    const auto size = convert::toSingle(row.size->currentText());
    if (!label || !size)
        return;
    label->setFontSize(*size);
    widget()->updateparts();
}

void TextPage::cboALIGN_Click(const Row &row)
{
    // Filling the boxes while the dialog loads hidden leaves the widget alone.
    if (!window()->isVisible())
        return;
    if (Label *label = part(row)) {
        label->setTextAlign(row.align->currentIndex());
        widget()->updateparts();
    }
}

void TextPage::btnpCOLOR_ColorChosen(const Row &row, OleColor colour)
{
    if (Label *label = part(row)) {
        label->setForeColor(colour);
        widget()->updateparts();
    }
}

void TextPage::writePreset(ProfileFile &preset) const
{
    const auto put = [&preset](const char *key, const QString &value) {
        PresetStore::put(preset, kPresetText, key, value);
    };
    put("time-align", QString::number(cboALIGNTIME->currentIndex()));
    put("time-font", cboTIMEFONT->currentText());
    put("time-size", cboTIMESIZE->currentText());
    put("date-align", QString::number(cboALIGNDATE->currentIndex()));
    put("date-font", cboDATEFONT->currentText());
    put("date-size", cboDATESIZE->currentText());
    put("date-color", QString::number(btnpDATE->color()));
    put("time-color", QString::number(btnpTIME->color()));
}

void TextPage::applyPreset()
{
    for (const Row &row : rows()) {
        const auto read = [&row](const char *key, const QString &defaultText) {
            return ReadPresetValue(
                kPresetText, QLatin1String(row.prefix) + QLatin1Char('-') + QLatin1String(key),
                defaultText);
        };
        const QString font = plainFamilyName(read("font", row.font->currentText()));
        showInCombo(row.font, font);
        const QString sizeText = read("size", row.size->currentText());
        const auto size = presetvalue::size(sizeText);
        if (size)
            showInCombo(row.size, sizeText);
        if (const auto colour =
                presetvalue::colour(read("color", QString::number(row.colour->color()))))
            row.colour->setColor(*colour);
        const auto align =
            presetvalue::whole(read("align", QString::number(row.align->currentIndex())));
        if (align && *align >= 0 && *align < row.align->count())
            row.align->setCurrentIndex(*align);

        if (Label *label = part(row)) {
            label->setTextAlign(row.align->currentIndex());
            if (size)
                label->setFontSize(*size);
            if (!font.isEmpty())
                label->setFontName(font);
            label->setForeColor(row.colour->color());
        }
    }
}

} // namespace tavlo
