#pragma once
// Look-ups and termination by file name or by path, built on the process table. Names and paths are
// compared by the program's rule (ComparisonKey): trimmed of blanks, letter case ignored, on both
// sides, so that a program judged blocked is also the one that is ended. These only find and end
// processes: whether the user hears of a termination is for the caller to decide.
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "process/process_table.h"

namespace corvane {

// How often a termination asks the system before giving up, with a 1 ms wait for the process to end
// on its own between two attempts.
inline constexpr int kTerminationAttempts = 11;
inline constexpr std::uint32_t kTerminationWaitMs = 1;

// The id of the first listed process whose executable file name matches fileName; none when no
// process matches or the name is blank.
std::optional<std::uint32_t> FindProcessByFileName(ProcessTable& table, std::string_view fileName);

// The ids of every running process whose executable is the file at path (the comparison rule on
// the whole path), so that a program of the same name elsewhere is left out. Only processes whose
// file name matches have their paths read; a process whose path cannot be read is left out.
std::vector<std::uint32_t> FindProcessesByPath(ProcessTable& table, std::string_view path);

// Terminates a process found in a snapshot: up to 11 attempts. True when it was terminated or has
// ended while we tried.
bool TerminateMatchedProcess(ProcessTable& table, std::uint32_t processId);

// Terminates the first listed process whose executable file name matches fileName. True when it
// was terminated or has ended while we tried; false when no process matches or it survived every
// attempt. A second instance of the same program survives until the next call.
bool TerminateProcessByName(ProcessTable& table, std::string_view fileName);

// The id of the first listed process whose full path ends in fileName; 0 when none. Processes whose
// path cannot be read never match.
std::uint32_t GetProcessIdByName(ProcessTable& table, std::string_view fileName);

// The thread count (wantThreads) or else the parent id of the running process with that id; 0 when
// none is running. Id 0 can match the idle process where the system lists one.
std::uint32_t GetThreadsOrParentId(ProcessTable& table, std::uint32_t processId, bool wantThreads);

}  // namespace corvane
