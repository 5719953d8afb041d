// The Russian words about rules that the windows share, beside
// rule::Message (rule_message.cpp). Plain C++.
#pragma once

#include <string>

#include "rule/rule.h"

namespace hexlife::rule {

// rule::Message as a sentence of its own: a capital first, a full stop after.
std::string Sentence(const Error& error);
// How the rule's next state depends on the neighbours: «по числу
// соседей», ...
std::string Kind(const Rule& rule);

}  // namespace hexlife::rule
