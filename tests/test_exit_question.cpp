// «Выход» and the window's closing on a real X server: they ask first only
// where the field or the editor holds cells changed by hand and not saved,
// in every state of a run; staying keeps everything as it was, a run going
// on included, and saving writes what is on the field.
#include <QtTest>

#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QUndoStack>

#include "app/exit_question.h"
#include "program.h"
#include "dialogs.h"
#include "field_helpers.h"
#include "rle/pattern_files.h"
#include "rle/rle.h"

using namespace hexlife;
using namespace testing;

namespace {

// Answers the question with the button that reads `button`, and a file
// dialog with `path`.
std::function<void(QWidget*)> Answer(const QString& button, const QString& path = {})
{
    return [button, path](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            for (QAbstractButton* b : box->buttons()) {
                if (b->text() == button) {
                    b->click();
                    return;
                }
            }
            box->reject();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
            if (path.isEmpty()) {
                dialog->reject();
            } else {
                dialog->selectFile(path);
                static_cast<QDialog*>(dialog)->accept();  // QFileDialog::accept, which checks the name
            }
        }
    };
}

const QString Question = QString("QMessageBox: ") + WindowCaption;

struct Seen {
    FieldArray shown;
    PatternArray pattern;
    int count;
    bool editor, timer, visible;
    bool operator==(const Seen&) const = default;
};
Seen Look(const MainWindow& w)
{
    return {w.Work->shownField(), w.PatternCells, w.CycleCount, w.Picture3->isVisible(), w.Timer1->isActive(), w.isVisible()};
}

// Shown and active: without a window manager, asked to be.
void Show(MainWindow& w)
{
    w.show();
    w.raise();
    w.activateWindow();
    if (!QTest::qWaitForWindowActive(&w)) qFatal("the window did not become active");
}

void DrawCells(MainWindow& w, int cells)
{
    for (int i = 0; i < cells; ++i) {
        const PixelPoint box = FieldInnerBoxOrigin(60 + 2 * i, 50 + i % 3);
        QTest::mouseClick(w.Picture1, Qt::LeftButton, {}, QPoint(box.x + 3, box.y + 3));
    }
}

}  // namespace

class ExitQuestionTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(QGuiApplication::platformName() == "xcb",
                 qPrintable("this test needs a real X server, not " + QGuiApplication::platformName()));
    }

    // In each state, with and without work by hand: the question comes
    // exactly where there is some, and staying changes nothing.
    void asksWhereWorkWouldBeLost()
    {
        enum Setup { Fresh, Figure, EditedFigure, Drawn, DrawnRunning, DrawnEnded, DrawnUndone, Opened, Saved, RunFromFigure };
        const char* names[] = {"fresh", "a figure", "a figure edited", "cells drawn", "drawn and running", "drawn and ended",
                               "drawn and undone", "a file opened", "drawn and saved", "a figure run"};
        QTemporaryDir dir;
        const QString file = dir.filePath("soup.rle");
        {
            QFile soup(file);
            QVERIFY(soup.open(QIODevice::WriteOnly));
            soup.write("x = 3, y = 2, rule = B2/S2H\n3o$obo!\n");
        }
        for (int setup = Fresh; setup <= RunFromFigure; ++setup) {
            for (bool byClose : {false, true}) {
                const QString where = QString("%1, %2").arg(names[setup], byClose ? "closed" : "«Выход»");
                MainWindow w;
                Show(w);
                while (w.Run.canGoSlower()) w.RunSlower();
                bool asks = false;
                switch (setup) {
                case Fresh: break;
                case Figure: QTest::mouseClick(w.Picture2[3], Qt::LeftButton, {}, QPoint(20, 20)); break;
                case EditedFigure: {
                    QTest::mouseClick(w.Picture2[3], Qt::LeftButton, {}, QPoint(20, 20));
                    QTest::mouseClick(w.Picture3, Qt::LeftButton, {}, QPoint(w.EditorCellX[60] + 1, w.EditorCellY[60] + 1));
                    asks = true;
                    break;
                }
                case Drawn: DrawCells(w, 4); asks = true; break;
                case DrawnRunning:
                    DrawCells(w, 6);
                    QTest::keyClick(&w, Qt::Key_Space);
                    QVERIFY(w.Timer1->isActive());
                    asks = true;
                    break;
                case DrawnEnded:
                    DrawCells(w, 1);  // a lone cell dies at once
                    QTest::keyClick(&w, Qt::Key_Space);
                    QTRY_VERIFY(!w.Run.running());
                    QTest::mouseClick(w.Picture1, Qt::LeftButton, {}, QPoint(300, 300));
                    asks = w.FieldHasCells();
                    break;
                case DrawnUndone:
                    DrawCells(w, 3);
                    for (int i = 0; i < 3; ++i) QTest::keySequence(&w, QKeySequence::Undo);
                    break;
                case Opened: QVERIFY(w.Files->open(file)); break;
                case Saved:
                    DrawCells(w, 5);
                    QVERIFY(w.SaveFieldRleTo(dir.filePath("saved.rle")));
                    break;
                case RunFromFigure:
                    QTest::mouseClick(w.Picture2[5], Qt::LeftButton, {}, QPoint(20, 20));
                    QTest::mouseClick(w.Command1, Qt::LeftButton);
                    break;
                }
                const bool going = w.Timer1->isActive();
                const Seen before = Look(w);
                int countAsked = -1;
                const QStringList seen = Dismissed(
                    [&] {
                        if (byClose) {
                            w.close();
                        } else {
                            QTest::mouseClick(w.Command3, Qt::LeftButton);
                        }
                    },
                    [&](QWidget* modal) {
                        countAsked = w.CycleCount;
                        QVERIFY(!w.Timer1->isActive());  // the run stands still while asked
                        Answer("Отмена")(modal);
                    });
                if (!asks) {
                    QVERIFY2(seen.isEmpty(), qPrintable(where + ": asked " + seen.join("; ")));
                    continue;
                }
                QVERIFY2(seen.size() == 1 && seen[0].startsWith(Question), qPrintable(where + ": " + seen.join("; ")));
                QVERIFY2(seen[0].contains(setup == EditedFigure ? "Фигура в редакторе" : "Клетки, нарисованные на поле"),
                         qPrintable(where + ": " + seen[0]));
                // Staying: as it was, the window open, a run going on from
                // where the question stopped it.
                const Seen after = Look(w);
                QVERIFY2(after.visible && after.timer == going, qPrintable(where));
                if (going) {
                    QCOMPARE(countAsked >= before.count, true);
                } else {
                    QVERIFY2(after == before, qPrintable(where + ": staying changed something"));
                }
                // Giving the work up ends; the work is not saved.
                w.Timer1->stop();
                bool ends = false;
                Dismissed([&] { ends = MayEnd(w); }, Answer("Выйти без сохранения"));
                QVERIFY2(ends, qPrintable(where));
            }
        }
    }

    // «Сохранить…» saves the field as its command does and then ends; a
    // save dialog cancelled stays. Saved, the same window asks no more,
    // until a cell is drawn again.
    void savesThenEnds()
    {
        QTemporaryDir dir;
        MainWindow w;
        Show(w);
        DrawCells(w, 7);
        const FieldArray drawn = w.Work->shownField();
        bool ends = true;
        QStringList seen = Dismissed([&] { ends = MayEnd(w); }, Answer("Сохранить…"));
        QVERIFY2(!ends && seen.size() == 2, qPrintable(seen.join("; ")));
        const QString path = dir.filePath("drawn.rle");
        seen = Dismissed([&] { ends = MayEnd(w); }, Answer("Сохранить…", path));
        QVERIFY2(ends && seen.size() == 2, qPrintable(seen.join("; ")));
        MainWindow other;
        QVERIFY(other.Files->open(path));
        QVERIFY(other.Work->shownField() == drawn);
        QVERIFY(Dismissed([&] { ends = MayEnd(w); }).isEmpty() && ends);
        DrawCells(w, 1);
        QCOMPARE(Dismissed([&] { ends = MayEnd(w); }, Answer("Отмена")).size(), 1);
        QVERIFY(!ends);
    }
};

QTEST_MAIN(ExitQuestionTest)
#include "test_exit_question.moc"
