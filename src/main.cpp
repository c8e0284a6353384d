#include "app/modmain.h"

#include <QApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    // A widget updates a few small rectangles a second; plain image uploads
    // cost less than shared-memory ones with their completion events.
    if (qEnvironmentVariableIsEmpty("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    QApplication app(argc, argv);
    const QString title = QStringLiteral(TAVLO_APP_TITLE);
    QApplication::setApplicationName(title);
    QApplication::setApplicationDisplayName(title);
    tavlo::installExitHandlers(app);

    if (!tavlo::Main(title, QStringLiteral(TAVLO_WEB_ROOT))) {
        std::fprintf(stderr, "%s: this widget kind is not available yet\n", TAVLO_APP_TITLE);
        return 1;
    }
    return app.exec();
}
