#pragma once
// Small text routines shared by both programs. Strings are UTF-8 (or plain ASCII) byte strings.
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// Removes leading and trailing space characters (code 32 only; tabs stay).
std::string TrimSpaces(std::string_view text);

// ASCII upper/lower case; bytes outside A-Z / a-z are left as they are.
std::string ToUpperAscii(std::string_view text);
std::string ToLowerAscii(std::string_view text);

// ASCII case-insensitive equality.
bool EqualsNoCase(std::string_view a, std::string_view b);

// The comparison rule for program names and paths: equal after trimming spaces, ignoring case.
bool SameNameOrPath(std::string_view a, std::string_view b);
// The form under which that rule sees two names or paths as equal: trimmed, upper case. Used as a
// key wherever many comparisons are made, so that deciding and terminating compare alike.
std::string ComparisonKey(std::string_view text);

// Splits text at every occurrence of separator (not empty). "a^^^^b" -> {"a", "b"}; "" -> {""}.
std::vector<std::string> SplitAt(std::string_view text, std::string_view separator);

// Parses a whole decimal integer, allowing surrounding spaces and a sign. False when it is not one
// or does not fit in 32 bits.
bool ParseInt32(std::string_view text, int& value);

}  // namespace corvane
