// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/themepage.h"

#include "core/twips.h"
#include "frame/widgetform.h"
#include "settings/presetstore.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace tavlo {

ThemePage::ThemePage(const PresetStore &store, QWidget *parent)
    : SettingsPage(parent), m_store(store)
{
    using namespace page;
    flbLIST = named(new QListWidget, "flbLIST");
    flbLIST->setSelectionMode(QAbstractItemView::SingleSelection);
    lblLIST = label("lblLIST", tr("Preset &list:"), flbLIST);
    // A list view does not take its name from its buddy label.
    flbLIST->setAccessibleName(tr("Preset list"));
    btnEDIT = button("btnEDIT", tr("&Edit"));
    btnNEWPRESET = button("btnNEWPRESET", tr("Create a &new preset"));
    btnDELETE = button("btnDELETE", tr("&Delete"));
    btnDELETEALL = button("btnDELETEALL", tr("Delete &All"));
    btnIMPORT = button("btnIMPORT", tr("&Import..."));
    btnEXPORT = button("btnEXPORT", tr("Exp&ort..."));

    picfraPRESETS = container("picfraPRESETS");
    auto *grid = new QGridLayout(picfraPRESETS);
    grid->addWidget(lblLIST, 0, 0);
    grid->addWidget(flbLIST, 1, 0, 8, 1);
    int row = 1;
    for (QPushButton *b : {btnEDIT, btnNEWPRESET, btnDELETE, btnDELETEALL})
        grid->addWidget(b, row++, 1);
    grid->setRowStretch(row++, 1);
    grid->addWidget(btnIMPORT, row++, 1);
    grid->addWidget(btnEXPORT, row++, 1);
    grid->setColumnStretch(0, 1);
    fraPRESETS = frame("fraPRESETS", tr("Theme presets"), picfraPRESETS);
    addFrames({fraPRESETS});
    flbLIST->setFixedHeight(twipsToPixelsY(3795));

    connect(btnEDIT, &QPushButton::clicked, this, [this] { Q_EMIT editRequested(false); });
    connect(btnNEWPRESET, &QPushButton::clicked, this, [this] { Q_EMIT editRequested(true); });
    connect(btnIMPORT, &QPushButton::clicked, this, &ThemePage::RefreshPresetList);
    connect(btnEXPORT, &QPushButton::clicked, this, &ThemePage::RefreshPresetList);
    connect(btnDELETE, &QPushButton::clicked, this, &ThemePage::btnDELETE_Click);
    connect(btnDELETEALL, &QPushButton::clicked, this, &ThemePage::btnDELETEALL_Click);
    // A click applies the entry; so does moving to one with the keyboard. A
    // press that moves the selection waits for its click, to apply once.
    connect(flbLIST, &QListWidget::itemClicked, this, &ThemePage::flbLIST_Click);
    flbLIST->viewport()->installEventFilter(this);
    connect(flbLIST, &QListWidget::currentRowChanged, this, [this] {
        if (!m_listPressed)
            flbLIST_Click();
    });
    connect(flbLIST, &QListWidget::itemDoubleClicked, this, [this] {
        if (flbLIST->currentRow() >= 0)
            Q_EMIT presetConfirmed();
    });
}

void ThemePage::load(WidgetForm *w)
{
    bind(w);
    RefreshPresetList();
    const bool loaded = blnLOADED;
    blnLOADED = false;
    flbLIST->setCurrentRow(-1);
    if (w) {
        const QString wanted = w->strSELPRESET() + QStringLiteral(".tvp");
        for (int i = 0; i < flbLIST->count(); ++i) {
            if (flbLIST->item(i)->text().compare(wanted, Qt::CaseInsensitive) == 0) {
                flbLIST->setCurrentRow(i);
                break;
            }
        }
    }
    blnLOADED = loaded;
}

void ThemePage::paint(const QColor &face)
{
    page::paint({picfraPRESETS}, face);
}

QString ThemePage::selectedFile() const
{
    return flbLIST->currentItem() ? flbLIST->currentItem()->text() : QString();
}

bool ThemePage::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == flbLIST->viewport()) {
        if (event->type() == QEvent::MouseButtonPress)
            m_listPressed = true;
        else if (event->type() == QEvent::MouseButtonRelease)
            m_listPressed = false;
    }
    return SettingsPage::eventFilter(watched, event);
}

void ThemePage::RefreshPresetList()
{
    const QString selected = selectedFile();
    const QStringList files = m_store.list();
    const bool loaded = blnLOADED;
    blnLOADED = false;
    flbLIST->clear();
    flbLIST->addItems(files);
    const int row = files.indexOf(selected);
    if (row >= 0)
        flbLIST->setCurrentRow(row);
    blnLOADED = loaded;
    btnEDIT->setEnabled(!files.isEmpty() && flbLIST->currentRow() >= 0);
    btnDELETE->setEnabled(!files.isEmpty());
    btnDELETEALL->setEnabled(!files.isEmpty());
}

void ThemePage::flbLIST_Click()
{
    if (!blnLOADED || !flbLIST->currentItem())
        return;
    Q_EMIT presetChosen(flbLIST->currentItem()->text());
    btnEDIT->setEnabled(flbLIST->currentRow() >= 0);
}

void ThemePage::btnDELETE_Click()
{
    if (QListWidgetItem *item = flbLIST->currentItem()) {
        m_store.remove(item->text());
        RefreshPresetList();
    }
}

void ThemePage::btnDELETEALL_Click()
{
    blnLOADED = false;
    // As many rounds as there were entries: a file the trash refuses comes
    // back at the top, and the rounds still end.
    const int rounds = flbLIST->count();
    for (int i = 0; i < rounds && flbLIST->count() > 0; ++i) {
        flbLIST->setCurrentRow(0);
        m_store.remove(flbLIST->item(0)->text());
        RefreshPresetList();
    }
    blnLOADED = true;
    RefreshPresetList();
}

} // namespace tavlo
