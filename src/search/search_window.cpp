#include "search/search_window.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "files/file_dialog.h"
#include "files/safe_files.h"
#include "model.h"
#include "program.h"
#include "rle/rle.h"
#include "rule/known_rules.h"
#include "rule/rule_words.h"
#include "surface/surface.h"

namespace hexlife {

namespace {

using search::Verdict;

// Whole boxes of up to 2^28 figures are offered: at the search's pace that
// is minutes on a few cores, at most about half an hour. Beyond that a
// whole box takes hours to a week, which is the command line's work (it
// saves as it goes, resumes and splits into shards); the window offers a
// random sample of such a box instead, so that no one starts 2^36 by a slip.
constexpr int MaxWholeCells = 28;
// The probe of a rule's pace before a search: rounds of a few figures of a
// sample of the box, on one thread, until this much time or this many
// figures (a rule whose figures run long stops at its time, one round at
// least); its rate times the cores is the estimate until a search of the
// rule and box has run a second. Its own sample's seed, apart from the
// window's samples.
constexpr std::uint64_t ProbeRound = 32;
constexpr std::uint64_t ProbeFigures = 4096;
constexpr double ProbeSeconds = 0.3;
constexpr std::uint64_t ProbeSeed = 0x7072'6f62'65ULL;
constexpr double ProgressSeconds = 0.2;
// How long a search runs before its own pace replaces the probe's.
constexpr double PaceSeconds = 1.0;
constexpr int ProgressSteps = 1000;
constexpr int DefaultSampleSize = 100000;
constexpr int MaxSampleSize = 1000000000;
// The pictures of objects and figures in the tables, and the largest pitch
// of a cell in them.
constexpr int PictureSide = 48;
constexpr int MaxPicturePitch = 8;
const char* const ResultFilter = "Результаты поиска (*.txt);;Все файлы (*)";

QString Grouped(std::uint64_t n) { return QLocale(QLocale::Russian, QLocale::Russia).toString(qulonglong(n)); }

QString Duration(double seconds)
{
    const long long s = std::llround(seconds);
    if (s < 1) return QStringLiteral("меньше секунды");
    if (s < 60) return QStringLiteral("%1 с").arg(s);
    // Two units at most, the smaller left out when it is nought: «4 мин».
    auto two = [](long long big, const char* bigUnit, long long small, const char* smallUnit) {
        const QString first = QStringLiteral("%1 %2").arg(big).arg(QString::fromUtf8(bigUnit));
        return small == 0 ? first : first + QStringLiteral(" %1 %2").arg(small).arg(QString::fromUtf8(smallUnit));
    };
    if (s < 3600) return two(s / 60, "мин", s % 60, "с");
    if (s < 86400) return two(s / 3600, "ч", s / 60 % 60, "мин");
    return two(s / 86400, "дн", s / 3600 % 24, "ч");
}

int Threads() { return int(std::max(1u, std::thread::hardware_concurrency())); }

QString BoxText(const search::Box& box) { return QStringLiteral("%1 × %2").arg(box.columns).arg(box.rows); }

std::int64_t FloorHalf(std::int64_t x) { return x >= 0 ? x / 2 : -((1 - x) / 2); }

QTableWidgetItem* Item(const QVariant& value)
{
    auto* item = new QTableWidgetItem;
    item->setData(Qt::DisplayRole, value);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    if (value.typeId() != QMetaType::QString) item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

// The picture column: the picture, the number of live cells to sort by, and
// the RLE text a double click hands on.
QTableWidgetItem* PictureItem(const std::vector<rle::GollyCell>& cells, const std::string& title, const rule::Rule& rule)
{
    QTableWidgetItem* item = Item(qulonglong(cells.size()));
    item->setData(Qt::DecorationRole, QPixmap::fromImage(SearchPicture(cells, PictureSide, MaxPicturePitch)));
    item->setData(Qt::UserRole, QByteArray::fromStdString(rle::WriteShape(cells, title, rule)));
    item->setData(Qt::AccessibleTextRole, QStringLiteral("Живых клеток: %1").arg(cells.size()));
    return item;
}

QTableWidget* MakeTable(QWidget* parent, const QStringList& headers, const QString& name)
{
    auto* table = new QTableWidget(0, int(headers.size()), parent);
    table->setHorizontalHeaderLabels(headers);
    table->setAccessibleName(name);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setIconSize(QSize(PictureSide, PictureSide));
    table->verticalHeader()->setDefaultSectionSize(PictureSide + 4);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setToolTip(QStringLiteral("Двойной щелчок или Enter — открыть в редакторе (или на поле, если не помещается)."));
    return table;
}

}  // namespace

// Live cells drawn as the field draws them: Golly's cell (x, y) is column
// x, row y - x div 2 of the field's lattice, even columns half a cell lower,
// live cells filled in the field's colour inside the grid's lines.
QImage SearchPicture(const std::vector<rle::GollyCell>& cells, int side, int maxPitch)
{
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(ToQRgb(EmptyColor));
    if (cells.empty()) return image;
    std::int64_t left = cells[0].x, right = left, top = cells[0].y - FloorHalf(left), bottom = top;
    for (const rle::GollyCell& c : cells) {
        const std::int64_t row = c.y - FloorHalf(c.x);
        left = std::min(left, c.x);
        right = std::max(right, c.x);
        top = std::min(top, row);
        bottom = std::max(bottom, row);
    }
    const int columns = int(right - left + 1), rows = int(bottom - top + 1);
    // Half a cell more in height for the columns set lower.
    const int pitch = std::clamp(std::min((side - 1) / columns, 2 * (side - 1) / (2 * rows + 1)), 1, maxPitch);
    const int x0 = (side - columns * pitch) / 2, y0 = (side - rows * pitch - pitch / 2) / 2;
    auto origin = [&](std::int64_t x, std::int64_t row) {
        const int shift = x % 2 == 0 ? pitch / 2 : 0;
        return QPoint(x0 + int(x - left) * pitch, y0 + int(row - top) * pitch + shift);
    };
    QPainter painter(&image);
    if (pitch >= 4) {
        painter.setPen(QColor::fromRgb(ToQRgb(GridColor)));
        for (std::int64_t x = left; x <= right; ++x) {
            for (std::int64_t row = top; row <= bottom; ++row) {
                painter.drawRect(QRect(origin(x, row), QSize(pitch, pitch)));
            }
        }
    }
    const int inset = pitch >= 4 ? 1 : 0;
    for (const rle::GollyCell& c : cells) {
        const QPoint at = origin(c.x, c.y - FloorHalf(c.x));
        painter.fillRect(QRect(at + QPoint(inset, inset), QSize(pitch + 1 - 2 * inset, pitch + 1 - 2 * inset)),
                         QColor::fromRgb(ToQRgb(LiveColor)));
    }
    return image;
}

QString SearchWindow::KindName(Verdict kind)
{
    switch (kind) {
    case Verdict::Still: return QStringLiteral("Неподвижная");
    case Verdict::Oscillator: return QStringLiteral("Осциллятор");
    case Verdict::Ship: return QStringLiteral("Корабль");
    default: return VerdictText(kind);
    }
}

QString SearchWindow::VerdictText(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Died: return QStringLiteral("Вымирает");
    case Verdict::Still: return QStringLiteral("Неподвижна");
    case Verdict::Oscillator: return QStringLiteral("Осциллятор");
    case Verdict::Ship: return QStringLiteral("Корабль");
    case Verdict::Grows: return QStringLiteral("Растёт");
    case Verdict::Undecided: return QStringLiteral("Не решено");
    }
    return {};
}

// The lines of the command line's summary, in Russian words.
QString SearchWindow::SummaryOf(const search::Tally& tally)
{
    QStringList lines;
    lines << QStringLiteral("фигур: %1").arg(tally.figures) << QStringLiteral("погибли: %1").arg(tally.died)
          << QStringLiteral("неподвижные: %1").arg(tally.still);
    for (const auto& [period, count] : tally.oscillators) {
        lines << QStringLiteral("осциллятор p%1: %2").arg(period).arg(count);
    }
    for (const auto& [period, count] : tally.ships) {
        lines << QStringLiteral("корабль p%1: %2").arg(period).arg(count);
    }
    lines << QStringLiteral("растут: %1").arg(tally.grows) << QStringLiteral("не решено: %1").arg(tally.undecided);
    return lines.join('\n');
}

SearchWindow::SearchWindow(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Поиск фигур"));
    setAccessibleName(QStringLiteral("Поиск фигур"));
    folder_ = QDir::homePath();

    auto spin = [this](int low, int high, int value, const QString& name) {
        auto* box = new QSpinBox(this);
        box->setRange(low, high);
        box->setValue(value);
        box->setAccessibleName(name);
        connect(box, &QSpinBox::valueChanged, this, &SearchWindow::showEstimate);
        return box;
    };
    Columns = spin(1, search::MaxBoxSide, 3, QStringLiteral("Столбцов в фигуре"));
    Rows = spin(1, search::MaxBoxSide, 3, QStringLiteral("Клеток в столбце"));
    // A box of other figures runs at another pace.
    for (QSpinBox* box : {Columns, Rows}) connect(box, &QSpinBox::valueChanged, this, &SearchWindow::startProbe);
    SampleSize = spin(1, MaxSampleSize, DefaultSampleSize, QStringLiteral("Фигур в выборке"));
    SampleSize->setGroupSeparatorShown(true);
    Sample = new QCheckBox(QStringLiteral("Случайная &выборка, фигур:"), this);
    Sample->setAccessibleName(QStringLiteral("Случайная выборка"));
    Sample->setToolTip(QStringLiteral("Случайные фигуры вместо всех: для больших размеров (зерно %1, как у "
                                      "hexagonal-life-search --sample).").arg(search::DefaultSampleSeed));
    connect(Sample, &QCheckBox::toggled, this, &SearchWindow::showEstimate);
    Estimate = new QLabel(this);

    RuleField = new QComboBox(this);
    RuleField->setEditable(true);
    RuleField->setInsertPolicy(QComboBox::NoInsert);
    // Typed as it stands: no completion to a known rule behind the typing.
    RuleField->setCompleter(nullptr);
    RuleField->setMinimumContentsLength(26);  // a MAP string
    RuleField->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    for (int i = 0; i < rule::KnownRuleCount; ++i) {
        RuleField->addItem(QString::fromUtf8(rule::KnownRules[i].text));
        RuleField->setItemData(i, QString::fromUtf8(rule::KnownRules[i].note), Qt::ToolTipRole);
        RuleField->setItemData(i, QString::fromUtf8(rule::KnownRules[i].note), Qt::AccessibleDescriptionRole);
    }
    RuleField->setEditText(QString::fromStdString(rule::Rule().Text()));
    RuleField->setAccessibleName(QStringLiteral("Правило поиска"));
    RuleField->lineEdit()->setAccessibleName(QStringLiteral("Правило поиска"));
    RuleField->setToolTip(QStringLiteral("Правило, по которому развиваются фигуры, в записи Golly: B2/S34H, "
                                         "B2o/S2m34H или MAP и 22 знака base64. В списке — правила, которые стоит знать."));
    RuleCheck = new QLabel(this);
    RuleCheck->setWordWrap(true);
    RuleCheck->setTextFormat(Qt::PlainText);
    RuleCheck->setAccessibleName(QStringLiteral("Проверка правила"));
    connect(RuleField, &QComboBox::editTextChanged, this, &SearchWindow::checkRule);

    auto button = [this](const QString& text, const QString& name, const QKeySequence& key, auto slot) {
        auto* b = new QPushButton(text, this);
        b->setAccessibleName(name);
        b->setAutoDefault(false);  // Enter in a table opens its row, not a button
        // A key of its own besides the underlined letter, which stays the
        // button's own shortcut.
        if (!key.isEmpty()) {
            auto* action = new QAction(this);
            action->setShortcut(key);
            connect(action, &QAction::triggered, b, &QPushButton::click);
            addAction(action);
            b->setToolTip(name + " (" + key.toString(QKeySequence::NativeText) + ")");
        }
        connect(b, &QPushButton::clicked, this, slot);
        return b;
    };
    Start = button(QStringLiteral("&Начать"), QStringLiteral("Начать"), QKeySequence(Qt::CTRL | Qt::Key_Return),
                   &SearchWindow::startSearch);
    Cancel = button(QStringLiteral("О&тменить"), QStringLiteral("Отменить"), QKeySequence(Qt::CTRL | Qt::Key_Period),
                    &SearchWindow::cancelSearch);
    Open = button(QStringLiteral("Отк&рыть…"), QStringLiteral("Открыть результат"), QKeySequence::Open,
                  &SearchWindow::askOpen);
    Save = button(QStringLiteral("&Сохранить…"), QStringLiteral("Сохранить результат"), QKeySequence::Save,
                  &SearchWindow::askSave);
    QPushButton* close = button(QStringLiteral("&Закрыть"), QStringLiteral("Закрыть"), {}, &SearchWindow::reject);

    Progress = new QProgressBar(this);
    Progress->setRange(0, ProgressSteps);
    Progress->setValue(0);
    Progress->setAccessibleName(QStringLiteral("Ход поиска"));
    ProgressText = new QLabel(this);
    Summary = new QLabel(this);
    Summary->setTextFormat(Qt::PlainText);
    Summary->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Summary->setMinimumWidth(Summary->fontMetrics().horizontalAdvance(QStringLiteral("осциллятор p12: 00000000")));
    for (QLabel* label : {Estimate, ProgressText, Summary}) label->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Objects = MakeTable(this,
                        {QStringLiteral("Клеток"), QStringLiteral("Вид"), QStringLiteral("Период"), QStringLiteral("Сдвиг"),
                         QStringLiteral("Число"), QStringLiteral("Первая фигура")},
                        QStringLiteral("Объекты"));
    Longest = MakeTable(this,
                        {QStringLiteral("Клеток"), QStringLiteral("Фигура"), QStringLiteral("Исход"),
                         QStringLiteral("Поколение"), QStringLiteral("Период")},
                        QStringLiteral("Самые долгие фигуры"));
    // Generations count from 0 at the figure; the main window's count
    // shows generation g as cycle g + 1.
    Longest->horizontalHeaderItem(LongestGeneration)
        ->setToolTip(QStringLiteral("Поколение исхода, от 0 у самой фигуры; в главном окне это цикл на единицу больше."));
    // More copies first, and the longest-lived first, until a header is clicked.
    Objects->horizontalHeader()->setSortIndicator(ObjectCount, Qt::DescendingOrder);
    Longest->horizontalHeader()->setSortIndicator(LongestGeneration, Qt::DescendingOrder);
    for (QTableWidget* table : {Objects, Longest}) {
        connect(table, &QTableWidget::activated, this, [this, table](const QModelIndex& index) { choose(table, index.row()); });
    }
    Tabs = new QTabWidget(this);
    Tabs->setAccessibleName(QStringLiteral("Результаты поиска"));
    Tabs->addTab(Objects, QStringLiteral("&Объекты"));
    Tabs->addTab(Longest, QStringLiteral("Са&мые долгие (%1)").arg(search::TopCount));

    auto* ruleRow = new QHBoxLayout;
    auto* ruleLabel = new QLabel(QStringLiteral("&Правило:"), this);
    ruleLabel->setBuddy(RuleField);
    ruleRow->addWidget(ruleLabel);
    ruleRow->addWidget(RuleField);
    ruleRow->addSpacing(12);
    ruleRow->addWidget(RuleCheck, 1);
    auto* size = new QHBoxLayout;
    auto* columnsLabel = new QLabel(QStringLiteral("С&толбцов:"), this);
    columnsLabel->setBuddy(Columns);
    auto* rowsLabel = new QLabel(QStringLiteral("&Клеток в столбце:"), this);
    rowsLabel->setBuddy(Rows);
    size->addWidget(columnsLabel);
    size->addWidget(Columns);
    size->addSpacing(12);
    size->addWidget(rowsLabel);
    size->addWidget(Rows);
    size->addSpacing(12);
    size->addWidget(Sample);
    size->addWidget(SampleSize);
    size->addStretch();
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {Start, Cancel}) buttons->addWidget(b);
    buttons->addStretch();
    for (QPushButton* b : {Open, Save, close}) buttons->addWidget(b);
    auto* results = new QHBoxLayout;
    results->addWidget(Summary);
    results->addWidget(Tabs, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(ruleRow);
    layout->addLayout(size);
    layout->addWidget(Estimate);
    layout->addLayout(buttons);
    layout->addWidget(Progress);
    layout->addWidget(ProgressText);
    layout->addLayout(results, 1);
    const QList<QWidget*> order = {RuleField, Columns, Rows, Sample, SampleSize, Start, Cancel, Open, Save, close, Tabs, Objects, Longest};
    for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);

