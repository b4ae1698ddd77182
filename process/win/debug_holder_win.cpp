#include "process/win/debug_holder_win.h"

#include <windows.h>

#include <chrono>

#include "process/win/process_holder_win.h"

namespace corvane::win {
namespace {

// An attach takes a few milliseconds; past this the process is taken as one that cannot be held.
constexpr unsigned long kHoldWaitMs = 2000;
// How long the worker waits for a debug event before it looks at its requests again, while it has
// debuggees. Without any it sleeps until a request comes.
constexpr DWORD kEventWaitMs = 20;

void CloseEventFile(const DEBUG_EVENT& event) {
  // The system opens the image of every process and library it reports; the holder keeps none.
  if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT && event.u.CreateProcessInfo.hFile != nullptr) {
    ::CloseHandle(event.u.CreateProcessInfo.hFile);
  } else if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT && event.u.LoadDll.hFile != nullptr) {
    ::CloseHandle(event.u.LoadDll.hFile);
  }
}

}  // namespace

Win32DebugHolder::Win32DebugHolder() : worker_([this] { Run(); }) {}

Win32DebugHolder::~Win32DebugHolder() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  worker_.join();
}

std::optional<std::future<bool>> Win32DebugHolder::Ask(bool hold, std::uint32_t processId) {
  Request request{hold, processId, {}};
  std::future<bool> answer = request.done.get_future();
  {
    const std::lock_guard lock(mutex_);
    if (stopping_) return std::nullopt;
    requests_.push_back(std::move(request));
  }
  wake_.notify_all();
  return answer;
}

bool Win32DebugHolder::SuspendProcess(std::uint32_t processId) {
  std::optional<std::future<bool>> answer = Ask(true, processId);
  // The worker lets go by itself a hold that comes after this wait has given up.
  return answer && answer->wait_for(std::chrono::milliseconds(kHoldWaitMs)) == std::future_status::ready &&
         answer->get();
}

bool Win32DebugHolder::ResumeProcess(std::uint32_t processId) {
  std::optional<std::future<bool>> answer = Ask(false, processId);
  return answer && answer->get();
}

std::optional<std::uint64_t> Win32DebugHolder::ProcessCreationTime(std::uint32_t processId) {
  return ProcessCreationTimeOf(processId);
}

void Win32DebugHolder::Run() {
  for (;;) {
    std::deque<Request> requests;
    {
      std::unique_lock lock(mutex_);
      if (debuggees_.empty()) wake_.wait(lock, [this] { return stopping_ || !requests_.empty(); });
      requests.swap(requests_);
      if (stopping_) break;
    }
    for (Request& request : requests) Serve(request);
    if (!debuggees_.empty()) TakeEvent(kEventWaitMs);
    // One that never stopped: whatever waited for the answer has given up, and it must not stay
    // attached.
    const unsigned long long now = ::GetTickCount64();
    std::vector<std::uint32_t> late;
    for (const auto& [processId, debuggee] : debuggees_) {
      if (!debuggee.stopped && now > debuggee.attachDeadline) late.push_back(processId);
    }
    for (const std::uint32_t processId : late) LetGo(processId);
  }
  // Closing: everything held runs on, and requests that came too late are answered.
  std::deque<Request> late;
  {
    const std::lock_guard lock(mutex_);
    late.swap(requests_);
  }
  for (Request& request : late) request.done.set_value(false);
  while (!debuggees_.empty()) LetGo(debuggees_.begin()->first);
}

void Win32DebugHolder::Serve(Request& request) {
  const std::uint32_t processId = request.processId;
  if (!request.hold) {
    const bool held = debuggees_.count(processId) != 0;
    if (held) LetGo(processId);
    request.done.set_value(held);
    return;
  }
  if (debuggees_.count(processId) != 0 || !::DebugActiveProcess(processId)) {
    // Held already, or already debugged by another program, or no right to it.
    request.done.set_value(false);
    return;
  }
  // A debuggee that outlived its debugger would otherwise be ended with it.
  ::DebugSetProcessKillOnExit(FALSE);
  Debuggee& debuggee = debuggees_[processId];
  debuggee.holdAnswer = std::move(request.done);
  debuggee.attachDeadline = ::GetTickCount64() + kHoldWaitMs;
}

void Win32DebugHolder::TakeEvent(unsigned long waitMs) {
  DEBUG_EVENT event{};
  if (!::WaitForDebugEvent(&event, waitMs)) return;
  CloseEventFile(event);
  const std::uint32_t processId = event.dwProcessId;
  const auto found = debuggees_.find(processId);
  const bool isException = event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT;
  if (found == debuggees_.end()) {
    // A process let go a moment ago may still report: pass it on untouched.
    ::ContinueDebugEvent(processId, event.dwThreadId, isException ? DBG_EXCEPTION_NOT_HANDLED : DBG_CONTINUE);
    return;
  }
  Debuggee& debuggee = found->second;
  if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) {
    // Ended (a block, or someone else): it is gone once the exit is answered.
    ::ContinueDebugEvent(processId, event.dwThreadId, DBG_CONTINUE);
    if (debuggee.holdAnswer) debuggee.holdAnswer->set_value(false);
    debuggees_.erase(found);
    return;
  }
  if (!debuggee.stopped) {
    const bool attachBreak =
        isException && event.u.Exception.ExceptionRecord.ExceptionCode == static_cast<DWORD>(EXCEPTION_BREAKPOINT);
    if (!attachBreak) {
      // The system reports the process's threads and libraries first; they go on to the breakpoint.
      ::ContinueDebugEvent(processId, event.dwThreadId, isException ? DBG_EXCEPTION_NOT_HANDLED : DBG_CONTINUE);
      return;
    }
    // Left unanswered, this breakpoint keeps the whole process stopped.
    debuggee.stopped = true;
    debuggee.waiting.push_back({event.dwThreadId, false});
    if (debuggee.holdAnswer) debuggee.holdAnswer->set_value(true);
    debuggee.holdAnswer.reset();
    return;
  }
  // Anything a held process reports now comes from a thread someone started in it or woke: it is
  // left unanswered, so that thread stands too.
  debuggee.waiting.push_back({event.dwThreadId, isException});
}

void Win32DebugHolder::LetGo(std::uint32_t processId) {
  const auto found = debuggees_.find(processId);
  if (found == debuggees_.end()) return;
  for (const Waiting& waiting : found->second.waiting) {
    ::ContinueDebugEvent(processId, waiting.threadId, waiting.exception ? DBG_EXCEPTION_NOT_HANDLED : DBG_CONTINUE);
  }
  ::DebugActiveProcessStop(processId);
  if (found->second.holdAnswer) found->second.holdAnswer->set_value(false);
  debuggees_.erase(found);
}

}  // namespace corvane::win
