// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/notes/fapp_notes.h"

#include "core/globals.h"
#include "frame/commondialog.h"
#include "frame/controls.h"
#include "frame/widgetset.h"
#include "platform/systemclock.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMouseEvent>
#include <QPointer>
#include <QShortcut>
#include <QTextOption>
#include <QThreadPool>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cmath>

namespace tavlo {
namespace {

Q_LOGGING_CATEGORY(lcNotes, "tavlo.notes", QtCriticalMsg)

// Design geometry of the text box, in twips.
constexpr int kTextMargin = 135;
constexpr int kTextSize = 3750;
// A move or a change of size settles before the set is checkpointed.
constexpr int kCheckpointDelayMs = 300;

NoteWriter &testWriter()
{
    static NoteWriter writer;
    return writer;
}

fapp_NOTES::NoticeSink &noticeSink()
{
    static fapp_NOTES::NoticeSink sink;
    return sink;
}

void tell(const QString &title, const QString &text)
{
    qCInfo(lcNotes) << title << text;
    if (noticeSink())
        noticeSink()(title, text);
}

// One thread writes every note, in the order asked: a later text of a note
// never lands before an earlier one, and typing never waits for the disk.
QThreadPool *writingPool()
{
    static QPointer<QThreadPool> pool;
    if (!pool) {
        pool = new QThreadPool(qApp);
        pool->setMaxThreadCount(1);
    }
    return pool;
}

NoteFolder noteFolder()
{
    return NoteFolder(globals().strPROGRAMFOLDER, testWriter());
}

QList<fapp_NOTES *> openNotes()
{
    QList<fapp_NOTES *> notes;
    for (int i = 0; i < kWidgetSlots; ++i) {
        if (auto *note = qobject_cast<fapp_NOTES *>(widgetSet().frmWIDGETS(i)))
            notes << note;
    }
    return notes;
}

// Stores the set of notes as Exit would, while any of it is on screen (after
// Exit has closed them all, the set it saved stays).
void checkpoint()
{
    const QList<fapp_NOTES *> notes = openNotes();
    if (std::any_of(notes.begin(), notes.end(), [](fapp_NOTES *n) { return n->isVisible(); }))
        widgetSet().saveAll();
}

void scheduleCheckpoint()
{
    static QPointer<QTimer> timer;
    if (!timer) {
        timer = new QTimer(qApp);
        timer->setSingleShot(true);
        timer->setInterval(kCheckpointDelayMs);
        QObject::connect(timer, &QTimer::timeout, timer, checkpoint);
    }
    timer->start();
}

void tellMoved(const NoteSave &result)
{
    tell(QCoreApplication::translate("Notes", "Note saved elsewhere"),
         QCoreApplication::translate("Notes", "The note could not be saved in %1. It is kept in "
                                              "%2 from now on.")
             .arg(result.oldName.isEmpty() ? QStringLiteral("-") : result.oldName,
                  noteFolder().pathOf(result.file.name)));
}

Qt::Alignment alignmentOf(int align)
{
    switch (align) {
    case Label::AlignRightJustify:
        return Qt::AlignRight;
    case Label::AlignCenter:
        return Qt::AlignHCenter;
    default:
        return Qt::AlignLeft;
    }
}

} // namespace

// A write handed to the writing thread, and what came of it.
struct fapp_NOTES::Write
{
    quint64 ticket = 0;
    quint64 generation = 0;
    NoteFile file;
    NoteSave result;
    std::atomic<bool> done{false};
    bool taken = false;
};

NoteEdit::NoteEdit(QWidget *parent) : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("objMAINPART"));
    setTag(QString());
    setFrameShape(QFrame::NoFrame);
    setTabChangesFocus(false);
    setBackgroundVisible(false);
}

void NoteEdit::mousePressEvent(QMouseEvent *event)
{
    Q_EMIT pressed();
    if (event->button() == Qt::LeftButton) {
        QPlainTextEdit::mousePressEvent(event);
        return;
    }
    // The shared menu, never the box's own edit menu.
    Q_EMIT menuRequested(event->globalPosition().toPoint());
    event->accept();
}

void NoteEdit::mouseDoubleClickEvent(QMouseEvent *event)
{
    Q_EMIT doubleClicked();
    event->accept();
}

void NoteEdit::contextMenuEvent(QContextMenuEvent *event)
{
    // The mouse's menu came with the press; the menu key brings it here.
    if (event->reason() != QContextMenuEvent::Mouse)
        Q_EMIT menuRequested(event->globalPos());
    event->accept();
}

