// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame/modfileread.h"

#include "platform/profilefile.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <optional>

namespace tavlo {
namespace {

// The current file, parsed once and read again only when it changed on disk.
struct Current
{
    QString path;
    std::optional<ProfileFile> profile; // nullopt while the file is refused
    bool loaded = false;
    qint64 size = -1;
    QDateTime modified;
    int batches = 0;
    bool pending = false; // writes held for the end of a batch
};

Current &current()
{
    static Current state;
    return state;
}

void stamp(Current &state)
{
    const QFileInfo info(state.path);
    state.size = info.exists() ? info.size() : -1;
    state.modified = info.exists() ? info.lastModified() : QDateTime();
}

// The current file's contents, or nullptr when it is refused.
ProfileFile *profile()
{
    Current &state = current();
    // Held writes are newer than whatever is on disk.
    if (!state.pending) {
        const QFileInfo info(state.path);
        const qint64 size = info.exists() ? info.size() : -1;
        if (!state.loaded || size != state.size ||
            (info.exists() && info.lastModified() != state.modified)) {
            stamp(state);
            state.profile = ProfileFile::load(state.path);
            state.loaded = true;
        }
    }
    return state.profile ? &*state.profile : nullptr;
}

bool save(Current &state, const ProfileFile &file)
{
    if (!file.save(state.path)) {
        state.loaded = false;
        return false;
    }
    stamp(state);
    return true;
}

void flush(Current &state)
{
    if (!state.pending)
        return;
    state.pending = false;
    if (state.profile)
        save(state, *state.profile);
}

} // namespace

void SetPresetFile(const QString &path)
{
    Current &state = current();
    flush(state);
    const int batches = state.batches;
    state = Current{};
    state.batches = batches;
    state.path = path.trimmed();
}

QString CurrentPresetFile()
{
    return current().path;
}

bool LoadPresetFile()
{
    return profile() != nullptr;
}

QString ReadPresetValue(const QString &section, const QString &key, const QString &defaultText)
{
    const QString fallback = defaultText.trimmed();
    const ProfileFile *file = profile();
    if (!file)
        return fallback;
    QString value = file->value(section, kPresetKeyPrefix + key).value_or(QString());
    value = value.left(kPresetValueLimit).trimmed();
    if (!value.isEmpty())
        return value;
    WritePresetValue(section, key, fallback);
    return fallback;
}

void WritePresetValue(const QString &section, const QString &key, const QString &value)
{
    Current &state = current();
    if (state.path.isEmpty())
        return;
    ProfileFile *file = profile();
    if (!file)
        return;
    if (state.batches > 0) {
        file->setValue(section, kPresetKeyPrefix + key, value);
        state.pending = true;
        return;
    }
    ProfileFile changed = *file;
    changed.setValue(section, kPresetKeyPrefix + key, value);
    if (save(state, changed))
        state.profile = std::move(changed);
}

PresetWriteBatch::PresetWriteBatch()
{
    ++current().batches;
}

PresetWriteBatch::~PresetWriteBatch()
{
    Current &state = current();
    if (--state.batches == 0)
        flush(state);
}

int RemoveStalePresetTemporaries(const QString &folder, const QDateTime &olderThan)
{
    // QSaveFile names its temporary after the file and six random letters or digits.
    static const QRegularExpression ours(QStringLiteral("^.+\\.tvp\\.[A-Za-z0-9]{6}$"),
                                         QRegularExpression::CaseInsensitiveOption);
    // Enough for any folder of presets; a folder flooded with look-alikes is not searched to its
    // end.
    constexpr int kLookLimit = 10000;
    QDirIterator entries(folder, {QStringLiteral("*.tvp.??????")},
                         QDir::Files | QDir::Hidden | QDir::NoSymLinks);
    int removed = 0;
    for (int looked = 0; looked < kLookLimit && entries.hasNext(); ++looked) {
        const QFileInfo info = entries.nextFileInfo();
        if (!ours.match(info.fileName()).hasMatch() || !(info.lastModified() < olderThan))
            continue;
        if (QFile::remove(info.filePath()))
            ++removed;
    }
    return removed;
}

} // namespace tavlo
