// SPDX-License-Identifier: GPL-3.0-or-later
// tavloreg: command-line editor of the settings store, after Windows reg.exe.

#include "platform/autostart.h"
#include "platform/regfile.h"
#include "platform/registrystore.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QScopeGuard>
#include <QtEndian>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <variant>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifndef TAVLO_VERSION
#define TAVLO_VERSION ""
#endif

using namespace tavlo;

namespace {

const char *const kSuccess = "The operation completed successfully.";
const char *const kCanceled = "The operation was canceled by the user.";
const char *const kNotFound =
    "ERROR: The system was unable to find the specified registry key or value.";

const char *const kGeneralUsage = R"(TAVLOREG <operation> [parameter list]

  operation  QUERY | ADD | DELETE | EXPORT | IMPORT

Edits the Tavlo settings store (${XDG_CONFIG_HOME:-~/.config}/tavlo/registry.db).
HKLM\Software\Microsoft\Windows\CurrentVersion\Run is the XDG autostart folder.
Options are case-insensitive and may start with '/' or '-'.
Type "TAVLOREG <operation> /?" for help on an operation, "TAVLOREG --version" for the version.
)";

const char *const kQueryUsage = R"(TAVLOREG QUERY KEY [/v NAME | /ve] [/s]

  KEY    HKCU\path, HKEY_CURRENT_USER\path, HKLM\path or HKEY_LOCAL_MACHINE\path
  /v     query the value NAME
  /ve    query the unnamed value (Default)
  /s     query all subkeys and values recursively
)";

const char *const kAddUsage =
    R"(TAVLOREG ADD KEY [/v NAME | /ve] [/t TYPE] [/s SEPARATOR] [/d DATA] [/f]

  KEY    HKCU\path, HKEY_CURRENT_USER\path, HKLM\path or HKEY_LOCAL_MACHINE\path
  /v     the value to add
  /ve    add the unnamed value (Default)
  /t     REG_SZ (default), REG_EXPAND_SZ, REG_MULTI_SZ, REG_DWORD, REG_QWORD,
         REG_BINARY or REG_NONE
  /s     separator of the strings of a REG_MULTI_SZ (default "\0")
  /d     the data; REG_DWORD and REG_QWORD in decimal or 0x hex,
         REG_BINARY and REG_NONE as hex digits
  /f     overwrite an existing value without asking
Without /v or /ve only the key is created.
)";

const char *const kDeleteUsage = R"(TAVLOREG DELETE KEY [/v NAME | /ve | /va] [/f]

  KEY    HKCU\path, HKEY_CURRENT_USER\path, HKLM\path or HKEY_LOCAL_MACHINE\path
  /v     delete the value NAME
  /ve    delete the unnamed value (Default)
  /va    delete all values of the key
  /f     delete without asking
Without /v, /ve or /va the key and all its subkeys are deleted.
)";

const char *const kExportUsage = R"(TAVLOREG EXPORT KEY FILE [/y]

  KEY    the key to export with all its subkeys
  FILE   the .reg file to write
  /y     overwrite FILE without asking
)";

const char *const kImportUsage = R"(TAVLOREG IMPORT FILE

  FILE   the .reg file to apply ("Windows Registry Editor Version 5.00" or "REGEDIT4")
)";

