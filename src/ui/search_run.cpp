// The search window's search and its estimate: the probe of the rule's
// pace, the search started, told as it goes, cancelled and finished.
#include "ui/search_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>

#include "ui/search_parts.h"

namespace hexlife {

using namespace search_window;

void SearchWindow::stopProbe() { probe_.stop(); }

void SearchWindow::startProbe()
{
    stopProbe();
    if (rule_ && !searching()) {
        probe_.start(*rule_, {Columns->value(), Rows->value()}, [this](int probe, double rate) {
            QMetaObject::invokeMethod(this, [this, probe, rate] {
                if (!probe_.accept(probe, rate)) return;
                showEstimate();
                emit paceProbed();
            }, Qt::QueuedConnection);
        });
    }
    showEstimate();
}

void SearchWindow::showEstimate()
{
    const search::Box box{Columns->value(), Rows->value()};
    const bool whole = box.cells() <= MaxWholeCells;
    if (!whole) Sample->setChecked(true);
    Sample->setEnabled(whole && !searching());
    SampleSize->setEnabled(Sample->isChecked() && !searching());
    const std::uint64_t items = Sample->isChecked() ? std::uint64_t(SampleSize->value()) : box.figures();
    QString text = Sample->isChecked()
                       ? QStringLiteral("Выборка: %1 из %2 фигур %3").arg(Grouped(items), Grouped(box.figures()), BoxText(box))
                       : QStringLiteral("Фигур %1: %2").arg(BoxText(box), Grouped(items));
    // During a search, once it has run a second, its own pace tells the
    // time it takes; after one, that pace the time of the next of the same
    // rule and box. Before, the probe's pace of the rule and box.
    double seconds = -1;
    QString how;
    if (searching() && searchSeconds_ > 0) {
        seconds = searchSeconds_;
        how = QStringLiteral(" (по скорости этого поиска)");
    } else if (!searching() && measuredRate_ > 0 && rule_ && measuredRule_ == *rule_ && measuredBox_ == box) {
        seconds = double(items) / measuredRate_;
        how = QStringLiteral(" (по скорости прошлого поиска)");
    } else if (rule_ && probe_.rate(*rule_, box) > 0) {
        seconds = double(items) / (probe_.rate(*rule_, box) * Threads());
        how = QStringLiteral(" (по пробе правила)");
    }
    const QString cores = Threads() == 1 ? QStringLiteral(" на одном ядре") : QStringLiteral(" на %1 ядрах").arg(Threads());
    if (seconds >= 0) {
        text += (seconds < 1 ? QStringLiteral(", меньше секунды") : QStringLiteral(", примерно %1").arg(Duration(seconds))) +
                cores + how + '.';
    } else if (rule_) {
        text += QStringLiteral("; время — после пробы правила…");
    } else {
        text += '.';
    }
    if (!whole) text += QStringLiteral(" Все фигуры этого размера — только в hexagonal-life-search.");
    Estimate->setText(text);
    Estimate->setAccessibleName(text);
}

void SearchWindow::setSearching(bool on)
{
    for (QWidget* control : {static_cast<QWidget*>(RuleField), static_cast<QWidget*>(Columns),
                             static_cast<QWidget*>(Rows), static_cast<QWidget*>(Open)}) {
        control->setEnabled(!on);
    }
    Start->setEnabled(!on && rule_.has_value());
    Cancel->setEnabled(on);
    Save->setEnabled(!on && result_.has_value());
    showEstimate();
}

void SearchWindow::startSearch()
{
    if (searching() || !rule_) return;
    // The probe's core goes to the search.
    stopProbe();
    search::Result next;
    next.rule = *rule_;
    next.box = {Columns->value(), Rows->value()};
    next.sample = Sample->isChecked();
    next.seed = next.sample ? search::DefaultSampleSeed : 0;
    next.end = next.sample ? std::uint64_t(SampleSize->value()) : next.box.figures();
    // An unfinished part of the same search, saved or cancelled, goes on.
    if (result_ && !result_->complete() && result_->rule == next.rule && result_->box == next.box &&
        result_->sample == next.sample &&
        result_->begin == 0 && result_->end == next.end) {
        next.seed = result_->seed;
        next.progress = result_->progress;
    } else if (result_) {
        // A new search: the last one's summary and tables do not stay
        // beside its progress as if they were its own.
        result_.reset();
        showResult();
    }
    searchSeconds_ = 0;
    job_.start(std::move(next), Threads(), ProgressSeconds, [this](std::uint64_t done) {
        QMetaObject::invokeMethod(this, [this, done] { showProgress(done); }, Qt::QueuedConnection);
    }, [this] { QMetaObject::invokeMethod(this, &SearchWindow::finishSearch, Qt::QueuedConnection); });
    setSearching(true);
    Cancel->setFocus();
    showProgress(job_.doneBefore());
}

void SearchWindow::cancelSearch()
{
    if (!searching()) return;
    job_.cancel();
    Cancel->setEnabled(false);
    ProgressText->setText(QStringLiteral("Отменяю…"));
    ProgressText->setAccessibleName(ProgressText->text());
}

void SearchWindow::showProgress(std::uint64_t done)
{
    if (!searching() || job_.cancelled()) return;
    const std::uint64_t total = job_.result().items();
    Progress->setValue(total == 0 ? ProgressSteps : int(double(done) / double(total) * ProgressSteps));
    const double seconds = job_.seconds();
    const std::uint64_t working = job_.working(done);
    const double rate = job_.rate(done, seconds);
    QString text = QStringLiteral("Сделано %1 из %2, %3 фигур/с").arg(Grouped(done), Grouped(total),
                                                                    Grouped(std::uint64_t(rate)));
    if (rate > 0 && done < total) {
        text += QStringLiteral(", осталось %1").arg(Duration(double(total - done - working) / rate));
    }
    ProgressText->setText(text);
    ProgressText->setAccessibleName(text);
    // After the first second, the search's own pace tells how long it takes.
    if (seconds >= PaceSeconds && rate > 0) {
        searchSeconds_ = double(total - job_.doneBefore()) / rate;
        measuredRate_ = rate;
        measuredRule_ = job_.result().rule;
        measuredBox_ = job_.result().box;
        showEstimate();
    }
}

void SearchWindow::finishSearch()
{
    result_ = job_.finish();
    setSearching(false);
    showResult();
    Start->setFocus();
    // A search cut short before its pace was known leaves the probe's.
    startProbe();
}

}  // namespace hexlife