    setSearching(false);
    checkRule();
    showResult();
    resize(720, 560);
}

SearchWindow::~SearchWindow()
{
    stopProbe();
    if (worker_.joinable()) {
        job_->cancel = true;
        worker_.join();
    }
}

void SearchWindow::setRule(const rule::Rule& rule)
{
    if (searching()) return;
    RuleField->setEditText(QString::fromStdString(rule.Text()));
}

void SearchWindow::offerRule(const rule::Rule& rule)
{
    if (offered_ == rule || searching()) return;
    offered_ = rule;
    setRule(rule);
}

void SearchWindow::checkRule()
{
    const rule::ParseResult read = rule::Parse(RuleField->currentText().toStdString());
    rule_.reset();
    if (!read.rule) {
        RuleCheck->setText(QString::fromStdString(rule::Sentence(read.error)));
    } else if (read.rule->HasB0()) {
        // The command line's words, as a sentence.
        RuleCheck->setText("П" + QString::fromStdString(search::B0Refusal(*read.rule)).mid(1) + '.');
    } else {
        rule_ = read.rule;
        RuleCheck->setText(QStringLiteral("Правило %1, %2; объекты сравниваются %3.")
                               .arg(QString::fromStdString(rule_->Text()), QString::fromStdString(rule::Kind(*rule_)),
                                    rule_->IsIsotropic() ? QStringLiteral("с точностью до поворотов и отражений")
                                                         : QStringLiteral("только с точностью до сдвигов")));
    }
    RuleCheck->setAccessibleDescription(RuleCheck->text());
    RuleField->setAccessibleDescription(RuleCheck->text());
    Start->setEnabled(!searching() && rule_.has_value());
    startProbe();
}

