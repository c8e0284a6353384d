// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/profilefile.h"
#include "platform/savefile.h"

#include "platform/textcodec.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavlo {
namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString trimBlanks(QStringView text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.mid(begin, end - begin).toString();
}

QByteArrayView byteOrderMark(ProfileFile::Encoding encoding)
{
    switch (encoding) {
    case ProfileFile::Encoding::Utf16LE:
        return "\xFF\xFE";
    case ProfileFile::Encoding::Utf16BE:
        return "\xFE\xFF";
    default:
        return "\xEF\xBB\xBF";
    }
}

// A device, a pipe or a folder is never a profile: reading one could block or never end.
bool isRegularFile(const struct stat &info, qint64 limit)
{
    return S_ISREG(info.st_mode) && info.st_size <= limit;
}

// The bytes of the regular file at path, at most limit of them. A missing
// file gives none; nullopt for anything larger, anything but a regular file
// once links are followed, and a file that cannot be read.
std::optional<QByteArray> readRegularFile(const QString &path, qint64 limit)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info = {};
    if (::stat(name.constData(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR ? std::optional(QByteArray()) : std::nullopt;
    if (!isRegularFile(info, limit))
        return std::nullopt;
    // The name may point elsewhere by now, so the opened file is checked
    // again; O_NONBLOCK keeps a pipe put there meanwhile from holding the open.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return errno == ENOENT ? std::optional(QByteArray()) : std::nullopt;
    std::optional<QByteArray> result;
    if (::fstat(fd, &info) == 0 && isRegularFile(info, limit)) {
        // Reading one byte past the limit tells a file that grew since.
        QByteArray bytes(qsizetype(info.st_size) + 1, Qt::Uninitialized);
        qsizetype total = 0;
        bool failed = false;
        while (!failed) {
            if (total == bytes.size()) {
                if (total > limit)
                    break;
                bytes.resize(qsizetype(std::min<qint64>(qint64(total) * 2, limit + 1)));
            }
            const ssize_t got = ::read(fd, bytes.data() + total, size_t(bytes.size() - total));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                failed = got < 0;
                break;
            }
            total += got;
        }
        if (!failed && total <= limit) {
            bytes.truncate(total);
            result = std::move(bytes);
        }
    }
    ::close(fd);
    return result;
}

} // namespace

std::optional<ProfileFile> ProfileFile::load(const QString &path)
{
    const auto bytes = readRegularFile(path, kProfileFileLimit);
    if (!bytes)
        return std::nullopt;
    return fromBytes(*bytes);
}

ProfileFile ProfileFile::fromBytes(const QByteArray &bytes)
{
    ProfileFile profile;
    QByteArrayView rest(bytes);
    const auto startsWithMark = [&rest](ProfileFile::Encoding encoding) {
        return rest.startsWith(byteOrderMark(encoding));
    };
    if (startsWithMark(Encoding::Utf16LE) || startsWithMark(Encoding::Utf16BE)) {
        profile.m_encoding =
            startsWithMark(Encoding::Utf16LE) ? Encoding::Utf16LE : Encoding::Utf16BE;
        profile.m_bom = true;
        rest = rest.sliced(2);
        const bool little = profile.m_encoding == Encoding::Utf16LE;
        const auto unit = [&](qsizetype at) {
            const auto first = uchar(rest[at]), second = uchar(rest[at + 1]);
            return little ? char16_t(first | second << 8) : char16_t(first << 8 | second);
        };
        QStringDecoder decoder(little ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE,
                               QStringDecoder::Flag::Stateless);
        const auto addLine = [&](qsizetype begin, qsizetype end) {
            if (end - begin >= 2 && end % 2 == 0 && unit(end - 2) == u'\r')
                end -= 2;
            Line line;
            line.raw = rest.sliced(begin, end - begin).toByteArray();
            line.text = decoder.decode(line.raw);
            profile.m_lines.append(std::move(line));
        };
        qsizetype begin = 0;
        for (qsizetype at = 0; at + 1 < rest.size(); at += 2) {
            if (unit(at) == u'\n') {
                addLine(begin, at);
                begin = at + 2;
            }
        }
        if (begin < rest.size())
            addLine(begin, rest.size());
        return profile;
    }

    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    // Only the verdict is needed; the lines are decoded one by one below.
    const QString whole = utf8.decode(bytes);
    Q_UNUSED(whole);
    profile.m_encoding = utf8.hasError() ? Encoding::Cp1252 : Encoding::Utf8;
    const bool cp1252 = profile.m_encoding == Encoding::Cp1252;
    if (!cp1252 && startsWithMark(Encoding::Utf8)) {
        profile.m_bom = true;
        rest = rest.sliced(3);
    }
    while (!rest.isEmpty()) {
        qsizetype end = rest.indexOf('\n');
        QByteArrayView raw = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (raw.endsWith('\r'))
            raw.chop(1);
        Line line;
        line.raw = raw.toByteArray();
        line.text = cp1252 ? decodeCp1252(line.raw) : QString::fromUtf8(line.raw);
        profile.m_lines.append(std::move(line));
    }
    return profile;
}

