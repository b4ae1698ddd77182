#include "process/win/module_list.h"

#include <windows.h>
#include <psapi.h>

#include "base/win/handle.h"
#include "base/win/utf.h"
#include "process/module_list.h"

#include <utility>

namespace corvane::win {
namespace {

// A process can load modules between two calls; a few tries let the buffer catch up.
constexpr int kListAttempts = 4;

bool ListModules(HANDLE process, std::vector<HMODULE>& modules) {
  std::vector<HMODULE> buffer(256);
  for (int attempt = 0; attempt < kListAttempts; ++attempt) {
    const DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(HMODULE));
    DWORD needed = 0;
    if (!::EnumProcessModulesEx(process, buffer.data(), bytes, &needed, LIST_MODULES_ALL)) return false;
    if (needed <= bytes) {
      buffer.resize(needed / sizeof(HMODULE));
      modules = std::move(buffer);
      return true;
    }
    buffer.resize(needed / sizeof(HMODULE) + 16);
  }
  return false;
}

std::string BaseName(HANDLE process, HMODULE module) {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD count = ::GetModuleBaseNameW(process, module, name.data(), static_cast<DWORD>(name.size()));
    if (count == 0) return {};
    // A name that fills the buffer may have been cut short.
    if (count < name.size() - 1 || name.size() >= 32768) {
      name.resize(count);
      return Narrow(name);
    }
    name.resize(name.size() * 2);
  }
}

}  // namespace

bool ReadModuleBaseNames(std::uint32_t processId, std::vector<std::string>& names) {
  const UniqueHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
  if (!process) return false;
  std::vector<HMODULE> modules;
  if (!ListModules(process.get(), modules)) return false;
  std::vector<std::string> read;
  read.reserve(modules.size());
  for (HMODULE module : modules) read.push_back(BaseName(process.get(), module));
  names = std::move(read);
  return true;
}

std::string GetModuleList(std::int64_t processId) {
  if (processId <= 0 || processId == 2 || processId > 0xFFFFFFFFll) return {};
  std::vector<std::string> names;
  if (!ReadModuleBaseNames(static_cast<std::uint32_t>(processId), names)) return {};
  return JoinModuleList(names);
}

}  // namespace corvane::win
