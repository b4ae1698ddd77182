#pragma once
// The program's window onto running processes, as an interface so that the watch and block rules
// can be driven by fakes in host tests. One Win32 implementation lives in process/win.
#include <cstdint>
#include <string>
#include <vector>

namespace corvane {

// One element of a process snapshot.
struct ProcessEntry {
  std::uint32_t processId = 0;
  std::uint32_t threadCount = 0;
  std::uint32_t parentProcessId = 0;
  // Executable file name as the system reports it: the bare name on the NT family.
  std::string exeFile;
  // When the process was created (100-ns intervals since 1601); 0 when the system did not say.
  // With the id it names one process: ids are reused, creation times of one id are not.
  std::uint64_t creationTime = 0;
};

// In the order in which the system reports the processes.
using ProcessSnapshot = std::vector<ProcessEntry>;

// Ended: the process is gone (or no process has that id). CannotWait: it exists but cannot be
// waited on (no right to it), so it must be taken as still running.
enum class WaitResult { Ended, TimedOut, CannotWait };

class ProcessTable {
 public:
  virtual ~ProcessTable() = default;
  // Replaces snapshot with the running processes. False when not even one process could be read;
  // the snapshot is then empty, so that a caller reusing it never acts on an earlier list.
  virtual bool TakeProcessSnapshot(ProcessSnapshot& snapshot) = 0;
  // True when the system reports the process terminated.
  virtual bool TerminateProcessById(std::uint32_t processId, std::uint32_t exitCode) = 0;
  // Waits at most milliseconds for the process to end.
  virtual WaitResult WaitForProcessEnd(std::uint32_t processId, std::uint32_t milliseconds) = 0;
  // The normalised full path of the process's main executable; empty when it cannot be read.
  virtual std::string GetProcessFullPath(std::uint32_t processId) = 0;
};

}  // namespace corvane
