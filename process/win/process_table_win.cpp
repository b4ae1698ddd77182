#include "process/win/process_table_win.h"

// clang-format off
#include <windows.h>
#include <winternl.h>
#include <tlhelp32.h>
// clang-format on

#include <cstddef>
#include <cstring>
#include <string_view>

#include "base/win/handle.h"
#include "base/win/scoped_privilege.h"
#include "base/win/utf.h"
#include "process/win/system_folders.h"

namespace corvane::win {
namespace {

constexpr NTSTATUS kStatusInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
// The name Tool Help gives the idle process, whose entry in the system's list carries no name.
constexpr char kIdleProcessName[] = "[System Process]";

std::uint32_t IdFromHandle(HANDLE value) {
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(value));
}

// The creating process's id is the pointer-sized field right after UniqueProcessId. Some SDKs name
// it InheritedFromUniqueProcessId, others Reserved2, so it is read by position.
constexpr size_t kParentIdOffset = offsetof(SYSTEM_PROCESS_INFORMATION, UniqueProcessId) + sizeof(HANDLE);
static_assert(kParentIdOffset + sizeof(HANDLE) <= offsetof(SYSTEM_PROCESS_INFORMATION, HandleCount));
// The creation time follows the thread counts and the cycle time; SDKs hide it in reserved fields.
constexpr size_t kCreateTimeOffset = 32;
static_assert(kCreateTimeOffset + sizeof(LARGE_INTEGER) <= offsetof(SYSTEM_PROCESS_INFORMATION, ImageName));

using QuerySystemInformation = NTSTATUS(NTAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);

QuerySystemInformation FindQuerySystemInformation() {
  const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  if (ntdll == nullptr) return nullptr;
  // The documented way to reach it: at run time, from ntdll.
  return reinterpret_cast<QuerySystemInformation>(
      reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtQuerySystemInformation")));
}

}  // namespace

bool TakeToolhelpSnapshot(ProcessSnapshot& snapshot) {
  snapshot.clear();
  UniqueFileHandle handle(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  if (handle && ::Process32FirstW(handle.get(), &entry)) {
    do {
      ProcessEntry& out = snapshot.emplace_back();
      out.processId = entry.th32ProcessID;
      out.threadCount = entry.cntThreads;
      out.parentProcessId = entry.th32ParentProcessID;
      out.exeFile = Narrow(std::wstring_view(entry.szExeFile, ::wcsnlen(entry.szExeFile, MAX_PATH)));
    } while (::Process32NextW(handle.get(), &entry));
  }
  // The list always holds the process reading it: an empty one is a failure.
  return !snapshot.empty();
}

// The system's process list in one call: several times cheaper than walking a Tool Help snapshot,
// which matters at one snapshot every 10 ms.
bool Win32ProcessTable::ReadNativeProcessList(ProcessSnapshot& snapshot) {
  static const QuerySystemInformation query = FindQuerySystemInformation();
  if (query == nullptr) return false;

  if (listBuffer_.empty()) listBuffer_.resize(64 * 1024);
  ULONG length = 0;
  NTSTATUS status = kStatusInfoLengthMismatch;
  // The list can grow between asking for its size and reading it, hence a few tries with room to spare.
  for (int tries = 0; tries < 8; ++tries) {
    length = 0;
    status = query(SystemProcessInformation, listBuffer_.data(), static_cast<ULONG>(listBuffer_.size()), &length);
    if (status != kStatusInfoLengthMismatch) break;
    const size_t wanted = static_cast<size_t>(length) + 16 * 1024;
    listBuffer_.resize(wanted > listBuffer_.size() * 2 ? wanted : listBuffer_.size() * 2);
  }
  if (status < 0) return false;

  const size_t end = length != 0 && length <= listBuffer_.size() ? length : listBuffer_.size();
  size_t offset = 0;
  for (;;) {
    if (offset + sizeof(SYSTEM_PROCESS_INFORMATION) > end) return false;
    const unsigned char* record = listBuffer_.data() + offset;
    SYSTEM_PROCESS_INFORMATION info;
    std::memcpy(&info, record, sizeof(info));
    HANDLE parent = nullptr;
    std::memcpy(&parent, record + kParentIdOffset, sizeof(parent));

    ProcessEntry& out = snapshot.emplace_back();
    out.processId = IdFromHandle(info.UniqueProcessId);
    out.threadCount = info.NumberOfThreads;
    out.parentProcessId = IdFromHandle(parent);
    LARGE_INTEGER created{};
    std::memcpy(&created, record + kCreateTimeOffset, sizeof(created));
    out.creationTime = static_cast<std::uint64_t>(created.QuadPart);
    if (info.ImageName.Buffer != nullptr && info.ImageName.Length > 0) {
      out.exeFile = Narrow(std::wstring_view(info.ImageName.Buffer, info.ImageName.Length / sizeof(wchar_t)));
    } else if (out.processId == 0) {
      out.exeFile = kIdleProcessName;
    }
    if (info.NextEntryOffset == 0) return true;
    offset += info.NextEntryOffset;
  }
}

bool Win32ProcessTable::TakeProcessSnapshot(ProcessSnapshot& snapshot) {
  snapshot.clear();
  if (ReadNativeProcessList(snapshot) && !snapshot.empty()) return true;
  return TakeToolhelpSnapshot(snapshot);
}

bool Win32ProcessTable::TerminateProcessById(std::uint32_t processId, std::uint32_t exitCode) {
  corvane::win::ScopedPrivilege privilege;
  if (!privilege.Enable(SE_DEBUG_NAME)) return false;
  // Terminate access alone: asking for more could be refused where termination would be allowed.
  const UniqueHandle process(::OpenProcess(PROCESS_TERMINATE, FALSE, processId));
  if (!process) return false;
  return ::TerminateProcess(process.get(), exitCode) != FALSE;
}

WaitResult Win32ProcessTable::WaitForProcessEnd(std::uint32_t processId, std::uint32_t milliseconds) {
  const UniqueHandle process(::OpenProcess(SYNCHRONIZE, FALSE, processId));
  if (!process) {
    // No process has that id (any more): it has ended. Anything else, such as access denied, leaves
    // a process that may well be running.
    return ::GetLastError() == ERROR_INVALID_PARAMETER ? WaitResult::Ended : WaitResult::CannotWait;
  }
  switch (::WaitForSingleObject(process.get(), milliseconds)) {
    case WAIT_OBJECT_0:
      return WaitResult::Ended;
    case WAIT_TIMEOUT:
      return WaitResult::TimedOut;
    default:
      return WaitResult::CannotWait;
  }
}

std::string Win32ProcessTable::GetProcessFullPath(std::uint32_t processId) {
  // Limited query rights are granted for more processes than full query rights, and the image name
  // call is an order of magnitude cheaper than walking the module list.
  const UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return {};
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    DWORD size = static_cast<DWORD>(buffer.size());
    if (::QueryFullProcessImageNameW(process.get(), 0, buffer.data(), &size)) {
      buffer.resize(size);
      break;
    }
    // Paths are at most 32767 characters long; past that the failure has another cause.
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || buffer.size() >= 32768) return {};
    buffer.resize(buffer.size() * 2);
  }
  return NormalizeSystem32Path(Narrow(buffer));
}

}  // namespace corvane::win
