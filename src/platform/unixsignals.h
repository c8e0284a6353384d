// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QSocketNotifier;

namespace tavlo {

// Catches SIGTERM, SIGINT and SIGHUP from now on and keeps each one in a pipe
// until a UnixSignalWatcher reads it. Needs no Qt object, so main() calls it
// first; calling it again only re-installs the handlers.
void installExitSignalPipe();
// True while a caught signal waits in the pipe unread.
bool exitSignalPending();

// Turns the caught signals into a Qt signal on the main thread, so the
// program can end in order instead of being cut off. A signal caught before
// the watcher existed is delivered at the first turn of the event loop.
class UnixSignalWatcher final : public QObject
{
    Q_OBJECT
public:
    explicit UnixSignalWatcher(QObject *parent = nullptr);
    ~UnixSignalWatcher() override;

Q_SIGNALS:
    void received(int signalNumber);

private:
    void readSignal();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace tavlo
