#include "watch/program_holds.h"

#include <optional>

namespace corvane::watch {

bool ProgramHolds::IsSameProcess(std::uint32_t processId) {
  for (const HeldProcess& process : held_.entries()) {
    if (process.processId == processId) return holder_.ProcessCreationTime(processId) == process.creationTime;
  }
  return false;
}

std::size_t ProgramHolds::ResumeLeftOver() {
  const std::string record = settings_.ReadSetting(settings::kHeldProcesses, "");
  if (record.empty()) return 0;
  const std::size_t resumed = ResumeRecordedProcesses(record, leftovers_);
  settings_.WriteSetting(settings::kHeldProcesses, "");
  return resumed;
}

bool ProgramHolds::Hold(std::uint32_t processId) {
  if (held_.IsHeld(processId)) return false;
  const std::optional<std::uint64_t> created = holder_.ProcessCreationTime(processId);
  if (!created || !held_.Record({processId, *created})) return false;
  bool held = holder_.SuspendProcess(processId);
  // Had the id passed to another process between the two questions, the one held would not be the
  // one asked about.
  if (held && holder_.ProcessCreationTime(processId) != created) {
    holder_.ResumeProcess(processId);
    held = false;
  }
  if (!held) held_.Release(processId);
  return held;
}

bool ProgramHolds::Release(std::uint32_t processId) {
  if (!held_.Release(processId)) return false;
  holder_.ResumeProcess(processId);
  return true;
}

void ProgramHolds::Ended(std::uint32_t processId) {
  // Let go whether or not it survived its termination: an ending process must not wait for us, and
  // one that survived must not stay frozen.
  if (held_.Release(processId)) holder_.ResumeProcess(processId);
}

void ProgramHolds::ReleaseAll() {
  for (const HeldProcess& process : held_.entries()) holder_.ResumeProcess(process.processId);
  held_ = {};
}

HoldState AlertHolds::Hold(std::uint32_t processId, std::string_view path, bool startedSinceLastLook) {
  HoldRules rules;
  rules.holdWhileAsking = ReadCheckSetting(settings_, settings::kOptHoldWhileAsking, true);
  rules.allowAll = !ReadBoolSetting(settings_, settings::kMnuMainNormal, true);
  rules.ownProcessId = ownProcessId_;
  rules.folders = folders_;
  if (!MayHoldProgram(processId, path, startedSinceLastLook, rules)) return HoldState::NotHeld;
  return holds_.Hold(processId) ? HoldState::Held : HoldState::CouldNotHold;
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
