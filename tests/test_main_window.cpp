#include <QtTest>
#include "app/main_window.h"
class MainWindowTest : public QObject { Q_OBJECT private slots: void x() { hexlife::MainWindow w; } };
QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
