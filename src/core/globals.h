// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/cmlib_registry.h"

#include <QString>
#include <memory>

namespace tavlo {

// The program-wide values, one copy per process: the title and what follows
// from it, the settings store and the message font. The widgets themselves
// are kept by the widget set.
struct MainGlobals
{
    QString strAPPTITLE;
    std::unique_ptr<cmlib_REGISTRY> objREGISTRY;

    QString strREGROOT;
    QString strVERSION;
    QString strVERSIONTEXT;
    QString strRIGHTS;
    QString strPROGRAMFOLDER;
    QString strUPDATEFILE;
    QString strVERSIONURL;
    QString strNEWERURL;
    QString strAPPSURL;
    QString strDONATEURL;
    QString strMSGFONTNAME;
    QString strMSGFONTSIZE;
};

MainGlobals &globals();

// The store key all of the program titled title lives under (strREGROOT).
inline QString registryRoot(const QString &title)
{
    return QStringLiteral("SOFTWARE\\") + title + QLatin1Char('\\');
}

} // namespace tavlo
