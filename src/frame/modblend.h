// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <cstdint>
#include <optional>

namespace tavlo {

// A colour 0x00BBGGRR (red in the low byte) as stored in the settings; a value
// with the top bit set names a system colour by its index.
using OleColor = int32_t;

// Colour of system colour index 0-24, taken from the application palette;
// nullopt for any other index.
std::optional<OleColor> SystemColor(int index);

// The plain colour behind colour (system colours resolved); -1 when it cannot be translated.
OleColor TranslateColorValue(OleColor colour, int32_t palette = 0);

// Mixes colourA with weight amount/255 and colourB with (255 - amount)/255 per
// channel; channels above 255 clamp, a negative channel makes the result black.
OleColor ColorBlend(OleColor colourA, OleColor colourB, int32_t amount);

// Painting form of a stored colour (system colours resolved; -1 becomes white).
QColor toQColor(OleColor colour);

} // namespace tavlo
