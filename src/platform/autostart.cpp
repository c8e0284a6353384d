// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/autostart.h"

#include "platform/savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QStandardPaths>
#include <algorithm>

namespace tavlo::autostart {

namespace {

Q_LOGGING_CATEGORY(lcSettings, "tavlo.settings", QtCriticalMsg)

const QLatin1String kSuffix(".desktop");
const QLatin1String kMarker("X-Tavlo-Run");

QString filePath(const QString &dir, const QString &name)
{
    return dir + QLatin1Char('/') + name + kSuffix;
}

// Run value names compare case-insensitively, file names do not: an entry
// written as "TavloClock" is found as "tavloclock" too, and rewritten in place.
QString existingPath(const QString &dir, const QString &name)
{
    const QString exact = filePath(dir, name);
    if (QFileInfo::exists(exact))
        return exact;
    const QString wanted = (name + kSuffix).toCaseFolded();
    const QStringList files =
        QDir(dir).entryList({QLatin1String("*") + kSuffix}, QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &file : files) {
        if (file.toCaseFolded() == wanted)
            return dir + QLatin1Char('/') + file;
    }
    return exact;
}

// Characters that force an Exec argument into double quotes.
bool isReserved(QChar c)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return reserved.contains(c);
}

// The command as one Exec argument: quoted when needed, '%' doubled so it is
// not taken for a field code.
QString execArgument(const QString &command)
{
    QString arg;
    if (std::any_of(command.begin(), command.end(), isReserved)) {
        arg = QLatin1String("\"");
        for (QChar c : command) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                c == QLatin1Char('\\'))
                arg += QLatin1Char('\\');
            arg += c;
        }
        arg += QLatin1Char('"');
    } else {
        arg = command;
    }
    arg.replace(QLatin1String("%"), QLatin1String("%%"));
    return arg;
}

// The string escapes every desktop-entry value goes through, after quoting.
QString escapeValue(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        default:
            out += c;
        }
    }
    if (out.startsWith(QLatin1Char(' ')))
        out.replace(0, 1, QLatin1String("\\s"));
    return out;
}

QString unescapeValue(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            out += c;
            continue;
        }
        switch (value[++i].unicode()) {
        case 's':
            out += QLatin1Char(' ');
            break;
        case 'n':
            out += QLatin1Char('\n');
            break;
        case 't':
            out += QLatin1Char('\t');
            break;
        case 'r':
            out += QLatin1Char('\r');
            break;
        case '\\':
            out += QLatin1Char('\\');
            break;
        default:
            out += QLatin1Char('\\');
            out += value[i];
        }
    }
    return out;
}

// Splits an (already string-unescaped) Exec value into its arguments.
QStringList execArguments(const QString &exec)
{
    QStringList args;
    QString current;
    bool inArg = false;
    bool quoted = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                quoted = false;
            } else if (c == QLatin1Char('\\') && i + 1 < exec.size() &&
                       QStringLiteral("\"`$\\").contains(exec[i + 1])) {
                current += exec[++i];
            } else {
                current += c;
            }
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')) {
            if (inArg)
                args.append(current);
            current.clear();
            inArg = false;
        } else if (c == QLatin1Char('"')) {
            quoted = true;
            inArg = true;
        } else {
            current += c;
            inArg = true;
        }
    }
    if (inArg)
        args.append(current);
    for (QString &arg : args)
        arg.replace(QLatin1String("%%"), QLatin1String("%"));
    return args;
}

// The keys of the [Desktop Entry] group, values unescaped; nullopt when the
// file cannot be read or has no such group.
std::optional<QHash<QString, QString>> readEntry(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // An autostart entry is a few hundred bytes; anything huge is not one of them.
    if (file.size() > 1024 * 1024)
        return std::nullopt;
    const QString text = QString::fromUtf8(file.readAll());
    QHash<QString, QString> keys;
    bool inGroup = false;
    bool found = false;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == QLatin1String("[Desktop Entry]");
            found = found || inGroup;
            continue;
        }
        if (!inGroup)
            continue;
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed().toString();
        if (!keys.contains(key))
            keys.insert(key, unescapeValue(line.mid(eq + 1).trimmed().toString()));
    }
    if (!found)
        return std::nullopt;
    return keys;
}

