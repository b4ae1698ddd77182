#pragma once
// Whether an allowed program runs the file that was allowed: the SHA-256 of the file the process
// runs against the one stored with the allowance.
//
// Size and times prove nothing (any program can write a file of the same size and set its times
// back), so a hash is reused only on evidence no program of the user can forge: the file's volume
// and id with its change-journal number, which the file system raises at every write, rename or
// replacement and which no program can set. Where the journal is not kept (FAT, a journal switched
// off, Wine) there is no such evidence, and every start is hashed.
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
  std::uint64_t volume = 0;
  std::uint64_t fileIdHigh = 0;
  std::uint64_t fileIdLow = 0;
  std::uint64_t changeNumber = 0;  // the change journal's number; 0 when the system keeps none
  // Only a change number proves that the content is the one hashed before.
  bool Proven() const { return changeNumber != 0; }
  bool operator==(const FileVersion&) const = default;
};

// A process by its id and creation time (ids are reused). Id 0: no process, only the file at a path.
struct ProcessIdentity {
  std::uint32_t processId = 0;
  std::uint64_t creationTime = 0;
  bool operator==(const ProcessIdentity&) const = default;
};

// A hash remembered for a version of a file, handed to a look so that it may skip the reading.
struct KnownHash {
  FileVersion version;
  std::string sha256;
};

// What one look at a file found.
struct FileLook {
  std::optional<FileVersion> version;  // while the file was held for the look
  std::optional<std::string> sha256;   // 64 lower-case hex digits; nothing when it could not be read
  // The process does not run the file that lies at the path now (it was renamed away, replaced, or
  // the path holds nothing): whatever it runs is not what was allowed there.
  bool runsOtherFile = false;
};

// Reads files for their hashes. Safe to call from any one thread at a time.
class FileHasher {
 public:
  virtual ~FileHasher() = default;
  // Looks at the file at path, held against writing, renaming and deleting for the look. With a
  // process given, first makes sure that process runs this very file. Reuses known's hash when the
  // file's version is proven to be known's.
  virtual FileLook LookAtFile(std::string_view path, const ProcessIdentity& process,
                              const std::optional<KnownHash>& known) = 0;
};

// Hashes by path, for proven versions only. Paths compare as the lists compare them (blanks around
// them and letter case do not count). Not thread-safe: one owner, on one thread.
class FileHashCache {
 public:
  // Past this many paths the oldest knowledge goes (all of it: a rare event, and hashing again is
  // only slower, never wrong).
  static constexpr std::size_t kDefaultCapacity = 4096;
  explicit FileHashCache(std::size_t capacity = kDefaultCapacity) : capacity_(capacity) {}

  // What is remembered for path, to be offered to the next look.
  std::optional<KnownHash> Known(std::string_view path) const;
  // Remembers the hash of the content the file had at this version; an unproven version is not
  // remembered, and forgets what was.
  void Remember(std::string_view path, const FileVersion& version, std::string sha256);
  void Forget(std::string_view path);
  std::size_t size() const { return entries_.size(); }

 private:
  std::size_t capacity_;
  std::unordered_map<std::string, KnownHash> entries_;
};

// The look's own rule for reuse: known's hash stands for the file only at the same proven version.
bool MayReuseHash(const std::optional<KnownHash>& known, const FileVersion& now);

// The stored hash of an allowance against the file's hash now.
//   Same:      the file is the one that was allowed.
//   Changed:   another file lies at the path: the program is asked about again.
//   Unknown:   the file could not be read now; nothing is decided.
//   NotStored: an allowance from before hashes were kept: it takes the current hash, no question.
enum class FileCheck { Same, Changed, Unknown, NotStored };
FileCheck CheckAllowedFile(std::string_view storedSha256, const std::optional<std::string>& currentSha256);

}  // namespace corvane::watch
