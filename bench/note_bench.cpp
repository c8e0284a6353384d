// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/notes/notefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A note of about the given size in bytes, in lines of typed length.
QString noteText(qint64 size)
{
    const QString line = QStringLiteral("A line of a note, with commas, \"quotes\" and Café €");
    QString text;
    text.reserve(qsizetype(size));
    while (text.size() < size)
        text += line + u'\n';
    return text;
}

// Saving a note of the given size: encode, write, flush, sync and rename.
// Kept in the benchmark's folder under TMPDIR, so on the disk the notes are on
// when TMPDIR points there.
void BM_NoteSave(benchmark::State &state)
{
    QTemporaryDir dir;
    const tavlo::NoteFolder notes(dir.path());
    QDir().mkpath(notes.pathOf(QStringLiteral("notes")));
    const tavlo::NoteFile file{QStringLiteral("notes/20101007153012.txt")};
    const QString text = noteText(state.range(0));
    const QDateTime now = QDateTime::currentDateTime();
    for (auto _ : state) {
        const auto saved = notes.save(file, text, now, {});
        if (saved.outcome != tavlo::NoteSave::Outcome::Saved)
            state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_NoteSave)->Arg(1000)->Arg(1024 * 1024)->Unit(benchmark::kMillisecond)->UseRealTime();

// Reading a note back: the bounded read, the encoding check and the line ends.
void BM_NoteLoad(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("note.txt"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QByteArray bytes = tavlo::encodeNote(noteText(state.range(0)), tavlo::LineEnd::CrLf);
    bytes.truncate(bytes.lastIndexOf('\n', state.range(0) - 1) + 1);
    file.write(bytes);
    file.close();
    for (auto _ : state)
        if (tavlo::readNoteFile(path).error != tavlo::NoteFileError::None)
            state.SkipWithError("load refused");
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_NoteLoad)->Arg(1024 * 1024)->Arg(tavlo::kNoteFileLimit)->Unit(benchmark::kMillisecond);

} // namespace
