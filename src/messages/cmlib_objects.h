#pragma once

#include <QString>

namespace tavlo {

// The program's message and link object.
class cmlib_OBJECTS final
{
public:
    // Opens a link as OpenLink does, then puts the mouse pointer back to normal
    // (a caller may have shown the wait pointer while it worked).
    void InternetLinkRun(const QString &sHwnd, const QString &LinkType, const QString &Address);
};

} // namespace tavlo
