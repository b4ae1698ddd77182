#pragma once
// Programs held (all their threads suspended) while the user decides about them, and the
// bookkeeping that lets a held program go again however Corvane ends.
//
// The held processes are kept in one settings value, so that a later start of Corvane, or rizaz
// once Corvane is gone, can resume them. A process id alone could by then name another process, so
// each id goes with its process's creation time, and only a process with both the same is resumed.
//
// The value's text: one entry per held process, "id:creationTime", both unsigned decimal, entries
// joined by ";" (for example "4312:133790112000000000;5120:133790112345678901"). An empty value
// holds none. Reading takes every well-formed entry and passes over anything else.
//
// Portable: suspending and resuming come in through ProcessHolder (one Win32 implementation, fakes
// in tests).
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "process/system_programs.h"

namespace corvane {

struct HeldProcess {
  std::uint32_t processId = 0;
  std::uint64_t creationTime = 0;  // 100-ns intervals since 1601, as Windows reports it
  bool operator==(const HeldProcess&) const = default;
};

// No more entries than this are written or read: a hostile value costs little, and no user keeps
// this many alerts waiting.
inline constexpr std::size_t kMaxHeldProcesses = 256;

std::string HeldProcessesText(const std::vector<HeldProcess>& held);
// The entries of the text, in order, duplicates once; entries with id 0 or creation time 0 (which
// no process that could be held has) are passed over.
std::vector<HeldProcess> ParseHeldProcesses(std::string_view text);

// The processes Corvane holds now.
class HeldProcessSet {
 public:
  // Adds the process. False when that id is held already (it must not be suspended twice: one
  // resume would then not free it) or the set is full.
  bool Record(const HeldProcess& process);
  // Removes the process with that id; what was recorded for it, or nothing when it was not held.
  std::optional<HeldProcess> Release(std::uint32_t processId);
  bool IsHeld(std::uint32_t processId) const;
  bool empty() const { return held_.empty(); }
  const std::vector<HeldProcess>& entries() const { return held_; }
  std::string Text() const { return HeldProcessesText(held_); }

 private:
  std::vector<HeldProcess> held_;
};

// Suspends and resumes processes.
class ProcessHolder {
 public:
  virtual ~ProcessHolder() = default;
  // Suspends every thread of the process. False when it could not (no right, gone).
  virtual bool SuspendProcess(std::uint32_t processId) = 0;
  // Undoes one SuspendProcess. False when it could not.
  virtual bool ResumeProcess(std::uint32_t processId) = 0;
  // The creation time of the process now running with that id; nothing when none runs.
  virtual std::optional<std::uint64_t> ProcessCreationTime(std::uint32_t processId) = 0;
};

// The recorded processes that are still the same processes: one runs with that id and was created
// at that very time. An id now used by another process is left alone.
std::vector<HeldProcess> ProcessesToResume(const std::vector<HeldProcess>& recorded,
                                           const std::function<std::optional<std::uint64_t>(std::uint32_t)>& creationTimeOf);

// Resumes every process of the settings value's text that is still the same process, through holder;
// how many were resumed. The caller then clears the value.
std::size_t ResumeRecordedProcesses(std::string_view text, ProcessHolder& holder);

// What decides whether a program that is put before the user may be held.
struct HoldRules {
  bool holdWhileAsking = true;  // the user's option
  bool allowAll = false;        // Allow All mode: nothing is asked about, nothing is held
  std::uint32_t ownProcessId = 0;  // Corvane itself: a held UI thread could never answer
  ProtectedFolders folders{};
};

// False for the programs never held: everything while the option is off or in Allow All mode, a
// program that was already running when the watch last looked (startedSinceLastLook false: holding
// it would freeze work in progress and protect nothing), Corvane's own process, the processes with
// ids 0 and 4 (the system's own), protected names in their real folders, Corvane's two programs in
// the program folder, and any program directly in the Windows or system folders (freezing one of
// those can freeze the keyboard or the shell).
bool MayHoldProgram(std::uint32_t processId, std::string_view fullPath, bool startedSinceLastLook,
                    const HoldRules& rules);

}  // namespace corvane
