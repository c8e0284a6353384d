// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/fpge_store.h"

#include "app/kindtable.h"
#include "app/modmain.h"
#include "core/globals.h"
#include "frame/commondialog.h"
#include "frame/resizableframe.h"
#include "frame/widgetset.h"
#include "messages/modinternet.h"

#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QPointer>
#include <memory>

namespace tavlo {
namespace {

QPointer<fpge_STORE> g_menuForm;

ResizableFrame *currentFrame()
{
    return dynamic_cast<ResizableFrame *>(widgetSet().current());
}

QAction *menuItem(QMenu *menu, const char *name, const QString &caption)
{
    QAction *item = caption.isEmpty() ? menu->addSeparator() : menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    return item;
}

} // namespace

fpge_STORE::fpge_STORE(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("fpge_STORE"));
    cboDEFAULT = new QComboBox(this);
    cboDEFAULT->setObjectName(QStringLiteral("cboDEFAULT"));
    cboDEFAULT->setEditable(true);
    cboDEFAULT->setEditText(QStringLiteral("Combo"));
    // The box carries the message font size from the start.
    QFont font = cboDEFAULT->font();
    if (const int size = globals().strMSGFONTSIZE.toInt(); size > 0)
        font.setPointSize(size);
    cboDEFAULT->setFont(font);

    dlgFILE = new CommonDialog(this);

    mnuFilePhotoTop = new QMenu(QStringLiteral("&photo"), this);
    mnuFilePhotoTop->setObjectName(QStringLiteral("mnuFilePhotoTop"));
    mnuFILEINSERT =
        menuItem(mnuFilePhotoTop, "mnuFILEINSERT", QStringLiteral("Bro&wse for a file..."));
    mnuFILENEW = menuItem(mnuFilePhotoTop, "mnuFILENEW", QStringLiteral("Create a &new box"));
    mnuFILESEP01 = menuItem(mnuFilePhotoTop, "mnuFILESEP01", QString());
    mnuFILECLOSE =
        menuItem(mnuFilePhotoTop, "mnuFILECLOSE", QStringLiteral("&Close the selected box"));
    mnuFILESETTINGS =
        menuItem(mnuFilePhotoTop, "mnuFILESETTINGS", QStringLiteral("&Edit settings..."));
    mnuFILESEP02 = menuItem(mnuFilePhotoTop, "mnuFILESEP02", QString());
    mnuFILEDOWNLOAD =
        menuItem(mnuFilePhotoTop, "mnuFILEDOWNLOAD", QStringLiteral("&Download more Tavlo Apps"));
    mnuFILEEXIT = menuItem(mnuFilePhotoTop, "mnuFILEEXIT", QStringLiteral("E&xit program"));
    connectControls();
}

void fpge_STORE::connectControls()
{
    // A command runs once the menu has closed, from the event loop: Exit
    // unloads this form, which must not happen inside the menu's own signal.
    const auto command = [](QAction *item, void (fpge_STORE::*handler)()) {
        QObject::connect(
            item, &QAction::triggered, qApp, [handler] { (menuForm().*handler)(); },
            Qt::QueuedConnection);
    };
    command(mnuFILEINSERT, &fpge_STORE::mnuFILEINSERT_Click);
    command(mnuFILENEW, &fpge_STORE::mnuFILENEW_Click);
    command(mnuFILECLOSE, &fpge_STORE::mnuFILECLOSE_Click);
    command(mnuFILESETTINGS, &fpge_STORE::mnuFILESETTINGS_Click);
    command(mnuFILEDOWNLOAD, &fpge_STORE::mnuFILEDOWNLOAD_Click);
    command(mnuFILEEXIT, &fpge_STORE::mnuFILEEXIT_Click);
}

void fpge_STORE::mnuFILEINSERT_Click()
{
    if (ResizableFrame *frame = currentFrame())
        frame->picopen();
}

void fpge_STORE::mnuFILENEW_Click()
{
    const KindTableRow &row = newWidgetRow(globals().strAPPTITLE);
    WidgetSet &set = widgetSet();
    if (!row.make || set.lngLASTINDEX() + 1 >= kWidgetSlots)
        return;
    std::unique_ptr<WidgetForm> made(row.make());
    const auto number = set.addNew(made.get());
    if (!number)
        return;
    WidgetForm *form = made.release();
    connectWidget(form);
    if (auto *frame = dynamic_cast<ResizableFrame *>(form)) {
        frame->loadHidden();
        frame->showLoaded();
    } else {
        form->Form_Load();
    }
    set.setCurrent(*number);
}

void fpge_STORE::mnuFILECLOSE_Click()
{
    WidgetSet &set = widgetSet();
    WidgetForm *form = set.current();
    if (!form)
        return;
    // Left out of the saved set: only a main part that holds something is kept.
    if (QWidget *surface = form->mainPart())
        surface->setProperty("Tag", QString());
    set.close(set.lngSELINDEX());
    if (set.lngOPENCOUNT() <= 0)
        OrderlyExit();
}

void fpge_STORE::mnuFILESETTINGS_Click()
{
    if (ResizableFrame *frame = currentFrame())
        frame->PresetOpen(2);
}

void fpge_STORE::mnuFILEDOWNLOAD_Click()
{
    OpenLink(QString::number(internalWinId()), QString(), globals().strAPPSURL);
}

void fpge_STORE::mnuFILEEXIT_Click()
{
    // Unloads this form among all the others: nothing of it is used after.
    OrderlyExit();
}

fpge_STORE &menuForm()
{
    if (!g_menuForm)
        g_menuForm = new fpge_STORE;
    return *g_menuForm;
}

void unloadMenuForm()
{
    delete g_menuForm.data();
}

} // namespace tavlo