void out(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

void outLine(const QString &text)
{
    out(text + QLatin1Char('\n'));
}

int error(const QString &text)
{
    std::fflush(stdout);
    const QByteArray bytes = (QLatin1String("ERROR: ") + text + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    return 1;
}

int errorRaw(const char *text)
{
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", text);
    return 1;
}

int success()
{
    outLine(QString::fromLatin1(kSuccess));
    return 0;
}

// Asks on stdout, reads one line; only "yes" or "y" agrees.
bool confirm(const QString &question)
{
    out(question + QLatin1Char(' '));
    std::fflush(stdout);
    std::string line;
    if (!std::getline(std::cin, line)) {
        out(QStringLiteral("\n"));
        return false;
    }
    const QString answer = QString::fromStdString(line).trimmed().toLower();
    return answer == QLatin1String("yes") || answer == QLatin1String("y");
}

int canceled()
{
    outLine(QString::fromLatin1(kCanceled));
    return 0;
}

struct Command
{
    QString operation;
    QStringList positional;
    std::optional<QString> valueName; // /v NAME, or "" for /ve
    bool allValues = false;           // /va
    bool recurse = false;             // /s (query)
    bool force = false;               // /f, /y
    std::optional<QString> type;
    std::optional<QString> data;
    std::optional<QString> separator;
    bool help = false;
};

struct KnownOption
{
    const char *name;
    bool takesArgument;
};

QList<KnownOption> optionsOf(const QString &operation)
{
    if (operation == QLatin1String("query"))
        return {{"v", true}, {"ve", false}, {"s", false}};
    if (operation == QLatin1String("add"))
        return {{"v", true}, {"ve", false}, {"t", true}, {"s", true}, {"d", true}, {"f", false}};
    if (operation == QLatin1String("delete"))
        return {{"v", true}, {"ve", false}, {"va", false}, {"f", false}};
    if (operation == QLatin1String("export"))
        return {{"y", false}};
    return {};
}

int positionalCount(const QString &operation)
{
    return operation == QLatin1String("export") ? 2 : 1;
}

const char *usageOf(const QString &operation)
{
    if (operation == QLatin1String("query"))
        return kQueryUsage;
    if (operation == QLatin1String("add"))
        return kAddUsage;
    if (operation == QLatin1String("delete"))
        return kDeleteUsage;
    if (operation == QLatin1String("export"))
        return kExportUsage;
    if (operation == QLatin1String("import"))
        return kImportUsage;
    return kGeneralUsage;
}

bool isHelp(const QString &arg)
{
    return arg == QLatin1String("/?") || arg == QLatin1String("-?") ||
           arg.compare(QLatin1String("--help"), Qt::CaseInsensitive) == 0 ||
           arg.compare(QLatin1String("/h"), Qt::CaseInsensitive) == 0 ||
           arg.compare(QLatin1String("-h"), Qt::CaseInsensitive) == 0;
}

// Only the option names an operation knows count as options, so that an
// absolute path like /tmp/x.reg stays a plain argument.
std::optional<Command> parseCommand(const QStringList &args)
{
    Command command;
    if (args.isEmpty())
        return std::nullopt;
    command.operation = args.first().toLower();
    if (isHelp(command.operation)) {
        command.help = true;
        command.operation.clear();
        return command;
    }
    static const QStringList operations = {QStringLiteral("query"), QStringLiteral("add"),
                                           QStringLiteral("delete"), QStringLiteral("export"),
                                           QStringLiteral("import")};
    if (!operations.contains(command.operation))
        return std::nullopt;

    const QList<KnownOption> knownOptions = optionsOf(command.operation);
    QStringList seen;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &arg = args[i];
        if (isHelp(arg)) {
            command.help = true;
            return command;
        }
        const KnownOption *known = nullptr;
        const QString name = arg.mid(1).toLower();
        if (arg.size() > 1 && (arg[0] == QLatin1Char('/') || arg[0] == QLatin1Char('-'))) {
            for (const KnownOption &candidate : knownOptions) {
                if (name == QLatin1String(candidate.name))
                    known = &candidate;
            }
        }
        if (!known) {
            command.positional.append(arg);
            continue;
        }
        if (seen.contains(name))
            return std::nullopt;
        seen.append(name);
        QString argument;
        if (known->takesArgument) {
            if (++i >= args.size())
                return std::nullopt;
            argument = args[i];
        }
        if (name == QLatin1String("v") || name == QLatin1String("ve") ||
            name == QLatin1String("va")) {
            if (command.valueName || command.allValues)
                return std::nullopt;
            if (name == QLatin1String("va"))
                command.allValues = true;
            else
                command.valueName = name == QLatin1String("v") ? argument : QString();
        } else if (name == QLatin1String("s")) {
            if (known->takesArgument)
                command.separator = argument;
            else
                command.recurse = true;
        } else if (name == QLatin1String("f") || name == QLatin1String("y")) {
            command.force = true;
        } else if (name == QLatin1String("t")) {
            command.type = argument;
        } else if (name == QLatin1String("d")) {
            command.data = argument;
        }
    }
    if (command.positional.size() != positionalCount(command.operation))
        return std::nullopt;
    return command;
}

int invalidSyntax(const QString &operation)
{
    std::fflush(stdout);
    const QString hint = operation.isEmpty()
                             ? QStringLiteral("Type \"tavloreg /?\" for usage.")
                             : QStringLiteral("Type \"tavloreg %1 /?\" for usage.").arg(operation);
    error(QStringLiteral("Invalid syntax."));
    const QByteArray bytes = (hint + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    return 1;
}

QString displayName(const QString &name)
{
    return name.isEmpty() ? QStringLiteral("(Default)") : name;
}

QString typeName(int type)
{
    switch (type) {
    case RegNone:
        return QStringLiteral("REG_NONE");
    case RegSz:
        return QStringLiteral("REG_SZ");
    case RegExpandSz:
        return QStringLiteral("REG_EXPAND_SZ");
    case RegBinary:
        return QStringLiteral("REG_BINARY");
    case RegDword:
        return QStringLiteral("REG_DWORD");
    case 5:
        return QStringLiteral("REG_DWORD_BIG_ENDIAN");
    case 6:
        return QStringLiteral("REG_LINK");
    case RegMultiSz:
        return QStringLiteral("REG_MULTI_SZ");
    case 8:
        return QStringLiteral("REG_RESOURCE_LIST");
    case 9:
        return QStringLiteral("REG_FULL_RESOURCE_DESCRIPTOR");
    case 10:
        return QStringLiteral("REG_RESOURCE_REQUIREMENTS_LIST");
    case RegQword:
        return QStringLiteral("REG_QWORD");
    default:
        return QStringLiteral("REG_UNKNOWN(%1)").arg(type);
    }
}

QString displayData(const RegValue &value)
{
    switch (value.type) {
    case RegSz:
    case RegExpandSz:
        return value.toText();
    case RegMultiSz:
        // reg.exe shows the separators as the two characters \0.
        return value.toText().replace(QChar(0), QLatin1String("\\0"));
    case RegDword:
        if (value.data.size() == 4)
            return QStringLiteral("0x%1").arg(qFromLittleEndian<quint32>(value.data.constData()), 0,
                                              16);
        break;
    case 5:
        if (value.data.size() == 4)
            return QStringLiteral("0x%1").arg(qFromBigEndian<quint32>(value.data.constData()), 0,
                                              16);
        break;
    case RegQword:
        if (value.data.size() == 8)
            return QStringLiteral("0x%1").arg(qFromLittleEndian<quint64>(value.data.constData()), 0,
                                              16);
        break;
    default:
        break;
    }
    return QString::fromLatin1(value.data.toHex().toUpper());
}

QString valueLine(const RegValue &value)
{
    return QLatin1String("    ") + displayName(value.name) + QLatin1String("    ") +
           typeName(value.type) + QLatin1String("    ") + displayData(value);
}

struct Key
{
    RegHive hive;
    QString path;
    QString fullName() const { return RegFile::fullKeyName(hive, path); }
    Key child(const QString &name) const
    {
        return {hive, path.isEmpty() ? name : path + QLatin1Char('\\') + name};
    }
};

std::optional<Key> parseKey(const QString &text)
{
    const auto split = RegFile::splitKeyName(text);
    if (!split)
        return std::nullopt;
    return Key{split->first, split->second};
}

int invalidKey(const QString &operation)
{
    error(QStringLiteral("Invalid key name."));
    const QByteArray hint =
        QStringLiteral("Type \"tavloreg %1 /?\" for usage.\n").arg(operation).toUtf8();
    std::fwrite(hint.constData(), 1, size_t(hint.size()), stderr);
    return 1;
}

int unavailable(RegistryStore &store)
{
    return error(QStringLiteral("The settings database %1 cannot be opened: it is "
                                "unreadable or damaged.")
                     .arg(store.database().path()));
}

int writeFailed(RegistryStore &store)
{
    return error(
        QStringLiteral("Unable to write the settings database %1.").arg(store.database().path()));
}

// Prints one key and, with recurse, every key below it; with a value name
// only the keys holding that value. Returns the number of keys printed, -1
// when the store could not be read.
int queryTree(RegistryStore &store, const Key &key, const std::optional<QString> &valueName,
              bool recurse)
{
    const auto values = store.values(key.hive, key.path);
    const auto subKeys = store.subKeys(key.hive, key.path);
    if (!values || !subKeys)
        return -1;
    int printed = 0;
    QString block;
    for (const RegValue &value : *values) {
        if (!valueName || value.name.toCaseFolded() == valueName->toCaseFolded())
            block += valueLine(value) + QLatin1Char('\n');
    }
    if (!valueName || !block.isEmpty()) {
        out(QLatin1Char('\n') + key.fullName() + QLatin1Char('\n') + block);
        printed = 1;
    }
    if (!recurse) {
        if (!valueName && !subKeys->isEmpty()) {
            out(QStringLiteral("\n"));
            for (const QString &sub : *subKeys)
                outLine(key.child(sub).fullName());
        }
        return printed;
    }
    for (const QString &sub : *subKeys) {
        const int below = queryTree(store, key.child(sub), valueName, true);
        if (below < 0)
            return -1;
        printed += below;
    }
    return printed;
}

int runQuery(RegistryStore &store, const Command &command, const Key &key)
{
    if (!store.keyExists(key.hive, key.path))
        return errorRaw(kNotFound);
    if (command.valueName && !command.recurse) {
        const auto value = store.value(key.hive, key.path, *command.valueName);
        if (!value) {
            // As reg.exe: an unset (Default) is shown, any other missing value is an error.
            if (!command.valueName->isEmpty())
                return errorRaw(kNotFound);
            out(QLatin1Char('\n') + key.fullName() +
                QLatin1String("\n    (Default)    REG_SZ    (value not set)\n"));
            return 0;
        }
        out(QLatin1Char('\n') + key.fullName() + QLatin1Char('\n') + valueLine(*value) +
            QLatin1Char('\n'));
        return 0;
    }
    const int printed = queryTree(store, key, command.valueName, command.recurse);
    if (printed < 0)
        return error(QStringLiteral("Unable to read the settings database %1.")
                         .arg(store.database().path()));
    if (command.valueName && printed == 0)
        return errorRaw(kNotFound);
    return 0;
}

std::optional<quint64> parseNumber(const QString &text, quint64 max)
{
    QString digits = text;
    int base = 10;
    if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        digits = digits.mid(2);
        base = 16;
    }
    if (digits.isEmpty())
        return std::nullopt;
    for (QChar c : digits) {
        const bool ok = base == 16 ? isxdigit(c.unicode()) && c.unicode() < 128
                                   : c >= QLatin1Char('0') && c <= QLatin1Char('9');
        if (!ok)
            return std::nullopt;
    }
    bool ok = false;
    const quint64 number = digits.toULongLong(&ok, base);
    if (!ok || number > max)
        return std::nullopt;
    return number;
}

// The value /t and /d describe, or an error text.
std::variant<RegValue, QString> makeValue(const Command &command)
{
    const QString name = command.valueName.value_or(QString());
    const QString typeText = command.type.value_or(QStringLiteral("REG_SZ")).toUpper();
    const QString data = command.data.value_or(QString());
    RegValue value;
    value.name = name;

    if (typeText == QLatin1String("REG_SZ") || typeText == QLatin1String("REG_EXPAND_SZ")) {
        return RegValue::text(name, data,
                              typeText == QLatin1String("REG_SZ") ? RegSz : RegExpandSz);
    }
    if (typeText == QLatin1String("REG_DWORD") ||
        typeText == QLatin1String("REG_DWORD_LITTLE_ENDIAN") ||
        typeText == QLatin1String("REG_QWORD")) {
        const bool qword = typeText == QLatin1String("REG_QWORD");
        const auto number = data.isEmpty() && !command.data
                                ? std::optional<quint64>(0)
                                : parseNumber(data, qword ? ~quint64(0) : 0xffffffffu);
        if (!number)
            return QStringLiteral("Invalid data \"%1\" for %2: a decimal number or 0x hex from 0 "
                                  "to %3 is expected.")
                .arg(data, qword ? QStringLiteral("REG_QWORD") : QStringLiteral("REG_DWORD"),
                     qword ? QStringLiteral("0xffffffffffffffff") : QStringLiteral("4294967295"));
        if (!qword)
            return RegValue::dword(name, quint32(*number));
        value.type = RegQword;
        value.data.resize(8);
        qToLittleEndian<quint64>(*number, value.data.data());
        return value;
    }
    if (typeText == QLatin1String("REG_BINARY") || typeText == QLatin1String("REG_NONE")) {
        const bool hexOnly = std::all_of(data.begin(), data.end(), [](QChar c) {
            return c.unicode() < 128 && isxdigit(c.unicode());
        });
        if (!hexOnly || data.size() % 2 != 0)
            return QStringLiteral("Invalid data \"%1\" for %2: an even number of hex digits is "
                                  "expected.")
                .arg(data, typeText);
        value.type = typeText == QLatin1String("REG_BINARY") ? RegBinary : RegNone;
        value.data = QByteArray::fromHex(data.toLatin1());
        return value;
    }
    if (typeText == QLatin1String("REG_MULTI_SZ")) {
        const QString separator = command.separator.value_or(QStringLiteral("\\0"));
        if (separator.isEmpty())
            return QStringLiteral("The separator given with /s must not be empty.");
        QStringList strings = data.split(separator);
        if (data.isEmpty())
            strings.clear();
        else if (strings.size() > 1 && strings.last().isEmpty())
            strings.removeLast();
        if (strings.contains(QString()))
            return QStringLiteral("Invalid data for REG_MULTI_SZ: it cannot hold empty strings.");
        value.type = RegMultiSz;
        value.data = strings.join(QChar(0)).toUtf8();
        return value;
    }
    return QStringLiteral("Invalid type \"%1\": use REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ, "
                          "REG_DWORD, REG_QWORD, REG_BINARY or REG_NONE.")
        .arg(command.type.value_or(QString()));
}

int runAdd(RegistryStore &store, const Command &command, const Key &key)
{
    if (!command.valueName) {
        if (command.type || command.data || command.separator)
            return invalidSyntax(command.operation);
        return store.createKey(key.hive, key.path) ? success() : writeFailed(store);
    }
    const auto made = makeValue(command);
    if (const QString *problem = std::get_if<QString>(&made))
        return error(*problem);
    const RegValue &value = std::get<RegValue>(made);

    if (!command.force && store.value(key.hive, key.path, value.name) &&
        !confirm(
            QStringLiteral("Value %1 exists, overwrite(Yes/No)?").arg(displayName(value.name))))
        return canceled();
    if (RegistryStore::isRunKey(key.hive, key.path) && !value.isText())
        return error(QStringLiteral("Only REG_SZ and REG_EXPAND_SZ values can be stored under "
                                    "the Run key (they are the autostart entries)."));
    return store.setValue(key.hive, key.path, value) ? success() : writeFailed(store);
}

int runDelete(RegistryStore &store, const Command &command, const Key &key)
{
    if (!store.keyExists(key.hive, key.path))
        return errorRaw(kNotFound);
    if (command.valueName) {
        const QString &name = *command.valueName;
        if (!store.value(key.hive, key.path, name))
            return errorRaw(kNotFound);
        if (!command.force &&
            !confirm(
                QStringLiteral("Delete the registry value %1 (Yes/No)?").arg(displayName(name))))
            return canceled();
        return store.deleteValue(key.hive, key.path, name) ? success() : writeFailed(store);
    }
    if (command.allValues) {
        if (!command.force &&
            !confirm(QStringLiteral("Delete all values under the registry key %1 (Yes/No)?")
                         .arg(key.fullName())))
            return canceled();
        const auto values = store.values(key.hive, key.path);
        if (!values)
            return writeFailed(store);
        for (const RegValue &value : *values) {
            if (!store.deleteValue(key.hive, key.path, value.name))
                return writeFailed(store);
        }
        return success();
    }
    if (RegistryStore::isProtectedKey(key.hive, key.path))
        return error(QStringLiteral("Access is denied: %1 cannot be deleted.").arg(key.fullName()));
    if (!command.force &&
        !confirm(QStringLiteral("Delete the registry key %1 (Yes/No)?").arg(key.fullName())))
        return canceled();
    return store.deleteKey(key.hive, key.path) ? success() : writeFailed(store);
}

bool collect(RegistryStore &store, const Key &key, RegFile &file)
{
    const auto values = store.values(key.hive, key.path);
    const auto subKeys = store.subKeys(key.hive, key.path);
    if (!values || !subKeys)
        return false;
    RegFileKey block{key.hive, key.path, false, {}};
    for (const RegValue &value : *values)
        block.values.append({value, false});
    file.keys.append(block);
    for (const QString &sub : *subKeys) {
        if (!collect(store, key.child(sub), file))
            return false;
    }
    return true;
}

// Why an existing path cannot be written over, or nullopt when it can (it
// is a regular file, possibly behind symlinks, or there is nothing there).
// A device or FIFO would be replaced by the rename, or block the write.
std::optional<QString> notWritableOver(const QString &path)
{
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || S_ISREG(st.st_mode))
        return std::nullopt;
    return S_ISDIR(st.st_mode) ? QStringLiteral("it is a folder")
                               : QStringLiteral("it exists and is not a regular file");
}

