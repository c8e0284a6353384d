// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>

namespace tavlo {

// A horizontal decorative line, drawn sunken in the palette's shades.
class OvLine final : public QFrame
{
    Q_OBJECT
public:
    explicit OvLine(QWidget *parent = nullptr);
};

} // namespace tavlo
