// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/convert.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace tavlo::convert {

std::optional<double> toNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale::system().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<uint8_t> toByte(const QString &text)
{
    const auto number = toNumber(text);
    if (!number)
        return std::nullopt;
    const double rounded = std::nearbyint(*number);
    if (rounded < 0 || rounded > 255)
        return std::nullopt;
    return uint8_t(rounded);
}

std::optional<int32_t> toLong(const QString &text)
{
    const auto number = toNumber(text);
    if (!number)
        return std::nullopt;
    const double rounded = std::nearbyint(*number);
    if (rounded < std::numeric_limits<int32_t>::min() ||
        rounded > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return int32_t(rounded);
}

std::optional<float> toSingle(const QString &text)
{
    const auto number = toNumber(text);
    if (!number || std::fabs(*number) > std::numeric_limits<float>::max())
        return std::nullopt;
    return float(*number);
}

std::optional<bool> toBool(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    const auto number = toNumber(trimmed);
    if (!number)
        return std::nullopt;
    return *number != 0;
}

double val(const QString &text)
{
    static const QRegularExpression leading(
        QStringLiteral(R"(^\s*([+-]?(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?))"));
    const auto match = leading.match(text);
    if (!match.hasMatch())
        return 0;
    const double value = match.captured(1).toDouble();
    return std::isfinite(value) ? value : 0;
}

QString fromSingle(float value)
{
    return QString::number(double(value), 'g', 7);
}

} // namespace tavlo::convert
