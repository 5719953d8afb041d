// The window as laid out and as it stands after start-up: controls, tab
// order, the field grid in pixels, the help text and box, Exit.
#include <QtTest>

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "app/main_window.h"
#include "surface/picture_box.h"

using namespace hexlife;

namespace {

QStringList HelpLines(const std::string& text)
{
    return QString::fromStdString(text).split(QStringLiteral("\r\n"));
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void captionAndClientArea()
    {
        MainWindow w;
        QCOMPARE(w.windowTitle(), QString::fromUtf8("Шестигранная \"Жизнь\""));
        QCOMPARE(w.windowTitle().size(), 20);
        QCOMPARE(w.size(), QSize(993, 717));
        QCOMPARE(w.minimumSize(), w.maximumSize());
    }

    void controlsAsLaidOut()
    {
        MainWindow w;
        struct Expected {
            QWidget* control;
            QRect geometry;
            const char* caption;
        };
        const Expected table[] = {
            {w.Picture4, {0, 0, 97, 89}, nullptr},
            {w.Picture3, {96, 24, 135, 113}, nullptr},
            {w.Command5, {600, 0, 89, 25}, "Справка"},
            {w.Picture1, {96, 24, 897, 713}, nullptr},
            {w.Command3, {352, 0, 89, 25}, "Выход"},
            {w.Command1, {104, 0, 89, 25}, "Пуск"},
        };
        for (const Expected& e : table) {
            QCOMPARE(e.control->geometry(), e.geometry);
            if (e.caption != nullptr) {
                QCOMPARE(static_cast<QPushButton*>(e.control)->text(), QString::fromUtf8(e.caption));
            }
        }
        for (int k = 0; k < 26; ++k) {
            QCOMPARE(w.Picture2[k]->geometry(), QRect(k % 2 == 0 ? 0 : 48, 96 + 48 * (k / 2), 41, 49));
            QCOMPARE(w.Picture2[k]->index(), k);
        }
        QCOMPARE(w.Picture2[25]->pos(), QPoint(48, 672));
        // The editor lies above the field it covers.
        const QObjectList& children = w.children();
        QVERIFY(children.indexOf(w.Picture3) > children.indexOf(w.Picture1));
        QCOMPARE(w.Label2->text(), QString::fromUtf8("Циклов -"));
    }

    // The labels keep their place and are widened just enough for their texts.
    void labelsFitTheirTexts()
    {
        MainWindow w;
        QCOMPARE(w.Label2->pos(), QPoint(240, 0));
        QCOMPARE(w.Label1->pos(), QPoint(288, 0));
        QCOMPARE(w.Label2->height(), 25);
        QCOMPARE(w.Label1->height(), 25);
        QVERIFY(w.Label2->sizeHint().width() <= w.Label2->width());
        QVERIFY(w.Label2->width() == 49 || w.Label2->width() == w.Label2->sizeHint().width());
        w.Label1->setText(QStringLiteral("1001"));
        QVERIFY(w.Label1->sizeHint().width() <= w.Label1->width());
        QVERIFY(w.Label1->width() == 25 || w.Label1->width() == w.Label1->sizeHint().width());
        QVERIFY(w.Label1->geometry().right() < w.Command3->x());
        // The count's digits do not run into the caption.
        QVERIFY(w.Label1->x() + w.Label1->contentsRect().left() + std::max(0, w.Label1->indent()) >=
                w.Label2->x() + w.Label2->sizeHint().width());
    }

    void tabOrder()
    {
        MainWindow w;
        QList<QWidget*> expected{w.Command1, w.Command3, w.Picture1, w.Label1, w.Label2, w.Command5};
        for (PictureBox* thumbnail : w.Picture2) {
            expected.append(thumbnail);
        }
        expected << w.Picture3 << w.Picture4;
        QList<QWidget*> chain;
        QWidget* at = w.Command1;
        do {
            if (expected.contains(at)) {
                chain.append(at);
            }
            at = at->nextInFocusChain();
        } while (at != w.Command1);
        QCOMPARE(chain, expected);
    }

    // A screen reader can name every picture box, in Russian.
    void accessibleNames()
    {
        MainWindow w;
        QCOMPARE(w.Picture1->accessibleName(), QString::fromUtf8("Поле"));
        QCOMPARE(w.Picture3->accessibleName(), QString::fromUtf8("Редактор фигуры"));
        QCOMPARE(w.Picture4->accessibleName(), QString::fromUtf8("Начальная фигура"));
        for (int k = 0; k < 26; ++k) {
            QCOMPARE(w.Picture2[k]->accessibleName(), QString::fromUtf8("Фигура %1").arg(k + 1));
        }
    }

    void startUpState()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(!w.Command1->isEnabled());
        QVERIFY(!w.Picture3->isVisible());
        QVERIFY(!w.Timer1->isActive());
        QCOMPARE(w.Timer1->interval(), 1);
        QCOMPARE(w.Timer1->timerType(), Qt::PreciseTimer);
        QCOMPARE(w.Label1->text(), QStringLiteral(" "));
        QVERIFY(w.Command3->isEnabled());
        QVERIFY(w.Command5->isEnabled());
        QCOMPARE(w.CycleCount, std::int16_t(0));
        QCOMPARE(w.MarkHalfSize, 2);
        QVERIFY(std::all_of(w.FieldCells.begin(), w.FieldCells.end(), [](auto v) { return v == 0; }));
        QVERIFY(std::all_of(w.PatternCells.begin(), w.PatternCells.end(), [](auto v) { return v == 0; }));
        QCOMPARE(w.FieldCells.size(), size_t(16873));
        QCOMPARE(w.PatternCells.size(), size_t(155));
        QCOMPARE(w.FigureLibrary.size(), size_t(1751));
    }

