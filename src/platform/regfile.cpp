// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/regfile.h"

#include <QStringDecoder>
#include <QtEndian>

namespace tavlo {

namespace {

const QLatin1String kHeader5("Windows Registry Editor Version 5.00");
const QLatin1String kHeader4("REGEDIT4");
const QLatin1String kCurrentUser("HKEY_CURRENT_USER");
const QLatin1String kLocalMachine("HKEY_LOCAL_MACHINE");

// Where regedit wraps hex data: after the comma that passes this column.
constexpr int kWrapColumn = 76;

class ParseError
{
public:
    QString message;
};

QString utf16ToString(const QByteArray &bytes, qsizetype from, bool littleEndian)
{
    QString text;
    text.resize((bytes.size() - from) / 2);
    const auto *p = reinterpret_cast<const uchar *>(bytes.constData()) + from;
    for (qsizetype i = 0; i < text.size(); ++i, p += 2)
        text[i] = QChar(littleEndian ? qFromLittleEndian<quint16>(p) : qFromBigEndian<quint16>(p));
    return text;
}

QByteArray stringToUtf16Le(const QString &text)
{
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    auto *p = reinterpret_cast<uchar *>(bytes.data());
    for (QChar c : text) {
        qToLittleEndian<quint16>(c.unicode(), p);
        p += 2;
    }
    return bytes;
}

// The file's text; error when it is neither UTF-16 with BOM nor UTF-8.
std::optional<QString> decodeFile(const QByteArray &bytes, QString *error)
{
    const auto odd = [error] {
        if (error)
            *error = QStringLiteral("the file ends in the middle of a UTF-16 character");
        return std::nullopt;
    };
    if (bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff")) {
        if (bytes.size() % 2 != 0)
            return odd();
        return utf16ToString(bytes, 2, bytes.startsWith("\xff\xfe"));
    }
    // UTF-16LE without BOM, as some tools write it: "W\0i\0n\0...".
    if (bytes.size() >= 2 && bytes[0] != '\0' && bytes[1] == '\0') {
        if (bytes.size() % 2 != 0)
            return odd();
        return utf16ToString(bytes, 0, true);
    }
    const QByteArray body = bytes.startsWith("\xef\xbb\xbf") ? bytes.mid(3) : bytes;
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = decoder(body);
    if (!decoder.hasError())
        return text;
    // REGEDIT4 files are in the Windows ANSI code page; Latin-1 is the nearest we have.
    if (body.startsWith(kHeader4.data()))
        return QString::fromLatin1(body);
    if (error)
        *error = QStringLiteral("the file is neither UTF-16 nor UTF-8 text");
    return std::nullopt;
}

QString escapeQuoted(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    out.replace(QLatin1Char('"'), QLatin1String("\\\""));
    return out;
}

// "name"=hex(N):..., wrapped as regedit does.
QString hexLine(const QString &prefix, const QByteArray &bytes)
{
    QString out = prefix;
    qsizetype column = prefix.size();
    static const char digits[] = "0123456789abcdef";
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<uchar>(bytes[i]);
        out += QLatin1Char(digits[b >> 4]);
        out += QLatin1Char(digits[b & 0xf]);
        column += 2;
        if (i + 1 == bytes.size())
            break;
        out += QLatin1Char(',');
        ++column;
        if (column > kWrapColumn) {
            out += QLatin1String("\\\r\n  ");
            column = 2;
        }
    }
    return out;
}

QByteArray textToWide(const QString &text)
{
    return stringToUtf16Le(text + QChar(0));
}

QByteArray multiToWide(const QByteArray &data)
{
    QString text = QString::fromUtf8(data);
    // Every string ends with NUL and the list with one more; an empty list is a lone NUL.
    if (!text.isEmpty())
        text += QChar(0);
    return stringToUtf16Le(text + QChar(0));
}

QString valueLine(const RegValue &value)
{
    const QString name = value.name.isEmpty()
                             ? QStringLiteral("@")
                             : QLatin1Char('"') + escapeQuoted(value.name) + QLatin1Char('"');
    const QString prefix = name + QLatin1Char('=');
    switch (value.type) {
    case RegSz: {
        const QString text = value.toText();
        // Line breaks and NULs cannot stand in a quoted string; regedit falls back to hex too.
        if (!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')) &&
            !text.contains(QChar(0)))
            return prefix + QLatin1Char('"') + escapeQuoted(text) + QLatin1Char('"');
        return hexLine(prefix + QLatin1String("hex(1):"), textToWide(text));
    }
    case RegExpandSz:
        return hexLine(prefix + QLatin1String("hex(2):"), textToWide(value.toText()));
    case RegMultiSz:
        return hexLine(prefix + QLatin1String("hex(7):"), multiToWide(value.data));
    case RegDword:
        if (value.data.size() == 4) {
            const quint32 number = qFromLittleEndian<quint32>(value.data.constData());
            return prefix + QStringLiteral("dword:%1").arg(number, 8, 16, QLatin1Char('0'));
        }
        break;
    case RegBinary:
        return hexLine(prefix + QLatin1String("hex:"), value.data);
    default:
        break;
    }
    return hexLine(prefix + QStringLiteral("hex(%1):").arg(uint(value.type), 0, 16), value.data);
}

class Parser
{
public:
    explicit Parser(const QString &text)
    {
        QString normalised = text;
        normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        m_lines = normalised.split(QLatin1Char('\n'));
        // The line end of the last line opens no further line.
        if (m_lines.size() > 1 && m_lines.last().isEmpty())
            m_lines.removeLast();
    }

