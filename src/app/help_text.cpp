#include "app/help_text.h"

namespace hexlife {

namespace {
const char* const Crlf = "\r\n";
const char* const Quote = "'";

const char* const GameName = "Шестигранная Жизнь";
const char* const ClassicName = "Жизнь";
const char* const StartName = "Пуск";
const char* const MoreDetails = "Подробнее - ";
const char* const FirstArticle = "https://ru.wikipedia.org/wiki/Игра_«Жизнь»";
const char* const SecondArticle = "https://conwaylife.com/wiki/Hexagonal_neighbourhood";
}  // namespace

std::string ComposeHelpText()
{
    std::string intro;
    intro += std::string(Quote) + GameName + Quote + Crlf + Crlf;
    // The X in "Дж. X." is the Latin capital letter.
    intro += std::string("Это - модификация известной игры") + Quote + ClassicName + Quote +
             ", придуманной математиком Дж. X. Конуэем." + Crlf;
    intro += std::string("Основное ее отличие от классического варианта - использование не "
                         "прямоугольного,") + Crlf;
    intro += std::string("а шестигранного поля.") + Crlf;

    std::string text = intro;
    text += Crlf;
    text += "  Выберите из набора слева фигуру, развитие которой хотите посмотреть.";
    text += Crlf;
    text += std::string("  Выбранную фигуру можно модифицировать, добавляя или исключая") + Crlf +
            "     в появившимся окне соответствующие ячейки.";
    text += Crlf;
    text += std::string("  Нажмите кнопку ") + Quote + StartName + Quote +
            " и наблюдайте за развитием колонии.";
    text += Crlf;
    text += std::string("  Для наблюдения за другой колонией выберите другую фигуру") + Crlf +
            "     прямо в процессе развития предыдущей." + Crlf;
    text += Crlf;
    text += "Создавайте и исследуйте развитие собственных начальных колоний!";
    text += Crlf;
    text += std::string(Crlf) + Crlf + MoreDetails + FirstArticle;
    text += Crlf;
    text += std::string(MoreDetails) + SecondArticle;
    return text;
}

}  // namespace hexlife
