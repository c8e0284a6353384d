// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

namespace tavlo {

// Profile files larger than this are refused: a profile is a few hundred bytes.
inline constexpr qint64 kProfileFileLimit = 1024 * 1024;

// A profile (INI) file as Windows profile functions treat one: "[section]"
// lines and "key=value" lines, sections and keys found case-insensitively,
// the first of duplicates wins, and every other line kept as it is.
// Files are read as UTF-16 when they start with its byte order mark, else as
// UTF-8, or as Windows-1252 when they are not valid UTF-8; they are written
// with CRLF line ends in the encoding (and byte order mark) they were read in.
class ProfileFile final
{
public:
    enum class Encoding { Utf8, Cp1252, Utf16LE, Utf16BE };

    ProfileFile() = default;
    // A missing file reads as an empty one. nullopt when the file is refused:
    // larger than kProfileFileLimit, not a regular file once links are
    // followed, or unreadable. The checks hold for the file actually opened.
    static std::optional<ProfileFile> load(const QString &path);
    static ProfileFile fromBytes(const QByteArray &bytes);

    // The value of key in section, with surrounding blanks and one pair of
    // enclosing quotes removed; nullopt when there is no such key.
    std::optional<QString> value(const QString &section, const QString &key) const;
    // Sets the first such key, or adds it at the end of its section, adding
    // the section at the end of the file when needed.
    void setValue(const QString &section, const QString &key, const QString &value);

    QByteArray toBytes() const;
    // Replaces the file at path in one step; false when it cannot be written.
    bool save(const QString &path) const;

    Encoding encoding() const { return m_encoding; }

private:
    struct Line
    {
        QByteArray raw; // as read, without its line end
        QString text;   // decoded
    };
    enum class Kind { Other, Section, Key };
    static Kind kindOf(const QString &text, QString *name, QString *value);
    QByteArray encode(const QString &text) const;
    bool isUtf16() const
    {
        return m_encoding == Encoding::Utf16LE || m_encoding == Encoding::Utf16BE;
    }
    // Index of the section's header line, or -1.
    qsizetype findSection(const QString &section) const;

    QList<Line> m_lines;
    Encoding m_encoding = Encoding::Utf8;
    bool m_bom = false;
};

} // namespace tavlo