// Writes bytes to path through a temporary file renamed over it, so a failure
// at any step leaves the previous file as it was.
std::optional<QString> saveFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile save(path);
    if (!save.open(QIODevice::WriteOnly))
        return save.errorString();
    // A write may stop short (a full disk, a file size limit); the retry of the
    // rest then reports why.
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = save.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return save.errorString();
        done += written;
    }
    // QSaveFile ignores a failed sync, and a late failure (a network file
    // system, an I/O error) shows only there.
    if (!save.flush())
        return save.errorString();
    if (::fsync(save.handle()) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (!save.commit())
        return save.errorString();
    return std::nullopt;
}

int runExport(RegistryStore &store, const Command &command, const Key &key)
{
    const QString path = command.positional.at(1);
    if (const auto refused = notWritableOver(path))
        return error(QStringLiteral("Unable to write the file %1: %2.").arg(path, *refused));
    if (!store.keyExists(key.hive, key.path))
        return errorRaw(kNotFound);
    RegFile file;
    if (!collect(store, key, file))
        return error(QStringLiteral("Unable to read the settings database %1.")
                         .arg(store.database().path()));
    if (!command.force && QFileInfo::exists(path) &&
        !confirm(QStringLiteral("File %1 already exists. Overwrite (Yes/No)?").arg(path)))
        return canceled();
    if (const auto problem = saveFile(path, file.toBytes()))
        return error(QStringLiteral("Unable to write the file %1: %2.").arg(path, *problem));
    return success();
}

