#include "ui/search_tables.h"

#include "ui/search_parts.h"
#include "ui/search_picture.h"
#include "ui/search_window.h"

namespace hexlife {

using namespace search_window;
using search::Verdict;

ResultTable::ResultTable(const QStringList& headers, QObject* parent)
    : QAbstractTableModel(parent), headers_(headers), headerTips_(size_t(headers.size()))
{
}

int ResultTable::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(rows_.size()); }

int ResultTable::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(headers_.size()); }

QVariant ResultTable::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) return {};
    const Row& row = rows_[size_t(index.row())];
    const QVariant& value = row.values[size_t(index.column())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return value;
    // Numbers to the right, words to the left.
    case Qt::TextAlignmentRole:
        return value.typeId() != QMetaType::QString ? QVariant(int(Qt::AlignRight | Qt::AlignVCenter)) : QVariant();
    default: break;
    }
    if (index.column() != 0) return {};
    switch (role) {
    case Qt::DecorationRole: return row.picture;
    case Qt::UserRole: return row.rle;
    case Qt::AccessibleTextRole: return QStringLiteral("Живых клеток: %1").arg(value.toULongLong());
    default: return {};
    }
}

QVariant ResultTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= headers_.size()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    if (role == Qt::DisplayRole) return headers_[section];
    if (role == Qt::ToolTipRole && !headerTips_[size_t(section)].isEmpty()) return headerTips_[size_t(section)];
    return {};
}

Qt::ItemFlags ResultTable::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void ResultTable::show(const search::Result* result)
{
    beginResetModel();
    rows_.clear();
    if (result != nullptr) rows_ = rowsOf(*result);
    endResetModel();
}

ResultTable::Row ResultTable::PictureRow(const std::vector<rle::GollyCell>& cells, const std::string& title,
                                         const rule::Rule& rule)
{
    Row row;
    row.picture = QPixmap::fromImage(SearchPicture(cells, PictureSide, MaxPicturePitch));
    row.rle = QByteArray::fromStdString(rle::WriteShape(cells, title, rule));
    row.values.push_back(qulonglong(cells.size()));
    return row;
}

ObjectsTable::ObjectsTable(QObject* parent)
    : ResultTable({QStringLiteral("Клеток"), QStringLiteral("Вид"), QStringLiteral("Период"), QStringLiteral("Сдвиг"),
                   QStringLiteral("Число"), QStringLiteral("Первая фигура")},
                  parent)
{
}

std::vector<ResultTable::Row> ObjectsTable::rowsOf(const search::Result& r) const
{
    const std::string box = BoxText(r.box).toStdString();
    std::vector<Row> rows;
    for (const search::ObjectTally* object : search::ObjectsInOrder(r.progress.tally)) {
        const search::ObjectTally& t = *object;
        const search::ObjectForm& f = t.form;
        const QString kind = SearchWindow::KindName(f.kind());
        const std::string title = kind.toStdString() + " p" + std::to_string(f.period) + ": " +
                                  std::to_string(t.count) + " в фигурах " + box + ", впервые в фигуре " +
                                  std::to_string(t.smallest);
        Row row = PictureRow(f.cells, title, r.rule);
        row.values.push_back(kind);
        row.values.push_back(f.period);
        row.values.push_back(f.kind() == Verdict::Ship ? QStringLiteral("(%1, %2)").arg(f.dx).arg(f.dy) : QString());
        row.values.push_back(qulonglong(t.count));
        row.values.push_back(qulonglong(t.smallest));
        rows.push_back(std::move(row));
    }
    return rows;
}

LongestTable::LongestTable(QObject* parent)
    : ResultTable({QStringLiteral("Клеток"), QStringLiteral("Фигура"), QStringLiteral("Исход"),
                   QStringLiteral("Поколение"), QStringLiteral("Период")},
                  parent)
{
    // Generations count from 0 at the figure; the main window's count
    // shows generation g as cycle g + 1.
    headerTips_[SearchWindow::LongestGeneration] =
        QStringLiteral("Поколение исхода, от 0 у самой фигуры; в главном окне это цикл на единицу больше.");
}

std::vector<ResultTable::Row> LongestTable::rowsOf(const search::Result& r) const
{
    const std::string box = BoxText(r.box).toStdString();
    std::vector<Row> rows;
    for (const search::TopEntry& e : r.progress.tally.top) {
        const std::string title = "фигура " + std::to_string(e.figure) + " из " + box + ": " +
                                  SearchWindow::VerdictText(e.fate.verdict).toStdString() + " на поколении " +
                                  std::to_string(e.fate.generation);
        Row row = PictureRow(search::FigureCellsOf(r.box, e.figure), title, r.rule);
        row.values.push_back(qulonglong(e.figure));
        row.values.push_back(SearchWindow::VerdictText(e.fate.verdict));
        row.values.push_back(e.fate.generation);
        row.values.push_back(e.fate.verdict == Verdict::Died ? QVariant() : QVariant(e.fate.period));
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace hexlife
