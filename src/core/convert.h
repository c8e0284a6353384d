// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// Conversions of stored texts. Each returns nullopt where the value cannot be
// taken, so the caller keeps what it had.
namespace tavlo::convert {

// A whole or decimal number ("12", " 10.5 ", "1e2"); '.' or the locale's separator.
std::optional<double> toNumber(const QString &text);
// Rounded to the nearest whole number (ties to even) within 0-255.
std::optional<uint8_t> toByte(const QString &text);
// Rounded (ties to even) within the 32-bit signed range.
std::optional<int32_t> toLong(const QString &text);
// A finite single-precision number.
std::optional<float> toSingle(const QString &text);
// "True"/"False" in any case, or a number (non-zero is true).
std::optional<bool> toBool(const QString &text);
// The leading number of the text, 0 when it has none ("12abc" is 12).
double val(const QString &text);

// Single-precision number as stored in the settings ("4560", "10.5").
QString fromSingle(float value);

} // namespace tavlo::convert
