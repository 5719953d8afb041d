#include "history/colony_plot.h"

#include <algorithm>

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "history/run_history.h"

namespace hexlife {

namespace {

constexpr int Margin = 44;
constexpr QColor PopulationColor(222, 11, 11);
constexpr QColor BirthsColor(20, 140, 40);
constexpr QColor DeathsColor(40, 60, 200);

}  // namespace

ColonyPlot::ColonyPlot(const RunHistory& history, std::function<int()> shown, QWidget* parent)
    : QWidget(parent, Qt::Window), history_(history), shown_(std::move(shown))
{
    setWindowTitle(QStringLiteral("Ход колонии"));
    setAccessibleName(QStringLiteral("Ход колонии"));
    setToolTip(QStringLiteral("Щелчок показывает это поколение на поле; правая кнопка — сохранить как PNG."));
    resize(640, 360);
    setMinimumSize(320, 200);
}

int ColonyPlot::lastCount() const
{
    // Generation g is drawn by the tick counting g + 1; the last generation
    // known is on the field only as what the next tick would draw.
    return std::max(1, history_.size() - 1);
}

QRect ColonyPlot::plotArea() const
{
    return QRect(Margin, Margin / 2 + 16, width() - Margin - 16, height() - Margin - Margin / 2 - 16);
}

int ColonyPlot::xOf(int count) const
{
    const QRect area = plotArea();
    const int last = lastCount();
    return last <= 1 ? area.left() : area.left() + int(double(count - 1) * (area.width() - 1) / (last - 1) + 0.5);
}

int ColonyPlot::countAt(QPoint point) const
{
    const QRect area = plotArea();
    const int last = lastCount();
    if (last <= 1) return 1;
    const double at = double(point.x() - area.left()) * (last - 1) / (area.width() - 1);
    return std::clamp(int(at + 0.5) + 1, 1, last);
}

void ColonyPlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintOn(painter);
}

QImage ColonyPlot::picture()
{
    QImage image(size(), QImage::Format_RGB32);
    QPainter painter(&image);
    paintOn(painter);
    return image;
}

void ColonyPlot::paintOn(QPainter& painter)
{
    painter.fillRect(rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect area = plotArea();
    painter.setPen(QColor(160, 160, 160));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    const int known = lastCount();
    int top = 1;
    for (int g = 0; g < known; ++g) {
        top = std::max({top, history_.population(g), history_.births(g), history_.deaths(g)});
    }
    auto yOf = [&](int value) { return area.bottom() - int(double(value) * (area.height() - 1) / top + 0.5); };
    auto series = [&](QColor color, int (RunHistory::*value)(int) const) {
        if (known == 0) return;
        QPainterPath path;
        for (int g = 0; g < known; ++g) {
            const QPointF point(xOf(g + 1), yOf((history_.*value)(g)));
            g == 0 ? path.moveTo(point) : path.lineTo(point);
        }
        painter.setPen(QPen(color, 1.5));
        painter.drawPath(path);
    };
    series(BirthsColor, &RunHistory::births);
    series(DeathsColor, &RunHistory::deaths);
    series(PopulationColor, &RunHistory::population);

    painter.setPen(Qt::black);
    painter.drawText(QRect(0, area.top() - 8, Margin - 4, 16), Qt::AlignRight | Qt::AlignVCenter, QString::number(top));
    painter.drawText(QRect(0, area.bottom() - 8, Margin - 4, 16), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("0"));
    painter.drawText(QRect(area.left(), area.bottom() + 2, 80, 16), Qt::AlignLeft, QStringLiteral("цикл 1"));
    painter.drawText(QRect(area.right() - 120, area.bottom() + 2, 120, 16), Qt::AlignRight,
                     QStringLiteral("цикл %1").arg(lastCount()));
    // The legend and the verdict above the plot.
    int x = area.left();
    const struct {
        QColor color;
        const char* name;
    } legend[] = {{PopulationColor, "живых"}, {BirthsColor, "родилось"}, {DeathsColor, "погибло"}};
    for (const auto& [color, name] : legend) {
        painter.setPen(color);
        const QString text = QString::fromUtf8(name);
        painter.drawText(QPoint(x, Margin / 2 + 6), text);
        x += painter.fontMetrics().horizontalAdvance(text) + 14;
    }
    painter.setPen(Qt::black);
    painter.drawText(QRect(x, 0, area.right() - x, Margin / 2 + 12), Qt::AlignRight | Qt::AlignVCenter,
                     QString::fromStdString(history_.verdict()));
    // The generation on the field.
    const int shown = shown_();
    if (known > 0 && shown >= 1) {
        const int g = std::min(shown, history_.size()) - 1;
        painter.setPen(QPen(QColor(0, 0, 0, 140), 1, Qt::DashLine));
        painter.drawLine(xOf(shown), area.top(), xOf(shown), area.bottom());
        painter.setPen(Qt::black);
        painter.drawText(QRect(area.left(), area.bottom() + 18, area.width(), 16), Qt::AlignHCenter,
                         QStringLiteral("на поле цикл %1: живых %2").arg(shown).arg(history_.population(g)));
    }
}

void ColonyPlot::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && history_.size() > 1) {
        emit picked(std::min(countAt(event->position().toPoint()), history_.size() - 1));
    }
}

void ColonyPlot::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.addAction(QStringLiteral("Сохранить как PNG…"), this, &ColonyPlot::saveRequested);
    menu.exec(event->globalPos());
}

}  // namespace hexlife
