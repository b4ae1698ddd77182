#include "watch/file_hash_cache.h"

#include <utility>

#include "base/text.h"
#include "store/list_record.h"

namespace corvane::watch {

std::optional<KnownHash> FileHashCache::Known(std::string_view path) const {
  const auto found = entries_.find(ComparisonKey(path));
  if (found == entries_.end()) return std::nullopt;
  return found->second;
}

void FileHashCache::Remember(std::string_view path, const FileVersion& version, std::string sha256) {
  std::string key = ComparisonKey(path);
  if (!version.Proven()) {
    entries_.erase(key);
    return;
  }
  if (entries_.size() >= capacity_ && entries_.count(key) == 0) entries_.clear();
  entries_[std::move(key)] = {version, std::move(sha256)};
}

void FileHashCache::Forget(std::string_view path) { entries_.erase(ComparisonKey(path)); }

bool MayReuseHash(const std::optional<KnownHash>& known, const FileVersion& now) {
  return known && now.Proven() && known->version == now && !known->sha256.empty();
}

FileCheck CheckAllowedFile(std::string_view storedSha256, const std::optional<std::string>& currentSha256) {
  const std::string current = currentSha256 ? NormalizedSha256(*currentSha256) : std::string();
  if (current.empty()) return FileCheck::Unknown;
  const std::string stored = NormalizedSha256(storedSha256);
  if (stored.empty()) return FileCheck::NotStored;
  return stored == current ? FileCheck::Same : FileCheck::Changed;
}

}  // namespace corvane::watch
