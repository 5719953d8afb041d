#include <QApplication>

#include "app/main_window.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    // Lets the desktop match the window to its installed entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.hexlife.HexagonalLife"));
    hexlife::MainWindow window;
    window.show();
    return application.exec();
}
