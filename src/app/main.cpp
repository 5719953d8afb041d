#include <clocale>
#include <cstring>
#include <langinfo.h>

#include <QApplication>

#include "app/main_window.h"

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

}  // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);  // sets the locale from the environment
    UseUtf8CharacterType();
    // Lets the desktop match the window to its installed entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.hexlife.HexagonalLife"));
    hexlife::MainWindow window;
    window.show();
    return application.exec();
}
