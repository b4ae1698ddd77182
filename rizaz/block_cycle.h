#pragma once
// The blocker's work: loading the block list when the main program signals a change, and every tick
// terminating the running programs whose file names are on it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "process/process_table.h"
#include "rizaz/block_list.h"
#include "store/settings.h"

namespace corvane::rizaz {

enum class ListRead {
  Whole,   // the whole file is in text
  Capped,  // the file holds more than the limit: text is its first maxBytes bytes
  Failed,  // the file exists but cannot be read (locked, access denied)
};

// Reads the block-list file.
class ListFileReader {
 public:
  virtual ~ListFileReader() = default;
  // Reads the file, at most maxBytes of it, into text. A missing file is created empty and reads as
  // an empty text. After Failed, text holds nothing of use.
  virtual ListRead Read(std::size_t maxBytes, std::string& text) = 0;
};

// What the user notices of a block.
class BlockNotifier {
 public:
  virtual ~BlockNotifier() = default;
  // The speaker tone (850 Hz, 300 ms); returns when it has ended.
  virtual void Beep() = 0;
  // Shows the blocked program's name in the notification popup, opening it when it is closed.
  virtual void ShowBlocked(const std::string& name) = 0;
};

class BlockCycle {
 public:
  BlockCycle(ProcessTable& processes, SettingsStore& settings, ListFileReader& listFile, BlockNotifier& notifier);

  // After the access check: raises "Read" so that the load that follows reads the file whatever the
  // flag held before, then loads it.
  void Start();

  // One tick of the block timer. False when the main program has closed ("Support" is "False") and
  // the blocker must end; nothing else is done then.
  bool Tick();

  // Reloads the list when "Read" is set. True when the list was read afresh. A file larger than the
  // main program's reading limit is read that far, its complete lines only. A file that cannot be
  // read, or a load that fails for want of memory, leaves the list as it was.
  bool LoadBlockList();

  // One pass over a fresh snapshot: terminates every process whose file name is on the list, with
  // beep and popup as the settings say. Returns the number of processes matched.
  int KillBlockedPrograms();

  const BlockList& list() const { return list_; }
  // A load whose file could not be read is retried at every tick until it succeeds.
  bool reloadPending() const { return reloadPending_; }

 private:
  ProcessTable& processes_;
  SettingsStore& settings_;
  ListFileReader& listFile_;
  BlockNotifier& notifier_;

  BlockList list_;
  BlockMatcher matcher_;
  bool reloadPending_ = false;
  ProcessSnapshot snapshot_;  // reused so that a tick allocates nothing in the steady state
};

}  // namespace corvane::rizaz
