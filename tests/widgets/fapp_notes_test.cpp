// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/notes/fapp_notes.h"

#include "app/fpge_store.h"
#include "core/folders.h"
#include "core/twips.h"
#include "core/valuenames.h"
#include "frame/commondialog.h"
#include "globalsfixture.h"
#include "platform/savefile.h"
#include "testenv.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <initializer_list>
#include <utility>

using namespace tavlo;

namespace {

const QDateTime kStart(QDate(2010, 10, 7), QTime(15, 30, 12));
const QString kFirst = QStringLiteral("notes/20101007153012.txt");

// The notes program on stored values the test gives, at a moment it sets,
// with file questions answered and notices and failing writes under its control.
class NotesTest : public test::GlobalsFixture
{
protected:
    using Values = std::initializer_list<std::pair<const char *, QString>>;

    void SetUp() override
    {
        fapp_NOTES::setWriterForTesting([this](const QString &path, const QByteArray &bytes) {
            return !failing.contains(path) && writeFileAtomically(path, bytes);
        });
    }
    void TearDown() override
    {
        fapp_NOTES::setWriterForTesting({});
        fapp_NOTES::setNoticeSink({});
        GlobalsFixture::TearDown();
    }

    void startWith(Values values = {})
    {
        globals().strAPPTITLE = QStringLiteral("TavloNotes");
        globals().strREGROOT = QStringLiteral("SOFTWARE\\TavloNotes\\");
        globals().objREGISTRY = std::make_unique<cmlib_REGISTRY>();
        for (const auto &[name, value] : values)
            SaveSetting(QLatin1String(name), value);
        FlushSettings();
        ASSERT_TRUE(Main(QStringLiteral("TavloNotes")));
        // The program's own hooks; the test keeps its notices.
        fapp_NOTES::setNoticeSink(
            [this](const QString &title, const QString &) { notices << title; });
    }
    // Exit as the menu runs it, then a fresh start on what it left.
    void exitAndRestart()
    {
        OrderlyExit();
        FlushSettings();
        resetGlobals();
        startWith();
    }
    static fapp_NOTES *note(int number)
    {
        return qobject_cast<fapp_NOTES *>(widgetSet().frmWIDGETS(number));
    }
    // A note's file name and text, as "name|text".
    static QString shownNote(int number)
    {
        return note(number)->editor()->Tag() + u'|' + note(number)->editor()->toPlainText();
    }
    static QString path(const QString &name)
    {
        return QDir::cleanPath(
            QDir(programFolder(QStringLiteral("TavloNotes"))).absoluteFilePath(name));
    }
    static QByteArray contents(const QString &name)
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    static QString put(const QString &name, const QByteArray &bytes)
    {
        QDir().mkpath(QFileInfo(path(name)).absolutePath());
        QFile file(path(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path(name);
    }
    static QString stored(const char *name)
    {
        FlushSettings();
        return LoadSetting(QLatin1String(name), QStringLiteral("<absent>"));
    }
    // Writes note number's text at once and waits until its file has it.
    static bool written(int number)
    {
        note(number)->saveSoon();
        return QTest::qWaitFor([number] { return note(number)->isSaved(); }, 5000);
    }

    test::FakeClock fakeClock{kStart};
    test::RecordingDesktop desk;
    QStringList notices;
    QStringList failing; // paths whose writes fail
};

} // namespace

TEST_F(NotesTest, FirstStartShowsOneNoteNamedFromItsMomentAndTextComesBackAsTyped)
{
    // The text's own forms are the codec's table; here the round trip through the program.
    // clang-format off
    const struct { const char *text; QByteArray file; } cases[] = {
        {"", "\r\n"},
        {"a, \"b\",c\n\n   Grüße €\n", "a, \"b\",c\r\n\r\n   Gr\xC3\xBC\xC3\x9F\x65 \xE2\x82\xAC\r\n\r\n"},
    };
    // clang-format on
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        QDir(path(QStringLiteral("notes"))).removeRecursively();
        startWith({{"TOTAL", QStringLiteral("0")}, {"0PHOTO", QStringLiteral("notes/old.txt")}});
        EXPECT_EQ(widgetSet().lngOPENCOUNT(), 1);
        EXPECT_EQ(note(0)->findChild<NoteEdit *>(QStringLiteral("objMAINPART")), note(0)->editor());
        EXPECT_EQ(shownNote(0), kFirst + u'|');
        EXPECT_FALSE(QFile::exists(path(kFirst)));
        note(0)->editor()->setPlainText(QString::fromUtf8(c.text));
        exitAndRestart();
        EXPECT_EQ(contents(kFirst), c.file);
        EXPECT_EQ(shownNote(0), kFirst + u'|' + QString::fromUtf8(c.text));
        resetGlobals();
    }
}

TEST_F(NotesTest, RestoresEachNoteAndSavesTheSetDensely)
{
    put(QStringLiteral("notes/a.txt"), "first\r\n");
    put(QStringLiteral("notes/c.txt"), "third\r\n");
    startWith({{"TOTAL", QStringLiteral("3")},
               {"0PHOTO", QStringLiteral("notes/a.txt")},
               {"0Color", QStringLiteral("255")},
               {"1PHOTO", QStringLiteral("notes/missing.txt")},
               {"2PHOTO", QStringLiteral("notes/c.txt")},
               {"2PHOTOWIDTH", QStringLiteral("3000")},
               {"2Date-Color", QStringLiteral("65280")}});
    EXPECT_TRUE(widgetSet().lngLASTINDEX() == 2 && widgetSet().lngSELINDEX() == 2);
    EXPECT_EQ(shownNote(0), QStringLiteral("notes/a.txt|first"));
    EXPECT_EQ(note(0)->lngTHEMECOLOR(), 255);
    // A missing file leaves the note empty under its name.
    EXPECT_EQ(shownNote(1), QStringLiteral("notes/missing.txt|"));
    EXPECT_EQ(note(2)->editor()->palette().color(QPalette::Text), QColor(0, 255, 0));
    EXPECT_NEAR(note(2)->editor()->width() * twipsPerPixelX(), 3000, twipsPerPixelX());

    // Close: the text goes to its file, the note leaves the set, its file stays.
    widgetSet().setCurrent(1);
    note(1)->editor()->setPlainText(QStringLiteral("closed"));
    menuForm().mnuFILECLOSE_Click();
    EXPECT_EQ(widgetSet().lngOPENCOUNT(), 2);
    exitAndRestart();
    EXPECT_EQ(contents(QStringLiteral("notes/missing.txt")), "closed\r\n");
    EXPECT_EQ(stored("TOTAL"), QStringLiteral("2"));
    EXPECT_EQ(shownNote(1), QStringLiteral("notes/c.txt|third"));
    EXPECT_FALSE(note(2));
}

TEST_F(NotesTest, NotesOfOneSecondGetTheirOwnFiles)
{
    put(kFirst, "left by an earlier run\r\n");
    startWith();
    menuForm().mnuFILENEW_Click();
    menuForm().mnuFILENEW_Click();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(note(i)->editor()->Tag(),
                  QStringLiteral("notes/20101007153012-%1.txt").arg(i + 2));
    EXPECT_EQ(contents(kFirst), "left by an earlier run\r\n");
}

TEST_F(NotesTest, InsertTakesATextFileAndKeepsItsLineEnds)
{
    const QString lf = put(QStringLiteral("picked/lf.txt"), "a\nb\n");
    const QString ansi = put(QStringLiteral("picked/ansi.txt"), "Caf\xE9\r\n");
    const QString binary = put(QStringLiteral("picked/binary.txt"), QByteArray("x\0y", 3));
    const QString huge = put(QStringLiteral("picked/huge.txt"), "a");
    QFile::resize(huge, kNoteFileLimit + 1);
    startWith();
    note(0)->editor()->setPlainText(QStringLiteral("before"));

    for (const QString &refused : {binary, huge}) {
        desk.fileAnswer = refused;
        menuForm().mnuFILEINSERT_Click();
        EXPECT_EQ(shownNote(0), kFirst + QStringLiteral("|before"));
    }
    EXPECT_EQ(notices.size(), 2);
    EXPECT_EQ(desk.fileQuestions.value(0).value(0), QStringLiteral("Select a file"));

    desk.fileAnswer = lf;
    menuForm().mnuFILEINSERT_Click();
    EXPECT_EQ(shownNote(0), lf + QStringLiteral("|a\nb"));
    note(0)->editor()->appendPlainText(QStringLiteral("c"));
    ASSERT_TRUE(written(0));
    EXPECT_EQ(contents(lf), "a\nb\nc\n");
    // The note's old file got its text as it was.
    EXPECT_EQ(contents(kFirst), "before\r\n");

    EXPECT_TRUE(note(0)->insertFile(ansi));
    EXPECT_EQ(shownNote(0), ansi + QStringLiteral("|Café"));
    exitAndRestart();
    EXPECT_EQ(contents(ansi), "Caf\xC3\xA9\r\n");
    EXPECT_EQ(shownNote(0), ansi + QStringLiteral("|Café"));
}

TEST_F(NotesTest, AFileThatCannotBeWrittenMovesTheNoteAndSaysSoOnce)
{
    startWith();
    failing << path(kFirst);
    note(0)->editor()->setPlainText(QStringLiteral("kept"));
    ASSERT_TRUE(written(0));
    const QString moved = QStringLiteral("notes/20101007153012-2.txt");
    EXPECT_EQ(note(0)->editor()->Tag(), moved);
    EXPECT_EQ(contents(moved), "kept\r\n");
    EXPECT_EQ(notices.size(), 1);
    note(0)->editor()->appendPlainText(QStringLiteral("more"));
    ASSERT_TRUE(written(0));
    EXPECT_EQ(notices.size(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return stored("0PHOTO") == moved; }, 2000));
}

TEST_F(NotesTest, ExitStopsWhenNoFileTakesTheText)
{
    startWith();
    failing << path(kFirst) << path(QStringLiteral("notes/20101007153012-2.txt"));
    note(0)->editor()->setPlainText(QStringLiteral("precious"));
    OrderlyExit();
    EXPECT_TRUE(note(0)->isVisible() && !notices.isEmpty());
    EXPECT_EQ(note(0)->editor()->toPlainText(), QStringLiteral("precious"));
    failing.clear();
    OrderlyExit();
    EXPECT_FALSE(note(0)->isVisible());
    EXPECT_EQ(contents(kFirst), "precious\r\n");
}
