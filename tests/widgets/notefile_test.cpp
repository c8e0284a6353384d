#include "widgets/notes/notefile.h"

#include "testenv.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace tavlo {
namespace {

const QDateTime kStart(QDate(2010, 10, 7), QTime(15, 30, 12));

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
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

TEST_F(NoteFileTest, FirstStartNamesTheNoteAfterItsMomentAndExitWritesIt)
{
    const NoteOpen first = notes.restore(QString(), kStart, {});
    EXPECT_EQ(first.error, NoteFileError::None);
    EXPECT_EQ(first.file, (NoteFile{QStringLiteral("notes/20101007153012.txt")}));
    EXPECT_TRUE(first.text.isEmpty());
    EXPECT_FALSE(QFile::exists(notes.pathOf(first.file.name)));

    const NoteSave saved = notes.save(first.file, QStringLiteral("Buy milk"), kStart, {});
    EXPECT_EQ(saved.outcome, NoteSave::Outcome::Saved);
    EXPECT_EQ(contents(folder + QStringLiteral("/notes/20101007153012.txt")), "Buy milk\r\n");
    // Stored names are trimmed as the settings may hold them.
    const NoteOpen again = notes.restore(QStringLiteral("  notes/20101007153012.txt "), kStart, {});
    EXPECT_EQ(again.file, first.file);
    EXPECT_EQ(again.text, QStringLiteral("Buy milk"));
}

TEST_F(NoteFileTest, TextComesBackAsTyped)
{
    struct Case
    {
        const char *text;
        QByteArray file;
    };
    const Case cases[] = {
        {"a, \"b\",c\n   indented\n\t\"quoted, with comma\"", "a, \"b\",c\r\n   indented\r\n"
                                                              "\t\"quoted, with comma\"\r\n"},
        {"", "\r\n"},
        {"\n\nmiddle\n\n", "\r\n\r\nmiddle\r\n\r\n\r\n"},
        {"\n", "\r\n\r\n"},
        {"trailing blanks   ", "trailing blanks   \r\n"},
        {"Café €, 東京, 🙂",
         "Caf\xC3\xA9 \xE2\x82\xAC, \xE6\x9D\xB1\xE4\xBA\xAC, \xF0\x9F\x99\x82\r\n"},
    };
    const NoteFile file{QStringLiteral("notes/note.txt")};
    for (const Case &c : cases) {
        const QString text = QString::fromUtf8(c.text);
        SCOPED_TRACE(c.text);
        ASSERT_EQ(notes.save(file, text, kStart, {}).outcome, NoteSave::Outcome::Saved);
        EXPECT_EQ(contents(notes.pathOf(file.name)), c.file);
        const NoteOpen back = notes.restore(file.name, kStart, {});
        EXPECT_EQ(back.text, text);
        EXPECT_EQ(back.file, file);
    }
}

TEST_F(NoteFileTest, EveryLineEndReadsAndAnInsertedFileKeepsItsOwn)
{
    struct Case
    {
        QByteArray file;
        const char *text;
        LineEnd lineEnd;
        QByteArray written; // the same text saved again
    };
    const Case cases[] = {
        {"a\r\nb\r\n", "a\nb", LineEnd::CrLf, "a\r\nb\r\n"},
        {"a\nb\n", "a\nb", LineEnd::Lf, "a\nb\n"},
        {"a\rb\r", "a\nb", LineEnd::Cr, "a\rb\r"},
        {"a\nb", "a\nb", LineEnd::Lf, "a\nb\n"},
        {"\n\na\n\n", "\n\na\n", LineEnd::Lf, "\n\na\n\n"},
        {"one line", "one line", LineEnd::CrLf, "one line\r\n"},
        {"", "", LineEnd::CrLf, "\r\n"},
        // Mixed: every kind ends a line, and most lines decide the style.
        {"a\r\nb\nc\rd\ne\n", "a\nb\nc\nd\ne", LineEnd::Lf, "a\nb\nc\nd\ne\n"},
        {"a\r\r\nb\r", "a\n\nb", LineEnd::Cr, "a\r\rb\r"},
        // A byte order mark is no part of the text, and is written back.
        {"\xEF\xBB\xBFx\ny\n", "x\ny", LineEnd::Lf, "\xEF\xBB\xBFx\ny\n"},
    };
    const QString path = put(QStringLiteral("elsewhere/inserted.txt"), QByteArray());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        put(path, c.file);
        const NoteOpen inserted = notes.insert(path, {});
        ASSERT_EQ(inserted.error, NoteFileError::None);
        EXPECT_EQ(inserted.text, QString::fromUtf8(c.text));
        EXPECT_EQ(inserted.file.lineEnd, c.lineEnd);
        EXPECT_EQ(inserted.file.name, path);
        ASSERT_EQ(notes.save(inserted.file, inserted.text, kStart, {}).outcome,
                  NoteSave::Outcome::Saved);
        EXPECT_EQ(contents(path), c.written);
        // The program's own notes go back with CR LF whatever their file had.
        put(QStringLiteral("notes/own.txt"), c.file);
        const NoteOpen own = notes.restore(QStringLiteral("notes/own.txt"), kStart, {});
        EXPECT_EQ(own.text, QString::fromUtf8(c.text));
        EXPECT_EQ(own.file, (NoteFile{QStringLiteral("notes/own.txt")}));
    }
    // Line ends in the text itself, whichever kind, become the file's.
    EXPECT_EQ(encodeNote(QStringLiteral("a\r\nb\rc\nd"), LineEnd::Cr), "a\rb\rc\rd\r");
}

