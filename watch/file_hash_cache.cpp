#include "watch/file_hash_cache.h"

#include <utility>

#include "base/text.h"
#include "store/list_record.h"

namespace corvane::watch {

std::optional<std::string> FileHashCache::KnownHash(std::string_view path, const FileVersion& version) const {
  const auto found = entries_.find(ComparisonKey(path));
  if (found == entries_.end() || !(found->second.version == version)) return std::nullopt;
  return found->second.sha256;
}

void FileHashCache::Remember(std::string_view path, const FileVersion& version, std::string sha256) {
  std::string key = ComparisonKey(path);
  if (entries_.size() >= capacity_ && entries_.count(key) == 0) entries_.clear();
  entries_[std::move(key)] = {version, std::move(sha256)};
}

void FileHashCache::Forget(std::string_view path) { entries_.erase(ComparisonKey(path)); }

std::optional<std::string> HashUnchangedFile(FileHasher& hasher, std::string_view path, const FileVersion& before) {
  std::optional<std::string> hash = hasher.HashFileContent(path);
  if (!hash) return std::nullopt;
  const std::optional<FileVersion> after = hasher.ReadFileVersion(path);
  if (!after || !(*after == before)) return std::nullopt;
  return hash;
}

std::optional<std::string> CurrentFileHash(FileHashCache& cache, FileHasher& hasher, std::string_view path) {
  const std::optional<FileVersion> version = hasher.ReadFileVersion(path);
  if (!version) {
    cache.Forget(path);
    return std::nullopt;
  }
  if (std::optional<std::string> known = cache.KnownHash(path, *version)) return known;
  std::optional<std::string> hash = HashUnchangedFile(hasher, path, *version);
  if (!hash) {
    cache.Forget(path);
    return std::nullopt;
  }
  cache.Remember(path, *version, *hash);
  return hash;
}

FileCheck CheckAllowedFile(std::string_view storedSha256, const std::optional<std::string>& currentSha256) {
  const std::string current = currentSha256 ? NormalizedSha256(*currentSha256) : std::string();
  if (current.empty()) return FileCheck::Unknown;
  const std::string stored = NormalizedSha256(storedSha256);
  if (stored.empty()) return FileCheck::NotStored;
  return stored == current ? FileCheck::Same : FileCheck::Changed;
}

}  // namespace corvane::watch
