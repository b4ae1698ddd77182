#include "process/win/memory_figures_win.h"

#include <windows.h>
#include <psapi.h>

#include "base/win/handle.h"
#include "base/win/utf.h"

namespace corvane::win {

bool Win32MemoryCounterReader::ReadMemoryCounters(std::uint32_t processId, MemoryCounters& counters) {
  // Limited query rights suffice for the counters and are granted for more processes than full ones.
  const UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return false;
  PROCESS_MEMORY_COUNTERS info{};
  info.cb = sizeof(info);
  if (!::GetProcessMemoryInfo(process.get(), &info, sizeof(info))) return false;
  counters.pageFaultCount = info.PageFaultCount;
  counters.peakWorkingSetSize = info.PeakWorkingSetSize;
  counters.workingSetSize = info.WorkingSetSize;
  counters.pagefileUsage = info.PagefileUsage;
  counters.peakPagefileUsage = info.PeakPagefileUsage;
  return true;
}

std::string LocaleGroupSeparator() {
  wchar_t buffer[8] = {};  // the separator is at most three characters
  const int count = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, buffer, 8);
  if (count <= 0) return ",";
  return Narrow(std::wstring_view(buffer, static_cast<size_t>(count - 1)));
}

std::string GetPeakMemoryUsage(std::int64_t processId) {
  Win32MemoryCounterReader reader;
  return corvane::GetPeakMemoryUsage(reader, processId, LocaleGroupSeparator());
}

std::string GetMemoryUsage(std::int64_t processId) {
  Win32MemoryCounterReader reader;
  return corvane::GetMemoryUsage(reader, processId, LocaleGroupSeparator());
}

std::uint64_t GetPageFileUsage(std::int64_t processId) {
  Win32MemoryCounterReader reader;
  return corvane::GetPageFileUsage(reader, processId);
}

std::uint64_t GetPeakPageFileUsage(std::int64_t processId) {
  Win32MemoryCounterReader reader;
  return corvane::GetPeakPageFileUsage(reader, processId);
}

std::uint64_t GetPageFaultCount(std::int64_t processId) {
  Win32MemoryCounterReader reader;
  return corvane::GetPageFaultCount(reader, processId);
}

}  // namespace corvane::win
