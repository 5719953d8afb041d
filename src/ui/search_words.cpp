#include "ui/search_parts.h"

#include <algorithm>
#include <cmath>
#include <thread>

#include <QLocale>
#include <QStringList>

#include "ui/search_window.h"

namespace hexlife {

namespace search_window {

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

}  // namespace search_window

using search::Verdict;

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

}  // namespace hexlife
