// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/unixsignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tavlo {
namespace {

int g_fds[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

void handler(int signalNumber)
{
    const int saved = errno;
    const char byte = char(signalNumber);
    // Only async-signal-safe work here; the rest runs in the event loop.
    [[maybe_unused]] const ssize_t n = ::write(g_fds[0], &byte, 1);
    errno = saved;
}

} // namespace

void installExitSignalPipe()
{
    if (g_fds[0] < 0) {
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_fds) != 0)
            return;
        // A full pipe drops the byte rather than blocking inside the handler.
        ::fcntl(g_fds[0], F_SETFL, O_NONBLOCK);
        ::fcntl(g_fds[1], F_SETFL, O_NONBLOCK);
    }
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigset_t unblock;
    sigemptyset(&unblock);
    for (const int signalNumber : kSignals) {
        ::sigaction(signalNumber, &action, nullptr);
        sigaddset(&unblock, signalNumber);
    }
    // A launcher may hand them over blocked; they would never arrive.
    ::pthread_sigmask(SIG_UNBLOCK, &unblock, nullptr);
}

bool exitSignalPending()
{
    if (g_fds[1] < 0)
        return false;
    pollfd fd = {g_fds[1], POLLIN, 0};
    return ::poll(&fd, 1, 0) == 1 && (fd.revents & POLLIN);
}

UnixSignalWatcher::UnixSignalWatcher(QObject *parent) : QObject(parent)
{
    installExitSignalPipe();
    if (g_fds[1] < 0)
        return;
    m_notifier = new QSocketNotifier(g_fds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &UnixSignalWatcher::readSignal);
}

UnixSignalWatcher::~UnixSignalWatcher()
{
    for (const int signalNumber : kSignals)
        ::signal(signalNumber, SIG_DFL);
}

void UnixSignalWatcher::readSignal()
{
    char byte = 0;
    if (::read(g_fds[1], &byte, 1) == 1)
        Q_EMIT received(int(byte));
}

} // namespace tavlo
