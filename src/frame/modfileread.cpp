#include "frame/modfileread.h"

#include "platform/profilefile.h"

#include <QDateTime>
#include <QFileInfo>

namespace tavlo {
namespace {

// The current file, parsed once and read again only when it changed on disk.
struct Current
{
    QString path;
    ProfileFile profile;
    bool loaded = false;
    qint64 size = -1;
    QDateTime modified;
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

ProfileFile &profile()
{
    Current &state = current();
    const QFileInfo info(state.path);
    const qint64 size = info.exists() ? info.size() : -1;
    if (!state.loaded || size != state.size ||
        (info.exists() && info.lastModified() != state.modified)) {
        state.profile = ProfileFile::load(state.path);
        state.loaded = true;
        stamp(state);
    }
    return state.profile;
}

} // namespace

void SetPresetFile(const QString &path)
{
    Current &state = current();
    state = Current{};
    state.path = path.trimmed();
}

QString CurrentPresetFile()
{
    return current().path;
}

QString ReadPresetValue(const QString &section, const QString &key, const QString &defaultText)
{
    const QString prefixed = kPresetKeyPrefix + key;
    QString value = profile().value(section, prefixed).value_or(QString());
    value = value.left(kPresetValueLimit).trimmed();
    if (!value.isEmpty())
        return value;
    const QString fallback = defaultText.trimmed();
    WritePresetValue(section, key, fallback);
    return fallback;
}

void WritePresetValue(const QString &section, const QString &key, const QString &value)
{
    Current &state = current();
    if (state.path.isEmpty())
        return;
    ProfileFile changed = profile();
    changed.setValue(section, kPresetKeyPrefix + key, value);
    if (!changed.save(state.path)) {
        state.loaded = false;
        return;
    }
    state.profile = std::move(changed);
    stamp(state);
}

} // namespace tavlo
