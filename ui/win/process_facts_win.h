#pragma once
// The report's facts from the running system: file facts, memory figures and loaded modules.
#include "ui/process_report.h"

namespace corvane::ui::win {

class Win32ProcessFacts final : public ProcessFacts {
 public:
  std::string FileSize(std::string_view path) override;
  std::string FileCreated(std::string_view path) override;
  std::string FileModified(std::string_view path) override;
  std::string CompanyName(std::string_view path) override;
  std::string ModuleList(std::uint32_t processId) override;
  std::string ModuleMaker(std::string_view moduleName) override;
  std::string PriorityName(std::uint32_t processId) override;
  std::string PeakMemoryUsage(std::uint32_t processId) override;
  std::string MemoryUsage(std::uint32_t processId) override;
  std::uint64_t PageFileUsage(std::uint32_t processId) override;
  std::uint64_t PeakPageFileUsage(std::uint32_t processId) override;
  std::uint64_t PageFaultCount(std::uint32_t processId) override;
};

}  // namespace corvane::ui::win
