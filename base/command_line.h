#pragma once
#include <string_view>

namespace corvane {

// The argument text of a raw command line: everything after the program path, without the blanks
// that separate it from the path. The path may be quoted ("C:\a b\x.exe" auto) or not (x.exe auto).
// Trailing blanks belong to the argument text, so "auto " is not "auto".
std::string_view ArgumentText(std::string_view commandLine);

}  // namespace corvane
