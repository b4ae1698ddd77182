#pragma once
// Files by path for the file checks: a version, a hash, the ways a read can go wrong, and processes
// that run some other file than the one at their path.
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "watch/file_hash_cache.h"

namespace corvane::testing {

class FakeFileHasher final : public watch::FileHasher {
 public:
  struct File {
    watch::FileVersion version{};
    std::string sha256{};
    bool locked = false;  // cannot be opened
  };

  watch::FileLook LookAtFile(std::string_view path, const watch::ProcessIdentity& process,
                             const std::optional<watch::KnownHash>& known) override {
    watch::FileLook look;
    const auto it = files.find(std::string(path));
    if (it == files.end()) {
      look.runsOtherFile = process.processId != 0;
      return look;
    }
    if (it->second.locked) return look;
    look.version = it->second.version;
    if (runsOtherFile.count(process.processId) != 0) {
      look.runsOtherFile = true;
      return look;
    }
    if (watch::MayReuseHash(known, it->second.version)) {
      look.sha256 = known->sha256;
      return look;
    }
    ++hashes;
    look.sha256 = it->second.sha256;
    return look;
  }

  std::map<std::string, File> files;
  std::set<std::uint32_t> runsOtherFile;  // process ids whose image is not the file at their path
  int hashes = 0;
};

}  // namespace corvane::testing
