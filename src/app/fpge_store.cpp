#include "app/fpge_store.h"

#include "core/globals.h"

#include <QComboBox>
#include <QPointer>

namespace tavlo {
namespace {

QPointer<fpge_STORE> g_menuForm;

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
