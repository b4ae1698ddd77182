#pragma once
// ProcessFacts from tables: the files and processes a test describes, and what was asked. Unknown
// files read as missing; unknown processes, and ids 0 and 2, as the system answers for a process
// that is not running (figures "0" and 0, no modules, priority "Normal").
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ui/process_report.h"

namespace corvane::testing {

struct FakeFile {
  std::string size;
  std::string company;
  std::string created;
  std::string modified;
};

struct FakeProcessFigures {
  std::string modules;
  std::string priority = "Normal";
  std::string peakMemory;
  std::string memory;
  std::uint64_t pageFile = 0;
  std::uint64_t peakPageFile = 0;
  std::uint64_t pageFaults = 0;
};

class FakeProcessFacts final : public ui::ProcessFacts {
 public:
  std::map<std::string, FakeFile> files;
  std::map<std::uint32_t, FakeProcessFigures> processes;
  // Maker of a module by its trimmed name; others are "Not Available".
  std::map<std::string, std::string> makers;
  // Every module name ModuleMaker was asked about, as passed.
  std::vector<std::string> makerQuestions;

  std::string FileSize(std::string_view path) override { return File(path).size; }
  std::string FileCreated(std::string_view path) override { return File(path).created; }
  std::string FileModified(std::string_view path) override { return File(path).modified; }
  std::string CompanyName(std::string_view path) override { return File(path).company; }
  std::string ModuleList(std::uint32_t id) override { return Process(id).modules; }
  std::string ModuleMaker(std::string_view moduleName) override {
    makerQuestions.emplace_back(moduleName);
    std::string_view trimmed = moduleName;
    while (!trimmed.empty() && trimmed.front() == ' ') trimmed.remove_prefix(1);
    while (!trimmed.empty() && trimmed.back() == ' ') trimmed.remove_suffix(1);
    const auto found = makers.find(std::string(trimmed));
    return found == makers.end() ? ", Created by: Not Available" : ", Created by: " + found->second;
  }
  std::string PriorityName(std::uint32_t id) override { return Process(id).priority; }
  std::string PeakMemoryUsage(std::uint32_t id) override { return Running(id) ? Process(id).peakMemory : "0"; }
  std::string MemoryUsage(std::uint32_t id) override { return Running(id) ? Process(id).memory : "0"; }
  std::uint64_t PageFileUsage(std::uint32_t id) override { return Process(id).pageFile; }
  std::uint64_t PeakPageFileUsage(std::uint32_t id) override { return Process(id).peakPageFile; }
  std::uint64_t PageFaultCount(std::uint32_t id) override { return Process(id).pageFaults; }

 private:
  bool Running(std::uint32_t id) const { return id != 0 && id != 2 && processes.count(id) != 0; }
  const FakeFile& File(std::string_view path) const {
    static const FakeFile missing;
    const auto found = files.find(std::string(path));
    return found == files.end() ? missing : found->second;
  }
  const FakeProcessFigures& Process(std::uint32_t id) const {
    static const FakeProcessFigures notRunning;
    const auto found = Running(id) ? processes.find(id) : processes.end();
    return found == processes.end() ? notRunning : found->second;
  }
};

}  // namespace corvane::testing
