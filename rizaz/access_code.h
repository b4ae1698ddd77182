#pragma once
// The blocker runs only when started by the main program, which passes the access code as the one
// and only argument.
#include <string_view>

namespace corvane::rizaz {

inline constexpr std::string_view kAccessCode = "plumtide";

// True only when the argument text of the raw command line (everything after the program path,
// without the separating blanks) is the access code exactly: same letter case, nothing before or
// after it.
bool IsAccessGranted(std::string_view commandLine);

}  // namespace corvane::rizaz