TEST_F(NoteFileTest, TextThatIsNotUtf8IsReadAsWindows1252AndWrittenAsUtf8)
{
    struct Case
    {
        QByteArray file;
        const char *text;
    };
    const Case cases[] = {
        {"Caf\xE9 \x80 \x93quoted\x94\r\n", "Café € “quoted”"},
        {"\x8A\x9F\xA0\xFF", "Š\u0178\u00A0ÿ"},
        // Codes Windows-1252 leaves free come through as the controls of their number.
        {"\x81\x8D\x8F\x90\x9D", "\u0081\u008D\u008F\u0090\u009D"},
        // Cut UTF-8 is not UTF-8.
        {"ok \xC3", "ok Ã"},
        {"\xEF\xBB\xBF\xE9", "ï»¿é"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        put(QStringLiteral("notes/old.txt"), c.file);
        const NoteOpen open = notes.restore(QStringLiteral("notes/old.txt"), kStart, {});
        EXPECT_EQ(open.text, QString::fromUtf8(c.text));
        EXPECT_FALSE(open.file.byteOrderMark);
        notes.save(open.file, open.text, kStart, {});
        EXPECT_EQ(contents(notes.pathOf(open.file.name)), QByteArray(c.text) + "\r\n");
    }
}

TEST_F(NoteFileTest, NotesMadeInOneSecondGetFilesOfTheirOwn)
{
    struct Case
    {
        QStringList onDisk;
        QStringList inUse;
        const char *expected;
    };
    const QString base = QStringLiteral("notes/20101007153012");
    const Case cases[] = {
        {{}, {}, "notes/20101007153012.txt"},
        {{}, {base + QStringLiteral(".txt")}, "notes/20101007153012-2.txt"},
        {{base + QStringLiteral(".txt")}, {}, "notes/20101007153012-2.txt"},
        {{base + QStringLiteral(".txt")},
         {base + QStringLiteral("-2.txt"), base + QStringLiteral("-4.txt")},
         "notes/20101007153012-3.txt"},
        // An open note named by its full path, or with blanks around, holds its file too.
        {{},
         {QStringLiteral(" ") + folder + u'/' + base + QStringLiteral(".txt")},
         "notes/20101007153012-2.txt"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected);
        QDir(notes.pathOf(QStringLiteral("notes"))).removeRecursively();
        QDir().mkpath(notes.pathOf(QStringLiteral("notes")));
        for (const QString &name : c.onDisk)
            put(name, "x\r\n");
        EXPECT_EQ(notes.newName(kStart, c.inUse), QString::fromLatin1(c.expected));
        EXPECT_EQ(notes.restore(QString(), kStart, c.inUse).file.name,
                  QString::fromLatin1(c.expected));
    }
    // A link to nowhere is a file left behind too.
    QFile::link(QStringLiteral("/nonexistent/target"), notes.pathOf(base + QStringLiteral(".txt")));
    EXPECT_EQ(notes.newName(kStart, {}), base + QStringLiteral("-2.txt"));
    // Many notes in one second stay apart.
    QSet<QString> names;
    QStringList open;
    for (int i = 0; i < 30; ++i)
        open << *notes.newName(kStart, open);
    EXPECT_EQ(QSet<QString>(open.begin(), open.end()).size(), 30);
}

TEST_F(NoteFileTest, StartSetsAsideAFileItCannotShowAndKeepsAMissingOne)
{
    QDir().mkpath(notes.pathOf(QStringLiteral("notes/folder.txt")));
    put(QStringLiteral("notes/binary.txt"), QByteArray("MZ\0\0\x90", 5));
    put(QStringLiteral("notes/shared.txt"), "shown by another note\r\n");
    struct Case
    {
        const char *stored;
        NoteFileError error;
        bool keepsName;
    };
    const Case cases[] = {
        {"notes/missing.txt", NoteFileError::Missing, true},
        {"/no/such/folder/note.txt", NoteFileError::Missing, true},
        {"notes/folder.txt", NoteFileError::NotAFile, false},
        {"notes/binary.txt", NoteFileError::Binary, false},
        {"notes/shared.txt", NoteFileError::InUse, false},
    };
    const QStringList open{QStringLiteral("notes/shared.txt")};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.stored);
        const NoteOpen note = notes.restore(QString::fromLatin1(c.stored), kStart, open);
        EXPECT_EQ(note.error, c.error);
        EXPECT_TRUE(note.text.isEmpty());
        EXPECT_EQ(note.file.name, c.keepsName ? QString::fromLatin1(c.stored)
                                              : QStringLiteral("notes/20101007153012.txt"));
    }
    EXPECT_EQ(contents(notes.pathOf(QStringLiteral("notes/binary.txt"))),
              QByteArray("MZ\0\0\x90", 5));
}

