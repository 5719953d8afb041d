#include <QtTest>
#include "surface/surface.h"
class SurfaceTest : public QObject { Q_OBJECT private slots: void x() {} };
QTEST_APPLESS_MAIN(SurfaceTest)
#include "test_surface.moc"
