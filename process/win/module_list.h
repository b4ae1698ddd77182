#pragma once
// The modules a running process has loaded, read from the system.
#include <cstdint>
#include <string>
#include <vector>

namespace corvane::win {

// The base names of the process's modules in the order the system lists them, the executable
// first; a module whose name cannot be read is an empty name. False (names untouched) when the
// process cannot be opened or its modules cannot be listed.
bool ReadModuleBaseNames(std::uint32_t processId, std::vector<std::string>& names);

// The module list text (JoinModuleList) of the process. A negative id, id 0 (the idle process) and
// id 2 give an empty text without asking the system, as does a process that cannot be read.
std::string GetModuleList(std::int64_t processId);

}  // namespace corvane::win
