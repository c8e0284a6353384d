#pragma once

#include <QObject>

class QSocketNotifier;

namespace tavlo {

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the main thread, so the
// program can end in order instead of being cut off.
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