void SearchWindow::stopProbe()
{
    if (probeCancel_) *probeCancel_ = true;
    if (prober_.joinable()) prober_.join();
    probeCancel_.reset();
}

void SearchWindow::startProbe()
{
    stopProbe();
    const search::Box box{Columns->value(), Rows->value()};
    if (rule_ && !searching() && !(probeRate_ > 0 && probeRule_ == *rule_ && probeBox_ == box)) {
        probeRate_ = 0;
        probeRule_ = *rule_;
        probeBox_ = box;
        auto cancel = std::make_shared<std::atomic<bool>>(false);
        probeCancel_ = cancel;
        const int count = ++probeCount_;
        prober_ = std::thread([this, cancel, count, box, rule = *rule_] {
            using Clock = std::chrono::steady_clock;
            const Clock::time_point start = Clock::now();
            std::uint64_t figures = 0;
            double seconds = 0;
            for (std::uint64_t round = 0; figures < ProbeFigures && seconds < ProbeSeconds; ++round) {
                search::Request request;
                request.box = box;
                request.rule = rule;
                request.sample = true;
                request.seed = ProbeSeed;
                request.begin = round * ProbeRound;
                request.end = request.begin + ProbeRound;
                request.threads = 1;
                search::Progress progress;
                if (!search::RunSearch(request, progress, *cancel)) return;  // stopped: nothing to tell
                figures += ProbeRound;
                seconds = std::chrono::duration<double>(Clock::now() - start).count();
            }
            const double rate = seconds > 0 ? double(figures) / seconds : 0;
            QMetaObject::invokeMethod(this, [this, count, rate] {
                if (count != probeCount_) return;  // an older probe's, its rule or box gone
                if (prober_.joinable()) prober_.join();
                probeCancel_.reset();
                probeRate_ = rate;
                showEstimate();
                emit paceProbed();
            }, Qt::QueuedConnection);
        });
    }
    showEstimate();
}

