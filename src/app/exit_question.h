// Before the program ends by «Выход» or its window's closing: where the
// field or the editor holds cells changed by hand and not saved, the user is
// asked whether to save them first, to end without them, or to stay.
#pragma once

namespace hexlife {

class MainWindow;

// Whether the program may end now: nothing unsaved, saved, or given up.
// While the question is open the run stands still; staying, it goes on.
bool MayEnd(MainWindow& window);

}  // namespace hexlife
