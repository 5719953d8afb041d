#include <clocale>
#include <cstring>
#include <string_view>
#include <langinfo.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include "app/main_window.h"
#include "rle/pattern_files.h"

namespace {

// Qt 6 takes every 8-bit string for UTF-8, but the X11 platform plugin hands
// the window title to Xlib, which converts it by the C library's LC_CTYPE.
// Under the C or POSIX locale (no LANG at all, as in many containers) Xlib
// reads the UTF-8 bytes as Latin-1 and WM_NAME shows garbage. So the
// character type follows UTF-8 whatever the environment says; the rest of
// the locale stays the user's.
void UseUtf8CharacterType()
{
    const char* codeset = nl_langinfo(CODESET);
    if (strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "utf8") == 0) {
        return;
    }
    for (const char* name : {"C.UTF-8", "C.utf8", "en_US.UTF-8"}) {
        if (std::setlocale(LC_CTYPE, name) != nullptr) {
            return;
        }
    }
}

// The command line: --help, --version and at most one pattern file.
QStringList CommandLineFiles(const QCoreApplication& application)
{
    QCoreApplication::setApplicationName(QStringLiteral("hexagonal-life"));
    QCoreApplication::setApplicationVersion(QString::fromUtf8(hexlife::ProgramVersion));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Hexagonal Life: Conway's Game of Life on a hexagonal field, rule B2/S2."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A pattern to open in the editor: an RLE file, rule B2/S2H."),
                                 QStringLiteral("[file]"));
    parser.process(application);  // --help and --version print and exit here
    if (parser.positionalArguments().size() > 1) {
        parser.showHelp(2);
    }
    return parser.positionalArguments();
}

}  // namespace

int main(int argc, char** argv)
{
    // --help and --version need no display.
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-h" || argument == "--help" || argument == "--help-all" || argument == "-?" ||
            argument == "-v" || argument == "--version") {
            QCoreApplication application(argc, argv);
            CommandLineFiles(application);
            return 0;
        }
    }

    QApplication application(argc, argv);  // sets the locale from the environment
    UseUtf8CharacterType();
    const QStringList files = CommandLineFiles(application);
    // Lets the desktop match the window to its installed entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.hexlife.HexagonalLife"));

    hexlife::MainWindow window;
    window.show();
    if (!files.isEmpty()) {
        // Once the window stands, so that a message about the file has it
        // for its parent.
        QTimer::singleShot(0, &window, [&window, file = files.first()] { window.Files->open(file); });
    }
    return application.exec();
}
