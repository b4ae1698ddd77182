#pragma once
// Whether the allowed programs the watch cycle meets run the file that was allowed, and what each
// allowance stores of its file. Every new process of an allowed program is looked at: the file it
// runs, hashed on another thread. Until the answer comes it passes as allowed, as it would without
// the check; once the answer says it runs another file, it leaves the running list, so the next tick
// meets it again, now as a program to ask about.
//
// Portable and single-threaded: looks are asked of HashRequests, whose answers come back through
// OnLooked on the same thread.
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

#include "store/lists.h"
#include "watch/file_hash_cache.h"
#include "watch/running_program_list.h"
#include "watch/watch_cycle.h"

namespace corvane::watch {

// Looks at files elsewhere. Every request is answered once, through AllowedFileChecks::OnLooked on
// the thread that asked (an answer may be dropped when the program is closing).
class HashRequests {
 public:
  virtual ~HashRequests() = default;
  virtual void RequestLook(const std::string& path, const ProcessIdentity& process,
                           const std::optional<KnownHash>& known) = 0;
};

// What a look at an allowed program found.
struct AllowedFileLook {
  // The process does not run the file that was allowed: it is to be asked about again.
  bool changed = false;
  // The day the allowed file's hash was stored (YYYY-MM-DD), empty when not known.
  std::string allowedOn{};
};

class AllowedFileChecks {
 public:
  // today: the current day as YYYY-MM-DD. listsChanged: told when a program left the running list
  // to be asked about again.
  AllowedFileChecks(Lists& lists, RunningProgramList& running, HashRequests& hashing,
                    std::function<std::string()> today, std::function<void()> listsChanged = {});

  // The processes of this tick: what is known of processes that have ended goes.
  void Prune(const RunningProcesses& now);
  // An allowed program's process met by the watch cycle. Changed once its look has found that it
  // runs another file than the allowed one; until the look's answer, not changed.
  AllowedFileLook LookAtProcess(const RunningProcess& process, const std::string& name, const std::string& path);
  // The program has just been allowed (from the alert, with its process, or moved to the allow
  // list): its entry takes the file's hash and today's day once the look answers.
  void RecordAllowed(const std::string& name, const std::string& path, const ProcessIdentity& process = {});
  // An answer to a request.
  void OnLooked(const std::string& path, const ProcessIdentity& process, const FileLook& look);

  // Requests asked for and not answered yet.
  std::size_t pending() const;

 private:
  enum class Verdict { Waiting, Passed, Changed };
  struct Seen {
    std::uint64_t creationTime = 0;
    std::string name;
    std::string path;
    Verdict verdict = Verdict::Waiting;
  };
  struct Recording {
    std::string name;
    std::string path;
  };
  AllowedFileLook Apply(const std::string& name, const std::string& path, const std::string& sha256, bool record);
  std::string AllowedOn(const std::string& name, const std::string& path) const;

  Lists& lists_;
  RunningProgramList& running_;
  HashRequests& hashing_;
  std::function<std::string()> today_;
  std::function<void()> listsChanged_;
  FileHashCache cache_;
  std::unordered_map<std::uint32_t, Seen> processes_;       // by process id
  std::unordered_map<std::string, Recording> recordings_;  // by ComparisonKey(path)
};

}  // namespace corvane::watch
