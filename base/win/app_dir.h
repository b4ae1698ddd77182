#pragma once
#include <string>

namespace corvane::win {

// Full path of the running program's executable (UTF-8); empty when it cannot be read.
std::string ProgramPath();
// The folder that holds the running program, without a trailing backslash: the program directory
// where the list files live.
std::string ProgramDirectory();

}  // namespace corvane::win
