#include "watch/program_holds.h"

#include <optional>

namespace corvane::watch {

void ProgramHolds::ResumeIfSame(const HeldProcess& process) {
  // The id may by now be another process's, should someone else have ended ours.
  if (holder_.ProcessCreationTime(process.processId) == process.creationTime) holder_.ResumeProcess(process.processId);
}

bool ProgramHolds::WriteRecord() { return settings_.WriteSetting(settings::kHeldProcesses, held_.Text()); }

std::size_t ProgramHolds::ResumeLeftOver() {
  const std::size_t resumed = ResumeRecordedProcesses(settings_.ReadSetting(settings::kHeldProcesses, ""), holder_);
  // Nothing of this run is held yet, so the record now holds exactly that.
  WriteRecord();
  return resumed;
}

bool ProgramHolds::Hold(std::uint32_t processId) {
  if (held_.IsHeld(processId)) return false;
  const std::optional<std::uint64_t> created = holder_.ProcessCreationTime(processId);
  if (!created || !held_.Record({processId, *created})) return false;
  bool held = WriteRecord() && holder_.SuspendProcess(processId);
  // Had the id passed to another process between the two questions, the process suspended would be
  // one no record names, and nothing would ever resume it.
  if (held && holder_.ProcessCreationTime(processId) != created) {
    holder_.ResumeProcess(processId);
    held = false;
  }
  if (!held) {
    held_.Release(processId);
    WriteRecord();
  }
  return held;
}

bool ProgramHolds::Release(std::uint32_t processId) {
  const std::optional<HeldProcess> released = held_.Release(processId);
  if (!released) return false;
  ResumeIfSame(*released);
  WriteRecord();
  return true;
}

void ProgramHolds::Ended(std::uint32_t processId) {
  const std::optional<HeldProcess> released = held_.Release(processId);
  if (!released) return;
  // One that survived its termination must not stay frozen.
  ResumeIfSame(*released);
  WriteRecord();
}

void ProgramHolds::ReleaseAll() {
  for (const HeldProcess& process : held_.entries()) ResumeIfSame(process);
  held_ = {};
  WriteRecord();
}

}  // namespace corvane::watch
