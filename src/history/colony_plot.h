// «Ход колонии»: a separate window with the population of every generation
// of the run, its births and deaths, the generation on the field marked and
// the verdict written on it. A click picks a generation; the picture can be
// saved as PNG. A small QPainter plot: three polylines over at most 1002
// points need no chart module.
#pragma once

#include <functional>

#include <QWidget>

namespace hexlife {

class RunHistory;

class ColonyPlot : public QWidget {
    Q_OBJECT
public:
    // `shown` tells the count of the generation on the field.
    ColonyPlot(const RunHistory& history, std::function<int()> shown, QWidget* parent = nullptr);

    // The plot's area, and the count at a point of it (clamped to the run).
    QRect plotArea() const;
    int countAt(QPoint point) const;
    int xOf(int count) const;
    // The plot as a picture.
    QImage picture();
    // The rule the run goes by, named in the title and beside the verdict;
    // empty for B2/S2.
    void setRuleName(const QString& name);

signals:
    // The user picked the generation counted `count`.
    void picked(int count);
    void saveRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void paintOn(QPainter& painter);
    int lastCount() const;

    const RunHistory& history_;
    std::function<int()> shown_;
    QString ruleName_;
};

}  // namespace hexlife
