// Qt's own texts (file dialogs, standard buttons, the command line's help)
// in Russian whatever the locale says: Qt's Russian translation and the
// Russian locale for numbers and dates in dialogs. Without the translation
// file the program still works, in Qt's English.
#pragma once

class QCoreApplication;

namespace hexlife {

// Returns whether Qt's translation was found.
bool UseRussian(QCoreApplication& application);

}  // namespace hexlife
