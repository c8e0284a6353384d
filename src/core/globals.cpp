// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/globals.h"

namespace tavlo {

MainGlobals &globals()
{
    // Never destroyed: the settings writer must not be torn down after Qt is.
    static auto *g = new MainGlobals;
    return *g;
}

} // namespace tavlo
