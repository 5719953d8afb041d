// The program's start: the command line, Qt in Russian, a clear word where no
// display can be used, and the window shown.
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <string_view>
#include <langinfo.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QTimer>

#include "app/main_window.h"
#include "app/start_up.h"
#include "app/russian.h"
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

// Until the window stands, Qt's messages are held back: where no display can
// be used, Qt's fatal message would abort the program with an English text;
// one Russian line and status 1 say it instead.
bool StartingUp = true;
QtMessageHandler QtHandler = nullptr;
QList<std::pair<QtMsgType, QString>> HeldMessages;

void StartUpMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!StartingUp) {
        QtHandler(type, context, message);
    } else if (type == QtFatalMsg) {
        const char* display = std::getenv("DISPLAY");
        std::fprintf(stderr, "hexagonal-life: нет дисплея, на котором можно открыть окно (DISPLAY=%s).\n",
                     display != nullptr && *display != '\0' ? display : "не задан");
        std::_Exit(1);
    } else {
        HeldMessages.append({type, message});
    }
}

// The command line: --help, --version, --rule and at most one pattern
// file, which is kept as its bytes, whatever their encoding. A rule that
// cannot be read ends the program with status 2 and the reason.
struct CommandLine {
    QByteArray file;
    std::optional<hexlife::rule::Rule> rule;
};

CommandLine ReadCommandLine(QCoreApplication& application, int argc, char** argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("hexagonal-life"));
    QCoreApplication::setApplicationVersion(QString::fromUtf8(hexlife::ProgramVersion));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Шестигранная «Жизнь»: игра Конвея «Жизнь» на шестигранном поле, правило B2/S2."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption ruleOption(
        QStringLiteral("rule"),
        QStringLiteral("Правило шестиугольной решётки в записи Golly (B2/S34H, B2o/S2m34H, MAP…) вместо B2/S2; "
                       "правило открытого файла заменяет его."),
        QStringLiteral("правило"));
    parser.addOption(ruleOption);
    parser.addPositionalArgument(QStringLiteral("файл"),
                                 QStringLiteral("Фигура, которую открыть в редакторе: файл RLE (правило — из файла)."),
                                 QStringLiteral("[файл]"));
    // Parsed here rather than by process(), which names an unknown option
    // without its dashes and exits with 1: bad options exit with 2, as the
    // search's do, and are named as typed.
    const QStringList arguments = application.arguments();
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        QString typed;
        for (int i = 1; i < arguments.size() && !unknown.isEmpty(); ++i) {
            if (arguments[i] == QStringLiteral("--")) break;
            const QString name = arguments[i].section('=', 0, 0);
            const QString bare = name.mid(name.startsWith(QStringLiteral("--")) ? 2 : 1);
            if (name.startsWith('-') && unknown.contains(bare)) {
                typed = name;
                break;
            }
        }
        const QString what = !typed.isEmpty() ? QStringLiteral("неизвестный параметр «%1»").arg(typed)
                                              : QStringLiteral("неверная командная строка: %1").arg(parser.errorText());
        std::fprintf(stderr, "hexagonal-life: %s.\nПодробнее: hexagonal-life --help\n", what.toUtf8().constData());
        std::exit(2);
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) parser.showHelp(0);
    if (parser.isSet(version)) parser.showVersion();
    CommandLine line;
    if (parser.isSet(ruleOption)) {
        const hexlife::rule::ParseResult read = hexlife::rule::Parse(parser.value(ruleOption).toStdString());
        if (!read.rule) {
            std::fprintf(stderr, "hexagonal-life: %s.\n", hexlife::rule::Message(read.error).c_str());
            std::exit(2);
        }
        line.rule = read.rule;
    }
    const int count = int(parser.positionalArguments().size());
    if (count > 1) {
        std::fprintf(stderr, "hexagonal-life: открыть можно только один файл, а названо %d.\n", count);
        std::exit(2);
    }
    if (count == 0) {
        return line;
    }
    // The file's bytes are in argv (Qt has taken its own options out), where
    // they decode as Qt decoded them.
    const QString name = parser.positionalArguments().first();
    for (int i = argc - 1; i > 0; --i) {
        if (QString::fromLocal8Bit(argv[i]) == name) {
            line.file = QByteArray(argv[i]);
            return line;
        }
    }
    line.file = QFile::encodeName(name);
    return line;
}

}  // namespace

namespace hexlife {

int StartProgram(int argc, char** argv, const std::function<void(QWidget&)>& shown)
{
    // A save under a file-size limit fails with a message, not a signal.
    std::signal(SIGXFSZ, SIG_IGN);
    // --help and --version need no display.
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "-h" || argument == "--help" || argument == "--help-all" || argument == "-?" ||
            argument == "-v" || argument == "--version") {
            QCoreApplication application(argc, argv);
            UseRussian(application);
            ReadCommandLine(application, argc, argv);
            return 0;
        }
    }

    QtHandler = qInstallMessageHandler(StartUpMessages);
    QApplication application(argc, argv);  // sets the locale from the environment
    UseUtf8CharacterType();
    UseRussian(application);
    const CommandLine line = ReadCommandLine(application, argc, argv);
    const QByteArray file = line.file;
    // Lets the desktop match the window to its installed entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.hexlife.HexagonalLife"));

    MainWindow window;
    if (line.rule) {
        window.UseRule(*line.rule);  // the start's rule: nothing to undo
    }
    if (shown) {
        shown(window);
    }
    window.show();
    StartingUp = false;
    for (const auto& [type, message] : HeldMessages) {
        QtHandler(type, QMessageLogContext(), message);
    }
    HeldMessages.clear();
    if (!file.isEmpty()) {
        // Once the window stands, so that a message about the file has it
        // for its parent.
        QTimer::singleShot(0, &window, [&window, file] { window.Files->openBytes(file); });
    }
    return application.exec();
}

}  // namespace hexlife
