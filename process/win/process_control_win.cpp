#include "process/win/process_control_win.h"

#include "process/process_control.h"
#include "process/win/process_table_win.h"

namespace corvane::win {

bool TerminateProcessByName(std::string_view fileName) {
  Win32ProcessTable table;
  return corvane::TerminateProcessByName(table, fileName);
}

std::uint32_t GetProcessIdByName(std::string_view fileName) {
  Win32ProcessTable table;
  return corvane::GetProcessIdByName(table, fileName);
}

std::uint32_t GetThreadsOrParentId(std::uint32_t processId, bool wantThreads) {
  Win32ProcessTable table;
  return corvane::GetThreadsOrParentId(table, processId, wantThreads);
}

}  // namespace corvane::win