constexpr qint64 kMaxImportBytes = 64 * 1024 * 1024;

// The whole of a regular file of at most kMaxImportBytes, or why not. The
// checks hold on the open file, so neither a symlink swapped for a device nor
// a file growing while it is read gets past the bound.
std::variant<QByteArray, QString> readImportFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const auto refusal = [](const struct stat &st) -> std::optional<QString> {
        if (S_ISDIR(st.st_mode))
            return QStringLiteral("it is a folder");
        if (!S_ISREG(st.st_mode))
            return QStringLiteral("it is not a regular file");
        if (st.st_size > kMaxImportBytes)
            return QStringLiteral("it is larger than %1 MiB").arg(kMaxImportBytes >> 20);
        return std::nullopt;
    };
    const auto systemError = [] { return QString::fromLocal8Bit(std::strerror(errno)); };

    // Refused before opening: opening a FIFO waits for a writer, a device may act on open.
    struct stat st;
    if (::stat(name.constData(), &st) != 0)
        return systemError();
    if (auto refused = refusal(st))
        return *refused;
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return systemError();
    const auto closeFd = qScopeGuard([fd] { ::close(fd); });
    if (::fstat(fd, &st) != 0)
        return systemError();
    if (auto refused = refusal(st))
        return *refused;

    QByteArray bytes(qMin<qint64>(st.st_size, kMaxImportBytes) + 1, Qt::Uninitialized);
    qint64 size = 0;
    for (;;) {
        if (size == bytes.size()) {
            if (size > kMaxImportBytes)
                return QStringLiteral("it is larger than %1 MiB").arg(kMaxImportBytes >> 20);
            bytes.resize(qMin<qint64>(size * 2, kMaxImportBytes + 1));
        }
        const ssize_t got = ::read(fd, bytes.data() + size, size_t(bytes.size() - size));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return systemError();
        if (got == 0)
            break;
        size += got;
    }
    bytes.truncate(size);
    return bytes;
}

