#include "ui/process_report.h"

#include "base/text.h"
#include "process/module_list.h"

namespace corvane::ui {
namespace {

std::string Text(std::string_view label, std::string_view value, std::string_view unit = {}) {
  std::string line(label);
  line += value;
  line += unit;
  return line;
}

// "Total Dlls Used: N" with one child per module that is not blank. N counts every entry of the
// list, blank ones too.
ReportLine ModuleLine(std::uint32_t processId, ProcessFacts& facts) {
  const std::string list = facts.ModuleList(processId);
  if (TrimSpaces(list).empty()) return {"Total Dlls Used: 0", {}};
  const std::vector<std::string> entries = SplitAt(list, kModuleListSplit);
  ReportLine line{Text("Total Dlls Used: ", std::to_string(entries.size())), {}};
  for (const std::string& entry : entries) {
    if (TrimSpaces(entry).empty()) continue;
    line.children.push_back(entry + facts.ModuleMaker(entry));
  }
  return line;
}

}  // namespace

std::string DetailsCaption(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return std::string(kDetailsDesignCaption);
  return Text(name.substr(0, dot), " details");
}

ProcessReport BuildProcessReport(const ProcessReportInput& input, ProcessFacts& facts) {
  const std::uint32_t id = input.processId;
  ProcessReport report;
  report.caption = DetailsCaption(input.name);
  report.headline = Text("Detail for ", input.name);
  report.notRunning = TrimSpaces(input.parent) == "0" && id == 0;
  report.lines = {
      {Text("Process ID: ", std::to_string(id)), {}},
      {Text("Location: ", input.path), {}},
      {Text("Size: ", facts.FileSize(input.path), " bytes"), {}},
      {Text("Company Name: ", facts.CompanyName(input.path)), {}},
      {Text("Created On: ", facts.FileCreated(input.path)), {}},
      {Text("Modified On: ", facts.FileModified(input.path)), {}},
      ModuleLine(id, facts),
      {Text("Parent Process ID: ", input.parent), {}},
      {Text("Priority: ", facts.PriorityName(id)), {}},
      {Text("Threads: ", std::to_string(input.threads)), {}},
      {Text("Peak Memory Usage: ", facts.PeakMemoryUsage(id), " K"), {}},
      {Text("Memory Usage: ", facts.MemoryUsage(id), " K"), {}},
      {Text("Page File Usage: ", std::to_string(facts.PageFileUsage(id)), " K"), {}},
      {Text("Peak Page File Usage: ", std::to_string(facts.PeakPageFileUsage(id)), " K"), {}},
      // The count is not in kilobytes; the unit is shown all the same.
      {Text("Page Fault: ", std::to_string(facts.PageFaultCount(id)), " K"), {}},
  };
  return report;
}

}  // namespace corvane::ui
