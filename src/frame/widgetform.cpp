// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/widgetform.h"

#include "core/cmlib_registry.h"
#include "core/convert.h"
#include "core/twips.h"
#include "frame/controls.h"

namespace tavlo {

WidgetForm::WidgetForm(const QString &formName, QWidget *parent) : QWidget(parent)
{
    setObjectName(formName);
}

std::optional<int> WidgetForm::widgetNumber() const
{
    bool ok = false;
    const int number = m_tag.toInt(&ok);
    return ok ? std::optional<int>(number) : std::nullopt;
}

WidgetValues widgetValues(const WidgetForm &w)
{
    WidgetValues values;
    if (const QWidget *surface = w.mainPart()) {
        values.photo = surface->property("Tag").toString();
        values.photoWidth = convert::fromSingle(float(surface->width() * twipsPerPixelX()));
        values.photoHeight = convert::fromSingle(float(surface->height() * twipsPerPixelY()));
    }
    if (const auto *placement = dynamic_cast<const FormPlacement *>(&w)) {
        values.photoLeft = convert::fromSingle(float(placement->formLeft()));
        values.photoTop = convert::fromSingle(float(placement->formTop()));
    }
    values.selectedPreset = w.strSELPRESET();
    values.transparency = QString::number(w.lngTRANSVAL());
    values.contrast = QString::number(w.lngTRANSVALCONTRAST());
    if (const Label *date = w.dateLabel()) {
        values.dateFont = date->FontName();
        values.dateAlign = QString::number(date->textAlign());
        values.dateSize = convert::fromSingle(date->FontSize());
        values.dateColor = QString::number(date->ForeColor());
    }
    if (const Label *time = w.timeLabel()) {
        values.timeFont = time->FontName();
        values.timeAlign = QString::number(time->textAlign());
        values.timeSize = convert::fromSingle(time->FontSize());
        values.timeColor = QString::number(time->ForeColor());
    }
    values.color = QString::number(w.lngTHEMECOLOR());
    values.onTop = w.windowFlags().testFlag(Qt::WindowStaysOnTopHint) ? QStringLiteral("1")
                                                                      : QStringLiteral("0");
    return values;
}

} // namespace tavlo
