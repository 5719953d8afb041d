// What is wrong with RLE text, in the user's words (Russian).
#include "model.h"
#include "rle/rle.h"

namespace hexlife::rle {

std::string Message(const Error& error)
{
    const std::string at = error.line <= 0 ? ""
                           : error.column > 0
                               ? " (строка " + std::to_string(error.line) + ", столбец " + std::to_string(error.column) + ")"
                               : " (строка " + std::to_string(error.line) + ")";
    switch (error.kind) {
    case ErrorKind::NotRle:
        return error.detail.empty() ? "Это не фигура в формате RLE: в нём нет ни заголовка, ни клеток."
                                    : "Это не фигура в формате RLE: знак «" + error.detail +
                                          "» в нём не встречается" + at + ".";
    case ErrorKind::Truncated:
        return "Фигура в формате RLE оборвана" + at + ": после «" + error.detail + "» ничего нет.";
    case ErrorKind::CountOverflow:
        return "Число в фигуре слишком велико" + at + ".";
    case ErrorKind::WrongRule:
        return "Правило фигуры не прочитано" + at + ": " + error.detail + ".";
    case ErrorKind::TooLarge: {
        const std::string size = "Фигура размером " + std::to_string(error.width) + " × " +
                                 std::to_string(error.height) + " клеток не помещается ";
        const std::string editor = std::to_string(PatternColCount) + " × " + std::to_string(PatternColLen);
        std::string text = error.field ? size + "ни в редактор (" + editor + " клеток), ни на поле (" +
                                             std::to_string(error.fieldColumns) + " × " +
                                             std::to_string(error.fieldRows) + " клеток, которые меняет колония)."
                                       : size + "в редактор: в нём " + editor + " клеток.";
        if (error.slanted) {
            text += " Строки шестигранной сетки Golly идут наискосок, и в столбцах " +
                    std::string(error.field ? "поля" : "редактора") + " фигура занимает " +
                    std::to_string(error.columnHeight) + " клеток в высоту.";
        }
        return text;
    }
    case ErrorKind::TooBig:
        return "Файл больше " + std::to_string(MaxPatternFileBytes / (1 << 20)) +
               " МБ: фигуры такого размера программа не открывает.";
    }
    return {};
}

}  // namespace hexlife::rle
