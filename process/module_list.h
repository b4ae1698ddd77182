#pragma once
// The text form of the modules a process has loaded, as the details report reads it.
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// Separates two module names in a module list text; the report splits on the carets alone, so each
// entry but the first keeps a leading blank and each but the last a trailing one.
inline constexpr std::string_view kModuleListSeparator = " ^^ ";
inline constexpr std::string_view kModuleListSplit = "^^";

// The module list text of names in the order the system lists them, the executable first: every
// name but the first, its trailing blanks removed, joined by " ^^ ". A name is not preceded by the
// separator while the text so far is blank, so unreadable (empty) names at the start leave no trace
// and later ones leave a blank entry. A text that is blank in the end is returned empty.
std::string JoinModuleList(const std::vector<std::string>& names);

}  // namespace corvane
