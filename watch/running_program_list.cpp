#include "watch/running_program_list.h"

#include "store/list_files.h"

namespace corvane::watch {

bool RunningProgramList::IsInRunningProgramList(std::string_view name, std::string_view path) const {
  return counts_.count(ProgramComparisonKey(name, path)) != 0;
}

void RunningProgramList::Add(RunningProgram program) {
  ++counts_[ProgramComparisonKey(program.name, program.path)];
  entries_.push_back(std::move(program));
}

void RunningProgramList::Forget(const RunningProgram& entry) {
  const auto found = counts_.find(ProgramComparisonKey(entry.name, entry.path));
  if (found != counts_.end() && --found->second == 0) counts_.erase(found);
}

void RunningProgramList::RemoveAt(std::size_t index) {
  if (index >= entries_.size()) return;
  Forget(entries_[index]);
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

void RunningProgramList::RemoveUnjudged() {
  RemoveUnless([](const RunningProgram& entry) { return !entry.unjudged; });
}

}  // namespace corvane::watch
