#pragma once
// Files by path for the hash cache: a version, a hash, and the ways a read can go wrong.
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "watch/file_hash_cache.h"

namespace corvane::testing {

class FakeFileHasher final : public watch::FileHasher {
 public:
  struct File {
    watch::FileVersion version{};
    std::string sha256{};
    bool locked = false;  // the version can be read, the content cannot
    // The file is written while it is hashed: the version read afterwards is this one.
    std::optional<watch::FileVersion> versionAfterHash{};
  };

  std::optional<watch::FileVersion> ReadFileVersion(std::string_view path) override {
    const auto it = files.find(std::string(path));
    if (it == files.end()) return std::nullopt;
    return it->second.version;
  }
  std::optional<std::string> HashFileContent(std::string_view path) override {
    ++hashes;
    const auto it = files.find(std::string(path));
    if (it == files.end() || it->second.locked) return std::nullopt;
    if (it->second.versionAfterHash) it->second.version = *it->second.versionAfterHash;
    return it->second.sha256;
  }

  std::map<std::string, File> files;
  int hashes = 0;
};

}  // namespace corvane::testing
