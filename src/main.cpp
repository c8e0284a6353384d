// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/modmain.h"
#include "app/restoredpicture.h"
#include "platform/displayprobe.h"
#include "platform/fontwarmup.h"
#include "platform/unixsignals.h"

#include <QApplication>
#include <QThread>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

#ifndef TAVLO_PROGRAM
#define TAVLO_PROGRAM TAVLO_APP_TITLE
#endif
#ifndef TAVLO_VERSION
#define TAVLO_VERSION ""
#endif
#ifndef TAVLO_SUMMARY
#define TAVLO_SUMMARY "A desktop widget"
#endif

namespace {

// A server that has not answered by then is taken as gone: a display in use
// answers in milliseconds.
constexpr int kDisplayProbeMs = 3000;
// Enough to recognise an argument in a message, short enough for one line.
constexpr int kShownArgument = 60;

void printHelp()
{
    std::printf(
        "Usage: %1$s [--help] [--version]\n"
        "\n"
        "%2$s, one of the Tavlo desktop widgets.\n"
        "Drag it with the left mouse button; a right click opens its settings or menu.\n"
        "\n"
        "Files and folders (~/.config is $XDG_CONFIG_HOME, ~/.local/share $XDG_DATA_HOME):\n"
        "  ~/.config/tavlo/registry.db          the settings of every widget, see tavloreg(1)\n"
        "  ~/.config/autostart/%3$s.desktop\n"
        "                                       start at login, when chosen in the settings\n"
        "  ~/.local/share/tavlo/%3$s/\n"
        "                                       presets/, notes/ and the fetched version file\n"
        "\n"
        "Environment:\n"
        "  DISPLAY                 the X display; on Wayland the widget runs through XWayland\n"
        "  QT_QPA_PLATFORM         Qt's window system; xcb (X11) when unset\n"
        "  XDG_CONFIG_HOME, XDG_DATA_HOME, HOME\n"
        "                          where the files above live\n"
        "  LANG, LC_ALL, LC_TIME, TZ\n"
        "                          language, date, time and number formats, time zone\n"
        "  QT_LOGGING_RULES        \"tavlo.*=true\" turns the diagnostics on\n"
        "\n"
        "Qt's -platform, -display, -style, -stylesheet and -session options are passed on.\n",
        TAVLO_PROGRAM, TAVLO_SUMMARY, TAVLO_APP_TITLE);
}

void printVersion()
{
    std::printf("%s %s\nQt %s (built with %s)\n", TAVLO_PROGRAM, TAVLO_VERSION, qVersion(),
                QT_VERSION_STR);
}

int usageError(const char *what, const char *argument)
{
    std::fprintf(stderr, "%s: %s '%.*s' (try --help)\n", TAVLO_PROGRAM, what, kShownArgument,
                 argument);
    return 2;
}

// Qt's own options that take a value. -session comes back from the session
// manager when it restores the desktop, so refusing it would lose the widget.
bool isQtOptionWithValue(std::string_view arg)
{
    if (arg.starts_with("--"))
        arg.remove_prefix(1);
    return arg == "-platform" || arg == "-display" || arg == "-style" || arg == "-stylesheet" ||
           arg == "-session";
}

std::string_view qtOptionName(std::string_view arg)
{
    return arg.starts_with("--") ? arg.substr(1) : arg;
}

struct CommandLine
{
    const char *platform = nullptr;
    const char *display = nullptr;
};

// Returns the exit status when the command line alone ends the program.
std::optional<int> parseCommandLine(int argc, char *argv[], CommandLine &line)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            printHelp();
            return 0;
        }
        if (arg == "--version") {
            printVersion();
            return 0;
        }
        if (isQtOptionWithValue(arg)) {
            if (i + 1 >= argc)
                return usageError("missing value after", argv[i]);
            const char *value = argv[++i];
            if (qtOptionName(arg) == "-platform")
                line.platform = value;
            else if (qtOptionName(arg) == "-display")
                line.display = value;
            continue;
        }
        return usageError(arg.starts_with('-') ? "unknown option" : "unexpected argument", argv[i]);
    }
    return std::nullopt;
}

bool isEmpty(const char *text)
{
    return text == nullptr || *text == '\0';
}

// The first plugin Qt would try, without its options ("xcb:foo;wayland" -> "xcb").
std::string_view firstPlatform(const char *platforms)
{
    const std::string_view list = platforms;
    return list.substr(0, list.find_first_of(":;"));
}

} // namespace

int main(int argc, char *argv[])
{
    // First of all: a SIGTERM that comes while Qt starts is kept, not fatal.
    tavlo::installExitSignalPipe();

    CommandLine line;
    if (const std::optional<int> status = parseCommandLine(argc, argv, line))
        return *status;

    // Native Wayland ignores the saved position, stay-on-top and the taskbar
    // hint the widgets rely on: unless the user chose otherwise they run on
    // X11, through XWayland on a Wayland session. Given as an argument, not
    // set in the environment, so programs the widget starts keep the user's.
    static char platformOption[] = "-platform";
    static char xcb[] = "xcb";
    std::vector<char *> qtArgs(argv, argv + argc);
    const char *platform = line.platform ? line.platform : std::getenv("QT_QPA_PLATFORM");
    if (isEmpty(platform)) {
        qtArgs.push_back(platformOption);
        qtArgs.push_back(xcb);
        platform = xcb;
    }
    qtArgs.push_back(nullptr);
    int qtArgc = static_cast<int>(qtArgs.size()) - 1;

    // A widget updates a few small rectangles a second; plain image uploads
    // cost less than shared-memory ones with their completion events.
    if (qEnvironmentVariableIsEmpty("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    // The font configuration loads on the second core while Qt connects to
    // the display; the widget's first text then finds it ready.
    tavlo::FontConfigWarmUp fonts;
    // So does the picture of a photo frame that comes back. Qt takes the
    // first thread that asks for its thread data as the main one: this one.
    QThread::currentThread();
    tavlo::StartupPicture picture(QStringLiteral(TAVLO_APP_TITLE));

    // Qt aborts when the X display cannot be opened; say why and end instead.
    if (firstPlatform(platform) == "xcb") {
        const char *display = line.display ? line.display : std::getenv("DISPLAY");
        if (isEmpty(display)) {
            std::fprintf(stderr,
                         "%s: no display: DISPLAY is not set (an X11 or XWayland display is "
                         "needed)\n",
                         TAVLO_PROGRAM);
            return 1;
        }
        if (!tavlo::xDisplayReachable(display, kDisplayProbeMs)) {
            std::fprintf(stderr, "%s: cannot open the X display '%.*s'\n", TAVLO_PROGRAM,
                         kShownArgument, display);
            return 1;
        }
    }

    QApplication app(qtArgc, qtArgs.data());
    picture.applicationMade();
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
