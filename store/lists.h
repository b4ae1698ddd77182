#pragma once
// The one owner of the main program's four lists (allow, block, Trash Jar, launch hotkeys). Callers
// read them through views and change them through whole operations only; each operation brings
// memory, file, look-up index and the blocker's "Read" signal in line as one step, tells the
// listeners once, and returns what the files took.
//
// Memory always holds what the next start would read from the files: a change that a file refused
// is not kept. A move writes its destination first and its source second, so a failed write leaves
// the entry where it was, or at worst in both lists (an entry in the block list and in another is
// blocked: the block list goes by name and wins), never in neither.
//
// Additions are appended, so that whatever a file holds beyond what could be read stays in it.
// A list whose file could not be read to its end at the load is not rewritten for a removal, which
// would drop the entries that were never read; it can still take additions and be cleared.
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "store/list_file_system.h"
#include "store/list_files.h"
#include "store/settings.h"

namespace corvane {

// A set of lists.
class ListSet {
 public:
  constexpr ListSet() = default;
  // Not explicit: one list is a set of one.
  constexpr ListSet(ListKind list) : bits_(Bit(list)) {}
  constexpr void Add(ListKind list) { bits_ |= Bit(list); }
  constexpr void Remove(ListKind list) { bits_ &= ~Bit(list); }
  constexpr bool Has(ListKind list) const { return (bits_ & Bit(list)) != 0; }
  constexpr bool empty() const { return bits_ == 0; }
  constexpr ListSet& operator|=(ListSet other) {
    bits_ |= other.bits_;
    return *this;
  }
  constexpr bool operator==(const ListSet&) const = default;

 private:
  static constexpr unsigned Bit(ListKind list) { return 1u << static_cast<unsigned>(list); }
  unsigned bits_ = 0;
};

// What an operation did.
struct ListWrite {
  ListSet changed;  // lists whose entries changed, in memory and in their files
  ListSet unsaved;  // lists whose file refused its part; that part was not made
  bool saved() const { return unsaved.empty(); }
};

// Told to the user when a list's file refused a change.
std::string UnsavedListMessage(ListKind list);

class Lists {
 public:
  // programDirectory: the folder of both programs, without a trailing backslash.
  Lists(ListFileSystem& files, SettingsStore& settings, std::string programDirectory);
  Lists(const Lists&) = delete;
  Lists& operator=(const Lists&) = delete;

  // Memory becomes what the four files hold, as at start-up. Listeners are not told: this comes
  // before anything shows the lists.
  void Load();

  const AllowList& allowList() const { return store_.allowList(); }
  const BlockList& blockList() const { return store_.blockList(); }
  const TrashJarList& trashJar() const { return store_.trashJar(); }
  const HotKeyList& hotKeys() const { return store_.hotKeys(); }
  std::string ListFilePath(ListKind list) const { return store_.ListFilePath(list); }

  // Look-ups by the comparison rule (store/list_files.h).
  bool IsInAllowList(std::string_view name, std::string_view path) const { return store_.IsInAllowList(name, path); }
  bool IsInBlockList(std::string_view name) const { return store_.IsInBlockList(name); }
  bool IsInTrashJar(std::string_view path) const { return store_.IsInTrashJar(path); }
  const ProgramListEntry* FindAllowEntry(std::string_view name, std::string_view path) const {
    return store_.FindAllowEntry(name, path);
  }
  const std::vector<std::size_t>* BlockListPositions(const std::string& nameKey) const {
    return store_.BlockListPositions(nameKey);
  }

  // The program joins the allow list, unless it is in it already.
  ListWrite Allow(std::string_view name, std::string_view path);
  // The program joins the block list (a second entry of a blocked program included).
  ListWrite Block(std::string_view name, std::string_view path);
  // The path, trimmed, joins the Trash Jar.
  ListWrite AddToTrashJar(std::string_view path);
  // A running program's file into the Trash Jar: its path joins it, then the program's own
  // allowance (same name and path) leaves the allow list.
  ListWrite ThrowAway(std::string_view name, std::string_view path);
  // The entry at index of the allow or block list into another list: the allow list (unless the
  // program is allowed already; without the fingerprint of an earlier allowance), the block list
  // or the Trash Jar (its path).
  ListWrite Move(ListKind from, std::size_t index, ListKind to);
  ListWrite Remove(ListKind list, std::size_t index);
  // Empties the list and removes its file.
  ListWrite Clear(ListKind list);
  ListWrite AddHotKey(const HotKeyEntry& binding);
  // Removes the first binding equal to this one.
  ListWrite RemoveHotKey(const HotKeyEntry& binding);
  // The allowed program's entry records the file that was allowed.
  ListWrite SetAllowFingerprint(std::string_view name, std::string_view path, const FileFingerprint& fingerprint);

  // Deletes a Trash Jar file (see ListFileStore::DeleteFileWithRetry); the lists stay as they are.
  bool DeleteFileWithRetry(std::string_view path) { return store_.DeleteFileWithRetry(path); }

  // Called after every operation that changed a list, with the lists it changed.
  void AddListener(std::function<void(ListSet changed)> listener);

  // What to tell the user about the lists this write could not save: each list once per run, the
  // first time its file refuses a change (a file that refuses one change refuses the next ones as
  // well). Empty when there is nothing to tell.
  std::string UnsavedNotice(const ListWrite& write);

 private:
  // Adds the record to the list's file, and on success the entry, as the file reads it back, to
  // memory.
  bool Append(ListKind list, const std::string& record);
  // Erases the entry at index and rewrites the file; when the file refuses, the entry goes back.
  bool EraseAndRewrite(ListKind list, std::size_t index);
  std::size_t SizeOf(ListKind list) const;
  // The list in memory only.
  void Empty(ListKind list);
  ListWrite Finish(ListWrite write);

  ListFileStore store_;
  // The lists whose file could not be read to its end at the load.
  ListSet partlyRead_;
  ListSet told_;
  std::vector<std::function<void(ListSet)>> listeners_;
};

}  // namespace corvane
