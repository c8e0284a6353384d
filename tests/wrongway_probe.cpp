// SPDX-License-Identifier: GPL-3.0-or-later
// The core stands below the frame, so this include must not be found when
// compiled against the core alone (see the layers test in CMakeLists.txt).
#include "frame/widgetform.h"
