#pragma once
// Holding processes as their debugger. While a process's attach breakpoint is left unanswered,
// the system keeps every thread of it stopped: threads it starts, threads another program starts in
// it and a ResumeThread from any other program all stay stopped, which suspending threads one by one
// cannot promise. A process is let go by answering its waiting events and detaching.
//
// Debug events reach only the thread that attached, so one worker thread of this object attaches,
// takes the events and detaches; the calling thread hands it requests and waits briefly for each
// answer. The worker never lets a debuggee die with it (kill-on-exit off): if Corvane ends in any
// way, the system detaches and the held programs run on by themselves.
//
// A process that already has a debugger, or that Corvane has no right to debug, cannot be held:
// SuspendProcess says so and the program runs while it is asked about.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "process/held_processes.h"

namespace corvane::win {

class Win32DebugHolder final : public ProcessHolder {
 public:
  Win32DebugHolder();
  // Lets every held process go, then joins the worker.
  ~Win32DebugHolder() override;
  Win32DebugHolder(const Win32DebugHolder&) = delete;
  Win32DebugHolder& operator=(const Win32DebugHolder&) = delete;

  // Attaches and waits for the process to stop. False when it could not be held in time.
  bool SuspendProcess(std::uint32_t processId) override;
  // Lets the process run on (or finish ending) and detaches. False when it was not held.
  bool ResumeProcess(std::uint32_t processId) override;
  std::optional<std::uint64_t> ProcessCreationTime(std::uint32_t processId) override;

 private:
  struct Request {
    bool hold = true;  // false: let go
    std::uint32_t processId = 0;
    std::promise<bool> done;
  };
  // A debug event the holder leaves unanswered, which keeps its thread (and the process) stopped.
  struct Waiting {
    std::uint32_t threadId = 0;
    bool exception = false;  // answered "not handled" on release unless it is the attach breakpoint
  };
  struct Debuggee {
    bool stopped = false;  // the attach breakpoint has come: every thread stands
    std::optional<std::promise<bool>> holdAnswer;
    std::vector<Waiting> waiting;
    unsigned long long attachDeadline = 0;
  };

  // Queues a request for the worker; nothing once closing has begun.
  std::optional<std::future<bool>> Ask(bool hold, std::uint32_t processId);
  void Run();
  void Serve(Request& request);
  void TakeEvent(unsigned long waitMs);
  void LetGo(std::uint32_t processId);

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Request> requests_;
  bool stopping_ = false;
  // Worker thread only.
  std::map<std::uint32_t, Debuggee> debuggees_;
  std::thread worker_;
};

}  // namespace corvane::win
