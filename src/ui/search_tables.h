// The search window's two tables as models: the final objects of a result
// and its longest-lived figures, a row each. The first column is the
// picture (Qt::DecorationRole), sorted by its number of live cells, with the
// row's RLE text in Qt::UserRole, which a double click hands on; every
// column sorts by its value, numbers as numbers, behind a
// QSortFilterProxyModel.
#pragma once

#include <string>
#include <vector>

#include <QAbstractTableModel>
#include <QByteArray>
#include <QPixmap>
#include <QStringList>

#include "search/result_file.h"

namespace hexlife {

class ResultTable : public QAbstractTableModel {
    Q_OBJECT
public:
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // The rows of a result; none without one.
    void show(const search::Result* result);

protected:
    ResultTable(const QStringList& headers, QObject* parent);

    struct Row {
        QPixmap picture;
        QByteArray rle;                // the object or figure, titled, by the result's rule
        std::vector<QVariant> values;  // by column; the first the number of live cells
    };
    // The picture column's part of a row: its picture, its number of live
    // cells and its RLE text.
    static Row PictureRow(const std::vector<rle::GollyCell>& cells, const std::string& title, const rule::Rule& rule);
    virtual std::vector<Row> rowsOf(const search::Result& result) const = 0;

    QStringList headers_;
    std::vector<QString> headerTips_;  // by column; empty where none

private:
    std::vector<Row> rows_;
};

// The final objects, by SearchWindow::ObjectColumn.
class ObjectsTable : public ResultTable {
    Q_OBJECT
public:
    explicit ObjectsTable(QObject* parent = nullptr);

protected:
    std::vector<Row> rowsOf(const search::Result& result) const override;
};

// The longest-lived figures, by SearchWindow::LongestColumn.
class LongestTable : public ResultTable {
    Q_OBJECT
public:
    explicit LongestTable(QObject* parent = nullptr);

protected:
    std::vector<Row> rowsOf(const search::Result& result) const override;
};

}  // namespace hexlife
