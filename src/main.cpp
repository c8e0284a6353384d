#include "app/modmain.h"
#include "platform/fontwarmup.h"
#include "platform/unixsignals.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    // First of all: a SIGTERM that comes while Qt starts is kept, not fatal.
    tavlo::installExitSignalPipe();
    // A widget updates a few small rectangles a second; plain image uploads
    // cost less than shared-memory ones with their completion events.
    if (qEnvironmentVariableIsEmpty("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    // The font configuration loads on the second core while Qt connects to
    // the display; the widget's first text then finds it ready.
    tavlo::FontConfigWarmUp fonts;
    QApplication app(argc, argv);
    fonts.finish();
    // Asked to end before there is anything to save: end at once, as later.
    if (tavlo::exitSignalPending())
        return 0;
    const QString title = QStringLiteral(TAVLO_APP_TITLE);
    QApplication::setApplicationName(title);
    QApplication::setApplicationDisplayName(title);

    if (!tavlo::Main(title, QStringLiteral(TAVLO_WEB_ROOT))) {
        std::fprintf(stderr, "%s: this widget kind is not available yet\n", TAVLO_APP_TITLE);
        return 1;
    }
    // Watched only from here: a signal that came during start-up ends the
    // program in order at the first turn of the event loop.
    tavlo::installExitHandlers(app);
    return app.exec();
}
