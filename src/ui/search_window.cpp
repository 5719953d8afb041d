#include "ui/search_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "program.h"
#include "rule/known_rules.h"
#include "rule/rule_words.h"
#include "ui/search_parts.h"
#include "ui/search_tables.h"

namespace hexlife {

using namespace search_window;

namespace {

// A table of one of the models, sorted by any column as its header is
// clicked.
QTableView* MakeTable(QWidget* parent, QAbstractItemModel* rows, const QString& name)
{
    auto* table = new QTableView(parent);
    auto* sorted = new QSortFilterProxyModel(table);
    sorted->setSourceModel(rows);
    table->setModel(sorted);
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

    ObjectRows = new ObjectsTable(this);
    LongestRows = new LongestTable(this);
    Objects = MakeTable(this, ObjectRows, QStringLiteral("Объекты"));
    Longest = MakeTable(this, LongestRows, QStringLiteral("Самые долгие фигуры"));
    // More copies first, and the longest-lived first, until a header is clicked.
    Objects->horizontalHeader()->setSortIndicator(ObjectCount, Qt::DescendingOrder);
    Longest->horizontalHeader()->setSortIndicator(LongestGeneration, Qt::DescendingOrder);
    for (QTableView* table : {Objects, Longest}) {
        connect(table, &QTableView::activated, this, [this, table](const QModelIndex& index) { choose(table, index.row()); });
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
    probe_.stop();
    if (job_.running()) {
        job_.cancel();
        job_.finish();
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

void SearchWindow::tell(const QString& message)
{
    QMessageBox::warning(this, QString::fromUtf8(WindowCaption), message);
}

void SearchWindow::reject()
{
    cancelSearch();
    QDialog::reject();
}

}  // namespace hexlife
