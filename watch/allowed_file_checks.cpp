#include "watch/allowed_file_checks.h"

#include <utility>

#include "base/text.h"
#include "store/list_record.h"

namespace corvane::watch {

AllowedFileChecks::AllowedFileChecks(ListFileStore& lists, RunningProgramList& running, FileHasher& versions,
                                     HashRequests& hashing, std::function<std::string()> today,
                                     std::function<void()> listsChanged)
    : lists_(lists),
      running_(running),
      versions_(versions),
      hashing_(hashing),
      today_(std::move(today)),
      listsChanged_(std::move(listsChanged)) {}

AllowedFileLook AllowedFileChecks::LookAtAllowed(const std::string& name, const std::string& path) {
  if (lists_.FindAllowEntry(name, path) == nullptr) return {};
  const std::optional<FileVersion> version = versions_.ReadFileVersion(path);
  if (!version) {
    cache_.Forget(path);
    return {};
  }
  if (std::optional<std::string> known = cache_.KnownHash(path, *version)) return Apply(name, path, *known, false);
  Ask(name, path, *version, false);
  return {};
}

void AllowedFileChecks::RecordAllowed(const std::string& name, const std::string& path) {
  const std::optional<FileVersion> version = versions_.ReadFileVersion(path);
  if (!version) {
    // Nothing to store now; the first look at the program once its file can be read stores it.
    cache_.Forget(path);
    return;
  }
  if (std::optional<std::string> known = cache_.KnownHash(path, *version)) {
    Apply(name, path, *known, true);
    return;
  }
  Ask(name, path, *version, true);
}

void AllowedFileChecks::Ask(const std::string& name, const std::string& path, const FileVersion& version,
                            bool record) {
  const auto [at, added] = pending_.try_emplace(ComparisonKey(path), Pending{name, path, record});
  if (!added) {
    // One request per file at a time; a record asked for meanwhile still stores the answer.
    at->second.record = at->second.record || record;
    return;
  }
  hashing_.RequestHash(path, version);
}

void AllowedFileChecks::OnHashed(const std::string& path, const FileVersion& version,
                                 const std::optional<std::string>& sha256) {
  const auto found = pending_.find(ComparisonKey(path));
  std::optional<Pending> asked;
  if (found != pending_.end()) {
    asked = std::move(found->second);
    pending_.erase(found);
  }
  const std::string current = sha256 ? NormalizedSha256(*sha256) : std::string();
  if (current.empty()) {
    // Unreadable now: not changed, and the next look reads it again.
    cache_.Forget(path);
    return;
  }
  cache_.Remember(path, version, current);
  if (!asked) return;
  if (!Apply(asked->name, asked->path, current, asked->record).changed) return;
  // Met again at the next tick, where the cache gives the verdict and the user is asked.
  const std::size_t removed = running_.RemoveUnless([&](const RunningProgram& entry) {
    return !(SameNameOrPath(entry.name, asked->name) && SameNameOrPath(entry.path, asked->path));
  });
  if (removed != 0 && listsChanged_) listsChanged_();
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
