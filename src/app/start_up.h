// The program's start: the command line, Qt in Russian, the window shown.
#pragma once

#include <functional>

class QWidget;

namespace hexlife {

// Runs the program until its window closes; its exit status. `shown` is
// called with the window just before it is first shown (the start-up
// benchmark watches its first paint from there).
int StartProgram(int argc, char** argv, const std::function<void(QWidget&)>& shown = {});

}  // namespace hexlife
