#pragma once

#include <string>

namespace hexlife {

// The help message: 18 lines joined by CR LF, UTF-8, no break after the last.
std::string ComposeHelpText();

}  // namespace hexlife
