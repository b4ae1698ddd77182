#pragma once
// Look-ups and termination by file name or by path, built on the process table. Names and paths are
// compared by the program's rule (ComparisonKey): trimmed of blanks, letter case ignored, on both
// sides, so that a program judged blocked is also the one that is ended.
#include <cstdint>
#include <string_view>

#include "process/process_table.h"
#include "process/speaker.h"
#include "store/settings.h"

namespace corvane {

// How often termination by name asks the system before giving up, with a 1 ms wait for the process
// to end on its own between two attempts.
inline constexpr int kTerminationAttempts = 11;
inline constexpr std::uint32_t kTerminationWaitMs = 1;

// Terminates the first listed process whose executable file name matches fileName. Beeps once
// first when "ChkBeep" is 1. True when the process was terminated or has ended while we tried;
// false when no process matches (then nothing else happens) or it survived every attempt. A second
// instance of the same program survives until the next call.
bool TerminateProcessByName(ProcessTable& table, SettingsStore& settings, Speaker& speaker,
                            std::string_view fileName);

// Terminates every running process whose executable is the file at path (the comparison rule on
// the whole path), so that a program of the same name elsewhere is left alone. Only processes whose
// file name matches have their paths read; a process whose path cannot be read is not ended. Beeps
// before each termination when "ChkBeep" is 1. Returns how many processes were ended.
int TerminateProcessesByPath(ProcessTable& table, SettingsStore& settings, Speaker& speaker, std::string_view path);

// The second half of termination by name, for callers that already found the process in a snapshot
// of their own: the beep (when "ChkBeep" is 1), then up to 11 attempts.
bool TerminateMatchedProcess(ProcessTable& table, SettingsStore& settings, Speaker& speaker, std::uint32_t processId);

// The id of the first listed process whose full path ends in fileName; 0 when none. Processes whose
// path cannot be read never match.
std::uint32_t GetProcessIdByName(ProcessTable& table, std::string_view fileName);

// The thread count (wantThreads) or else the parent id of the running process with that id; 0 when
// none is running. Id 0 can match the idle process where the system lists one.
std::uint32_t GetThreadsOrParentId(ProcessTable& table, std::uint32_t processId, bool wantThreads);

}  // namespace corvane
