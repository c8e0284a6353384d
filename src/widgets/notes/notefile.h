// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace tavlo {

// A file larger than this is not taken into a note: a note is typed text.
inline constexpr qint64 kNoteFileLimit = 10 * 1024 * 1024;

enum class LineEnd { CrLf, Lf, Cr };

// Where a note is kept and how its text is laid out there.
struct NoteFile
{
    // As stored for the note: "notes/<yyyyMMddHHmmss>.txt" below the program
    // folder for the program's own notes, or the full path of an inserted file.
    QString name;
    LineEnd lineEnd = LineEnd::CrLf;
    bool byteOrderMark = false;

    bool operator==(const NoteFile &) const = default;
};

// Why a file was not taken into a note.
enum class NoteFileError { None, Missing, NotAFile, TooLarge, Binary, Unreadable, InUse };

// The reason for the user, one sentence; empty for None.
QString noteFileErrorText(NoteFileError error);

// A note's text as read from a file. The text holds its lines joined by '\n',
// as a text box holds them.
struct NoteLoad
{
    NoteFileError error = NoteFileError::None;
    QString text;
    LineEnd lineEnd = LineEnd::CrLf;
    bool byteOrderMark = false;
};

// The note in the bytes of a file: UTF-8, or Windows-1252 when they are not
// valid UTF-8; CR LF, LF and CR each end a line, and a line end at the very end
// starts no further line. Bytes holding NUL are refused as binary.
NoteLoad decodeNote(QByteArrayView bytes);
// The bytes of a file holding text: UTF-8, every line (the last one too) ended
// by lineEnd. CR LF, CR and LF in text all count as one line end.
QByteArray encodeNote(const QString &text, LineEnd lineEnd, bool byteOrderMark = false);
// Reads the regular file at path, never more than kNoteFileLimit + 1 bytes and
// without blocking on a pipe or device, which are refused.
NoteLoad readNoteFile(const QString &path);

using NoteWriter = std::function<bool(const QString &path, const QByteArray &bytes)>;

// A note bound to its file, or the reason a file was not taken.
struct NoteOpen
{
    NoteFile file;
    QString text;
    NoteFileError error = NoteFileError::None;
};

struct NoteSave
{
    enum class Outcome {
        Saved,  // the text is in the note's file
        Moved,  // the file could not be written; the text went to a new one, now the note's
        Failed, // neither could be written; the note keeps its file
    };
    Outcome outcome = Outcome::Failed;
    NoteFile file;   // the note's file from now on
    QString oldName; // with Moved, the name the note had (empty if it had none)
};

// The note files of one program folder. Its functions keep no state, so they
// may run on a worker thread; the names of the other open notes are passed in
// by the caller, since only it knows them.
class NoteFolder final
{
public:
    // writer replaces a file's contents; writeFileAtomically when empty.
    explicit NoteFolder(QString programFolder, NoteWriter writer = {});

    // The file a stored name stands for; relative names lie below the program folder.
    QString pathOf(const QString &name) const;
    // The name of a note made at now: "notes/" + yyyyMMdd + HHmmss + ".txt", with
    // "-2", "-3", ... before ".txt" while that file exists or an open note has it.
    // nullopt only when a thousand names of that second are taken.
    std::optional<QString> newName(const QDateTime &now, const QStringList &inUse) const;

    // The note stored under name at start-up. No name gives a new empty note; a
    // missing file an empty note that keeps its name. A file that cannot be
    // taken, or that another open note has, is left alone: the note starts
    // empty on a new name, and error says why.
    NoteOpen restore(const QString &storedName, const QDateTime &now,
                     const QStringList &inUse) const;
    // The file at path for a note to take over (Insert). On a refusal (error
    // not None) the note stays as it is; the file keeps its line ends when written.
    NoteOpen insert(const QString &path, const QStringList &inUse) const;
    // Writes text to the note's file. When that fails it goes to a new file in
    // the notes folder, and the result names both files so the caller can say so.
    NoteSave save(const NoteFile &file, const QString &text, const QDateTime &now,
                  const QStringList &inUse) const;

private:
    QString notesFolder() const;
    // Whether one of the open notes named in inUse is kept in the file at path.
    bool isOpen(const QString &path, const QStringList &inUse) const;
    bool isTaken(const QString &path, const QStringList &inUse) const;
    std::optional<NoteFile> saveElsewhere(const QString &text, const QDateTime &now,
                                          QStringList inUse) const;

    QString m_programFolder;
    NoteWriter m_writer;
};

} // namespace tavlo
