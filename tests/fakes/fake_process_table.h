#pragma once
// A scripted ProcessTable for host tests: a list of processes in snapshot order, what was asked of
// it, and the failures the system can produce (no snapshot, termination refused, a process that
// will not end or cannot be waited on).
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "process/process_table.h"

namespace corvane::testing {

struct FakeProcess {
  std::uint32_t id = 0;
  // As the snapshot reports it: the bare file name (or a full path, as older systems did).
  std::string exeFile;
  // What GetProcessFullPath returns; empty when the path cannot be read.
  std::string fullPath;
  std::uint32_t threads = 1;
  std::uint32_t parent = 0;
  // TerminateProcessById fails for this process.
  bool refuseTermination = false;
  // How many waits it survives before it ends on its own; -1 never.
  int waitsBeforeExit = -1;
  // Waiting on it fails (as without the right to it).
  bool cannotWait = false;
};

class FakeProcessTable final : public ProcessTable {
 public:
  // Appends a process at the end of the snapshot order and returns it for further setup.
  FakeProcess& Add(std::uint32_t id, std::string exeFile, std::string fullPath = {}, std::uint32_t threads = 1,
                   std::uint32_t parent = 0) {
    FakeProcess process;
    process.id = id;
    process.exeFile = std::move(exeFile);
    process.fullPath = std::move(fullPath);
    process.threads = threads;
    process.parent = parent;
    processes.push_back(std::move(process));
    return processes.back();
  }

  bool IsRunning(std::uint32_t id) const { return Find(id) != nullptr; }
  std::vector<std::uint32_t> RunningIds() const {
    std::vector<std::uint32_t> ids;
    for (const FakeProcess& p : processes) ids.push_back(p.id);
    return ids;
  }

  bool TakeProcessSnapshot(ProcessSnapshot& snapshot) override {
    ++snapshotCount;
    if (beforeSnapshot) beforeSnapshot(*this);
    snapshot.clear();
    if (snapshotFails) return false;
    // An empty table reads as a snapshot that worked and lists nothing.
    for (const FakeProcess& p : processes) {
      ProcessEntry entry;
      entry.processId = p.id;
      entry.threadCount = p.threads;
      entry.parentProcessId = p.parent;
      entry.exeFile = p.exeFile;
      snapshot.push_back(std::move(entry));
    }
    return true;
  }

  bool TerminateProcessById(std::uint32_t processId, std::uint32_t exitCode) override {
    terminationAttempts.emplace_back(processId, exitCode);
    const FakeProcess* process = Find(processId);
    if (process == nullptr || process->refuseTermination) return false;
    Remove(processId);
    terminated.push_back(processId);
    return true;
  }

  WaitResult WaitForProcessEnd(std::uint32_t processId, std::uint32_t milliseconds) override {
    waits.emplace_back(processId, milliseconds);
    FakeProcess* process = Find(processId);
    if (process == nullptr) return WaitResult::Ended;
    if (process->cannotWait) return WaitResult::CannotWait;
    if (process->waitsBeforeExit == 0) {
      Remove(processId);
      return WaitResult::Ended;
    }
    if (process->waitsBeforeExit > 0) --process->waitsBeforeExit;
    return WaitResult::TimedOut;
  }

  std::string GetProcessFullPath(std::uint32_t processId) override {
    pathQueries.push_back(processId);
    const FakeProcess* process = Find(processId);
    return process == nullptr ? std::string() : process->fullPath;
  }

  std::vector<FakeProcess> processes;
  // Every snapshot fails.
  bool snapshotFails = false;
  // Runs at the start of every snapshot, so a test can start or end processes between two cycles.
  std::function<void(FakeProcessTable&)> beforeSnapshot;

  int snapshotCount = 0;
  // (id, exit code) of every termination asked for, successful or not.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> terminationAttempts;
  // Ids of the processes terminated, in order.
  std::vector<std::uint32_t> terminated;
  // (id, milliseconds) of every wait.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> waits;
  std::vector<std::uint32_t> pathQueries;

 private:
  FakeProcess* Find(std::uint32_t id) {
    const auto it = std::find_if(processes.begin(), processes.end(), [id](const FakeProcess& p) { return p.id == id; });
    return it == processes.end() ? nullptr : &*it;
  }
  const FakeProcess* Find(std::uint32_t id) const {
    const auto it = std::find_if(processes.begin(), processes.end(), [id](const FakeProcess& p) { return p.id == id; });
    return it == processes.end() ? nullptr : &*it;
  }
  void Remove(std::uint32_t id) {
    processes.erase(std::remove_if(processes.begin(), processes.end(), [id](const FakeProcess& p) { return p.id == id; }),
                    processes.end());
  }
};

}  // namespace corvane::testing
