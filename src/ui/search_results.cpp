// The search window's result: shown in its summary and tables, a row handed
// on, saved and opened.
#include "ui/search_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QSpinBox>
#include <QTableView>

#include "files/file_dialog.h"
#include "files/safe_files.h"
#include "ui/search_parts.h"
#include "ui/search_tables.h"

namespace hexlife {

using namespace search_window;

void SearchWindow::showResult()
{
    if (!result_) {
        Progress->setValue(0);
        ProgressText->setText(QStringLiteral("Поиск ещё не запускался."));
        Summary->clear();
    } else {
        const search::Result& r = *result_;
        const std::uint64_t done = search::RangesSize(r.progress.done);
        Progress->setValue(r.items() == 0 ? ProgressSteps : int(double(done) / double(r.items()) * ProgressSteps));
        const QString what =
            (r.sample ? QStringLiteral("выборки из фигур %1 (зерно %2)").arg(BoxText(r.box)).arg(r.seed)
                      : QStringLiteral("фигур %1").arg(BoxText(r.box))) +
            QStringLiteral(" по правилу %1").arg(QString::fromStdString(r.rule.Text()));
        ProgressText->setText(r.complete()
                                  ? QStringLiteral("Готово: %1 %2.").arg(Grouped(r.items()), what)
                                  : QStringLiteral("Не закончено: сделано %1 из %2 %3; «Начать» продолжит.")
                                        .arg(Grouped(done), Grouped(r.items()), what));
        Summary->setText(SummaryOf(r.progress.tally));
    }
    ProgressText->setAccessibleName(ProgressText->text());
    Summary->setAccessibleName(
        (result_ ? QStringLiteral("Итог поиска по правилу %1: ").arg(QString::fromStdString(result_->rule.Text()))
                 : QStringLiteral("Итог поиска: ")) +
        QString(Summary->text()).replace('\n', QStringLiteral("; ")));

    // Sorted by the header's column once there is a result, as the
    // header shows; without one, no column is marked.
    for (QTableView* table : {Objects, Longest}) table->setSortingEnabled(false);
    ObjectRows->show(result_ ? &*result_ : nullptr);
    LongestRows->show(result_ ? &*result_ : nullptr);
    if (!result_) return;
    for (QTableView* table : {Objects, Longest}) table->setSortingEnabled(true);
}

void SearchWindow::choose(QTableView* table, int row)
{
    if (row < 0 || row >= table->model()->rowCount()) return;
    const bool object = table == Objects;
    emit patternChosen(table->model()->index(row, 0).data(Qt::UserRole).toByteArray(),
                       object ? QStringLiteral("объект из поиска") : QStringLiteral("фигура из поиска"),
                       object ? QStringLiteral("Объект из поиска не открыт.") : QStringLiteral("Фигура из поиска не открыта."));
}

bool SearchWindow::saveTo(const QString& path)
{
    if (!result_) return false;
    const files::SaveResult saved = files::SaveWhole(QFile::encodeName(path).toStdString(), search::FormatResult(*result_));
    if (!saved.ok) {
        tell(QStringLiteral("Результат поиска не сохранён в файл «%1».\n\n").arg(QFileInfo(path).fileName()) +
             QString::fromStdString(files::Reason(saved.failure)));
        return false;
    }
    folder_ = QFileInfo(path).absolutePath();
    return true;
}

bool SearchWindow::openFrom(const QString& path)
{
    if (searching()) return false;
    const QString failed = QStringLiteral("Результат поиска из файла «%1» не открыт.\n\n").arg(QFileInfo(path).fileName());
    const files::ReadResult read = files::ReadWhole(QFile::encodeName(path).toStdString(), search::MaxResultBytes);
    if (!read.ok) {
        tell(failed + QString::fromStdString(files::Reason(read.failure)));
        return false;
    }
    search::ParsedResult parsed = search::ParseResult(read.bytes);
    if (!parsed.result) {
        tell(failed + QStringLiteral("Это не результат поиска, или он повреждён: ") +
             QString::fromStdString(parsed.error));
        return false;
    }
    folder_ = QFileInfo(path).absolutePath();
    result_ = std::move(parsed.result);
    // The rule of the result, so that «Начать» goes on with an unfinished one.
    RuleField->setEditText(QString::fromStdString(result_->rule.Text()));
    {
        const QSignalBlocker columns(Columns), rows(Rows), sample(Sample), size(SampleSize);
        Columns->setValue(result_->box.columns);
        Rows->setValue(result_->box.rows);
        Sample->setChecked(result_->sample);
        if (result_->sample && result_->begin == 0 && result_->end <= std::uint64_t(MaxSampleSize)) {
            SampleSize->setValue(int(result_->end));
        }
    }
    setSearching(false);
    showResult();
    startProbe();
    return true;
}

void SearchWindow::askSave()
{
    if (!result_ || searching()) return;
    const std::unique_ptr<QFileDialog> dialog(
        files::MakeFileDialog(this, QStringLiteral("Сохранить результат поиска"), folder_, ResultFilter));
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(QStringLiteral("txt"));
    dialog->selectFile(QStringLiteral("поиск-%1x%2.txt").arg(result_->box.columns).arg(result_->box.rows));
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty()) {
        saveTo(dialog->selectedFiles().first());
    }
}

void SearchWindow::askOpen()
{
    if (searching()) return;
    const std::unique_ptr<QFileDialog> dialog(
        files::MakeFileDialog(this, QStringLiteral("Открыть результат поиска"), folder_, ResultFilter));
    dialog->setFileMode(QFileDialog::ExistingFile);
    if (dialog->exec() == QDialog::Accepted && !dialog->selectedFiles().isEmpty()) {
        openFrom(dialog->selectedFiles().first());
    }
}

}  // namespace hexlife