void NoteEdit::focusOutEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusOutEvent(event);
    Q_EMIT focusLost();
}

fapp_NOTES::fapp_NOTES(QWidget *parent) : ResizableFrame(QStringLiteral("fapp_NOTES"), parent)
{
    // The family's picture surface only carries the text box's geometry here.
    ResizableFrame::objMAINPART->setObjectName(QStringLiteral("picMAINPART"));
    ResizableFrame::objMAINPART->setShown(false);
    ResizableFrame::objMAINPART->hide();
    ResizableFrame::objMAINPART->setLeft(kTextMargin);
    ResizableFrame::objMAINPART->setTop(kTextMargin);
    ResizableFrame::objMAINPART->setWidth(kTextSize);
    ResizableFrame::objMAINPART->setHeight(kTextSize);
    setFormWidth(kTextSize + 2 * kTextMargin);
    setFormHeight(kTextSize + 2 * kTextMargin);

    objMAINPART = new NoteEdit(this);
    objMAINPART->setAccessibleName(tr("Note"));
    setAccessibleKind(tr("sticky note"));
    objMAINPART->setFont(QFont(QStringLiteral("Arial"), 12));
    objMAINPART->raise();
    lablCORNER->raise();

    tmrTimer = new QTimer(this);
    tmrTimer->setObjectName(QStringLiteral("tmrTimer"));
    tmrTimer->setInterval(500);
    m_saveTimer = new QTimer(this);
    m_saveTimer->setSingleShot(true);
    connectControls();
    tmrTimer->start();
}

fapp_NOTES::~fapp_NOTES() = default;

void fapp_NOTES::connectControls()
{
    connect(tmrTimer, &QTimer::timeout, this, &fapp_NOTES::ColorUpdate);
    connect(m_saveTimer, &QTimer::timeout, this, [this] {
        if (m_autosave.isDue(NoteAutosave::Clock::now()))
            startWrite();
        else
            scheduleWrite();
    });
    connect(objMAINPART->document(), &QTextDocument::contentsChanged, this,
            &fapp_NOTES::textEdited);
    connect(objMAINPART, &NoteEdit::pressed, this, [this] { Q_EMIT activated(); });
    connect(objMAINPART, &NoteEdit::menuRequested, this,
            [this](const QPoint &at) { Q_EMIT menuRequested(at); });
    connect(objMAINPART, &NoteEdit::doubleClicked, this, [this] { PresetOpen(2); });
    connect(objMAINPART, &NoteEdit::focusLost, this, &fapp_NOTES::saveSoon);
    auto *newNote = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_N), this);
    connect(newNote, &QShortcut::activated, this, [this] {
        Q_EMIT activated();
        Q_EMIT newRequested();
    });
    auto *closeNote = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), this);
    connect(closeNote, &QShortcut::activated, this, [this] {
        Q_EMIT activated();
        Q_EMIT closeRequested();
    });
}

void fapp_NOTES::NewPHOTOForm()
{
    ResizableFrame::NewPHOTOForm();
    // The family kept the stored name as a picture's; it is the note's file.
    const QString stored = ResizableFrame::objMAINPART->Tag();
    ResizableFrame::objMAINPART->setTag(QString());
    const NoteOpen open = noteFolder().restore(stored, systemClock().now(), namesInUse());
    if (open.error != NoteFileError::None && open.error != NoteFileError::Missing)
        tell(QCoreApplication::translate("Notes", "Note not opened"),
             QCoreApplication::translate("Notes", "%1: %2 The note starts empty in %3.")
                 .arg(noteFolder().pathOf(stored), noteFileErrorText(open.error),
                      noteFolder().pathOf(open.file.name)));
    ++m_generation;
    m_file = open.file;
    objMAINPART->setTag(m_file.name);
    showText(open.text);
    // A file yet to be made is written at the first flush, typed into or not.
    m_autosave = NoteAutosave(open.error == NoteFileError::None && !stored.trimmed().isEmpty());
    ColorUpdate();
    placeText();
    scheduleCheckpoint();
}

void fapp_NOTES::picopen()
{
    CommonDialog &dialog = sharedFileDialog();
    dialog.DialogTitle = QStringLiteral("Select a file");
    dialog.Filter = QStringLiteral("Text File (*.txt)|*.txt|All files (*.*)|*.*");
    dialog.Flags = 2621444;
    dialog.FileName.clear();
    if (dialog.ShowOpen(this))
        insertFile(dialog.FileName);
    placeText();
}

