// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace tavlo {

// Whether an X server accepts a connection at the display name (nullptr:
// $DISPLAY) within timeoutMs. Answers before Qt tries, so that a missing or
// hung display ends the program with a message instead of an abort or a hang.
bool xDisplayReachable(const char *displayName, int timeoutMs);

} // namespace tavlo
