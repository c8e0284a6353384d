// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace tavlo::test {

// The XDG folders the running test was given; each test gets fresh ones.
QString configHome();
QString dataHome();

} // namespace tavlo::test