    std::optional<RegFile> run(QString *error)
    {
        try {
            return parse();
        } catch (const ParseError &e) {
            if (error)
                *error = QStringLiteral("line %1: %2").arg(m_index + 1).arg(e.message);
            return std::nullopt;
        }
    }

private:
    [[noreturn]] static void fail(const QString &message) { throw ParseError{message}; }

    RegFile parse()
    {
        while (m_index < m_lines.size() && m_lines[m_index].trimmed().isEmpty())
            ++m_index;
        if (m_index == m_lines.size()) {
            m_index = 0;
            fail(QStringLiteral("the file is empty"));
        }
        const QString header = m_lines[m_index].trimmed();
        if (header == kHeader5) {
            m_wide = true;
        } else if (header == kHeader4) {
            m_wide = false;
        } else {
            fail(QStringLiteral("not a registry file: the first line must be \"%1\" or \"%2\"")
                     .arg(kHeader5, kHeader4));
        }

        RegFile file;
        for (++m_index; m_index < m_lines.size(); ++m_index) {
            const QString line = m_lines[m_index].trimmed();
            if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
                continue;
            if (line.startsWith(QLatin1Char('['))) {
                file.keys.append(keyLine(line));
            } else if (line.startsWith(QLatin1Char('"')) || line.startsWith(QLatin1Char('@'))) {
                if (file.keys.isEmpty())
                    fail(QStringLiteral("a value before the first [key] line"));
                RegFileKey &key = file.keys.last();
                if (key.remove)
                    fail(QStringLiteral("a value under a key marked for deletion"));
                key.values.append(valueLine(line));
            } else {
                fail(QStringLiteral("unexpected text \"%1\"").arg(line.left(40)));
            }
        }
        return file;
    }

    RegFileKey keyLine(const QString &line)
    {
        const qsizetype close = line.lastIndexOf(QLatin1Char(']'));
        if (close < 0)
            fail(QStringLiteral("the key name has no closing ']'"));
        QString name = line.mid(1, close - 1);
        RegFileKey key;
        if (name.startsWith(QLatin1Char('-'))) {
            key.remove = true;
            name.remove(0, 1);
        }
        QString error;
        const auto split = RegFile::splitKeyName(name.trimmed(), &error);
        if (!split)
            fail(error);
        key.hive = split->first;
        key.path = split->second;
        return key;
    }

    // A quoted string starting at pos (on the opening quote); pos ends after the closing one.
    static QString quoted(const QString &line, qsizetype &pos, const QString &what)
    {
        QString out;
        for (++pos; pos < line.size(); ++pos) {
            const QChar c = line[pos];
            if (c == QLatin1Char('"')) {
                ++pos;
                return out;
            }
            if (c == QLatin1Char('\\') && pos + 1 < line.size() &&
                (line[pos + 1] == QLatin1Char('\\') || line[pos + 1] == QLatin1Char('"'))) {
                out += line[++pos];
                continue;
            }
            out += c;
        }
        fail(QStringLiteral("the %1 has no closing quote").arg(what));
    }

