// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/notes/notefile.h"

#include "platform/savefile.h"
#include "platform/textcodec.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavlo {
namespace {

Q_LOGGING_CATEGORY(lcNotes, "tavlo.notes", QtCriticalMsg)

// Names tried for one second before giving up, and races lost to another
// program taking a fallback name first.
constexpr int kNameTries = 1000;
constexpr int kReserveTries = 5;

const QLatin1StringView kNotesFolder("notes");
const QByteArrayView kUtf8Mark("\xEF\xBB\xBF");

QString lineEndText(LineEnd lineEnd)
{
    switch (lineEnd) {
    case LineEnd::Lf:
        return QStringLiteral("\n");
    case LineEnd::Cr:
        return QStringLiteral("\r");
    case LineEnd::CrLf:
        break;
    }
    return QStringLiteral("\r\n");
}

bool isAcceptable(const struct stat &info, NoteLoad *load)
{
    if (!S_ISREG(info.st_mode))
        load->error = NoteFileError::NotAFile;
    else if (info.st_size > kNoteFileLimit)
        load->error = NoteFileError::TooLarge;
    return load->error == NoteFileError::None;
}

// Up to kNoteFileLimit + 1 bytes of the open file; nullopt on a read error.
std::optional<QByteArray> readAtMostLimit(int fd, qint64 sizeHint)
{
    constexpr qint64 cap = kNoteFileLimit + 1;
    QByteArray bytes(qsizetype(std::min(sizeHint + 1, cap)), Qt::Uninitialized);
    qsizetype total = 0;
    while (total < cap) {
        // A file that grew since fstat is read on, to learn it is too large.
        if (total == bytes.size())
            bytes.resize(qsizetype(std::min<qint64>(qint64(total) * 2 + 4096, cap)));
        const ssize_t got = ::read(fd, bytes.data() + total, size_t(bytes.size() - total));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            break;
        total += got;
    }
    bytes.truncate(total);
    return bytes;
}

} // namespace

QString noteFileErrorText(NoteFileError error)
{
    const auto tr = [](const char *text) { return QCoreApplication::translate("NoteFile", text); };
    switch (error) {
    case NoteFileError::None:
        break;
    case NoteFileError::Missing:
        return tr("The file does not exist.");
    case NoteFileError::NotAFile:
        return tr("It is not a file but a folder, a pipe or a device.");
    case NoteFileError::TooLarge:
        return tr("The file is larger than 10 MB.");
    case NoteFileError::Binary:
        return tr("The file holds binary data, not text.");
    case NoteFileError::Unreadable:
        return tr("The file cannot be read.");
    case NoteFileError::InUse:
        return tr("The file is already open in another note.");
    }
    return QString();
}

NoteLoad decodeNote(QByteArrayView bytes)
{
    NoteLoad load;
    if (!bytes.isEmpty() && std::memchr(bytes.data(), 0, size_t(bytes.size())) != nullptr) {
        load.error = NoteFileError::Binary;
        return load;
    }
    std::optional<QString> utf8 = decodeUtf8(bytes);
    if (utf8 && bytes.startsWith(kUtf8Mark)) {
        load.byteOrderMark = true;
        utf8->remove(0, 1);
    }
    const QString raw = utf8 ? *std::move(utf8) : decodeCp1252(bytes);

    QString text(raw.size(), Qt::Uninitialized);
    QChar *out = text.data();
    qsizetype crlf = 0, lf = 0, cr = 0;
    const QChar *in = raw.constData();
    const QChar *end = in + raw.size();
    while (in != end) {
        const QChar c = *in++;
        if (c == u'\r' && in != end && *in == u'\n') {
            ++in;
            ++crlf;
        } else if (c == u'\r') {
            ++cr;
        } else if (c == u'\n') {
            ++lf;
        } else {
            *out++ = c;
            continue;
        }
        *out++ = u'\n';
    }
    // The end of the file ends its last line; only a second line end makes an empty line.
    if (out != text.data() && out[-1] == u'\n')
        --out;
    text.truncate(out - text.constData());
    load.text = std::move(text);
    // The style most lines use; CR LF, the program's own, when there is no line end.
    if (lf > crlf && lf >= cr)
        load.lineEnd = LineEnd::Lf;
    else if (cr > crlf && cr > lf)
        load.lineEnd = LineEnd::Cr;
    return load;
}

QByteArray encodeNote(const QString &text, LineEnd lineEnd, bool byteOrderMark)
{
    QString body = text;
    if (body.contains(u'\r')) {
        body.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        body.replace(u'\r', u'\n');
    }
    body += u'\n';
    if (lineEnd != LineEnd::Lf)
        body.replace(u'\n', lineEndText(lineEnd));
    QByteArray bytes;
    if (byteOrderMark)
        bytes += kUtf8Mark;
    bytes += body.toUtf8();
    return bytes;
}

NoteLoad readNoteFile(const QString &path)
{
    NoteLoad load;
    const QByteArray name = QFile::encodeName(path);
    struct stat info = {};
    if (path.isEmpty() || ::stat(name.constData(), &info) != 0) {
        load.error = path.isEmpty() || errno == ENOENT || errno == ENOTDIR
                         ? NoteFileError::Missing
                         : NoteFileError::Unreadable;
        return load;
    }
    // Checked before the open too: opening some devices has effects of its own.
    if (!isAcceptable(info, &load))
        return load;
    // The name may point elsewhere by now; O_NONBLOCK keeps a pipe put there
    // meanwhile from holding the open, and the opened file is checked again.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        load.error = errno == ENOENT ? NoteFileError::Missing : NoteFileError::Unreadable;
        return load;
    }
    std::optional<QByteArray> bytes;
    if (::fstat(fd, &info) == 0 && isAcceptable(info, &load)) {
        bytes = readAtMostLimit(fd, info.st_size);
        if (!bytes)
            load.error = NoteFileError::Unreadable;
        else if (bytes->size() > kNoteFileLimit)
            load.error = NoteFileError::TooLarge;
    } else if (load.error == NoteFileError::None) {
        load.error = NoteFileError::Unreadable;
    }
    ::close(fd);
    if (load.error != NoteFileError::None)
        return load;
    return decodeNote(*bytes);
}

