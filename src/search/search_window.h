// «Поиск фигур»: the search of small figures (search/search.h) in a window
// of its own. The box and a sample are chosen, the search runs on threads
// of its own with its progress shown, and its result is a summary and two
// sortable tables: the final objects and the longest-lived figures. A
// double click (or Enter) on a row hands that object or figure on as RLE
// text, to be opened as a pattern file is. Results are saved and opened in
// the command line's result file format.
#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

#include <QDialog>
#include <QElapsedTimer>
#include <QImage>
#include <vector>

#include "search/result_file.h"

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableWidget;

namespace hexlife {

// Live cells drawn as the field draws them (its lattice, grid and colours),
// centred in a square of `side` pixels, a cell at most `maxPitch` pixels
// wide: the pictures of the search window's tables and of the census page.
QImage SearchPicture(const std::vector<rle::GollyCell>& cells, int side, int maxPitch);

class SearchWindow : public QDialog {
    Q_OBJECT
public:
    explicit SearchWindow(QWidget* parent = nullptr);
    // A search still going is cancelled and waited for.
    ~SearchWindow() override;

    // Controls.
    QSpinBox* Columns = nullptr;
    QSpinBox* Rows = nullptr;
    QCheckBox* Sample = nullptr;     // a random sample instead of every figure
    QSpinBox* SampleSize = nullptr;
    QLabel* Estimate = nullptr;      // how many figures, and about how long
    QPushButton* Start = nullptr;
    QPushButton* Cancel = nullptr;
    QPushButton* Save = nullptr;
    QPushButton* Open = nullptr;
    QProgressBar* Progress = nullptr;
    QLabel* ProgressText = nullptr;  // done, rate, time left
    QLabel* Summary = nullptr;
    QTabWidget* Tabs = nullptr;
    QTableWidget* Objects = nullptr;
    QTableWidget* Longest = nullptr;

    // Table columns.
    enum ObjectColumn { ObjectCells, ObjectKind, ObjectPeriod, ObjectShift, ObjectCount, ObjectSmallest };
    enum LongestColumn { LongestCells, LongestFigure, LongestVerdict, LongestGeneration, LongestPeriod };

    bool searching() const { return worker_.joinable(); }
    // The result shown, whole or in part; none before the first.
    const std::optional<search::Result>& result() const { return result_; }

    // A search of the box and sample chosen; one that goes on from the
    // result shown where that is an unfinished part of the same search.
    void startSearch();
    void cancelSearch();
    // Each returns whether it succeeded; a failure has been told to the user.
    bool saveTo(const QString& path);
    bool openFrom(const QString& path);
    void askSave();
    void askOpen();
    // The object or figure of a row of its table, as a double click gives it.
    void choose(QTableWidget* table, int row);

    // Russian words of the summary, kinds and verdicts.
    static QString SummaryOf(const search::Tally& tally);
    static QString KindName(search::Verdict kind);
    static QString VerdictText(search::Verdict verdict);

signals:
    // The RLE text of a chosen object or figure; `how` names the change for
    // the undo list, `failed` begins a message should it not open.
    void patternChosen(const QByteArray& rle, const QString& how, const QString& failed);

protected:
    void reject() override;  // Esc and closing the window cancel a search

private:
    void showEstimate();
    void showProgress(std::uint64_t done);
    void finishSearch();
    void showResult();
    void setSearching(bool on);
    void tell(const QString& message);

    // The search going on: what it was asked, what it has done and its
    // cancel flag, shared with its thread.
    struct Job {
        search::Request request;
        search::Progress progress;
        std::atomic<bool> cancel{false};
    };
    std::shared_ptr<Job> job_;
    std::thread worker_;
    search::Result running_;             // the result the job fills
    std::uint64_t doneBefore_ = 0;       // done when it started
    QElapsedTimer clock_;
    double searchSeconds_ = 0;           // the time the search takes at its own pace; 0 before it is known
    double measuredRate_ = 0;            // figures a second of the last search that ran a second
    std::optional<search::Result> result_;
    QString folder_;                     // where results were last saved or opened
};

}  // namespace hexlife