    static void skipSpaces(const QString &line, qsizetype &pos)
    {
        while (pos < line.size() &&
               (line[pos] == QLatin1Char(' ') || line[pos] == QLatin1Char('\t')))
            ++pos;
    }

    static bool onlyCommentLeft(const QString &line, qsizetype pos)
    {
        skipSpaces(line, pos);
        return pos == line.size() || line[pos] == QLatin1Char(';');
    }

    RegFileValue valueLine(const QString &line)
    {
        RegFileValue entry;
        qsizetype pos = 0;
        if (line[0] == QLatin1Char('@'))
            pos = 1;
        else
            entry.value.name = quoted(line, pos, QStringLiteral("value name"));
        skipSpaces(line, pos);
        if (pos == line.size() || line[pos] != QLatin1Char('='))
            fail(QStringLiteral("'=' expected after the value name"));
        ++pos;
        skipSpaces(line, pos);
        const QString rest = line.mid(pos);

        if (rest.startsWith(QLatin1Char('-')) && onlyCommentLeft(rest, 1)) {
            entry.remove = true;
            return entry;
        }
        if (rest.startsWith(QLatin1Char('"'))) {
            qsizetype at = 0;
            const QString text = quoted(rest, at, QStringLiteral("text"));
            if (!onlyCommentLeft(rest, at))
                fail(QStringLiteral("unexpected text after the closing quote"));
            entry.value.type = RegSz;
            entry.value.data = text.toUtf8();
            return entry;
        }
        if (rest.startsWith(QLatin1String("dword:"), Qt::CaseInsensitive)) {
            const QString digits = rest.mid(6).section(QLatin1Char(';'), 0, 0).trimmed();
            bool ok = false;
            const uint number = digits.toUInt(&ok, 16);
            if (!ok || digits.size() > 8 || digits.startsWith(QLatin1Char('+')) ||
                digits.startsWith(QLatin1Char('-')))
                fail(QStringLiteral("invalid dword \"%1\" (up to 8 hex digits expected)")
                         .arg(digits));
            entry.value = RegValue::dword(entry.value.name, number);
            return entry;
        }
        if (rest.startsWith(QLatin1String("hex"), Qt::CaseInsensitive)) {
            hexValue(rest, entry.value);
            return entry;
        }
        fail(QStringLiteral("unknown value data \"%1\"").arg(rest.left(40)));
    }

    void hexValue(const QString &first, RegValue &value)
    {
        int type = RegBinary;
        qsizetype pos = 3;
        if (pos < first.size() && first[pos] == QLatin1Char('(')) {
            const qsizetype close = first.indexOf(QLatin1Char(')'), pos);
            bool ok = false;
            const QString digits = first.mid(pos + 1, close - pos - 1);
            type = int(digits.toUInt(&ok, 16));
            if (close < 0 || !ok || digits.size() > 8)
                fail(QStringLiteral("invalid hex type \"%1\"").arg(first.left(12)));
            pos = close + 1;
        }
        if (pos >= first.size() || first[pos] != QLatin1Char(':'))
            fail(QStringLiteral("':' expected after \"hex\""));

        // Gather the continuation lines ending in '\'.
        QString data = first.mid(pos + 1).trimmed();
        while (data.endsWith(QLatin1Char('\\'))) {
            data.chop(1);
            if (++m_index >= m_lines.size()) {
                --m_index;
                fail(QStringLiteral("the file ends inside hex data"));
            }
            data += m_lines[m_index].trimmed();
        }
        data = data.section(QLatin1Char(';'), 0, 0);

        QByteArray bytes;
        const QStringList items = data.split(QLatin1Char(','));
        for (qsizetype i = 0; i < items.size(); ++i) {
            const QString item = items[i].trimmed();
            // "hex:" alone is an empty value; a trailing comma is harmless.
            if (item.isEmpty() && (items.size() == 1 || i + 1 == items.size()))
                continue;
            bool ok = false;
            const uint b = item.toUInt(&ok, 16);
            if (!ok || item.size() > 2 || item.startsWith(QLatin1Char('+')))
                fail(QStringLiteral("invalid hex byte \"%1\"").arg(item.left(10)));
            bytes.append(char(b));
        }

        value.type = type;
        if (type == RegSz || type == RegExpandSz) {
            QString text = wideText(bytes);
            if (text.endsWith(QChar(0)))
                text.chop(1);
            value.data = text.toUtf8();
        } else if (type == RegMultiSz) {
            QString text = wideText(bytes);
            if (text.endsWith(QString(2, QChar(0))))
                text.chop(2);
            else if (text.endsWith(QChar(0)))
                text.chop(1);
            value.data = text.toUtf8();
        } else {
            value.data = bytes;
        }
    }

