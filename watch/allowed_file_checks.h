#pragma once
// Whether the allowed programs the watch cycle meets still run from the file that was allowed, and
// what each allowance stores of its file. Hashing is slow for a large file, so it happens on another
// thread: a program whose hash is not known yet passes as allowed, as it would without the check,
// and once the answer says its file has changed it leaves the running list, so the next tick meets
// it again, now as a program to ask about. A file that cannot be read decides nothing.
//
// Portable and single-threaded: the owner's thread reads file versions (cheap) and the cache; the
// hashing is asked of HashRequests, whose answers come back through OnHashed on the same thread.
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

#include "store/list_files.h"
#include "watch/file_hash_cache.h"
#include "watch/running_program_list.h"

namespace corvane::watch {

// Hashes files elsewhere. Every request is answered once, through AllowedFileChecks::OnHashed on
// the thread that asked (an answer may be dropped when the program is closing).
class HashRequests {
 public:
  virtual ~HashRequests() = default;
  virtual void RequestHash(const std::string& path, const FileVersion& version) = 0;
};

// What a look at an allowed program found.
struct AllowedFileLook {
  // Another file lies at the allowed path: the program is to be asked about again.
  bool changed = false;
  // The day the allowed file's hash was stored (YYYY-MM-DD), empty when not known.
  std::string allowedOn{};
};

class AllowedFileChecks {
 public:
  // versions: only its ReadFileVersion is used here. today: the current day as YYYY-MM-DD.
  // listsChanged: told when a program left the running list to be asked about again.
  AllowedFileChecks(ListFileStore& lists, RunningProgramList& running, FileHasher& versions, HashRequests& hashing,
                    std::function<std::string()> today, std::function<void()> listsChanged = {});

  // An allowed program met by the watch cycle. Changed only when the file's hash is known now and
  // differs from the stored one; an allowance without a hash takes the known one. When the hash is
  // not known it is asked for, and the program passes.
  AllowedFileLook LookAtAllowed(const std::string& name, const std::string& path);
  // The program has just been allowed (from the alert, or moved to the allow list): its entry takes
  // the file's hash and today's day, now when the hash is known, otherwise once it comes.
  void RecordAllowed(const std::string& name, const std::string& path);
  // An answer: the hash of path taken while the file had this version; nothing when it could not be
  // read.
  void OnHashed(const std::string& path, const FileVersion& version, const std::optional<std::string>& sha256);

  // Requests asked for and not answered yet.
  std::size_t pending() const { return pending_.size(); }

 private:
  struct Pending {
    std::string name;
    std::string path;
    bool record = false;  // store the hash whatever the entry held (an allowance just given)
  };
  void Ask(const std::string& name, const std::string& path, const FileVersion& version, bool record);
  AllowedFileLook Apply(const std::string& name, const std::string& path, const std::string& sha256, bool record);

  ListFileStore& lists_;
  RunningProgramList& running_;
  FileHasher& versions_;
  HashRequests& hashing_;
  std::function<std::string()> today_;
  std::function<void()> listsChanged_;
  FileHashCache cache_;
  std::unordered_map<std::string, Pending> pending_;  // by ComparisonKey(path)
};

}  // namespace corvane::watch
