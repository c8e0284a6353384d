// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/notes/notefile.h"

#include "platform/savefile.h"

#include "testenv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace tavlo {
namespace {

const QDateTime kStart(QDate(2010, 10, 7), QTime(15, 30, 12));
const QString kFirst = QStringLiteral("notes/20101007153012.txt");
const QString kSecond = QStringLiteral("notes/20101007153012-2.txt");

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST(NoteTextTest, LinesComeBackWholeAndGoOutInTheirFilesStyle)
{
    // Written: the text saved back into the file it came from, when not the file itself.
    // clang-format off
    const struct { QByteArray file; const char *text; LineEnd lineEnd; QByteArray written; } cases[] = {
        {"a, \"b\",c\r\n   lead\r\n", "a, \"b\",c\n   lead", LineEnd::CrLf, {}},
        {"\r\n", "", LineEnd::CrLf, {}},
        {"\r\n\r\nmid\r\n\r\n\r\n", "\n\nmid\n\n", LineEnd::CrLf, {}},
        {"a\nb\n", "a\nb", LineEnd::Lf, {}},
        {"a\rb\r", "a\nb", LineEnd::Cr, {}},
        {"a\nb", "a\nb", LineEnd::Lf, "a\nb\n"},
        {"", "", LineEnd::CrLf, "\r\n"},
        // Every kind ends a line; most lines decide the style.
        {"a\r\nb\nc\rd\ne\n", "a\nb\nc\nd\ne", LineEnd::Lf, "a\nb\nc\nd\ne\n"},
        {"a\r\r\nb\r", "a\n\nb", LineEnd::Cr, "a\r\rb\r"},
        {"\xEF\xBB\xBF\xE2\x82\xAC\n", "€", LineEnd::Lf, {}},
        // Not UTF-8, so Windows-1252 (its free codes as the controls of their
        // number, a cut UTF-8 sequence too), written back as UTF-8.
        {"Caf\xE9 \x80 \x93q\x94\r\n", "Café € “q”", LineEnd::CrLf, "Café € “q”\r\n"},
        {"\x81\x8D\x9F ok \xC3", "\u0081\u008DŸ ok Ã", LineEnd::CrLf, "\u0081\u008DŸ ok Ã\r\n"},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        const NoteLoad load = decodeNote(c.file);
        EXPECT_TRUE(load.error == NoteFileError::None && load.lineEnd == c.lineEnd);
        EXPECT_EQ(load.text, QString::fromUtf8(c.text));
        EXPECT_EQ(encodeNote(load.text, load.lineEnd, load.byteOrderMark),
                  c.written.isNull() ? c.file : c.written);
    }
    EXPECT_EQ(encodeNote(QStringLiteral("a\r\nb\rc\nd"), LineEnd::Cr), "a\rb\rc\rd\r");
    EXPECT_EQ(decodeNote(QByteArray("a\0b", 3)).error, NoteFileError::Binary);
}

// A program folder with its notes folder, as start-up leaves it.
class NoteFileTest : public testing::Test
{
protected:
    void SetUp() override { QDir().mkpath(notes.pathOf(QStringLiteral("notes"))); }

