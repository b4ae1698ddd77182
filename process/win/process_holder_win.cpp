#include "process/win/process_holder_win.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>

#include "base/win/handle.h"

namespace corvane::win {

namespace {

// A walk that starts no thread of its own is enough; more would mean the program keeps starting
// threads faster than they are suspended, and what was caught is held anyway.
constexpr int kMaxWalks = 4;

// The ids of the process's threads now; false when the system gave no thread list.
bool ThreadsOf(std::uint32_t processId, std::vector<std::uint32_t>& threads) {
  threads.clear();
  const UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
  if (!snapshot) return false;
  THREADENTRY32 entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Thread32First(snapshot.get(), &entry); more; more = ::Thread32Next(snapshot.get(), &entry)) {
    if (entry.th32OwnerProcessID == processId) threads.push_back(entry.th32ThreadID);
  }
  return true;
}

// One suspend (suspend true) or resume of the thread; false when it could not be done.
bool Step(std::uint32_t threadId, bool suspend) {
  const UniqueHandle thread(::OpenThread(THREAD_SUSPEND_RESUME, FALSE, threadId));
  if (!thread) return false;
  const DWORD previous = suspend ? ::SuspendThread(thread.get()) : ::ResumeThread(thread.get());
  return previous != static_cast<DWORD>(-1);
}

}  // namespace

bool Win32ProcessHolder::SuspendProcess(std::uint32_t processId) {
  // What is left under this id is a process that ended while held: its threads are gone.
  suspended_.erase(processId);
  std::vector<std::uint32_t> done;
  std::vector<std::uint32_t> now;
  for (int walk = 0; walk < kMaxWalks; ++walk) {
    if (!ThreadsOf(processId, now)) break;
    bool suspendedAny = false;
    for (const std::uint32_t thread : now) {
      if (std::find(done.begin(), done.end(), thread) != done.end()) continue;
      if (Step(thread, true)) {
        done.push_back(thread);
        suspendedAny = true;
      }
    }
    if (!suspendedAny) break;
  }
  if (done.empty()) return false;
  suspended_[processId] = std::move(done);
  return true;
}

bool Win32ProcessHolder::ResumeProcess(std::uint32_t processId) {
  std::vector<std::uint32_t> threads;
  const auto it = suspended_.find(processId);
  if (it != suspended_.end()) {
    threads = std::move(it->second);
    suspended_.erase(it);
  } else if (!ThreadsOf(processId, threads)) {
    return false;
  }
  bool resumedAny = false;
  for (const std::uint32_t thread : threads) resumedAny = Step(thread, false) || resumedAny;
  return resumedAny;
}

std::optional<std::uint64_t> Win32ProcessHolder::ProcessCreationTime(std::uint32_t processId) {
  return ProcessCreationTimeOf(processId);
}

std::optional<std::uint64_t> ProcessCreationTimeOf(std::uint32_t processId) {
  const UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId));
  if (!process) return std::nullopt;
  // A process that has ended lives on as long as someone holds a handle to it: it no longer runs.
  if (::WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT) return std::nullopt;
  FILETIME created{};
  FILETIME exited{};
  FILETIME kernel{};
  FILETIME user{};
  if (!::GetProcessTimes(process.get(), &created, &exited, &kernel, &user)) return std::nullopt;
  return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

}  // namespace corvane::win
