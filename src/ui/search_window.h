// «Поиск фигур»: the search of small figures (search/search.h) in a window
// of its own. The box and a sample are chosen, the search runs on threads
// of its own with its progress shown, and its result is a summary and two
// sortable tables: the final objects and the longest-lived figures. A
// double click (or Enter) on a row hands that object or figure on as RLE
// text, to be opened as a pattern file is. Results are saved and opened in
// the command line's result file format. The rule is typed or picked
// among the rules worth knowing, checked as it is typed; before a search
// the time it takes is told from a short probe of the rule's own pace on
// a few figures of the box, run on a thread of its own.
#pragma once

#include <optional>

#include <QDialog>

#include "search/result_file.h"
#include "search/search_job.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QTableView;

namespace hexlife {

class LongestTable;
class ObjectsTable;

class SearchWindow : public QDialog {
    Q_OBJECT
public:
    explicit SearchWindow(QWidget* parent = nullptr);
    // A search still going is cancelled and waited for.
    ~SearchWindow() override;

    // Controls.
    QComboBox* RuleField = nullptr;  // editable; its list the rules worth knowing
    QLabel* RuleCheck = nullptr;     // what is wrong with the rule, or how it reads
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
    // The tables: views, sorted by a QSortFilterProxyModel, of the models
    // of the result shown.
    QTableView* Objects = nullptr;
    QTableView* Longest = nullptr;
    ObjectsTable* ObjectRows = nullptr;
    LongestTable* LongestRows = nullptr;

    // Table columns.
    enum ObjectColumn { ObjectCells, ObjectKind, ObjectPeriod, ObjectShift, ObjectCount, ObjectSmallest };
    enum LongestColumn { LongestCells, LongestFigure, LongestVerdict, LongestGeneration, LongestPeriod };

    bool searching() const { return job_.running(); }
    // The rule the field reads as; none while it is refused (B0 too).
    const std::optional<rule::Rule>& rule() const { return rule_; }
    // The rule put in the field (not during a search).
    void setRule(const rule::Rule& rule);
    // The main window's rule, offered each time it opens the window: it
    // replaces the field's only when it differs from the one offered last,
    // so that a rule chosen here stays until the field's rule changes.
    void offerRule(const rule::Rule& rule);
    // The probe of the rule's pace is running.
    bool probing() const { return probe_.running(); }
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
    // The object or figure of a row of its table as shown, as a double
    // click gives it.
    void choose(QTableView* table, int row);

    // Russian words of the summary, kinds and verdicts.
    static QString SummaryOf(const search::Tally& tally);
    static QString KindName(search::Verdict kind);
    static QString VerdictText(search::Verdict verdict);

signals:
    // The probe of the rule's pace has told a rate (or ended without one).
    void paceProbed();
    // The RLE text of a chosen object or figure; `how` names the change for
    // the undo list, `failed` begins a message should it not open.
    void patternChosen(const QByteArray& rle, const QString& how, const QString& failed);

protected:
    void reject() override;  // Esc and closing the window cancel a search

private:
    void checkRule();
    // The probe of the pace of the rule and box chosen: the last one
    // stopped, and a new one started where a rule reads.
    void startProbe();
    void stopProbe();
    void showEstimate();
    void showProgress(std::uint64_t done);
    void finishSearch();
    void showResult();
    void setSearching(bool on);
    void tell(const QString& message);

    search::SearchJob job_;              // the search going on
    double searchSeconds_ = 0;           // the time the search takes at its own pace; 0 before it is known
    double measuredRate_ = 0;            // figures a second of the last search that ran a second,
    rule::Rule measuredRule_;            //   by this rule
    search::Box measuredBox_;            //   for this box
    std::optional<rule::Rule> rule_;
    std::optional<rule::Rule> offered_;  // the main window's rule offered last
    search::PaceProbe probe_;            // the probe of the rule's pace, and what it found
    std::optional<search::Result> result_;
    QString folder_;                     // where results were last saved or opened
};

}  // namespace hexlife