bool fapp_NOTES::insertFile(const QString &path)
{
    const NoteOpen open = noteFolder().insert(path, namesInUse() << m_file.name);
    if (open.error != NoteFileError::None) {
        tell(QCoreApplication::translate("Notes", "File not opened"),
             QStringLiteral("%1: %2").arg(path, noteFileErrorText(open.error)));
        return false;
    }
    // The old file gets the text as it is; the write runs on with its own copy.
    settleWrite(2000);
    saveSoon();
    ++m_generation;
    m_file = open.file;
    objMAINPART->setTag(m_file.name);
    showText(open.text);
    m_autosave = NoteAutosave(true);
    scheduleWrite();
    scheduleCheckpoint();
    return true;
}

void fapp_NOTES::showText(const QString &text)
{
    m_showingText = true;
    objMAINPART->setPlainText(text);
    m_showingText = false;
}

void fapp_NOTES::textEdited()
{
    if (m_showingText)
        return;
    m_autosave.edited(NoteAutosave::Clock::now());
    scheduleWrite();
}

void fapp_NOTES::saveSoon()
{
    // With a write under way the flush follows it as soon as it ends.
    m_autosave.flush(NoteAutosave::Clock::now());
    startWrite();
}

void fapp_NOTES::scheduleWrite()
{
    const auto due = m_autosave.dueAt();
    if (!due) {
        m_saveTimer->stop();
        return;
    }
    const auto wait =
        std::chrono::duration_cast<std::chrono::milliseconds>(*due - NoteAutosave::Clock::now());
    // Typing restarts the wait; the timer is only moved, never waited on.
    m_saveTimer->start(int(std::clamp<qint64>(wait.count(), 0, 60000)));
}

void fapp_NOTES::startWrite()
{
    if (m_autosave.isWriting() || !m_autosave.isDirty())
        return;
    auto write = std::make_shared<Write>();
    write->ticket = m_autosave.beginWrite();
    write->generation = m_generation;
    write->file = m_file;
    m_write = write;
    const NoteFolder folder = noteFolder();
    const QString text = objMAINPART->toPlainText();
    const QDateTime now = systemClock().now();
    const QStringList inUse = namesInUse();
    const QPointer<fapp_NOTES> self(this);
    writingPool()->start([write, folder, text, now, inUse, self] {
        write->result = folder.save(write->file, text, now, inUse);
        write->done = true;
        QMetaObject::invokeMethod(
            qApp,
            [write, self] {
                if (self)
                    self->finishWrite(write);
                else if (!write->taken && write->result.outcome == NoteSave::Outcome::Moved)
                    tellMoved(write->result); // a closed note's last text
            },
            Qt::QueuedConnection);
    });
}

void fapp_NOTES::finishWrite(std::shared_ptr<Write> write)
{
    if (write->taken || !write->done)
        return;
    write->taken = true;
    if (m_write == write)
        m_write.reset();
    const NoteSave &result = write->result;
    const bool ok = result.outcome != NoteSave::Outcome::Failed;
    if (result.outcome == NoteSave::Outcome::Moved) {
        tellMoved(result);
        // Rebound meanwhile (Insert): the note stays with its new file.
        if (write->generation == m_generation) {
            m_file = result.file;
            if (!objMAINPART->Tag().isEmpty())
                objMAINPART->setTag(m_file.name);
            scheduleCheckpoint();
        }
    }
    if (write->generation != m_generation) {
        Q_EMIT written(ok);
        return;
    }
    if (!ok && !m_failureTold) {
        m_failureTold = true;
        tell(QCoreApplication::translate("Notes", "Note not saved"),
             QCoreApplication::translate("Notes", "The note could not be saved in %1 nor in "
                                                  "the notes folder. Its text stays on screen; "
                                                  "saving is tried again.")
                 .arg(noteFolder().pathOf(m_file.name)));
    } else if (ok) {
        m_failureTold = false;
    }
    m_autosave.finishWrite(write->ticket, ok, NoteAutosave::Clock::now());
    Q_EMIT written(ok);
    scheduleWrite();
}

void fapp_NOTES::settleWrite(int boundMs)
{
    if (!m_write)
        return;
    const std::shared_ptr<Write> write = m_write;
    if (!write->done)
        writingPool()->waitForDone(boundMs);
    finishWrite(write);
}

