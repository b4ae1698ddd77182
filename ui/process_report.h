#pragma once
// The details report of one program: fifteen lines about its file and, while it runs, its process
// and loaded modules. The facts come through ProcessFacts (the system in the program, fakes in
// tests); this file decides what the report says and in which words.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "corvane_version.h"

namespace corvane::ui {

// What the report asks about a file or a process. Every failure reads as an empty text or 0.
class ProcessFacts {
 public:
  virtual ~ProcessFacts() = default;
  // The file's size in bytes as plain decimal digits; empty when the file is not found.
  virtual std::string FileSize(std::string_view path) = 0;
  // The file's creation and last-modification times in the locale's general date form.
  virtual std::string FileCreated(std::string_view path) = 0;
  virtual std::string FileModified(std::string_view path) = 0;
  virtual std::string CompanyName(std::string_view path) = 0;
  // The module list text of process/module_list.h; empty when no modules could be read.
  virtual std::string ModuleList(std::uint32_t processId) = 0;
  // ", Created by: " and the module file's maker, or ", Created by: Not Available".
  virtual std::string ModuleMaker(std::string_view moduleName) = 0;
  virtual std::string PriorityName(std::uint32_t processId) = 0;
  // Kilobytes with the locale's digit grouping.
  virtual std::string PeakMemoryUsage(std::uint32_t processId) = 0;
  virtual std::string MemoryUsage(std::uint32_t processId) = 0;
  // Kilobytes.
  virtual std::uint64_t PageFileUsage(std::uint32_t processId) = 0;
  virtual std::uint64_t PeakPageFileUsage(std::uint32_t processId) = 0;
  virtual std::uint64_t PageFaultCount(std::uint32_t processId) = 0;
};

// The program the report is about. processId is 0 when it is not running; parent is the parent
// process id as text.
struct ProcessReportInput {
  std::string path;
  std::string name;
  std::string parent;
  std::uint32_t processId = 0;
  std::uint32_t threads = 0;
};

// A line of the report's tree; only the module line has children.
struct ReportLine {
  std::string text;
  std::vector<std::string> children;
  friend bool operator==(const ReportLine&, const ReportLine&) = default;
};

struct ProcessReport {
  std::string caption;   // the details window's caption
  std::string headline;  // "Detail for " + name
  bool notRunning = false;  // shows kNotRunningText under the headline
  std::vector<ReportLine> lines;
};

inline constexpr std::string_view kDetailsDesignCaption = "Detail Information";
inline constexpr std::string_view kDetailsVersionText = "v " CORVANE_VERSION_TEXT;
inline constexpr std::string_view kNotRunningText = "Curently Not using your system's memory.";
// The report's lines, in order; the module line is at this index.
inline constexpr std::size_t kReportLineCount = 15;
inline constexpr std::size_t kModuleLineIndex = 6;

// The details window's caption for a program name: the name up to its last "." and " details"
// ("notepad.exe" gives "notepad details"); a name without "." keeps the design caption.
std::string DetailsCaption(std::string_view name);

// The whole report. The not-running note shows when the parent text, trimmed, is "0" and the
// process id is 0.
ProcessReport BuildProcessReport(const ProcessReportInput& input, ProcessFacts& facts);

}  // namespace corvane::ui