    // Every cell's inner box shows the background, framed by grid lines.
    void fieldGridPixels()
    {
        MainWindow w;
        const Surface& field = w.Picture1->surface();
        const QRgb grid = ToQRgb(GridColor), background = field.background().rgb();
        QVERIFY(grid != background);
        for (int n = 0; n < 16872; ++n) {
            const int c = n / 114, r = n % 114;
            const int x = w.FieldCellX[n], y = w.FieldCellY[n];
            QCOMPARE(x, 6 * c + 1);
            QCOMPARE(y, 6 * r + (c % 2 == 0 ? 3 : 0) + 1);
            for (int dy = 0; dy < 5; ++dy) {
                for (int dx = 0; dx < 5; ++dx) {
                    QCOMPARE(field.pixel(x + dx, y + dy), background);
                }
            }
            for (int d = 0; d < 5; ++d) {
                QCOMPARE(field.pixel(x + d, y - 1), grid);
                QCOMPARE(field.pixel(x + d, y + 5), grid);
                QCOMPARE(field.pixel(x + 5, y + d), grid);
                if (c > 0) {
                    QCOMPARE(field.pixel(x - 1, y + d), grid);
                }
            }
        }
        QCOMPARE(field.pixel(888, 688), grid);  // the vertical lines reach y = 688
        QCOMPARE(field.pixel(888, 689), background);
    }

    void helpText()
    {
        MainWindow w;
        const QStringList lines = HelpLines(w.HelpText);
        QCOMPARE(lines.size(), 18);
        QVERIFY(!QString::fromStdString(w.HelpText).endsWith(QStringLiteral("\n")));
        QCOMPARE(QString::fromStdString(w.HelpText).count(QLatin1Char('\n')), 17);
        QCOMPARE(QString::fromStdString(w.HelpText).count(QLatin1Char('\r')), 17);
        for (int empty : {2, 6, 13, 15, 16}) {
            QVERIFY2(lines[empty - 1].isEmpty(), qPrintable(QString::number(empty)));
        }
        QCOMPARE(lines[0], QString::fromUtf8("'Шестигранная Жизнь'"));
        QCOMPARE(lines[2], QString::fromUtf8("Это - модификация известной игры'Жизнь', "
                                             "придуманной математиком Дж. X. Конуэем."));
        QCOMPARE(lines[2].at(lines[2].indexOf(QString::fromUtf8("Дж.")) + 4).unicode(), 88);
        QCOMPARE(lines[9], QString::fromUtf8("  Нажмите кнопку 'Пуск' и наблюдайте за развитием колонии."));
        for (int two : {7, 8, 10, 11}) {
            QVERIFY(lines[two - 1].startsWith(QStringLiteral("  ")) && lines[two - 1][2] != ' ');
        }
        for (int five : {9, 12}) {
            QVERIFY(lines[five - 1].startsWith(QStringLiteral("     ")) && lines[five - 1][5] != ' ');
        }
        const QString more = QString::fromUtf8("Подробнее - ");
        QVERIFY(lines[16].startsWith(more + "https://"));
        QVERIFY(lines[17].startsWith(more + "https://"));
        QVERIFY(lines[16] != lines[17]);
    }

    // Help shows the text in a modal box and leaves the window as it was.
    void helpBox()
    {
        MainWindow w;
        w.show();
        QString title, text;
        int buttons = 0;
        QMessageBox::Icon icon = QMessageBox::Warning;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
            buttons = box->buttons().size();
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
        });
        QTest::mouseClick(w.Command5, Qt::LeftButton);
        QCOMPARE(title, QString::fromUtf8("Помощь"));
        QCOMPARE(icon, QMessageBox::NoIcon);
        QCOMPARE(buttons, 1);
        QCOMPARE(text.split('\n'), HelpLines(w.HelpText));
        QVERIFY(!w.Command1->isEnabled());
        QVERIFY(!w.Picture3->isVisible());
    }

    void exitAndCloseEndTheProgram_data()
    {
        QTest::addColumn<bool>("byButton");
        QTest::newRow("Exit button") << true;
        QTest::newRow("closing the window") << false;
    }
    void exitAndCloseEndTheProgram()
    {
        QFETCH(bool, byButton);
        MainWindow w;
        w.show();
        QTimer::singleShot(0, &w, [&] {
            if (byButton) {
                QTest::mouseClick(w.Command3, Qt::LeftButton);
            } else {
                w.close();
            }
        });
        QTimer::singleShot(60000, [] { QCoreApplication::exit(1); });  // a guard, not a wait
        QCOMPARE(QCoreApplication::exec(), 0);
    }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
