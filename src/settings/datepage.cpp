// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/datepage.h"

#include "core/convert.h"
#include "core/valuenames.h"
#include "core/widgetsettings.h"
#include "frame/widgetform.h"
#include "platform/desktop.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace tavlo {
namespace {

QString styleText(bool modern)
{
    return modern ? QStringLiteral("True") : QStringLiteral("False");
}

} // namespace

DatePage::DatePage(QWidget *parent) : SettingsPage(parent)
{
    using namespace page;
    const char *stateNames[] = {"optSTATE(0)", "optSTATE(1)", "optSTATE(2)"};
    const QString stateCaptions[] = {tr("Date &and Time"), tr("Date o&nly"), tr("Tim&e only")};
    auto *states = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        optSTATE[size_t(i)] = named(new QRadioButton(stateCaptions[i]), stateNames[i]);
        states->addButton(optSTATE[size_t(i)], i);
    }
    optSTYLECLASS =
        named(new QRadioButton(tr("&Classic - system format display")), "optSTYLECLASS");
    optSTYLEMOD = named(new QRadioButton(tr("M&odern - Prioritized display")), "optSTYLEMOD");
    auto *styles = new QButtonGroup(this);
    styles->addButton(optSTYLECLASS);
    styles->addButton(optSTYLEMOD);
    btnDATE = button("btnDATE", tr("&Date and time..."));
    btnINT = button("btnINT", tr("&Regional settings..."));

    picSTATS = container("picSTATS");
    auto *grid = new QGridLayout(picSTATS);
    grid->addWidget(label("lablSTATES(0)", tr("Display States")), 0, 0);
    grid->addWidget(label("lablSTATES(1)", tr("Display Style:")), 0, 1);
    for (int i = 0; i < 3; ++i)
        grid->addWidget(optSTATE[size_t(i)], i + 1, 0);
    grid->addWidget(optSTYLECLASS, 1, 1);
    grid->addWidget(optSTYLEMOD, 2, 1);
    grid->setRowMinimumHeight(4, QFontMetrics(font()).height());
    auto *tools = new QHBoxLayout;
    tools->addWidget(btnDATE);
    tools->addWidget(btnINT);
    tools->addStretch();
    grid->addLayout(tools, 5, 0, 1, 2);
    grid->setRowStretch(6, 1);
    grid->setColumnStretch(1, 1);
    fraADVSETS = frame("fraADVSETS", tr("Date and time settings"), picSTATS);
    addFrames({fraADVSETS});

    for (int i = 0; i < 3; ++i)
        connect(optSTATE[size_t(i)], &QRadioButton::clicked, this,
                [this, i] { optSTATE_Click(i); });
    connect(optSTYLECLASS, &QRadioButton::clicked, this, [this] { optSTYLE_Click(false); });
    connect(optSTYLEMOD, &QRadioButton::clicked, this, [this] { optSTYLE_Click(true); });
    connect(btnDATE, &QPushButton::clicked, this, [] { openDateTimeSettings(); });
    connect(btnINT, &QPushButton::clicked, this, [] { openRegionSettings(); });
}

void DatePage::load(WidgetForm *w)
{
    bind(w);
    const WidgetSettings stored(w ? w->widgetNumber() : std::nullopt);
    const double state = convert::val(stored.load(reg::State, QStringLiteral("0")));
    for (int i = 0; i < 3; ++i)
        optSTATE[size_t(i)]->setChecked(state == i);
    const bool modern =
        convert::toBool(stored.load(reg::StyleModern, QStringLiteral("1"))).value_or(false);
    optSTYLEMOD->setChecked(modern);
    optSTYLECLASS->setChecked(!modern);
}

void DatePage::write(WidgetValues &values) const
{
    values.styleModern = styleText(optSTYLEMOD->isChecked());
}

void DatePage::paint(const QColor &face)
{
    page::paint({picSTATS, optSTYLEMOD, optSTYLECLASS, optSTATE[0], optSTATE[1], optSTATE[2]},
                face);
}

void DatePage::optSTATE_Click(int index)
{
    if (const WidgetForm *w = widget())
        w->settings().save(reg::State, QString::number(index));
}

void DatePage::optSTYLE_Click(bool modern)
{
    if (const WidgetForm *w = widget())
        w->settings().save(reg::StyleModern, styleText(modern));
}

} // namespace tavlo
