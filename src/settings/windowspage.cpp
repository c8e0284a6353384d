// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/windowspage.h"

#include "core/cmlib_registry.h"
#include "core/convert.h"
#include "core/valuenames.h"
#include "core/widgetsettings.h"
#include "frame/widgetform.h"
#include "frame/windowops.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QVBoxLayout>

namespace tavlo {
namespace {

QString checkText(const QCheckBox *box)
{
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

WindowsPage::WindowsPage(QWidget *parent) : SettingsPage(parent)
{
    using namespace page;
    chkONTOP = named(new QCheckBox(tr("App al&ways stays on top")), "chkONTOP");
    chkSTARTUP = named(new QCheckBox(tr("Start program &automatically")), "chkSTARTUP");
    picfraWINSET = container("picfraWINSET");
    auto *boxes = new QVBoxLayout(picfraWINSET);
    boxes->addWidget(chkONTOP);
    boxes->addWidget(chkSTARTUP);
    boxes->addStretch();
    pfrFRAME = container("pfrFRAME");
    auto *inner = new QVBoxLayout(pfrFRAME);
    inner->setContentsMargins(0, 0, 0, 0);
    inner->addWidget(picfraWINSET);
    fraFRAME = frame("fraFRAME", tr("Windows settings"), pfrFRAME);
    addFrames({fraFRAME});

    connect(chkONTOP, &QCheckBox::clicked, this, [this] {
        if (WidgetForm *w = widget())
            SetOnTop(w, chkONTOP->isChecked());
    });
}

void WindowsPage::load(WidgetForm *w)
{
    bind(w);
    chkSTARTUP->setChecked(convert::val(LoadSetting(reg::ProgramLaunch, QStringLiteral("1"))) != 0);
    // Read the way the widgets read it, so "True" ticks the box too.
    chkONTOP->setChecked(
        convert::toBool(LoadSetting(reg::OnTop, QStringLiteral("1"))).value_or(false));
    if (w)
        SetOnTop(w, chkONTOP->isChecked());
}

void WindowsPage::write(WidgetValues &values) const
{
    values.programLaunch = checkText(chkSTARTUP);
    values.onTop = checkText(chkONTOP);
}

void WindowsPage::paint(const QColor &face)
{
    page::paint({pfrFRAME, picfraWINSET, chkONTOP, chkSTARTUP}, face);
}

} // namespace tavlo
