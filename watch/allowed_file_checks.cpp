#include "watch/allowed_file_checks.h"

#include <unordered_set>
#include <utility>

#include "base/text.h"
#include "store/list_record.h"

namespace corvane::watch {

AllowedFileChecks::AllowedFileChecks(Lists& lists, RunningProgramList& running, HashRequests& hashing,
                                     std::function<std::string()> today, std::function<void()> listsChanged)
    : lists_(lists),
      running_(running),
      hashing_(hashing),
      today_(std::move(today)),
      listsChanged_(std::move(listsChanged)) {}

std::size_t AllowedFileChecks::pending() const {
  std::size_t waiting = recordings_.size();
  for (const auto& [id, seen] : processes_) waiting += seen.verdict == Verdict::Waiting ? 1 : 0;
  return waiting;
}

void AllowedFileChecks::Prune(const RunningProcesses& now) {
  // A failed snapshot says nothing about what has ended.
  if (now.empty()) return;
  std::unordered_map<std::uint32_t, std::uint64_t> running;
  for (const RunningProcess& process : now) running.emplace(process.processId, process.creationTime);
  for (auto it = processes_.begin(); it != processes_.end();) {
    const auto found = running.find(it->first);
    const bool gone = found == running.end() || found->second != it->second.creationTime;
    it = gone ? processes_.erase(it) : std::next(it);
  }
}

AllowedFileLook AllowedFileChecks::LookAtProcess(const RunningProcess& process, const std::string& name,
                                                 const std::string& path) {
  if (lists_.FindAllowEntry(name, path) == nullptr) return {};
  const auto found = processes_.find(process.processId);
  if (found != processes_.end() && found->second.creationTime == process.creationTime &&
      SameNameOrPath(found->second.path, path)) {
    if (found->second.verdict != Verdict::Changed) return {};
    return {true, AllowedOn(name, path)};
  }
  processes_[process.processId] = {process.creationTime, name, path, Verdict::Waiting};
  hashing_.RequestLook(path, {process.processId, process.creationTime}, cache_.Known(path));
  return {};
}

void AllowedFileChecks::RecordAllowed(const std::string& name, const std::string& path,
                                      const ProcessIdentity& process) {
  // The process the user has just allowed is not asked about again for what the user saw.
  if (process.processId != 0) processes_[process.processId] = {process.creationTime, name, path, Verdict::Passed};
  const auto [at, added] = recordings_.try_emplace(ComparisonKey(path), Recording{name, path});
  // One request per file at a time; it stores its answer.
  if (added) hashing_.RequestLook(path, {}, cache_.Known(path));
}

void AllowedFileChecks::OnLooked(const std::string& path, const ProcessIdentity& process, const FileLook& look) {
  const std::string sha256 = look.sha256 ? NormalizedSha256(*look.sha256) : std::string();
  if (look.version && !sha256.empty() && !look.runsOtherFile) {
    cache_.Remember(path, *look.version, sha256);
  } else {
    cache_.Forget(path);
  }
  if (process.processId == 0) {
    const auto found = recordings_.find(ComparisonKey(path));
    if (found == recordings_.end()) return;
    const Recording recording = std::move(found->second);
    recordings_.erase(found);
    // Unreadable now: nothing is stored, and the first look at the program stores what it finds.
    if (!sha256.empty()) Apply(recording.name, recording.path, sha256, true);
    return;
  }
  const auto found = processes_.find(process.processId);
  if (found == processes_.end() || found->second.creationTime != process.creationTime ||
      found->second.verdict != Verdict::Waiting) {
    return;
  }
  Seen& seen = found->second;
  // A file that cannot be read (held open by another program) cannot show that the process runs
  // what was allowed: asked about, like a changed file, once a hash was stored to compare with.
  bool changed = look.runsOtherFile;
  if (!changed && sha256.empty()) {
    const ProgramListEntry* entry = lists_.FindAllowEntry(seen.name, seen.path);
    changed = entry != nullptr && !NormalizedSha256(entry->fingerprint.sha256).empty();
  } else if (!changed) {
    changed = Apply(seen.name, seen.path, sha256, false).changed;
  }
  seen.verdict = changed ? Verdict::Changed : Verdict::Passed;
  if (!changed) return;
  // Met again at the next tick, where the verdict stands and the user is asked.
  const std::size_t removed = running_.RemoveUnless([&](const RunningProgram& entry) {
    return !(SameNameOrPath(entry.name, seen.name) && SameNameOrPath(entry.path, seen.path));
  });
  if (removed != 0 && listsChanged_) listsChanged_();
}

std::string AllowedFileChecks::AllowedOn(const std::string& name, const std::string& path) const {
  const ProgramListEntry* entry = lists_.FindAllowEntry(name, path);
  return entry == nullptr ? std::string() : NormalizedFingerprintDay(entry->fingerprint.storedOn);
}

AllowedFileLook AllowedFileChecks::Apply(const std::string& name, const std::string& path, const std::string& sha256,
                                         bool record) {
  const ProgramListEntry* entry = lists_.FindAllowEntry(name, path);
  if (entry == nullptr) return {};
  const FileCheck check = record ? FileCheck::NotStored : CheckAllowedFile(entry->fingerprint.sha256, sha256);
  switch (check) {
    case FileCheck::Changed:
      return {true, NormalizedFingerprintDay(entry->fingerprint.storedOn)};
    case FileCheck::NotStored:
      // Not told when the file refuses: this answer comes in the background, and the entry stays
      // without the fingerprint, so the next look at the program tries again.
      if (NormalizedSha256(entry->fingerprint.sha256) != sha256 || entry->fingerprint.storedOn.empty()) {
        lists_.SetAllowFingerprint(name, path, {sha256, today_ ? today_() : std::string()});
      }
      return {};
    case FileCheck::Same:
    case FileCheck::Unknown:
      return {};
  }
  return {};
}

}  // namespace corvane::watch
