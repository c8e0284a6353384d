// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/kind.h"

namespace tavlo {
namespace {

const KindRow kDefaultRow;
const KindRow *g_running = &kDefaultRow;

} // namespace

const KindRow &runningKind()
{
    return *g_running;
}

void setRunningKind(const KindRow *row)
{
    g_running = row ? row : &kDefaultRow;
}

} // namespace tavlo
