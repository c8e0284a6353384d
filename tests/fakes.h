// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/bootclock.h"
#include "platform/desktop.h"
#include "platform/systemclock.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QStringList>

namespace tavlo::test {

// Puts an executable named program (doing nothing) alone on PATH for the
// object's lifetime, so the code finds a desktop tool without one installed.
class FakeToolOnPath final
{
public:
    FakeToolOnPath(const QString &folder, const QString &program)
    {
        QDir(folder).mkpath(QStringLiteral("."));
        QFile tool(QDir(folder).filePath(program));
        if (tool.open(QIODevice::WriteOnly))
            tool.write("#!/bin/sh\n");
        tool.close();
        tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        path = tool.fileName();
        m_saved = qgetenv("PATH");
        qputenv("PATH", folder.toUtf8());
    }
    ~FakeToolOnPath() { qputenv("PATH", m_saved); }
    QString path;

private:
    QByteArray m_saved;
};

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

// Records the effects the code would have and answers its questions as the
// test scripts them; installed for the object's lifetime.
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
    QString askOpenFile(QWidget *, const QString &caption, const QString &folder,
                        const QString &filter) override
    {
        fileQuestions << QStringList{caption, folder, filter};
        return fileAnswer;
    }
    std::optional<QColor> askColor(QWidget *, const QColor &current, const QString &) override
    {
        coloursOffered << current;
        return colourAnswer;
    }
    QList<QStringList> started;
    QList<QUrl> opened;
    QStringList trashed;
    QList<QStringList> messages;
    QList<QStringList> fileQuestions; // caption, folder, filter
    QString fileAnswer;
    QList<QColor> coloursOffered;
    std::optional<QColor> colourAnswer;
};

// A boot clock the test moves by hand; installed for the object's lifetime.
class FakeBootClock final : public BootClock
{
public:
    explicit FakeBootClock(qint64 startMs = 1000000) : m_nowMs(startMs)
    {
        setBootClockForTesting(this);
    }
    ~FakeBootClock() override { setBootClockForTesting(nullptr); }
    qint64 nowMs() const override { return m_nowMs; }
    void advance(qint64 ms) { m_nowMs += ms; }

private:
    qint64 m_nowMs;
};

} // namespace tavlo::test
