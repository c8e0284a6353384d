#pragma once

#include "platform/desktop.h"
#include "platform/systemclock.h"

#include <QFile>
#include <QList>
#include <QStringList>

namespace tavlo::test {

// A clock the test sets; installed for the object's lifetime.
class FakeClock final : public SystemClock
{
public:
    explicit FakeClock(const QDateTime &start) : m_now(start) { setSystemClockForTesting(this); }
    ~FakeClock() override { setSystemClockForTesting(nullptr); }
    QDateTime now() const override { return m_now; }
    void set(const QDateTime &now) { m_now = now; }

private:
    QDateTime m_now;
};

// Records the programs the code would start; installed for the object's lifetime.
class RecordingDesktop final : public Desktop
{
public:
    RecordingDesktop() { setDesktopForTesting(this); }
    ~RecordingDesktop() override { setDesktopForTesting(nullptr); }
    bool startProgram(const QString &program, const QStringList &arguments) override
    {
        started << (QStringList{program} + arguments);
        return true;
    }
    bool openUrl(const QUrl &url) override
    {
        opened << url;
        return true;
    }
    // Removes the file the way the trash would, so lists shrink as they do for real.
    bool moveToTrash(const QString &path) override
    {
        trashed << path;
        return QFile::remove(path);
    }
    void message(QWidget *, const QString &title, const QString &text) override
    {
        messages << QStringList{title, text};
    }
    QList<QStringList> started;
    QList<QUrl> opened;
    QStringList trashed;
    QList<QStringList> messages;
};

} // namespace tavlo::test
