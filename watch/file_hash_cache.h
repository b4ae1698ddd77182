#pragma once
// Whether an allowed program's file is still the file that was allowed: its SHA-256 against the one
// stored with the allowance. Hashing a large file takes long, so hashes are remembered by path for
// as long as the file keeps its size and last-write time, and a file is read once per change rather
// than once per start. A file that cannot be read (locked, gone, no right) gives no answer, never
// "changed": the next look tries again.
//
// Portable: the file system and the hashing come in through FileHasher (one Win32 implementation,
// fakes in tests).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace corvane::watch {

// What tells one content of a file from the next without reading it.
struct FileVersion {
  std::uint64_t size = 0;
  std::uint64_t lastWriteTime = 0;  // 100-ns intervals since 1601, as Windows counts file times
  bool operator==(const FileVersion&) const = default;
};

// Reads files for their hashes. Safe to call from any one thread at a time.
class FileHasher {
 public:
  virtual ~FileHasher() = default;
  // The file's size and last-write time; nothing when they cannot be read.
  virtual std::optional<FileVersion> ReadFileVersion(std::string_view path) = 0;
  // The SHA-256 of the whole content as 64 lower-case hex digits; nothing when the file cannot be
  // read to its end.
  virtual std::optional<std::string> HashFileContent(std::string_view path) = 0;
};

// Hashes by path. Paths compare as the lists compare them (blanks around them and letter case do
// not count). Not thread-safe: one owner, on one thread.
class FileHashCache {
 public:
  // Past this many paths the oldest knowledge goes (all of it: a rare event, and hashing again is
  // only slower, never wrong).
  static constexpr std::size_t kDefaultCapacity = 4096;
  explicit FileHashCache(std::size_t capacity = kDefaultCapacity) : capacity_(capacity) {}

  // The hash remembered for path, when it was taken at exactly this size and last-write time.
  std::optional<std::string> KnownHash(std::string_view path, const FileVersion& version) const;
  // Remembers the hash of the content the file had at this version.
  void Remember(std::string_view path, const FileVersion& version, std::string sha256);
  // Forgets path: its next look reads the file.
  void Forget(std::string_view path);
  std::size_t size() const { return entries_.size(); }

 private:
  struct Entry {
    FileVersion version;
    std::string sha256;
  };
  std::size_t capacity_;
  std::unordered_map<std::string, Entry> entries_;
};

// Hashes the file and reads its version again afterwards: the hash counts only when the file had
// the version `before` all along, since a file written meanwhile may have given a hash of neither
// content. Runs on any thread (it touches no cache).
std::optional<std::string> HashUnchangedFile(FileHasher& hasher, std::string_view path, const FileVersion& before);

// One look at a file, all on the calling thread: the remembered hash while size and time are
// unchanged, otherwise a fresh hash, remembered. Nothing when the file cannot be read; what was
// remembered for it then goes, so the next look reads it again.
std::optional<std::string> CurrentFileHash(FileHashCache& cache, FileHasher& hasher, std::string_view path);

// The stored hash of an allowance against the file's hash now.
//   Same:      the file is the one that was allowed.
//   Changed:   another file lies at the path: the program is asked about again.
//   Unknown:   the file could not be read now; nothing is decided, the next start looks again.
//   NotStored: an allowance from before hashes were kept: it takes the current hash, no question.
enum class FileCheck { Same, Changed, Unknown, NotStored };
FileCheck CheckAllowedFile(std::string_view storedSha256, const std::optional<std::string>& currentSha256);

}  // namespace corvane::watch