void SearchWindow::tell(const QString& message)
{
    QMessageBox::warning(this, QString::fromUtf8(WindowCaption), message);
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
    } else if (rule_ && probeRate_ > 0 && probeRule_ == *rule_ && probeBox_ == box) {
        seconds = double(items) / (probeRate_ * Threads());
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
    running_ = std::move(next);
    job_ = std::make_shared<Job>();
    search::Request& request = job_->request;
    request.box = running_.box;
    request.rule = running_.rule;
    request.begin = running_.begin;
    request.end = running_.end;
    request.sample = running_.sample;
    request.seed = running_.seed;
    request.threads = Threads();
    // Block by block, so that the progress bar moves and a cancel keeps
    // the work of all but the last seconds: a unit of the symmetry of 5 x 5
    // is some 14 s of one core's work.
    job_->request.symmetryMinUnits = search::MaxSymmetryUnits + 1;
    job_->progress = running_.progress;
    doneBefore_ = search::RangesSize(running_.progress.done);
    searchSeconds_ = 0;
    clock_.start();
    worker_ = std::thread([this, job = job_] {
        search::RunSearch(job->request, job->progress, job->cancel, [this](const search::Progress& progress) {
            const std::uint64_t done = search::RangesSize(progress.done);
            QMetaObject::invokeMethod(this, [this, done] { showProgress(done); }, Qt::QueuedConnection);
        }, ProgressSeconds);
        QMetaObject::invokeMethod(this, &SearchWindow::finishSearch, Qt::QueuedConnection);
    });
    setSearching(true);
    Cancel->setFocus();
    showProgress(doneBefore_);
}

