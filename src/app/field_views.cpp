// What the window shows of a run besides the field: the generation on the
// field copied or saved (RLE, PNG), the population plot, and the window of
// the search of small figures.
#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "app/main_window.h"
#include "app/recent_files.h"
#include "commands/command_table.h"
#include "history/colony_plot.h"
#include "rle/pattern_files.h"
#include "rle/rle.h"
#include "screen/frame_pacer.h"
#include "ui/search_window.h"
#include "surface/picture_box.h"

namespace hexlife {

namespace {

// The live cells of a field in an area, in Golly's coordinates.
std::vector<rle::GollyCell> LiveCells(const FieldArray& field, const CellRect& area)
{
    std::vector<rle::GollyCell> live;
    for (int c = area.c1; c <= area.c2; ++c) {
        for (int r = area.r1; r <= area.r2; ++r) {
            if (field[size_t(FieldCellNumber(c, r))] == 1) live.push_back(rle::ToGolly(c, r));
        }
    }
    return live;
}

constexpr CellRect WholeField{0, 0, FieldColLast, FieldPosLast};

}  // namespace

bool MainWindow::FieldHasCells() const
{
    if (Selection.empty() && CycleCount >= 1 && CycleCount <= History.size()) {
        return History.population(CycleCount - 1) > 0;
    }
    return !LiveCells(Work->shownField(), Selection.empty() ? WholeField : Selection).empty();
}

void MainWindow::CopyField()
{
    if (!FieldHasCells()) return;
    // The field, or the part of it selected, is written as the field at its
    // generation, which opens and pastes back where it stood.
    const std::string cycle = std::to_string(CycleCount);
    const std::string text =
        Selection.empty()
            ? rle::WriteCells(LiveCells(Work->shownField(), WholeField), "Поле, цикл " + cycle, Work->shownGeneration(), FieldRule)
            : rle::WriteCells(LiveCells(Work->shownField(), Selection), "Выделенное на поле, цикл " + cycle,
                              Work->shownGeneration(), FieldRule);
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
}

bool MainWindow::SaveFieldRle()
{
    if (!FieldHasCells()) return false;
    const QString path = Files->askSavePath(QStringLiteral("Сохранить поле как RLE"), PatternFiles::RleFilter, "rle");
    return !path.isEmpty() && SaveFieldRleTo(path);
}

bool MainWindow::SaveFieldRleTo(const QString& Path)
{
    // The whole field at its generation: it opens back where it stood.
    if (!Files->saveBytes(Path,
                          QByteArray::fromStdString(rle::WriteCells(LiveCells(Work->shownField(), WholeField),
                                                                    QFileInfo(Path).completeBaseName().toStdString(),
                                                                    Work->shownGeneration(), FieldRule)),
                          QStringLiteral("Поле не сохранено в файл %1."))) {
        return false;
    }
    Unsaved->markSaved(WorkPart::Field);
    RememberRecent(Path);
    return true;
}

QImage MainWindow::FieldPicture() const
{
    // The field's image reaches past the grid, to the box's edges: the
    // picture is the grid alone, its left edge, which the box's border draws
    // in the window, drawn as a grid line.
    const int pitch = 2 * FieldHalfPitch;
    const QRect grid(0, 0, pitch * FieldColCount + 1, CellRadius + FieldColLen * pitch + 1);
    QImage picture = Picture1->surface().image().copy(grid);
    const QRgb line = ToQRgb(GridColor);
    for (int y = 0; y < picture.height(); ++y) {
        picture.setPixel(0, y, line);
    }
    return picture;
}

void MainWindow::SaveFieldPng()
{
    Files->askSavePng(FieldPicture(), QStringLiteral("Сохранить поле как картинку"),
                      QStringLiteral("Картинка поля не сохранена в файл %1."));
}

void MainWindow::ShowPlot()
{
    if (Plot == nullptr) {
        Plot = new ColonyPlot(History, [this] { return int(CycleCount); }, this);
        Plot->setRuleName(RuleName());
        new FramePacer(Plot);  // repainted at most once per display frame
        // ShowCycle stops the timer and repaints the plot.
        connect(Plot, &ColonyPlot::picked, Work, &Workspace::showCycle);
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

// An object or figure chosen in the search's tables opens as a pattern file
// does: into the editor where it fits, else onto the field, as one change
// to undo; the main window then takes the keys, ready for «Пуск» or Space.
void MainWindow::ShowSearch()
{
    if (Search == nullptr) {
        Search = new SearchWindow(this);
        connect(Search, &SearchWindow::patternChosen, this,
                [this](const QByteArray& text, const QString& how, const QString& failed) {
                    if (Files->openText(text, failed, how, PatternFiles::Source::Program)) {
                        raise();
                        activateWindow();
                    }
                });
        PlaceBeside(Search);
    }
    Search->offerRule(FieldRule);
    Search->show();
    Search->raise();
    Search->activateWindow();
}

}  // namespace hexlife
