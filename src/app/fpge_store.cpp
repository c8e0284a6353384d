#include "app/fpge_store.h"

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