    QString put(const QString &name, const QByteArray &bytes)
    {
        const QString path = notes.pathOf(name);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    const QString folder = test::dataHome() + QStringLiteral("/tavlo/TavloNotes");
    NoteFolder notes{folder};
};

TEST_F(NoteFileTest, FirstStartNamesTheNoteAfterItsMomentAndSavingWritesIt)
{
    const NoteOpen first = notes.restore(QString(), kStart, {});
    EXPECT_EQ(first.file, NoteFile{kFirst});
    EXPECT_TRUE(first.text.isEmpty() && !QFile::exists(folder + u'/' + kFirst));

    EXPECT_EQ(notes.save(first.file, QStringLiteral("Milk"), kStart, {}).outcome,
              NoteSave::Outcome::Saved);
    EXPECT_EQ(contents(folder + u'/' + kFirst), "Milk\r\n");
    const NoteOpen again = notes.restore(QStringLiteral("  ") + kFirst + u' ', kStart, {});
    EXPECT_TRUE(again.file == first.file && again.text == QStringLiteral("Milk"));

    // The program's own notes go out with CR LF; an inserted file keeps its style.
    const QString path = put(QStringLiteral("mine.txt"), "a\nb\n");
    EXPECT_EQ(notes.restore(QStringLiteral("mine.txt"), kStart, {}).file.lineEnd, LineEnd::CrLf);
    const NoteOpen inserted = notes.insert(path, {});
    EXPECT_EQ(inserted.file, (NoteFile{path, LineEnd::Lf}));
    notes.save(inserted.file, inserted.text + u'!', kStart, {});
    EXPECT_EQ(contents(path), "a\nb!\n");
}

TEST_F(NoteFileTest, NotesMadeInOneSecondGetFilesOfTheirOwn)
{
    const QString stem = QStringLiteral("notes/20101007153012");
    // clang-format off
    const struct { QStringList onDisk, inUse; QString expected; } cases[] = {
        {{}, {kFirst}, kSecond}, {{kFirst}, {}, kSecond},
        {{kFirst}, {kSecond, stem + QStringLiteral("-4.txt")}, stem + QStringLiteral("-3.txt")},
        // An open note named by its full path, blanks around, holds its file too.
        {{}, {u' ' + folder + u'/' + kFirst}, kSecond},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        QDir(notes.pathOf(QStringLiteral("notes"))).removeRecursively();
        for (const QString &name : c.onDisk)
            put(name, "x");
        EXPECT_EQ(notes.newName(kStart, c.inUse), c.expected);
        EXPECT_EQ(notes.restore(QString(), kStart, c.inUse).file.name, c.expected);
    }
    // A link to nowhere is a file left behind too.
    QDir(notes.pathOf(QStringLiteral("notes"))).removeRecursively();
    QDir().mkpath(notes.pathOf(QStringLiteral("notes")));
    QFile::link(QStringLiteral("/nonexistent"), notes.pathOf(kFirst));
    EXPECT_EQ(notes.newName(kStart, {}), kSecond);
}

TEST_F(NoteFileTest, StartSetsAsideAFileItCannotShowAndKeepsAMissingOne)
{
    QDir().mkpath(notes.pathOf(QStringLiteral("notes/folder.txt")));
    const QString binary = put(QStringLiteral("notes/binary.txt"), QByteArray("MZ\0\x90", 4));
    put(QStringLiteral("notes/shared.txt"), "shown by another note\r\n");
    // clang-format off
    const struct { const char *stored; NoteFileError error; bool keepsName; } cases[] = {
        {"notes/missing.txt", NoteFileError::Missing, true},
        {"/no/such/folder/note.txt", NoteFileError::Missing, true},
        {"notes/folder.txt", NoteFileError::NotAFile, false},
        {"notes/binary.txt", NoteFileError::Binary, false},
        {"notes/shared.txt", NoteFileError::InUse, false},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored);
        const QString stored = QString::fromLatin1(c.stored);
        const NoteOpen note = notes.restore(stored, kStart, {QStringLiteral("notes/shared.txt")});
        EXPECT_EQ(note.error, c.error);
        EXPECT_TRUE(note.text.isEmpty() && note.file.name == (c.keepsName ? stored : kFirst));
    }
    EXPECT_EQ(contents(binary), QByteArray("MZ\0\x90", 4));
}

TEST_F(NoteFileTest, InsertRefusesWhatIsNoTextWithAReasonAndWithoutBlocking)
{
    const QString dir = folder + QStringLiteral("/picked/");
    put(dir + QStringLiteral("limit.txt"), QByteArray(kNoteFileLimit, 'a'));
    QFile::resize(put(dir + QStringLiteral("over.txt"), "a"), kNoteFileLimit + 1);
    put(dir + QStringLiteral("binary.txt"), QByteArray("text\0more", 9));
    put(dir + QStringLiteral("open.txt"), "text");
    QDir().mkpath(dir + QStringLiteral("folder.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir + QStringLiteral("pipe.txt")).constData(), 0600), 0);
    QFile::link(QStringLiteral("/dev/zero"), dir + QStringLiteral("zero.txt"));

    // clang-format off
    const struct { const char *name; NoteFileError error; } cases[] = {
        {"limit.txt", NoteFileError::None},      {"over.txt", NoteFileError::TooLarge},
        {"binary.txt", NoteFileError::Binary},   {"open.txt", NoteFileError::InUse},
        {"folder.txt", NoteFileError::NotAFile}, {"pipe.txt", NoteFileError::NotAFile},
        {"zero.txt", NoteFileError::NotAFile},   {"missing.txt", NoteFileError::Missing},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QElapsedTimer timer;
        timer.start();
        const NoteOpen note =
            notes.insert(dir + QLatin1String(c.name), {dir + QStringLiteral("open.txt")});
        EXPECT_LT(timer.elapsed(), 5000);
        EXPECT_EQ(note.error, c.error);
        const bool taken = c.error == NoteFileError::None;
        EXPECT_TRUE(noteFileErrorText(note.error).isEmpty() == taken &&
                    note.text.size() == (taken ? kNoteFileLimit : 0) &&
                    note.file.name.isEmpty() != taken);
    }
}

TEST_F(NoteFileTest, AFileThatCannotBeWrittenMovesTheNoteToANewOne)
{
    const QString blocker = put(QStringLiteral("plain-file"), "not a folder");
    const QString full = put(QStringLiteral("full/note.txt"), "kept\n");
    // A disk that fills up once the file is open: only the write fails.
    const NoteFolder fullDisk(folder, [&](const QString &path, const QByteArray &bytes) {
        return path != full && writeFileAtomically(path, bytes);
    });
    // clang-format off
    const struct { const NoteFolder &folder; QString name; } cases[] = {
        {notes, blocker + QStringLiteral("/note.txt")},
        {notes, folder + QStringLiteral("/gone/note.txt")},
        {fullDisk, full},
        {notes, QString()},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        QDir(notes.pathOf(QStringLiteral("notes"))).removeRecursively();
        const NoteSave saved =
            c.folder.save(NoteFile{c.name, LineEnd::Lf}, QStringLiteral("a\nb"), kStart, {kFirst});
        EXPECT_TRUE(saved.outcome == NoteSave::Outcome::Moved && saved.oldName == c.name &&
                    saved.file == NoteFile{kSecond});
        EXPECT_EQ(contents(notes.pathOf(kSecond)), "a\r\nb\r\n");
    }
    EXPECT_EQ(contents(full), "kept\n");
    // The program's own notes folder is made again rather than given up.
    QDir(notes.pathOf(QStringLiteral("notes"))).removeRecursively();
    EXPECT_EQ(notes.save(NoteFile{kFirst}, QString(), kStart, {}).outcome,
              NoteSave::Outcome::Saved);
}

TEST_F(NoteFileTest, SaveFailsOnlyWhenTheNotesFolderCannotTakeItEitherAndKeepsTheOldText)
{
    const QString existing = put(kFirst, "old\r\n");
    const auto expectFailedAndKept = [&](const NoteSave &saved) {
        EXPECT_TRUE(saved.outcome == NoteSave::Outcome::Failed && saved.file == NoteFile{kFirst});
        EXPECT_EQ(contents(existing), "old\r\n");
        // No reserved file is left behind.
        EXPECT_EQ(QDir(notes.pathOf(QStringLiteral("notes"))).entryList(QDir::Files),
                  QStringList{QFileInfo(kFirst).fileName()});
    };
    const NoteFolder refusing(folder, [](const QString &, const QByteArray &) { return false; });
    // Its notes folder would lie below a file.
    const NoteFolder underAFile(existing);
    for (const NoteFolder *broken : {&refusing, &underAFile})
        expectFailedAndKept(broken->save(NoteFile{kFirst}, QStringLiteral("new"), kStart, {}));

    // The file size limit stands in for a full disk: writes past it fail, a
    // small one when it is flushed, a large one at once.
    rlimit saved = {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool flushed = writeFileAtomically(existing, QByteArray(8192, 'x'));
    const bool written = writeFileAtomically(existing, QByteArray(1024 * 1024, 'x'));
    const NoteSave full = notes.save(NoteFile{kFirst}, QString(8192, u'y'), kStart, {});
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(flushed || written);
    expectFailedAndKept(full);
}

} // namespace
} // namespace tavlo
