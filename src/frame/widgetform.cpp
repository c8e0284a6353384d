#include "frame/widgetform.h"

#include "app/modmain.h"

namespace tavlo {

WidgetForm::WidgetForm(const QString &formName, QWidget *parent) : QWidget(parent)
{
    setObjectName(formName);
}

int WidgetForm::widgetNumber() const
{
    bool ok = false;
    const int number = m_tag.toInt(&ok);
    return ok ? number : globals().lngSELINDEX;
}

} // namespace tavlo
