#include "app/modmain.h"
#include "platform/unixsignals.h"

#include <QApplication>
#include <QSessionManager>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString title = QStringLiteral(TAVLO_APP_TITLE);
    QApplication::setApplicationName(title);
    QApplication::setApplicationDisplayName(title);
    QApplication::setDesktopFileName(QStringLiteral("tavlo-clock"));

    // Ending the session or a signal ends the program the orderly way, so
    // nothing the widgets save on exit is lost.
    tavlo::UnixSignalWatcher watcher;
    QObject::connect(&watcher, &tavlo::UnixSignalWatcher::received, &app,
                     [] { tavlo::OrderlyExit(); });
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app,
                     [](QSessionManager &) { tavlo::OrderlyExit(); });

    if (!tavlo::Main(title)) {
        std::fprintf(stderr, "%s: this widget kind is not available yet\n", TAVLO_APP_TITLE);
        return 1;
    }
    return app.exec();
}