ProfileFile::Kind ProfileFile::kindOf(const QString &text, QString *name, QString *value)
{
    const QString line = trimBlanks(text);
    if (line.startsWith(QLatin1Char('['))) {
        const qsizetype close = line.indexOf(QLatin1Char(']'));
        *name = trimBlanks(QStringView(line).mid(1, close < 0 ? -1 : close - 1));
        return Kind::Section;
    }
    if (line.startsWith(QLatin1Char(';')))
        return Kind::Other;
    const qsizetype equals = line.indexOf(QLatin1Char('='));
    if (equals < 0)
        return Kind::Other;
    *name = trimBlanks(QStringView(line).first(equals));
    *value = trimBlanks(QStringView(line).mid(equals + 1));
    return Kind::Key;
}

qsizetype ProfileFile::findSection(const QString &section) const
{
    QString name, value;
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (kindOf(m_lines[i].text, &name, &value) == Kind::Section &&
            name.compare(section, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

std::optional<QString> ProfileFile::value(const QString &section, const QString &key) const
{
    const qsizetype header = findSection(section);
    if (header < 0)
        return std::nullopt;
    QString name, value;
    for (qsizetype i = header + 1; i < m_lines.size(); ++i) {
        const Kind kind = kindOf(m_lines[i].text, &name, &value);
        if (kind == Kind::Section)
            break;
        if (kind == Kind::Key && name.compare(key, Qt::CaseInsensitive) == 0) {
            if (value.size() >= 2 &&
                (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\'')) &&
                value.back() == value.front())
                value = value.mid(1, value.size() - 2);
            return value;
        }
    }
    return std::nullopt;
}

QByteArray ProfileFile::encode(const QString &text) const
{
    switch (m_encoding) {
    case Encoding::Cp1252:
        if (const auto bytes = encodeCp1252(text))
            return *bytes;
        return text.toUtf8();
    case Encoding::Utf16LE:
    case Encoding::Utf16BE: {
        QStringEncoder encoder(m_encoding == Encoding::Utf16LE ? QStringEncoder::Utf16LE
                                                               : QStringEncoder::Utf16BE,
                               QStringEncoder::Flag::Stateless);
        return encoder.encode(text);
    }
    case Encoding::Utf8:
        break;
    }
    return text.toUtf8();
}

void ProfileFile::setValue(const QString &section, const QString &key, const QString &value)
{
    const QString text = key + QLatin1Char('=') + value;
    // A text the file's Windows-1252 cannot hold turns the whole file into UTF-8.
    if (m_encoding == Encoding::Cp1252 && !encodeCp1252(text)) {
        m_encoding = Encoding::Utf8;
        for (Line &line : m_lines)
            line.raw = line.text.toUtf8();
    }
    Line added{encode(text), text};

    qsizetype header = findSection(section);
    if (header < 0) {
        const QString title = QLatin1Char('[') + section + QLatin1Char(']');
        m_lines.append(Line{encode(title), title});
        m_lines.append(std::move(added));
        return;
    }
    QString name, existing;
    qsizetype lastFilled = header;
    for (qsizetype i = header + 1; i < m_lines.size(); ++i) {
        const Kind kind = kindOf(m_lines[i].text, &name, &existing);
        if (kind == Kind::Section)
            break;
        if (kind == Kind::Key && name.compare(key, Qt::CaseInsensitive) == 0) {
            m_lines[i] = std::move(added);
            return;
        }
        if (!trimBlanks(m_lines[i].text).isEmpty())
            lastFilled = i;
    }
    m_lines.insert(lastFilled + 1, std::move(added));
}

QByteArray ProfileFile::toBytes() const
{
    QByteArray bytes;
    if (m_bom)
        bytes += byteOrderMark(m_encoding);
    const QByteArray lineEnd = encode(QStringLiteral("\r\n"));
    for (const Line &line : m_lines) {
        bytes += line.raw;
        bytes += lineEnd;
    }
    return bytes;
}

bool ProfileFile::save(const QString &path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = toBytes();
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return commitSaveFile(file);
}

} // namespace tavlo
