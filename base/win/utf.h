#pragma once
// The one place where text crosses between Windows (UTF-16) and the program (UTF-8).
#include <string>
#include <string_view>

namespace corvane::win {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view utf16);

}  // namespace corvane::win
