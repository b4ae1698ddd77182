#pragma once
// The allowed programs' files on Windows: held against change while they are looked at, checked
// against the process that runs them, and hashed by the system's cryptography (CNG) in chunks, so
// that a large file never sits in memory whole.
#include <atomic>
#include <optional>
#include <string>
#include <string_view>

#include "watch/file_hash_cache.h"

namespace corvane::watch::win {

class Win32FileHasher final : public FileHasher {
 public:
  // stop (if given) ends a hash between two chunks, without an answer, once it is set.
  explicit Win32FileHasher(const std::atomic<bool>* stop = nullptr) : stop_(stop) {}

  // The file is opened sharing reading only, so that it cannot be written, renamed or deleted during
  // the look. Should another program hold it open for writing, it is read shared, without proof of
  // its version. The process runs this very file when its loaded headers are the hashed file's
  // first bytes and, where the system names the mapped image by its current name, that name is the
  // file's. A process Corvane may not read is taken to run the file at its path.
  FileLook LookAtFile(std::string_view path, const ProcessIdentity& process,
                      const std::optional<KnownHash>& known) override;

 private:
  const std::atomic<bool>* stop_;
};

}  // namespace corvane::watch::win