NoteFolder::NoteFolder(QString programFolder, NoteWriter writer)
    : m_programFolder(std::move(programFolder)),
      m_writer(writer ? std::move(writer) : NoteWriter(writeFileAtomically))
{}

QString NoteFolder::pathOf(const QString &name) const
{
    return QDir::cleanPath(QDir(m_programFolder).absoluteFilePath(name));
}

QString NoteFolder::notesFolder() const
{
    return pathOf(kNotesFolder);
}

bool NoteFolder::isOpen(const QString &path, const QStringList &inUse) const
{
    return std::any_of(inUse.begin(), inUse.end(), [&](const QString &name) {
        return !name.trimmed().isEmpty() && pathOf(name.trimmed()) == path;
    });
}

bool NoteFolder::isTaken(const QString &path, const QStringList &inUse) const
{
    if (isOpen(path, inUse))
        return true;
    // lstat, so that a link to nowhere counts as taken too.
    struct stat info = {};
    if (::lstat(QFile::encodeName(path).constData(), &info) == 0)
        return true;
    return errno != ENOENT && errno != ENOTDIR;
}

std::optional<QString> NoteFolder::newName(const QDateTime &now, const QStringList &inUse) const
{
    const QString stem =
        kNotesFolder + QLatin1Char('/') + now.toString(QStringLiteral("yyyyMMddHHmmss"));
    for (int n = 1; n <= kNameTries; ++n) {
        const QString name = stem + (n == 1 ? QString() : QLatin1Char('-') + QString::number(n)) +
                             QStringLiteral(".txt");
        if (!isTaken(pathOf(name), inUse))
            return name;
    }
    qCWarning(lcNotes) << "no free note name for" << stem;
    return std::nullopt;
}

NoteOpen NoteFolder::restore(const QString &storedName, const QDateTime &now,
                             const QStringList &inUse) const
{
    NoteOpen open;
    const QString name = storedName.trimmed();
    if (!name.isEmpty()) {
        // The program's own notes are written with CR LF whatever the file had.
        const bool own = QDir::isRelativePath(name);
        const QString path = pathOf(name);
        NoteLoad load;
        if (isOpen(path, inUse))
            load.error = NoteFileError::InUse;
        else
            load = readNoteFile(path);
        if (load.error == NoteFileError::None || load.error == NoteFileError::Missing) {
            open.file = {name, own ? LineEnd::CrLf : load.lineEnd, !own && load.byteOrderMark};
            open.text = std::move(load.text);
            open.error = load.error;
            return open;
        }
        // Saving over a file the note could not show would lose it.
        qCInfo(lcNotes) << "note file set aside:" << path << int(load.error);
        open.error = load.error;
    }
    open.file.name = newName(now, inUse).value_or(QString());
    return open;
}

NoteOpen NoteFolder::insert(const QString &path, const QStringList &inUse) const
{
    NoteOpen open;
    const QString full = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (isOpen(full, inUse)) {
        open.error = NoteFileError::InUse;
        return open;
    }
    NoteLoad load = readNoteFile(full);
    open.error = load.error;
    if (load.error == NoteFileError::None) {
        open.file = {full, load.lineEnd, load.byteOrderMark};
        open.text = std::move(load.text);
    }
    return open;
}

NoteSave NoteFolder::save(const NoteFile &file, const QString &text, const QDateTime &now,
                          const QStringList &inUse) const
{
    NoteSave result;
    result.file = file;
    if (!file.name.isEmpty()) {
        const QString path = pathOf(file.name);
        // The notes folder may have been removed while the program ran.
        if (QFileInfo(path).absolutePath() == notesFolder())
            QDir().mkpath(notesFolder());
        if (m_writer(path, encodeNote(text, file.lineEnd, file.byteOrderMark))) {
            result.outcome = NoteSave::Outcome::Saved;
            return result;
        }
    }
    if (const auto moved = saveElsewhere(text, now, inUse + QStringList{file.name})) {
        result.outcome = NoteSave::Outcome::Moved;
        result.oldName = file.name;
        result.file = *moved;
    }
    return result;
}

std::optional<NoteFile> NoteFolder::saveElsewhere(const QString &text, const QDateTime &now,
                                                  QStringList inUse) const
{
    if (!QDir().mkpath(notesFolder()))
        return std::nullopt;
    for (int attempt = 0; attempt < kReserveTries; ++attempt) {
        const auto name = newName(now, inUse);
        if (!name)
            return std::nullopt;
        // Created exclusively, so a note of another program saving in the same
        // second cannot end up in the same file.
        QFile reserved(pathOf(*name));
        if (!reserved.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (!reserved.exists())
                return std::nullopt;
            inUse << *name;
            continue;
        }
        reserved.close();
        const NoteFile file{*name, LineEnd::CrLf, false};
        if (m_writer(reserved.fileName(), encodeNote(text, file.lineEnd))) {
            qCInfo(lcNotes) << "note saved to" << *name << "instead";
            return file;
        }
        reserved.remove();
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace tavlo
