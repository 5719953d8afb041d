// The rules worth knowing, each with a line on what it does: offered to
// pick from wherever a rule is chosen (the rule dialog, the search
// window). Plain C++.
#pragma once

#include <iterator>

namespace hexlife::rule {

// A rule worth knowing: its text and what it does, in Russian.
struct KnownRule {
    const char* text;
    const char* note;
};
// What each does was seen by running it here: the 26 figures each to its
// end, and 20 random 20 × 20 squares filled to 35 % in the middle of the
// field, by the run's stop rules (edge, extinction, 1001 cycles).
inline constexpr KnownRule KnownRules[] = {
    {"B2/S2H", "правило программы: 17 из 26 фигур и все смеси дорастают до края поля"},
    {"B2/S34H", "колонии успокаиваются: смеси кончаются колебаниями с периодом 2 или 4, ни одна фигура не доходит до края"},
    {"B2o/S2m34H", "с буквами: половина фигур вымирает, одна — корабль; смеси то затихают, то растут до края"},
    {"B245/S3H", "почти всё затихает: 18 из 20 смесей колеблются с периодом 2, 17 из 26 фигур вымирают"},
    {"B2/S23H", "взрывное: 24 из 26 фигур и все смеси доходят до края поля, смеси — за 98–115 циклов"},
    {"B3/S23H", "цифры «Жизни» Конвея: здесь смеси застывают, 18 из 20 — неподвижны"},
};
inline constexpr int KnownRuleCount = int(std::size(KnownRules));

}  // namespace hexlife::rule
