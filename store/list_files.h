#pragma once
// The four persisted lists of the main program and their files in the program directory.
//
// File format (rizaz reads the block list with a reader of its own and relies on exactly this):
// one record per line, each line EncryptText(plain record) followed by CR LF, fields of the plain
// record joined by "^^^^". Allow and block records are path^^^^name (an allow record may go on with
// the allowed file's fingerprint, store/list_record.h), hot-key records
// target^^^^key label, Trash Jar records a path alone. No header, no count, no checksum. Both
// programs split records by the rules of store/list_record.h.
//
// The main program is the only writer. A new entry is appended to its file; after a removal the
// whole file is replaced in one step (never deleted and written again), so a crash, a kill or a full
// disk during a rewrite leaves the old list whole. After every change of the block-list file, once
// the file is complete, "Read" is set to "True" so that rizaz reloads its copy.
//
// Nothing here reports a failure to the user: operations return whether the file now says what
// the caller asked, and the in-memory lists stay as the caller left them either way. The program
// reaches all this through the lists' owner (store/lists.h), which keeps memory as the files took it.
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "store/list_file_system.h"
#include "store/list_record.h"
#include "store/settings.h"

namespace corvane {

// An entry of the allow and block lists.
struct ProgramListEntry {
  std::string name;  // the program's file name with extension, from the end of its path
  std::string path;  // the full path of the program file
  // Allow list only: the file that was allowed. Block records are written without it.
  FileFingerprint fingerprint{};
  bool operator==(const ProgramListEntry&) const = default;
};

// An entry of the launch-hotkey list.
struct HotKeyEntry {
  std::string target;    // full path of the program or file to open
  std::string keyLabel;  // "Ctrl + Shift + " and one capital letter or digit
  bool operator==(const HotKeyEntry&) const = default;
};

using AllowList = std::vector<ProgramListEntry>;
using BlockList = std::vector<ProgramListEntry>;
using TrashJarList = std::vector<std::string>;  // full paths
using HotKeyList = std::vector<HotKeyEntry>;

enum class ListKind { Allow, Block, TrashJar, HotKey };

namespace list_files {
inline constexpr std::string_view kAllowFile = "midmo.ocx";
inline constexpr std::string_view kBlockFile = "cekdn.ocx";
inline constexpr std::string_view kTrashJarFile = "hovsfd.dll";
inline constexpr std::string_view kHotKeyFile = "shudw.dll";
inline constexpr std::string_view kLineEnd = "\r\n";
// A list file larger than this is read only this far; the program's own files are a small fraction.
inline constexpr std::size_t kMaxFileBytes = 64u * 1024u * 1024u;
}  // namespace list_files

std::string_view ListFileName(ListKind list);

// The key under which the comparison rule sees two programs (name and path) as the same one.
std::string ProgramComparisonKey(std::string_view name, std::string_view path);

class ListFileStore {
 public:
  // programDirectory: the folder of both programs, without a trailing backslash.
  ListFileStore(ListFileSystem& files, SettingsStore& settings, std::string programDirectory);
  ListFileStore(const ListFileStore&) = delete;
  ListFileStore& operator=(const ListFileStore&) = delete;

  // The in-memory lists: the working copy for the whole run. Callers change them first and then
  // bring the file in line (AppendListLine or RewriteListFile). Taking a list for change marks its
  // look-up index for rebuilding at the next look-up, so change a list through a fresh call rather
  // than through a reference kept from before a look-up.
  AllowList& allowList() {
    allowIndex_.stale = true;
    return allowList_;
  }
  BlockList& blockList() {
    blockIndex_.stale = true;
    return blockList_;
  }
  TrashJarList& trashJar() {
    trashIndex_.stale = true;
    return trashJar_;
  }
  HotKeyList& hotKeys() { return hotKeys_; }
  const AllowList& allowList() const { return allowList_; }
  const BlockList& blockList() const { return blockList_; }
  const TrashJarList& trashJar() const { return trashJar_; }
  const HotKeyList& hotKeys() const { return hotKeys_; }

