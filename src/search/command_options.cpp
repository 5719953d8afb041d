#include "search/command_options.h"

#include <charconv>
#include <cstdio>

#include "program.h"
#include "search/command_line.h"
#include "search/result_file.h"

namespace hexlife::search {

const char* const HelpText =
    "Использование:\n"
    "  hexagonal-life-search --columns C --rows R [--range A:B] [ПАРАМЕТРЫ]\n"
    "  hexagonal-life-search --columns C --rows R --sample N [--seed S] [ПАРАМЕТРЫ]\n"
    "  hexagonal-life-search --merge ФАЙЛ... [--out ФАЙЛ] [--rle-dir ПАПКА]\n"
    "\n"
    "Перебирает фигуры из C столбцов по R клеток (первый столбец чётный, как в\n"
    "каталоге программы): фигура с номером n живёт в клетке k (столбец k / R,\n"
    "место k % R), если в n установлен бит k. Каждая фигура развивается одна на\n"
    "бесконечной плоскости по правилу (--rule, по умолчанию B2/S2H) до исхода:\n"
    "вымерла (died), неподвижна (still), осциллятор (oscillator pP), корабль\n"
    "(ship pP), растёт (grows: не помещается в 60 столбцов на 60 рядов) или не\n"
    "решено за 5000 поколений (undecided). В конце на стандартный вывод\n"
    "печатается сводка.\n"
    "\n"
    "Параметры:\n"
    "  --columns C, --rows R  размер фигур: от 1 до 6, всего не больше 36 клеток\n"
    "  --rule ПРАВИЛО    правило шестиугольной решётки в записи Golly: B2/S34H,\n"
    "                    B2o/S2m34H, MAP и 22 знака base64; по умолчанию B2/S2H.\n"
    "                    Правила с B0 не годятся: на бесконечной плоскости поиска\n"
    "                    сразу ожила бы каждая пустая клетка\n"
    "  --range A:B       номера фигур от A до B - 1 (B не входит); по умолчанию\n"
    "                    все: 0:2^(C*R)\n"
    "  --sample N        N случайных фигур вместо полного перебора\n"
    "  --seed S          зерно выборки (по умолчанию 1): одно зерно - одна выборка\n"
    "                    на любой машине; --range A:B берёт её розыгрыши A..B-1\n"
    "  --threads T       потоков (по умолчанию все ядра); итог от T не зависит\n"
    "  --out ФАЙЛ        полный результат в текстовом формате; если ФАЙЛ уже\n"
    "                    есть от той же команды, поиск продолжается с места,\n"
    "                    где его прервали\n"
    "  --merge ФАЙЛ...   сложить результаты частей одного поиска (одного правила)\n"
    "  --rle-dir ПАПКА   записать каждый объект (object-001.rle, ...) и каждую\n"
    "                    из 20 самых долгих фигур (top-01.rle, ...) в RLE для Golly,\n"
    "                    с правилом поиска в заголовке\n"
    "  --progress        ход поиска на стандартный поток ошибок, даже если это\n"
    "                    не терминал (на терминал он выводится всегда)\n"
    "  --help, --version\n"
    "\n"
    "Ctrl+C (или SIGTERM) останавливает поиск; сделанное сохраняется в --out,\n"
    "и та же команда продолжит его.\n"
    "Коды выхода: 0 - готово, 1 - не удалось записать файл, 2 - неверные\n"
    "параметры или входной файл, 130 - прервано Ctrl+C, 143 - прервано SIGTERM.\n";

void Say(const std::string& text) { std::fputs((text + "\n").c_str(), stderr); }

int Usage(const std::string& text)
{
    Say("hexagonal-life-search: " + text);
    Say("Подробнее: hexagonal-life-search --help");
    return ExitBadInput;
}

namespace {

template <typename T>
bool ParseNumber(const std::string& text, T& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

}  // namespace

// The options, or the message of the first fault.
std::optional<std::string> ParseOptions(int argc, char** argv, Options& o)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i], value;
        bool hasValue = false;
        if (const size_t eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            hasValue = true;
        }
        auto take = [&]() -> std::optional<std::string> {
            if (hasValue) return value;
            if (i + 1 >= args.size()) return std::nullopt;
            return args[++i];
        };
        auto needs = [&](const std::string& what) { return "после " + name + " нужно " + what; };
        if (name == "--help" || name == "-h") {
            o.help = true;
        } else if (name == "--version") {
            o.version = true;
        } else if (name == "--progress") {
            o.progress = true;
        } else if (name == "--rule") {
            const auto v = take();
            if (!v) return needs("правило, например B2/S34H");
            const rule::ParseResult read = rule::Parse(*v);
            if (!read.rule) return rule::Message(read.error);
            if (read.rule->HasB0()) {
                return B0Refusal(*read.rule);
            }
            o.rule = *read.rule;
        } else if (name == "--columns" || name == "--rows") {
            const auto v = take();
            int n = 0;
            if (!v || !ParseNumber(*v, n)) return needs("число столбцов или клеток в столбце");
            (name == "--columns" ? o.columns : o.rows) = n;
        } else if (name == "--range") {
            const auto v = take();
            const size_t colon = v ? v->find(':') : std::string::npos;
            std::uint64_t a = 0, b = 0;
            if (!v || colon == std::string::npos || !ParseNumber(v->substr(0, colon), a) ||
                !ParseNumber(v->substr(colon + 1), b)) {
                return needs("диапазон номеров A:B");
            }
            o.range = {a, b};
        } else if (name == "--sample") {
            const auto v = take();
            std::uint64_t n = 0;
            if (!v || !ParseNumber(*v, n) || n == 0) return needs("число фигур выборки, не меньше 1");
            o.sample = n;
        } else if (name == "--seed") {
            const auto v = take();
            if (!v || !ParseNumber(*v, o.seed)) return needs("зерно выборки, целое от 0 до 2^64 - 1");
            o.seedGiven = true;
        } else if (name == "--threads") {
            const auto v = take();
            if (!v || !ParseNumber(*v, o.threads) || o.threads < 1 || o.threads > 1024) {
                return needs("число потоков от 1 до 1024");
            }
        } else if (name == "--out" || name == "--rle-dir") {
            const auto v = take();
            if (!v || v->empty()) return needs(name == "--out" ? "имя файла" : "имя папки");
            (name == "--out" ? o.out : o.rleDir) = *v;
        } else if (name == "--merge") {
            if (hasValue) o.merge.push_back(value);
            while (i + 1 < args.size() && args[i + 1].rfind("--", 0) != 0) o.merge.push_back(args[++i]);
            if (o.merge.empty()) return needs("хотя бы один файл результата");
        } else {
            return "неизвестный параметр «" + args[i] + "»";
        }
    }
    return std::nullopt;
}

}  // namespace hexlife::search
