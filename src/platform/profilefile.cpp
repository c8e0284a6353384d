#include "platform/profilefile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace tavlo {
namespace {

// Windows-1252 0x80-0x9F; 0 marks the five unassigned codes, read as the C1 control.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

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

} // namespace

QString decodeCp1252(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char byte : bytes) {
        const auto b = uchar(byte);
        if (b >= 0x80 && b < 0xA0 && kCp1252High[b - 0x80] != 0)
            text += QChar(kCp1252High[b - 0x80]);
        else
            text += QChar(b);
    }
    return text;
}

std::optional<QByteArray> encodeCp1252(const QString &text)
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

ProfileFile ProfileFile::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return fromBytes(file.readAll());
}

ProfileFile ProfileFile::fromBytes(const QByteArray &bytes)
{
    ProfileFile profile;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(bytes);
    profile.m_cp1252 = utf8.hasError();

    QByteArrayView rest(bytes);
    if (!profile.m_cp1252 && rest.startsWith("\xEF\xBB\xBF"))
        rest = rest.sliced(3);
    while (!rest.isEmpty()) {
        qsizetype end = rest.indexOf('\n');
        QByteArrayView raw = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (raw.endsWith('\r'))
            raw.chop(1);
        Line line;
        line.raw = raw.toByteArray();
        line.text = profile.m_cp1252 ? decodeCp1252(line.raw) : QString::fromUtf8(line.raw);
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
    if (m_cp1252) {
        if (const auto bytes = encodeCp1252(text))
            return *bytes;
    }
    return text.toUtf8();
}

void ProfileFile::setValue(const QString &section, const QString &key, const QString &value)
{
    const QString text = key + QLatin1Char('=') + value;
    // A text the file's Windows-1252 cannot hold turns the whole file into UTF-8.
    if (m_cp1252 && !encodeCp1252(text)) {
        m_cp1252 = false;
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
    for (const Line &line : m_lines) {
        bytes += line.raw;
        bytes += "\r\n";
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
    return file.commit();
}

} // namespace tavlo
