#pragma once
// The look-ups and termination by name against the running system, for callers that need no fakes.
#include <cstdint>
#include <string_view>

namespace corvane::win {

// TerminateProcessByName with the real process table.
bool TerminateProcessByName(std::string_view fileName);
// GetProcessIdByName with the real process table.
std::uint32_t GetProcessIdByName(std::string_view fileName);
// GetThreadsOrParentId with the real process table.
std::uint32_t GetThreadsOrParentId(std::uint32_t processId, bool wantThreads);

}  // namespace corvane::win
