#include "ui/win/process_facts_win.h"

#include "process/win/file_facts_win.h"
#include "process/win/memory_figures_win.h"
#include "process/win/module_list.h"

namespace corvane::ui::win {

std::string Win32ProcessFacts::FileSize(std::string_view path) {
  return corvane::win::GetFileFact(path, true, false, false);
}
std::string Win32ProcessFacts::FileCreated(std::string_view path) {
  return corvane::win::GetFileFact(path, false, true, false);
}
std::string Win32ProcessFacts::FileModified(std::string_view path) {
  return corvane::win::GetFileFact(path, false, false, true);
}
std::string Win32ProcessFacts::CompanyName(std::string_view path) { return corvane::win::GetCompanyName(path); }
std::string Win32ProcessFacts::ModuleList(std::uint32_t processId) { return corvane::win::GetModuleList(processId); }
std::string Win32ProcessFacts::ModuleMaker(std::string_view moduleName) {
  return corvane::win::GetModuleMaker(moduleName);
}
std::string Win32ProcessFacts::PriorityName(std::uint32_t processId) {
  return corvane::win::GetPriorityName(processId);
}
std::string Win32ProcessFacts::PeakMemoryUsage(std::uint32_t processId) {
  return corvane::win::GetPeakMemoryUsage(processId);
}
std::string Win32ProcessFacts::MemoryUsage(std::uint32_t processId) { return corvane::win::GetMemoryUsage(processId); }
std::uint64_t Win32ProcessFacts::PageFileUsage(std::uint32_t processId) {
  return corvane::win::GetPageFileUsage(processId);
}
std::uint64_t Win32ProcessFacts::PeakPageFileUsage(std::uint32_t processId) {
  return corvane::win::GetPeakPageFileUsage(processId);
}
std::uint64_t Win32ProcessFacts::PageFaultCount(std::uint32_t processId) {
  return corvane::win::GetPageFaultCount(processId);
}

}  // namespace corvane::ui::win
