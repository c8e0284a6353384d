// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame/resizableframe.h"
#include "widgets/notes/noteautosave.h"
#include "widgets/notes/notefile.h"

#include <QPlainTextEdit>
#include <functional>
#include <memory>

class QTimer;

namespace tavlo {

// The note's text box. Tag holds the name of the note's file; the right
// button brings the shared menu instead of the box's own edit menu.
class NoteEdit final : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit NoteEdit(QWidget *parent);
    QString Tag() const { return property("Tag").toString(); }
    void setTag(const QString &tag) { setProperty("Tag", tag); }

Q_SIGNALS:
    void pressed();
    void menuRequested(const QPoint &globalPos);
    void doubleClicked();
    void focusLost();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};

// A sticky note: a resizable widget whose main part is a plain-text box kept
// in a text file. The text reaches its file soon after every change, on a
// thread of its own, and the set of notes is checkpointed with it, so a
// crash loses at most the last two seconds of typing.
class fapp_NOTES final : public ResizableFrame
{
    Q_OBJECT
public:
    explicit fapp_NOTES(QWidget *parent = nullptr);
    ~fapp_NOTES() override;

    QWidget *mainPart() const override { return objMAINPART; }
    QTimer *partsTimer() const override { return tmrTimer; }
    NoteEdit *editor() const { return objMAINPART; }
    // The file the note is kept in.
    const NoteFile &noteFile() const { return m_file; }

    // Loads the note's settings and its text from the file stored for its number.
    void NewPHOTOForm() override;
    // Insert: asks for a text file and takes it into the note.
    void picopen() override;
    void updateparts() override;
    void FormUpdate() override;
    // Binds the note to the text file at path and shows its text; the old
    // file gets the text as it was. A file that cannot be taken is refused
    // with a notice and changes nothing.
    bool insertFile(const QString &path);
    // Starts the write of the text to the file now, if the file is behind.
    void saveSoon();
    // Whether the note's file holds its text.
    bool isSaved() const { return !m_autosave.isDirty() && !m_autosave.isWriting(); }

    // Writes what every note's file lacks and waits for the writes, at most
    // boundMs. False, and the user told, when some text could be put in no file.
    static bool saveAllNotes(int boundMs = 5000);
    // Where the notes tell the user something (a refused file, a note moved
    // to another file, a failed save): title and text.
    using NoticeSink = std::function<void(const QString &, const QString &)>;
    static void setNoticeSink(NoticeSink sink);
    // Replaces the file writer (tests make files fail to write).
    static void setWriterForTesting(NoteWriter writer);

Q_SIGNALS:
    // Ctrl+N and Ctrl+W: the menu's New and Close.
    void newRequested();
    void closeRequested();
    // A write of the text ended; ok is false when no file took it.
    void written(bool ok);

protected:
    void layoutKind() override;
    bool showsPicture() const override { return false; }
    void colourParts(const ThemeShades &shades) override;
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Write;
    // How the text looks, as last applied, so the half-second tick changes nothing else.
    struct Look
    {
        OleColor back = 0;
        OleColor fore = 0;
        QFont font;
        int align = -1;
        bool operator==(const Look &) const = default;
    };

    void connectControls();
    void placeText();
    void showText(const QString &text);
    void textEdited();
    void scheduleWrite();
    void startWrite();
    void finishWrite(std::shared_ptr<Write> write);
    // Waits (bounded) for a write under way and takes its outcome.
    void settleWrite(int boundMs);
    QStringList namesInUse() const;

    NoteEdit *objMAINPART = nullptr;
    QTimer *tmrTimer = nullptr;
    QTimer *m_saveTimer = nullptr;
    NoteFile m_file;
    NoteAutosave m_autosave;
    std::shared_ptr<Write> m_write;
    // Bumped on every rebinding: a write begun before it no longer counts.
    quint64 m_generation = 0;
    bool m_showingText = false;
    bool m_failureTold = false;
    Look m_look;
};

} // namespace tavlo
