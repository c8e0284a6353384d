#include "messages/cmlib_objects.h"

#include "messages/modinternet.h"

#include <QGuiApplication>

namespace tavlo {

void cmlib_OBJECTS::InternetLinkRun(const QString &sHwnd, const QString &LinkType,
                                    const QString &Address)
{
    OpenLink(sHwnd, LinkType, Address);
    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();
}

} // namespace tavlo
