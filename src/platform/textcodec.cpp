// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/textcodec.h"

#include <QStringDecoder>

namespace tavlo {
namespace {

// Windows-1252 0x80-0x9F; 0 marks the five unassigned codes, read as the C1 control.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

QString decodeCp1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes) {
        const auto b = uchar(byte);
        const bool high = b >= 0x80 && b < 0xA0 && kCp1252High[b - 0x80] != 0;
        *out++ = QChar(high ? kCp1252High[b - 0x80] : char16_t(b));
    }
    return text;
}

std::optional<QByteArray> encodeCp1252(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x80 || (u >= 0xA0 && u < 0x100)) {
            bytes += char(u);
            continue;
        }
        int found = -1;
        for (int i = 0; i < 32; ++i) {
            if (kCp1252High[i] == u || (kCp1252High[i] == 0 && u == 0x80 + i))
                found = i;
        }
        if (found < 0)
            return std::nullopt;
        bytes += char(0x80 + found);
    }
    return bytes;
}

std::optional<QString> decodeUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless |
                                                     QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

} // namespace tavlo
