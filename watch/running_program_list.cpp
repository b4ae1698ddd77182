#include "watch/running_program_list.h"

#include "base/text.h"

namespace corvane::watch {

bool RunningProgramList::IsInRunningProgramList(std::string_view name, std::string_view path) const {
  for (const RunningProgram& entry : entries_) {
    if (SameNameOrPath(entry.name, name) && SameNameOrPath(entry.path, path)) return true;
  }
  return false;
}

void RunningProgramList::RemoveAt(std::size_t index) {
  if (index < entries_.size()) entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

void RunningProgramList::RemoveUnjudged() {
  RemoveUnless([](const RunningProgram& entry) { return !entry.unjudged; });
}

}  // namespace corvane::watch
