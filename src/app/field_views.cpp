// What the window shows of a run besides the field: the generation on the
// field copied or saved (RLE, PNG), and the population plot.
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>

#include "app/main_window.h"
#include "commands/command_table.h"
#include "history/colony_plot.h"
#include "rle/pattern_files.h"
#include "rle/rle.h"
#include "screen/frame_pacer.h"
#include "surface/picture_box.h"

namespace hexlife {

namespace {

// The live cells of the generation on the field: the one the last tick drew.
std::vector<rle::GollyCell> ShownCells(const RunHistory& history, int count)
{
    std::vector<rle::GollyCell> live;
    if (count < 1 || count > history.size()) return live;
    FieldArray field{};
    history.unpack(count - 1, field);
    for (int c = 0; c < FieldColCount; ++c) {
        for (int r = 0; r < FieldColLen; ++r) {
            if (field[size_t(c * FieldColLen + r)] == 1) live.push_back(rle::ToGolly(c, r));
        }
    }
    return live;
}

}  // namespace

bool MainWindow::FieldHasCells() const
{
    return CycleCount >= 1 && CycleCount <= History.size() && History.population(CycleCount - 1) > 0;
}

void MainWindow::CopyField()
{
    if (!FieldHasCells()) return;
    QGuiApplication::clipboard()->setText(QString::fromStdString(
        rle::WriteCells(ShownCells(History, CycleCount), "Поле, цикл " + std::to_string(CycleCount))));
}

void MainWindow::SaveFieldRle()
{
    if (!FieldHasCells()) return;
    const QString path = Files->askSavePath(QStringLiteral("Сохранить поле как RLE"), PatternFiles::RleFilter, "rle");
    if (!path.isEmpty()) {
        Files->saveBytes(path,
                         QByteArray::fromStdString(rle::WriteCells(ShownCells(History, CycleCount),
                                                                   QFileInfo(path).completeBaseName().toStdString())),
                         QStringLiteral("Поле не сохранено в файл %1."));
    }
}

void MainWindow::SaveFieldPng()
{
    Files->askSavePng(Picture1->surface().image(), QStringLiteral("Сохранить поле как картинку"),
                      QStringLiteral("Картинка поля не сохранена в файл %1."));
}

void MainWindow::ShowPlot()
{
    if (Plot == nullptr) {
        Plot = new ColonyPlot(History, [this] { return int(CycleCount); }, this);
        new FramePacer(Plot);  // repainted at most once per display frame
        // ShowCycle stops the timer and repaints the plot.
        connect(Plot, &ColonyPlot::picked, this, &MainWindow::ShowCycle);
        connect(Plot, &ColonyPlot::saveRequested, this, [this] {
            Files->askSavePng(Plot->picture(), QStringLiteral("Сохранить ход колонии"),
                              QStringLiteral("Ход колонии не сохранён в файл %1."));
        });
        Commands->attachTo(Plot);
        PlaceBeside(Plot);
    }
    Plot->show();
    Plot->raise();
    Plot->activateWindow();
}

}  // namespace hexlife