// The parts of an import: the database part is one transaction, the Run key
// values are autostart files applied after it.
struct ImportPlan
{
    QList<SettingsDatabase::Change> database;
    QList<RegFileValue> autostart;
};

// Checks every entry of the file before anything is changed; an error text
// when any of them cannot be applied.
std::variant<ImportPlan, QString> planImport(const RegFile &file)
{
    using Change = SettingsDatabase::Change;
    ImportPlan plan;
    for (const RegFileKey &key : file.keys) {
        const QString name = RegFile::fullKeyName(key.hive, key.path);
        if (key.remove) {
            if (RegistryStore::isProtectedKey(key.hive, key.path))
                return QStringLiteral("Access is denied: %1 cannot be deleted.").arg(name);
            plan.database.append({Change::DeleteKey, key.hive, key.path, {}});
            continue;
        }
        if (!RegistryStore::isRunKey(key.hive, key.path)) {
            plan.database.append({Change::CreateKey, key.hive, key.path, {}});
            for (const RegFileValue &entry : key.values)
                plan.database.append({entry.remove ? Change::DeleteValue : Change::SetValue,
                                      key.hive, key.path, entry.value});
            continue;
        }
        for (const RegFileValue &entry : key.values) {
            // No entry can have such a name, so there is nothing to delete.
            if (entry.remove && !autostart::isValidName(entry.value.name))
                continue;
            if (!autostart::isValidName(entry.value.name))
                return QStringLiteral("\"%1\" cannot be an autostart entry under %2.")
                    .arg(entry.value.name, name);
            if (!entry.remove && !entry.value.isText())
                return QStringLiteral("Only REG_SZ and REG_EXPAND_SZ values can be stored under "
                                      "%1 (they are the autostart entries); \"%2\" is not one.")
                    .arg(name, entry.value.name);
            plan.autostart.append(entry);
        }
    }
    return plan;
}

