#include "process/held_processes.h"

#include <algorithm>
#include <limits>

namespace corvane {

namespace {

constexpr char kEntrySeparator = ';';
constexpr char kFieldSeparator = ':';

// An unsigned decimal number of at most `max`, digits only (no sign, no blanks).
std::optional<std::uint64_t> ParseUnsigned(std::string_view text, std::uint64_t max) {
  if (text.empty() || text.size() > 20) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
    if (value > (max - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

std::optional<HeldProcess> ParseEntry(std::string_view entry) {
  // Blanks around an entry or a field are a hand edit's, not a fault.
  const auto trim = [](std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return text;
  };
  const std::size_t colon = entry.find(kFieldSeparator);
  if (colon == std::string_view::npos) return std::nullopt;
  const std::optional<std::uint64_t> id =
      ParseUnsigned(trim(entry.substr(0, colon)), std::numeric_limits<std::uint32_t>::max());
  const std::optional<std::uint64_t> time =
      ParseUnsigned(trim(entry.substr(colon + 1)), std::numeric_limits<std::uint64_t>::max());
  if (!id || !time || *id == 0 || *time == 0) return std::nullopt;
  return HeldProcess{static_cast<std::uint32_t>(*id), *time};
}

}  // namespace

std::string HeldProcessesText(const std::vector<HeldProcess>& held) {
  std::string text;
  const std::size_t count = std::min(held.size(), kMaxHeldProcesses);
  for (std::size_t i = 0; i < count; ++i) {
    if (i != 0) text.push_back(kEntrySeparator);
    text += std::to_string(held[i].processId);
    text.push_back(kFieldSeparator);
    text += std::to_string(held[i].creationTime);
  }
  return text;
}

std::vector<HeldProcess> ParseHeldProcesses(std::string_view text) {
  std::vector<HeldProcess> held;
  while (!text.empty() && held.size() < kMaxHeldProcesses) {
    const std::size_t end = text.find(kEntrySeparator);
    const std::string_view entry = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    const std::optional<HeldProcess> process = ParseEntry(entry);
    if (process && std::find(held.begin(), held.end(), *process) == held.end()) held.push_back(*process);
  }
  return held;
}

bool HeldProcessSet::Record(const HeldProcess& process) {
  if (IsHeld(process.processId) || held_.size() >= kMaxHeldProcesses) return false;
  held_.push_back(process);
  return true;
}

std::optional<HeldProcess> HeldProcessSet::Release(std::uint32_t processId) {
  const auto found = std::find_if(held_.begin(), held_.end(),
                                  [processId](const HeldProcess& held) { return held.processId == processId; });
  if (found == held_.end()) return std::nullopt;
  const HeldProcess released = *found;
  held_.erase(found);
  return released;
}

bool HeldProcessSet::IsHeld(std::uint32_t processId) const {
  return std::any_of(held_.begin(), held_.end(),
                     [processId](const HeldProcess& held) { return held.processId == processId; });
}

std::vector<HeldProcess> ProcessesToResume(const std::vector<HeldProcess>& recorded,
                                           const std::function<std::optional<std::uint64_t>(std::uint32_t)>& creationTimeOf) {
  std::vector<HeldProcess> resume;
  for (const HeldProcess& process : recorded) {
    const std::optional<std::uint64_t> created = creationTimeOf(process.processId);
    if (created && *created == process.creationTime) resume.push_back(process);
  }
  return resume;
}

std::size_t ResumeRecordedProcesses(std::string_view text, ProcessHolder& holder) {
  std::size_t resumed = 0;
  const auto creationTimeOf = [&holder](std::uint32_t processId) { return holder.ProcessCreationTime(processId); };
  for (const HeldProcess& process : ProcessesToResume(ParseHeldProcesses(text), creationTimeOf)) {
    if (holder.ResumeProcess(process.processId)) ++resumed;
  }
  return resumed;
}

bool MayHoldProgram(std::uint32_t processId, std::string_view fullPath, bool startedSinceLastLook,
                    const HoldRules& rules) {
  if (!rules.holdWhileAsking || rules.allowAll || !startedSinceLastLook) return false;
  if (processId == 0 || processId == 4 || processId == rules.ownProcessId) return false;
  return !IsWindowsProcessInPlace(fullPath, rules.folders) && !IsInSystemFolder(fullPath, rules.folders);
}

}  // namespace corvane
