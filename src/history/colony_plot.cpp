#include "history/colony_plot.h"

#include <algorithm>

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "history/plot_axis.h"
#include "history/run_history.h"

namespace hexlife {

namespace {

constexpr int Margin = 44;
constexpr int LegendHeight = 22;
constexpr QColor GridLineColor(228, 228, 228);
constexpr QColor FrameColor(160, 160, 160);

// The three series. Where they coincide (all cells of a period-2 colony
// are born and die each generation) each still shows: the population is a
// wide band, the deaths a line inside it, the births dashes on top.
struct Series {
    QColor color;
    qreal width;
    Qt::PenStyle style;
    const char* name;
    int (RunHistory::*value)(int) const;
};
const Series Drawn[] = {
    {QColor(222, 11, 11, 150), 5.0, Qt::SolidLine, "живых", &RunHistory::population},
    {QColor(40, 60, 200), 1.5, Qt::SolidLine, "погибло", &RunHistory::deaths},
    {QColor(20, 140, 40), 2.0, Qt::DashLine, "родилось", &RunHistory::births},
};

QPen PenOf(const Series& series)
{
    QPen pen(series.color, series.width, series.style);
    pen.setCapStyle(Qt::FlatCap);
    return pen;
}

}  // namespace

void ColonyPlot::setRuleName(const QString& name)
{
    ruleName_ = name;
    const QString title = name.isEmpty() ? QStringLiteral("Ход колонии") : "Ход колонии — правило " + name;
    setWindowTitle(title);
    setAccessibleName(title);
    update();
}

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
    return QRect(Margin, LegendHeight + 10, width() - Margin - 16, height() - Margin - LegendHeight - 10);
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
    const QRect area = plotArea();
    const QFontMetrics metrics = painter.fontMetrics();
    // No run yet: the frame and a word, nothing to read.
    if (history_.empty()) {
        painter.setPen(FrameColor);
        painter.drawRect(area.adjusted(0, 0, -1, -1));
        painter.setPen(Qt::black);
        painter.drawText(area, Qt::AlignCenter, QStringLiteral("Колония ещё не запускалась."));
        return;
    }
    // The generations drawn so far: 0 .. known - 1.
    const int known = lastCount();
    long long top = 1;
    for (int g = 0; g < known; ++g) {
        top = std::max<long long>({top, history_.population(g), history_.births(g), history_.deaths(g)});
    }
    const long long yStep = NiceStep(top, 5);
    top = RoundUp(top, yStep);
    auto yOf = [&](long long value) { return area.bottom() - int(double(value) * (area.height() - 1) / top + 0.5); };

    // A light grid at round values of both axes, with their numbers.
    painter.setPen(GridLineColor);
    for (long long v = yStep; v < top; v += yStep) painter.drawLine(area.left(), yOf(v), area.right(), yOf(v));
    const long long xStep = NiceStep(known, std::max(2, area.width() / 70));
    std::vector<long long> xTicks{1};
    for (long long c = xStep; c <= known; c += xStep) {
        if (c > 1) xTicks.push_back(c);
    }
    for (long long c : xTicks) painter.drawLine(xOf(int(c)), area.top(), xOf(int(c)), area.bottom());
    painter.setPen(FrameColor);
    painter.drawRect(area.adjusted(0, 0, -1, -1));
    painter.setPen(Qt::black);
    for (long long v = 0; v <= top; v += yStep) {
        painter.drawText(QRect(0, yOf(v) - 8, Margin - 6, 16), Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
    }
    int lastLabelEnd = -1000;
    for (long long c : xTicks) {
        const QString text = QString::number(c);
        const int x = xOf(int(c)), half = metrics.horizontalAdvance(text) / 2;
        if (x - half > lastLabelEnd + 4) {
            painter.drawText(QRect(x - 40, area.bottom() + 2, 80, 16), Qt::AlignHCenter | Qt::AlignTop, text);
            lastLabelEnd = x + half;
        }
    }
    painter.drawText(QRect(area.right() - 200, area.bottom() + 16, 200, 16), Qt::AlignRight, QStringLiteral("цикл"));

    painter.setRenderHint(QPainter::Antialiasing);
    for (const Series& series : Drawn) {
        QPainterPath path;
        for (int g = 0; g < known; ++g) {
            const QPointF point(xOf(g + 1), yOf((history_.*series.value)(g)));
            g == 0 ? path.moveTo(point) : path.lineTo(point);
        }
        painter.setPen(PenOf(series));
        painter.drawPath(path);
    }
    painter.setRenderHint(QPainter::Antialiasing, false);

    // The legend, each name after a sample of its line, and the verdict.
    int x = area.left();
    const int legendY = LegendHeight / 2 + 4;
    for (const Series& series : Drawn) {
        painter.setPen(PenOf(series));
        painter.drawLine(x, legendY, x + 24, legendY);
        painter.setPen(Qt::black);
        const QString name = QString::fromUtf8(series.name);
        painter.drawText(QPoint(x + 30, legendY + metrics.ascent() / 2 - 1), name);
        x += 30 + metrics.horizontalAdvance(name) + 16;
    }
    // A rule other than B2/S2 is named before the verdict.
    const QString verdict = QString::fromStdString(history_.verdict());
    const QString told = ruleName_.isEmpty() ? verdict
                         : verdict.isEmpty() ? "Правило " + ruleName_
                                             : ruleName_ + " · " + verdict;
    painter.drawText(QRect(x, 0, area.right() - x, LegendHeight + 8), Qt::AlignRight | Qt::AlignVCenter,
                     metrics.elidedText(told, Qt::ElideRight, area.right() - x));
    // The generation on the field.
    const int shown = shown_();
    if (shown >= 1) {
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