  // Program directory + "\" + the list's file name.
  std::string ListFilePath(ListKind list) const;

  // Appends the file's entries to the in-memory list, by the list's rules. A missing or hidden file
  // leaves the list as it is; a file that cannot be read to its end adds the complete lines read
  // before the failure. False when the file is there but could not be read to its end.
  bool LoadListFile(ListKind list);

  // Appends one plain record to the list's file; the in-memory list is the caller's. False when the
  // record could not be written.
  bool AppendListLine(ListKind list, std::string_view plainRecord);
  // Makes the file hold exactly the in-memory list, in one step; an empty list leaves no file.
  bool RewriteListFile(ListKind list);
  // Removes the list's file; the caller empties the in-memory list.
  bool ClearListFile(ListKind list);

  // Look-ups by the comparison rule (surrounding spaces removed, letter case ignored).
  bool IsInAllowList(std::string_view name, std::string_view path) const;
  bool IsInBlockList(std::string_view name) const;  // by name only: blocked wherever it lies
  bool IsInTrashJar(std::string_view path) const;
  // The allow-list entry of this program by the comparison rule (the first, should the list hold
  // more); null when there is none. Valid until the list changes.
  const ProgramListEntry* FindAllowEntry(std::string_view name, std::string_view path) const;
  // Gives the program's allow-list entry this fingerprint and rewrites the allow-list file in one
  // step. False when the program is not allowed or the file could not be written (the entry in
  // memory keeps the new fingerprint either way).
  bool SetAllowFingerprint(std::string_view name, std::string_view path, const FileFingerprint& fingerprint);
  // Where the block-list entries whose name has this comparison key (ComparisonKey) stand, in list
  // order; null when there is none.
  const std::vector<std::size_t>* BlockListPositions(const std::string& nameKey) const;

  // Deletes the file at path (trimmed), hidden or read-only: the user asked for it gone. One
  // attempt, without sleeping or running window events, since it runs on the user-interface thread
  // for every Trash Jar file twice a tick. True when no file is left; a file that stays (in use, no
  // right) is for the caller to try again later, as the watch cycle does at its next pass.
  bool DeleteFileWithRetry(std::string_view path);

 private:
  std::string FileContent(ListKind list) const;
  bool RemoveEmptiedFile(const std::string& path);
  void RaiseReloadSignal(ListKind list);
  // The raw text of a list file, or nothing when it is missing or hidden. complete is false when
  // the read stopped early.
  bool ReadListText(ListKind list, std::string& text, bool& complete);

  // When a list's hashed look-up index by the comparison rule was built. A look-up rebuilds an index
  // that is marked stale by the changing accessors, and one whose list moved or changed its length
  // since the build.
  struct IndexState {
    bool stale = true;
    const void* builtFor = nullptr;
    std::size_t builtSize = 0;
    template <typename List>
    bool NeedsRebuild(const List& list) const {
      return stale || builtFor != static_cast<const void*>(list.data()) || builtSize != list.size();
    }
    template <typename List>
    void Built(const List& list) {
      stale = false;
      builtFor = list.data();
      builtSize = list.size();
    }
  };
  void RefreshAllowIndex() const;
  void RefreshBlockIndex() const;
  void RefreshTrashIndex() const;

  ListFileSystem& files_;
  SettingsStore& settings_;
  std::string directory_;
  AllowList allowList_;
  BlockList blockList_;
  TrashJarList trashJar_;
  HotKeyList hotKeys_;
  mutable IndexState allowIndex_;
  mutable IndexState blockIndex_;
  mutable IndexState trashIndex_;
  mutable std::unordered_map<std::string, std::size_t> allowPositions_;  // the first entry of each key
  mutable std::unordered_map<std::string, std::vector<std::size_t>> blockPositions_;
  mutable std::unordered_set<std::string> trashKeys_;
};

}  // namespace corvane