    QString wideText(const QByteArray &bytes) const
    {
        if (!m_wide)
            return QString::fromLatin1(bytes);
        if (bytes.size() % 2 != 0)
            fail(QStringLiteral("odd number of bytes in UTF-16 text"));
        return utf16ToString(bytes, 0, true);
    }

    QStringList m_lines;
    qsizetype m_index = 0;
    bool m_wide = true;
};

} // namespace

std::optional<RegFile> RegFile::parse(const QByteArray &bytes, QString *error)
{
    const auto text = decodeFile(bytes, error);
    if (!text)
        return std::nullopt;
    return Parser(*text).run(error);
}

QString RegFile::toText() const
{
    QString text = kHeader5 + QLatin1String("\r\n\r\n");
    for (const RegFileKey &key : keys) {
        text += QLatin1Char('[');
        if (key.remove)
            text += QLatin1Char('-');
        text += fullKeyName(key.hive, key.path) + QLatin1String("]\r\n");
        if (!key.remove) {
            for (const RegFileValue &entry : key.values) {
                if (entry.remove) {
                    text += (entry.value.name.isEmpty()
                                 ? QStringLiteral("@")
                                 : QLatin1Char('"') + escapeQuoted(entry.value.name) +
                                       QLatin1Char('"')) +
                            QLatin1String("=-\r\n");
                } else {
                    text += valueLine(entry.value) + QLatin1String("\r\n");
                }
            }
        }
        text += QLatin1String("\r\n");
    }
    return text;
}

QByteArray RegFile::toBytes() const
{
    return QByteArray("\xff\xfe", 2) + stringToUtf16Le(toText());
}

QString RegFile::hiveName(RegHive hive)
{
    return hive == RegHive::LocalMachine ? QString(kLocalMachine) : QString(kCurrentUser);
}

QString RegFile::fullKeyName(RegHive hive, const QString &path)
{
    const QString normal =
        path.split(QLatin1Char('\\'), Qt::SkipEmptyParts).join(QLatin1Char('\\'));
    return normal.isEmpty() ? hiveName(hive) : hiveName(hive) + QLatin1Char('\\') + normal;
}

std::optional<std::pair<RegHive, QString>> RegFile::splitKeyName(const QString &name,
                                                                 QString *error)
{
    const qsizetype sep = name.indexOf(QLatin1Char('\\'));
    const QString hive = sep < 0 ? name : name.left(sep);
    const QString path = sep < 0 ? QString()
                                 : name.mid(sep + 1)
                                       .split(QLatin1Char('\\'), Qt::SkipEmptyParts)
                                       .join(QLatin1Char('\\'));
    if (hive.compare(kCurrentUser, Qt::CaseInsensitive) == 0 ||
        hive.compare(QLatin1String("HKCU"), Qt::CaseInsensitive) == 0)
        return std::make_pair(RegHive::CurrentUser, path);
    if (hive.compare(kLocalMachine, Qt::CaseInsensitive) == 0 ||
        hive.compare(QLatin1String("HKLM"), Qt::CaseInsensitive) == 0)
        return std::make_pair(RegHive::LocalMachine, path);
    if (error) {
        static const QStringList otherHives = {
            QStringLiteral("HKEY_CLASSES_ROOT"),    QStringLiteral("HKCR"),
            QStringLiteral("HKEY_USERS"),           QStringLiteral("HKU"),
            QStringLiteral("HKEY_CURRENT_CONFIG"),  QStringLiteral("HKCC"),
            QStringLiteral("HKEY_PERFORMANCE_DATA")};
        if (otherHives.contains(hive, Qt::CaseInsensitive))
            *error = QStringLiteral("the hive %1 is not supported (only HKEY_CURRENT_USER and "
                                    "HKEY_LOCAL_MACHINE)")
                         .arg(hive);
        else
            *error = QStringLiteral("unknown hive \"%1\" in key name \"%2\"")
                         .arg(hive.left(40), name.left(80));
    }
    return std::nullopt;
}

} // namespace tavlo