void SearchWindow::cancelSearch()
{
    if (!searching()) return;
    job_->cancel = true;
    Cancel->setEnabled(false);
    ProgressText->setText(QStringLiteral("Отменяю…"));
    ProgressText->setAccessibleName(ProgressText->text());
}

void SearchWindow::reject()
{
    cancelSearch();
    QDialog::reject();
}

void SearchWindow::showProgress(std::uint64_t done)
{
    if (!searching() || job_->cancel) return;
    const std::uint64_t total = running_.items();
    Progress->setValue(total == 0 ? ProgressSteps : int(double(done) / double(total) * ProgressSteps));
    const double seconds = double(clock_.elapsed()) / 1000;
    // Progress counts whole blocks: the blocks the threads are working on
    // are, on average, half done, which counts while few blocks are done (on
    // a slow machine the first takes seconds, and every thread finishes its
    // first at about the same time).
    const std::uint64_t working = std::min<std::uint64_t>(total - done, std::uint64_t(Threads()) * search::BlockSize / 2);
    const double rate = seconds > 0 && done > doneBefore_ ? double(done - doneBefore_ + working) / seconds : 0;
    QString text = QStringLiteral("Сделано %1 из %2, %3 фигур/с").arg(Grouped(done), Grouped(total),
                                                                    Grouped(std::uint64_t(rate)));
    if (rate > 0 && done < total) {
        text += QStringLiteral(", осталось %1").arg(Duration(double(total - done - working) / rate));
    }
    ProgressText->setText(text);
    ProgressText->setAccessibleName(text);
    // After the first second, the search's own pace tells how long it takes.
    if (seconds >= PaceSeconds && rate > 0) {
        searchSeconds_ = double(total - doneBefore_) / rate;
        measuredRate_ = rate;
        measuredRule_ = running_.rule;
        measuredBox_ = running_.box;
        showEstimate();
    }
}

