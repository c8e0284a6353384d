// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/kind.h"

#include <QString>
#include <span>

namespace tavlo {

class WidgetForm;

// One kind of widget: what the program knows of it, and how its form is made.
struct KindTableRow
{
    KindRow kind;
    // A new widget form of this kind; nullptr while this build has none.
    WidgetForm *(*make)() = nullptr;
};

// The seven kinds, in the order their titles are compared.
std::span<const KindTableRow> kindTable();
// The row of title; any other title runs a clock under a row of its own.
const KindTableRow &kindRow(const QString &title);
// The row of the widgets the menu's New makes in a program of title: notes
// in the notes program, photo frames in every other.
const KindTableRow &newWidgetRow(const QString &title);

} // namespace tavlo
