#include "watch/program_holds.h"

#include <optional>

namespace corvane::watch {

void ProgramHolds::ResumeIfSame(const HeldProcess& process) {
  // The id may by now be another process's, should someone else have ended ours.
  if (holder_.ProcessCreationTime(process.processId) == process.creationTime) holder_.ResumeProcess(process.processId);
}

bool ProgramHolds::IsSameProcess(std::uint32_t processId) {
  for (const HeldProcess& process : held_.entries()) {
    if (process.processId == processId) return holder_.ProcessCreationTime(processId) == process.creationTime;
  }
  return false;
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

bool AlertHolds::Hold(std::uint32_t processId, std::string_view path) {
  HoldRules rules;
  rules.holdWhileAsking = ReadCheckSetting(settings_, settings::kOptHoldWhileAsking, true);
  rules.allowAll = !ReadBoolSetting(settings_, settings::kMnuMainNormal, true);
  rules.ownProcessId = ownProcessId_;
  rules.folders = folders_;
  return MayHoldProgram(processId, path, rules) && holds_.Hold(processId);
}

void AlertHolds::LetGo(std::uint32_t processId, bool end) {
  if (!holds_.IsHeld(processId)) return;
  if (!end) {
    holds_.Release(processId);
    return;
  }
  // Only the process that was held is ended; the id may have passed to another one since.
  if (holds_.IsSameProcess(processId)) processes_.TerminateProcessById(processId, 0);
  holds_.Ended(processId);
}

}  // namespace corvane::watch