void SearchWindow::finishSearch()
{
    worker_.join();
    running_.progress = std::move(job_->progress);
    job_.reset();
    result_ = std::move(running_);
    setSearching(false);
    showResult();
    Start->setFocus();
    // A search cut short before its pace was known leaves the probe's.
    startProbe();
}

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

    for (QTableWidget* table : {Objects, Longest}) {
        table->setSortingEnabled(false);
        table->setRowCount(0);
    }
    if (!result_) return;
    const search::Result& r = *result_;
    const std::string box = BoxText(r.box).toStdString();
    const std::vector<const search::ObjectTally*> objects = search::ObjectsInOrder(r.progress.tally);
    Objects->setRowCount(int(objects.size()));
    for (int row = 0; row < int(objects.size()); ++row) {
        const search::ObjectTally& t = *objects[size_t(row)];
        const search::ObjectForm& f = t.form;
        const QString kind = KindName(f.kind());
        const std::string title = kind.toStdString() + " p" + std::to_string(f.period) + ": " +
                                  std::to_string(t.count) + " в фигурах " + box + ", впервые в фигуре " +
                                  std::to_string(t.smallest);
        Objects->setItem(row, ObjectCells, PictureItem(f.cells, title, r.rule));
        Objects->setItem(row, ObjectKind, Item(kind));
        Objects->setItem(row, ObjectPeriod, Item(f.period));
        Objects->setItem(row, ObjectShift,
                         Item(f.kind() == Verdict::Ship ? QStringLiteral("(%1, %2)").arg(f.dx).arg(f.dy) : QString()));
        Objects->setItem(row, ObjectCount, Item(qulonglong(t.count)));
        Objects->setItem(row, ObjectSmallest, Item(qulonglong(t.smallest)));
    }
    const std::vector<search::TopEntry>& top = r.progress.tally.top;
    Longest->setRowCount(int(top.size()));
    for (int row = 0; row < int(top.size()); ++row) {
        const search::TopEntry& e = top[size_t(row)];
        const std::string title = "фигура " + std::to_string(e.figure) + " из " + box + ": " +
                                  VerdictText(e.fate.verdict).toStdString() + " на поколении " +
                                  std::to_string(e.fate.generation);
        Longest->setItem(row, LongestCells, PictureItem(search::FigureCellsOf(r.box, e.figure), title, r.rule));
        Longest->setItem(row, LongestFigure, Item(qulonglong(e.figure)));
        Longest->setItem(row, LongestVerdict, Item(VerdictText(e.fate.verdict)));
        Longest->setItem(row, LongestGeneration, Item(e.fate.generation));
        Longest->setItem(row, LongestPeriod, Item(e.fate.verdict == Verdict::Died ? QVariant() : QVariant(e.fate.period)));
    }
    for (QTableWidget* table : {Objects, Longest}) table->setSortingEnabled(true);
}

void SearchWindow::choose(QTableWidget* table, int row)
{
    const QTableWidgetItem* item = row >= 0 && row < table->rowCount() ? table->item(row, 0) : nullptr;
    if (item == nullptr) return;
    const bool object = table == Objects;
    emit patternChosen(item->data(Qt::UserRole).toByteArray(),
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
