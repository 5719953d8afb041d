// The Russian wording of every reason a rule is refused, in one place for
// the window and the command line alike.
#include "rule/rule.h"
#include "rule/rule_words.h"

namespace hexlife::rule {

namespace {

// «1 символ», «2 символа», «5 символов».
std::string Characters(int n)
{
    const int last = n % 10, lastTwo = n % 100;
    const char* word = lastTwo >= 11 && lastTwo <= 14 ? "символов"
                       : last == 1                    ? "символ"
                       : last >= 2 && last <= 4       ? "символа"
                                                      : "символов";
    return std::to_string(n) + " " + word;
}

std::string Quoted(const std::string& text) { return "«" + text + "»"; }

}  // namespace

std::string Message(const Error& error)
{
    const std::string rule = "правило " + Quoted(error.text);
    const std::string in = "в правиле " + Quoted(error.text) + " ";
    const std::string at = Quoted(error.character) + " (позиция " + std::to_string(error.position) + ")";
    switch (error.problem) {
    case Problem::Empty:
        return "правило не задано: строка пуста";
    case Problem::TooLong:
        return "правило длиннее " + Characters(error.number) + ": Golly такие не читает";
    case Problem::BadCharacter:
        return in + "символ " + at + " не встречается в записи шестиугольных правил";
    case Problem::DigitTooLarge:
        return in + "цифра " + at + ": у клетки шестиугольного поля только шесть соседей";
    case Problem::SquareLetter:
        return in + "буква " + at + " — из записи квадратной решётки; у шестиугольной есть только o, m и p";
    case Problem::LetterWithoutCount:
        return in + "буква " + at +
               (error.number >= 0 ? " стоит после «" + std::to_string(error.number) + "»" : " стоит не после числа соседей") +
               ": буквы o, m и p бывают только после 2, 3 и 4";
    case Problem::MinusMisplaced:
        return in + "знак " + at + " стоит не сразу после числа соседей";
    case Problem::MinusWithoutLetter:
        return in + "после знака " + at + " нет ни одной из букв o, m, p";
    case Problem::MixedLetters:
        return in + "у числа " + at + " буквы даны и со знаком «-», и без него";
    case Problem::TwoBirths:
        return in + "второе " + at + ": рождение задаётся один раз";
    case Problem::TwoSurvivals:
        return in + "второе " + at + ": выживание задаётся один раз";
    case Problem::BirthSurvivalSide:
        return in + "«B» и «S» стоят по одну сторону от «/» (" + at + ")";
    case Problem::LetterMisplaced:
        return in + "буква " + at + " должна стоять в начале или сразу после «/»";
    case Problem::NoBirthOrSurvival:
        return in + "нет ни «/», ни «B», ни «S»";
    case Problem::SuffixMisplaced:
        return in + "буква " + at + " должна стоять в самом конце";
    case Problem::NoSuffix:
        return rule + " без «H» в конце: правило шестиугольной решётки кончается на «H»";
    case Problem::MapLength:
        return in + "после «MAP» " + Characters(error.number) +
               " base64, а для шестиугольной решётки нужно 22 (или 24 с «==» в конце)";
    case Problem::SquareGrid:
        return rule + " — для квадратной решётки, а поле шестиугольное";
    case Problem::VonNeumannGrid:
        return rule + " — для окрестности фон Неймана из четырёх соседей, а у клетки шестиугольного поля их шесть";
    case Problem::Generations:
        return rule + " — из семейства Generations, где у клетки больше двух состояний, а клетка поля либо жива, либо пуста";
    case Problem::LargerThanLife:
        return rule + " — Larger than Life, с соседями дальше ближайших, а здесь соседи — шесть смежных клеток";
    case Problem::Wolfram:
        return rule + " — одномерное правило Вольфрама, а поле двумерное";
    case Problem::BoundedGrid:
        return in + "суффикс ограниченной решётки Golly (" + at + ") не нужен: поле и так ограничено своими краями";
    }
    return rule + " не прочитано";
}

std::string Sentence(const Error& error)
{
    std::string text = Message(error);
    // The messages begin with a small letter, Latin or Cyrillic (а..п are
    // D0 B0..BF in UTF-8, their capitals D0 90..9F; р..я D1 80..8F, capitals
    // D0 A0..AF).
    const auto byte = [&](size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0; };
    if (byte(0) >= 'a' && byte(0) <= 'z') {
        text[0] = char(byte(0) - 'a' + 'A');
    } else if (byte(0) == 0xD0 && byte(1) >= 0xB0 && byte(1) <= 0xBF) {
        text[1] = char(byte(1) - 0x20);
    } else if (byte(0) == 0xD1 && byte(1) >= 0x80 && byte(1) <= 0x8F) {
        text[0] = char(0xD0);
        text[1] = char(byte(1) + 0x20);
    }
    return text + ".";
}

std::string Kind(const Rule& rule)
{
    return rule.IsTotalistic()  ? "по числу соседей"
           : rule.IsIsotropic() ? "по числу соседей и тому, как они стоят"
                                : "не симметричное: зависит от того, где какой сосед";
}

}  // namespace hexlife::rule
