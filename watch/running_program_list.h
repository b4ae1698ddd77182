#pragma once
// The main program's memory of the programs already seen running (the running panel). A program is
// new exactly when it is not in this list. Two running copies of one program file make one entry.
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace corvane::watch {

struct RunningProgram {
  std::string name;  // file name with extension: the text after the path's last backslash
  std::string path;  // full path as read from the running process
  // Seen while the mode was Allow All, so neither allowed nor blocked; shown in pure blue.
  bool unjudged = false;
};

class RunningProgramList {
 public:
  // By the comparison rule: surrounding spaces removed, letter case ignored.
  bool IsInRunningProgramList(std::string_view name, std::string_view path) const;

  void Add(RunningProgram program);
  void RemoveAt(std::size_t index);
  void Clear() {
    entries_.clear();
    counts_.clear();
  }
  // Removes every unjudged entry (back to Normal mode: those programs are judged again).
  void RemoveUnjudged();

  const std::vector<RunningProgram>& entries() const { return entries_; }
  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }

  // Keeps only the entries for which keep(entry) is true, in order. Returns how many went.
  template <typename Keep>
  std::size_t RemoveUnless(Keep keep) {
    std::size_t removed = 0;
    std::vector<RunningProgram> kept;
    kept.reserve(entries_.size());
    for (auto& entry : entries_) {
      if (keep(entry)) {
        kept.push_back(std::move(entry));
      } else {
        Forget(entry);
        ++removed;
      }
    }
    entries_ = std::move(kept);
    return removed;
  }

 private:
  void Forget(const RunningProgram& entry);

  std::vector<RunningProgram> entries_;
  // How many entries there are of each name and path, by the comparison rule (ProgramComparisonKey),
  // so that asking whether a program is listed does not go through the list once per process.
  std::unordered_map<std::string, std::size_t> counts_;
};

}  // namespace corvane::watch
