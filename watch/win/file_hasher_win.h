#pragma once
// The allowed programs' files on Windows: their size and last-write time, and their SHA-256 by the
// system's cryptography (CNG), read in chunks so that a large file never sits in memory whole.
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

  std::optional<FileVersion> ReadFileVersion(std::string_view path) override;
  // Shares the file with every writer and deleter: a program being updated is not held up by the
  // look, and the version read after the hash tells whether it was written meanwhile.
  std::optional<std::string> HashFileContent(std::string_view path) override;

 private:
  const std::atomic<bool>* stop_;
};

}  // namespace corvane::watch::win