// Why the autostart part of an import would fail before it is tried, or nullopt.
std::optional<QString> autostartProblem(RegistryStore &store, const QList<RegFileValue> &entries)
{
    if (entries.isEmpty())
        return std::nullopt;
    const QString dir = store.autostartDir();
    if (dir.isEmpty())
        return QStringLiteral("there is no folder for autostart entries");
    // The folder, or the nearest folder above it that exists, must take new files.
    QFileInfo existing(dir);
    while (!existing.exists() && !existing.isRoot())
        existing.setFile(existing.absolutePath());
    if (!existing.isDir() ||
        ::access(QFile::encodeName(existing.absoluteFilePath()).constData(), W_OK | X_OK) != 0)
        return QStringLiteral("the folder %1 cannot be written").arg(dir);
    const QStringList ours = autostart::names(dir);
    for (const RegFileValue &entry : entries) {
        const QString &name = entry.value.name;
        if (entry.remove && autostart::read(dir, name) && !ours.contains(name, Qt::CaseInsensitive))
            return QStringLiteral("the autostart entry %1 was not made by this program and is "
                                  "left alone")
                .arg(name);
    }
    return std::nullopt;
}

int runImport(const Command &command)
{
    const QString path = command.positional.at(0);
    const auto read = readImportFile(path);
    if (const QString *problem = std::get_if<QString>(&read))
        return error(QStringLiteral("Unable to read the file %1: %2.").arg(path, *problem));
    QString problem;
    const auto file = RegFile::parse(std::get<QByteArray>(read), &problem);
    if (!file)
        return error(
            QStringLiteral("The file %1 is not a valid registry file: %2.").arg(path, problem));
    const auto planned = planImport(*file);
    if (const QString *refused = std::get_if<QString>(&planned))
        return error(*refused);
    const ImportPlan &plan = std::get<ImportPlan>(planned);

    RegistryStore store;
    if (!store.isAvailable())
        return unavailable(store);
    if (const auto unwritable = autostartProblem(store, plan.autostart))
        return error(QStringLiteral("Error accessing the registry: %1; nothing was imported.")
                         .arg(*unwritable));

    if (!store.database().applyBatch(plan.database))
        return error(QStringLiteral("Error accessing the registry: the settings database %1 "
                                    "could not be written; nothing was imported.")
                         .arg(store.database().path()));

    // Files cannot join the transaction; a failure here is reported by name,
    // with the database part already in place.
    const QString dir = store.autostartDir();
    QStringList failures;
    for (const RegFileValue &entry : plan.autostart) {
        const QString &name = entry.value.name;
        const bool ok = entry.remove ? !autostart::read(dir, name) || autostart::remove(dir, name)
                                     : autostart::write(dir, name, entry.value.toText());
        if (!ok)
            failures.append(name);
    }
    if (!failures.isEmpty())
        return error(QStringLiteral("Error accessing the registry: the settings database part "
                                    "was imported, but the autostart entries %1 in %2 could "
                                    "not be written.")
                         .arg(failures.join(QLatin1String(", ")), dir));
    return success();
}