bool fapp_NOTES::saveAllNotes(int boundMs)
{
    const QDeadlineTimer deadline(boundMs);
    const QList<QPointer<fapp_NOTES>> notes = [] {
        QList<QPointer<fapp_NOTES>> list;
        for (fapp_NOTES *note : openNotes())
            list << note;
        return list;
    }();
    // A failed write is tried once more, to a new file if need be.
    for (int round = 0; round < 3; ++round) {
        for (const QPointer<fapp_NOTES> &note : notes) {
            if (!note)
                continue;
            // Exit writes every note's file, as it always has: an inserted
            // file comes out as UTF-8 even when the note was not touched.
            if (round == 0 && !note->m_autosave.isWriting())
                note->m_autosave.edited(NoteAutosave::Clock::now());
            note->m_autosave.flush(NoteAutosave::Clock::now());
            note->startWrite();
        }
        writingPool()->waitForDone(int(std::max<qint64>(0, deadline.remainingTime())));
        bool behind = false;
        for (const QPointer<fapp_NOTES> &note : notes) {
            if (!note)
                continue;
            if (note->m_write)
                note->finishWrite(note->m_write);
            behind = behind || note->m_autosave.isDirty();
        }
        if (!behind)
            return true;
        if (deadline.hasExpired())
            break;
    }
    tell(QCoreApplication::translate("Notes", "Notes not saved"),
         QCoreApplication::translate("Notes", "A note could not be saved in any file. The "
                                              "program stays open so that its text is not "
                                              "lost: copy it elsewhere, or free some space "
                                              "and try again."));
    return false;
}

void fapp_NOTES::setNoticeSink(NoticeSink sink)
{
    noticeSink() = std::move(sink);
}

void fapp_NOTES::setWriterForTesting(NoteWriter writer)
{
    testWriter() = std::move(writer);
}

QStringList fapp_NOTES::namesInUse() const
{
    QStringList names;
    for (fapp_NOTES *note : openNotes()) {
        if (note != this && !note->m_file.name.isEmpty())
            names << note->m_file.name;
    }
    return names;
}

void fapp_NOTES::layoutKind()
{
    picTIME->setHeight(int(std::lround(formHeight() / 100.0 * 30.0)));
}

void fapp_NOTES::updateparts()
{
    ResizableFrame::updateparts();
    placeText();
}

void fapp_NOTES::placeText()
{
    if (!objMAINPART)
        return;
    RenderMainPart();
    const QRect rect = ResizableFrame::objMAINPART->pixelRect();
    if (objMAINPART->geometry() != rect)
        objMAINPART->setGeometry(rect);
}

void fapp_NOTES::colourParts(const ThemeShades &shades)
{
    ResizableFrame::colourParts(shades);
    if (!objMAINPART)
        return;
    // The box is as light as the separator line; the text takes the date settings.
    Look look;
    look.back = shades.separator;
    look.fore = lblDATE->ForeColor();
    look.font = lblDATE->labelFont();
    look.align = lblDATE->textAlign();
    if (look == m_look)
        return;
    QPalette palette = objMAINPART->palette();
    palette.setColor(QPalette::Base, toQColor(look.back));
    palette.setColor(QPalette::Text, toQColor(look.fore));
    objMAINPART->setPalette(palette);
    if (look.font != m_look.font)
        objMAINPART->setFont(look.font);
    if (look.align != m_look.align) {
        QTextOption option = objMAINPART->document()->defaultTextOption();
        option.setAlignment(alignmentOf(look.align));
        objMAINPART->document()->setDefaultTextOption(option);
    }
    m_look = look;
}

void fapp_NOTES::FormUpdate()
{
    ResizableFrame::FormUpdate();
    scheduleCheckpoint();
}

void fapp_NOTES::closeEvent(QCloseEvent *event)
{
    // Closed or ended: the text goes to its file, even if Close took the name
    // off the box. The write outlives the note, so one under way is settled first.
    settleWrite(2000);
    saveSoon();
    scheduleCheckpoint();
    ResizableFrame::closeEvent(event);
}

void fapp_NOTES::moveEvent(QMoveEvent *event)
{
    ResizableFrame::moveEvent(event);
    if (isVisible())
        scheduleCheckpoint();
}

void fapp_NOTES::resizeEvent(QResizeEvent *event)
{
    ResizableFrame::resizeEvent(event);
    placeText();
    if (isVisible())
        scheduleCheckpoint();
}

} // namespace tavlo
