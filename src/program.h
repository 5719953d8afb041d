// The program's name and version, as the window, its files and its command
// line show them.
#pragma once

namespace hexlife {

constexpr const char* WindowCaption = "Шестигранная \"Жизнь\"";
// From the build (CMake's project version).
constexpr const char* ProgramVersion = HEXLIFE_VERSION;

}  // namespace hexlife