TEST_F(NoteFileTest, InsertRefusesWhatIsNoTextWithAReasonAndWithoutBlocking)
{
    const QString dir = folder + QStringLiteral("/picked");
    put(dir + QStringLiteral("/limit.txt"), QByteArray(kNoteFileLimit, 'a'));
    const QString over = put(dir + QStringLiteral("/over.txt"), "text");
    QFile::resize(over, kNoteFileLimit + 1);
    put(dir + QStringLiteral("/binary.txt"), QByteArray("text\0more", 9));
    put(dir + QStringLiteral("/open.txt"), "text");
    QDir().mkpath(dir + QStringLiteral("/folder.txt"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir + QStringLiteral("/pipe.txt")).constData(), 0600), 0);
    QFile::link(QStringLiteral("/dev/zero"), dir + QStringLiteral("/zero.txt"));
    QFile::link(QStringLiteral("/dev/tty"), dir + QStringLiteral("/tty.txt"));

    struct Case
    {
        const char *name;
        NoteFileError error;
    };
    const Case cases[] = {
        {"limit.txt", NoteFileError::None},      {"over.txt", NoteFileError::TooLarge},
        {"binary.txt", NoteFileError::Binary},   {"open.txt", NoteFileError::InUse},
        {"folder.txt", NoteFileError::NotAFile}, {"pipe.txt", NoteFileError::NotAFile},
        {"zero.txt", NoteFileError::NotAFile},   {"tty.txt", NoteFileError::NotAFile},
        {"missing.txt", NoteFileError::Missing},
    };
    const QStringList open{dir + QStringLiteral("/open.txt")};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QElapsedTimer timer;
        timer.start();
        const NoteOpen note = notes.insert(dir + u'/' + QLatin1String(c.name), open);
        EXPECT_LT(timer.elapsed(), 5000);
        EXPECT_EQ(note.error, c.error);
        EXPECT_EQ(noteFileErrorText(note.error).isEmpty(), c.error == NoteFileError::None);
        if (c.error != NoteFileError::None) {
            EXPECT_EQ(note.file, NoteFile());
            EXPECT_TRUE(note.text.isEmpty());
        } else {
            EXPECT_EQ(note.text.size(), kNoteFileLimit);
        }
    }
}