int run(const QStringList &args)
{
    if (args.size() == 1 && args.first() == QLatin1String("--version")) {
        std::printf("tavloreg %s\nQt %s (built with %s)\n", TAVLO_VERSION, qVersion(),
                    QT_VERSION_STR);
        return 0;
    }
    const auto command = parseCommand(args);
    if (!command) {
        const QString operation = args.isEmpty() ? QString() : args.first().toLower();
        static const QStringList known = {QStringLiteral("query"), QStringLiteral("add"),
                                          QStringLiteral("delete"), QStringLiteral("export"),
                                          QStringLiteral("import")};
        return invalidSyntax(known.contains(operation) ? operation : QString());
    }
    if (command->help) {
        out(QString::fromLatin1(usageOf(command->operation)));
        return 0;
    }

    // The file is read and checked before the database is opened (and maybe created).
    if (command->operation == QLatin1String("import"))
        return runImport(*command);

    const std::optional<Key> key = parseKey(command->positional.first());
    if (!key)
        return invalidKey(command->operation);

    RegistryStore store;
    if (!store.isAvailable())
        return unavailable(store);

    if (command->operation == QLatin1String("query"))
        return runQuery(store, *command, *key);
    if (command->operation == QLatin1String("add"))
        return runAdd(store, *command, *key);
    if (command->operation == QLatin1String("delete"))
        return runDelete(store, *command, *key);
    return runExport(store, *command, *key);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int code = run(app.arguments().mid(1));
    std::fflush(stdout);
    return code;
}
