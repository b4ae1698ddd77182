#include "process/memory_figures.h"

#include <cstdint>
#include <string>

namespace corvane {
namespace {

// Ids that are never asked about: no process, and the system's own (2 on old NT systems).
bool IsSystemOrNoProcess(std::int64_t processId) { return processId <= 0 || processId == 2; }

// Reads the counters of processId; false when there is no such process to ask about.
bool ReadCounters(MemoryCounterReader& reader, std::int64_t processId, MemoryCounters& counters) {
  if (processId > static_cast<std::int64_t>(UINT32_MAX)) return false;
  return reader.ReadMemoryCounters(static_cast<std::uint32_t>(processId), counters);
}

template <typename Pick>
std::string GroupedKilobytes(MemoryCounterReader& reader, std::int64_t processId, std::string_view separator,
                             Pick pick) {
  if (IsSystemOrNoProcess(processId)) return "0";
  MemoryCounters counters;
  if (!ReadCounters(reader, processId, counters)) return {};
  return FormatGroupedNumber(pick(counters) / 1024, separator);
}

template <typename Pick>
std::uint64_t Figure(MemoryCounterReader& reader, std::int64_t processId, Pick pick) {
  if (IsSystemOrNoProcess(processId)) return 0;
  MemoryCounters counters;
  if (!ReadCounters(reader, processId, counters)) return 0;
  return pick(counters);
}

}  // namespace

std::string FormatGroupedNumber(std::uint64_t value, std::string_view separator) {
  if (value == 0) return {};
  std::string digits = std::to_string(value);
  std::string out;
  out.reserve(digits.size() + (digits.size() / 3) * separator.size());
  const std::size_t lead = digits.size() % 3 == 0 ? 3 : digits.size() % 3;
  out.append(digits, 0, lead);
  for (std::size_t at = lead; at < digits.size(); at += 3) {
    out.append(separator);
    out.append(digits, at, 3);
  }
  return out;
}

std::string GetPeakMemoryUsage(MemoryCounterReader& reader, std::int64_t processId, std::string_view separator) {
  return GroupedKilobytes(reader, processId, separator, [](const MemoryCounters& c) { return c.peakWorkingSetSize; });
}

std::string GetMemoryUsage(MemoryCounterReader& reader, std::int64_t processId, std::string_view separator) {
  return GroupedKilobytes(reader, processId, separator, [](const MemoryCounters& c) { return c.workingSetSize; });
}

std::uint64_t GetPageFileUsage(MemoryCounterReader& reader, std::int64_t processId) {
  return Figure(reader, processId, [](const MemoryCounters& c) { return c.pagefileUsage / 1024; });
}

std::uint64_t GetPeakPageFileUsage(MemoryCounterReader& reader, std::int64_t processId) {
  return Figure(reader, processId, [](const MemoryCounters& c) { return c.peakPagefileUsage / 1024; });
}

std::uint64_t GetPageFaultCount(MemoryCounterReader& reader, std::int64_t processId) {
  return Figure(reader, processId, [](const MemoryCounters& c) { return c.pageFaultCount; });
}

}  // namespace corvane
