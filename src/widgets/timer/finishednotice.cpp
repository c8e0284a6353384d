// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/timer/finishednotice.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>
#include <QThreadPool>
#include <QVariantMap>

namespace tavlo {
namespace {

std::function<void(const QString &, const QString &)> &testSend()
{
    static std::function<void(const QString &, const QString &)> send;
    return send;
}

// Only a bus that is already there: with no address Qt's D-Bus would try to
// launch one.
bool sessionBusKnown()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo(runtime + QStringLiteral("/bus")).exists();
}

// Connecting to the bus waits on its daemon, so it happens here, away from
// the interface; one thread is enough for a message now and then.
QThreadPool *noticePool()
{
    static QPointer<QThreadPool> pool;
    if (!pool) {
        pool = new QThreadPool(QCoreApplication::instance());
        pool->setMaxThreadCount(1);
    }
    return pool;
}

void notify(const QString &title, const QString &text)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    call << title << uint(0) << QStringLiteral("tavlo") << title << text << QStringList()
         << QVariantMap{{QStringLiteral("urgency"), QVariant::fromValue(uchar(2))}} << int(-1);
    // No reply is awaited: a missing service is simply not heard.
    bus.send(call);
}

} // namespace

void sendFinishedNotice(const QString &title, const QString &text)
{
    if (testSend()) {
        testSend()(title, text);
        return;
    }
    if (!QCoreApplication::instance() || !sessionBusKnown())
        return;
    noticePool()->start([title, text] { notify(title, text); });
}

void setFinishedNoticeForTesting(std::function<void(const QString &, const QString &)> send)
{
    testSend() = std::move(send);
}

} // namespace tavlo