TEST_F(NoteFileTest, AFileThatCannotBeWrittenMovesTheNoteToANewOne)
{
    const QString blocker = put(QStringLiteral("plain-file"), "not a folder");
    const QString gone = folder + QStringLiteral("/gone");
    const QString full = folder + QStringLiteral("/full/note.txt");
    put(full, "kept\n");
    // A disk that fills up once the file is open: only the write fails.
    const NoteFolder fullDisk(folder, [&](const QString &path, const QByteArray &bytes) {
        return path != full && writeFileAtomically(path, bytes);
    });
    struct Case
    {
        const char *label;
        const NoteFolder &folder;
        QString name;
    };
    const Case cases[] = {
        {"under a file", notes, blocker + QStringLiteral("/note.txt")},
        {"folder gone", notes, gone + QStringLiteral("/note.txt")},
        {"disk full", fullDisk, full},
        {"no name", notes, QString()},
    };
    const QStringList open{QStringLiteral("notes/20101007153012.txt")};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        QDir(notes.pathOf(QStringLiteral("notes"))).removeRecursively();
        const NoteFile file{c.name, LineEnd::Lf};
        const NoteSave saved = c.folder.save(file, QStringLiteral("a\nb"), kStart, open);
        EXPECT_EQ(saved.outcome, NoteSave::Outcome::Moved);
        EXPECT_EQ(saved.oldName, c.name);
        EXPECT_EQ(saved.file, (NoteFile{QStringLiteral("notes/20101007153012-2.txt")}));
        EXPECT_EQ(contents(notes.pathOf(saved.file.name)), "a\r\nb\r\n");
    }
    EXPECT_EQ(contents(full), "kept\n");
    EXPECT_FALSE(QFile::exists(gone));
    // The program's own notes folder is made again rather than given up.
    QDir(notes.pathOf(QStringLiteral("notes"))).removeRecursively();
    EXPECT_EQ(notes.save(NoteFile{QStringLiteral("notes/x.txt")}, QString(), kStart, {}).outcome,
              NoteSave::Outcome::Saved);
}

TEST_F(NoteFileTest, SaveFailsOnlyWhenTheNotesFolderCannotTakeItEither)
{
    const QString existing = put(QStringLiteral("notes/20101007153012.txt"), "old\r\n");
    const NoteFile file{QStringLiteral("notes/20101007153012.txt")};
    struct Case
    {
        const char *label;
        NoteFolder folder;
    };
    const Case cases[] = {
        {"nothing writes",
         NoteFolder(folder, [](const QString &, const QByteArray &) { return false; })},
        {"program folder is a file",
         NoteFolder(folder + QStringLiteral("/notes/20101007153012.txt"))},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.label);
        const QStringList before = QDir(notes.pathOf(QStringLiteral("notes"))).entryList();
        const NoteSave saved = c.folder.save(file, QStringLiteral("new"), kStart, {});
        EXPECT_EQ(saved.outcome, NoteSave::Outcome::Failed);
        EXPECT_EQ(saved.file, file);
        EXPECT_EQ(contents(existing), "old\r\n");
        // No reserved file is left behind.
        EXPECT_EQ(QDir(notes.pathOf(QStringLiteral("notes"))).entryList(), before);
    }
}

TEST_F(NoteFileTest, AWriteThatRunsOutOfRoomIsNeverReportedAsDone)
{
    const QString path = put(QStringLiteral("notes/n.txt"), "old\r\n");
    // The file size limit stands in for a full disk: writes past it fail.
    rlimit saved = {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 64 * 1024;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = writeFileAtomically(path, QByteArray(1024 * 1024, 'x'));
    const NoteSave save =
        notes.save(NoteFile{QStringLiteral("notes/n.txt")}, QString(200000, u'y'), kStart, {});
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(save.outcome, NoteSave::Outcome::Failed);
    EXPECT_EQ(contents(path), "old\r\n");
}

} // namespace
} // namespace tavlo