bool isOurs(const QHash<QString, QString> &keys)
{
    return keys.value(kMarker) == QLatin1String("true");
}

} // namespace

QString defaultDir()
{
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return config.isEmpty() ? QString() : config + QLatin1String("/autostart");
}

bool isValidName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

bool write(const QString &dir, const QString &name, const QString &command)
{
    if (!isValidName(name)) {
        qCWarning(lcSettings) << "refused autostart name" << name;
        return false;
    }
    if (dir.isEmpty() || !QDir().mkpath(dir))
        return false;

    const QString path = existingPath(dir, name);
    QString exec;
    if (!command.isEmpty()) {
        exec = execArgument(command);
    } else {
        // A hidden entry still needs a valid Exec line. Keep the previous one,
        // so the file still says what would run; for a new entry "true", a
        // command that exists everywhere and does nothing.
        exec = QStringLiteral("true");
        if (const auto previous = readEntry(path)) {
            const QString previousExec = previous->value(QStringLiteral("Exec"));
            if (!execArguments(previousExec).isEmpty())
                exec = previousExec;
        }
    }

    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n");
    const QString shownName = QFileInfo(path).fileName().chopped(kSuffix.size());
    text += QLatin1String("Name=") + escapeValue(shownName) + QLatin1Char('\n');
    text += QLatin1String("Exec=") + escapeValue(exec) + QLatin1Char('\n');
    text += QLatin1String("Terminal=false\n");
    if (command.isEmpty())
        text += QLatin1String("Hidden=true\nX-GNOME-Autostart-enabled=false\n");
    else
        text += QLatin1String("X-GNOME-Autostart-enabled=true\n");
    text += kMarker + QLatin1String("=true\n");

    // Every start writes the entry; the same text again would only cost a
    // disk sync while the widget waits to be shown.
    const QByteArray bytes = text.toUtf8();
    QFile current(path);
    if (current.open(QIODevice::ReadOnly) && current.size() == bytes.size() &&
        current.read(bytes.size() + 1) == bytes)
        return true;
    current.close();

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        qCWarning(lcSettings) << "cannot write" << path << file.errorString();
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return commitSaveFile(file);
}

std::optional<QString> read(const QString &dir, const QString &name)
{
    if (dir.isEmpty() || !isValidName(name))
        return std::nullopt;
    const auto keys = readEntry(existingPath(dir, name));
    if (!keys)
        return std::nullopt;
    // A desktop's own "disable" switch counts as hidden too.
    if (keys->value(QStringLiteral("Hidden")) == QLatin1String("true") ||
        keys->value(QStringLiteral("X-GNOME-Autostart-enabled")) == QLatin1String("false"))
        return QString();
    const QString exec = keys->value(QStringLiteral("Exec"));
    const QStringList args = execArguments(exec);
    // Our entries hold one argument; a hand-written command line comes back as written.
    if (args.size() == 1)
        return args.first();
    return args.isEmpty() ? QString() : exec;
}

QStringList names(const QString &dir)
{
    QStringList result;
    if (dir.isEmpty())
        return result;
    const QFileInfoList files =
        QDir(dir).entryInfoList({QLatin1String("*") + kSuffix}, QDir::Files | QDir::Hidden);
    for (const QFileInfo &info : files) {
        const auto keys = readEntry(info.filePath());
        if (keys && isOurs(*keys))
            result.append(info.fileName().chopped(kSuffix.size()));
    }
    result.sort(Qt::CaseInsensitive);
    return result;
}

bool remove(const QString &dir, const QString &name)
{
    if (dir.isEmpty() || !isValidName(name))
        return false;
    const QString path = existingPath(dir, name);
    const auto keys = readEntry(path);
    if (!keys || !isOurs(*keys))
        return false;
    return QFile::remove(path);
}

} // namespace tavlo::autostart
