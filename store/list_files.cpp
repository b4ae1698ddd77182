#include "store/list_files.h"

#include <exception>
#include <unordered_map>
#include <utility>

#include "base/text.h"
#include "store/cipher.h"

namespace corvane {

namespace {

using list_files::kLineEnd;

// Calls onLine for every line of text; lines end at CR LF only, as rizaz reads them. A last line
// without CR LF counts when the read was complete; after a failed read it may be cut short, so it
// is dropped rather than taken for a shorter path.
// A stored line that is empty or all spaces is skipped before it is deciphered, as rizaz does:
// stored spaces would only decipher to junk.
template <typename OnLine>
void ForEachLine(std::string_view text, bool complete, OnLine&& onLine) {
  const auto visit = [&onLine](std::string_view line) {
    if (line.find_first_not_of(' ') != std::string_view::npos) onLine(line);
  };
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(kLineEnd, start);
    if (end == std::string_view::npos) break;
    visit(text.substr(start, end - start));
    start = end + kLineEnd.size();
  }
  if (complete && start < text.size()) visit(text.substr(start));
}

void ReadAllowLines(std::string_view text, bool complete, AllowList& list) {
  // Dropping duplicates by a hashed index keeps a long file from costing the square of its length.
  std::unordered_map<std::string, std::size_t> seen;
  for (std::size_t i = 0; i < list.size(); ++i) seen.try_emplace(ProgramComparisonKey(list[i].name, list[i].path), i);
  ForEachLine(text, complete, [&](std::string_view line) {
    const std::string plain = DecryptText(line);
    if (plain.empty()) return;
    // A line that cannot be split with certainty was not written by this program: taking it would
    // only put junk (a file of random bytes, say) into the panels.
    ProgramListEntry entry;
    if (!SplitProgramRecord(plain, entry.path, entry.name, entry.fingerprint)) return;
    const auto [found, added] = seen.try_emplace(ProgramComparisonKey(entry.name, entry.path), list.size());
    if (added) {
      list.push_back(std::move(entry));
    } else if (!entry.fingerprint.sha256.empty()) {
      // A later record of an allowed program was appended with its file's newer fingerprint.
      list[found->second].fingerprint = std::move(entry.fingerprint);
    }
  });
}

void ReadBlockLines(std::string_view text, bool complete, BlockList& list) {
  // Duplicates stay: the list keeps whatever the file holds.
  ForEachLine(text, complete, [&](std::string_view line) {
    const std::string plain = DecryptText(line);
    if (plain.empty()) return;
    ProgramListEntry entry;
    if (!SplitProgramRecord(plain, entry.path, entry.name)) return;
    list.push_back(std::move(entry));
  });
}

void ReadTrashJarLines(std::string_view text, bool complete, TrashJarList& list) {
  ForEachLine(text, complete, [&](std::string_view line) {
    std::string plain = DecryptText(line);  // already trimmed
    if (plain.empty()) return;
    list.push_back(std::move(plain));
  });
}

void ReadHotKeyLines(std::string_view text, bool complete, HotKeyList& list) {
  ForEachLine(text, complete, [&](std::string_view line) {
    const std::string plain = DecryptText(line);
    HotKeyEntry entry;
    if (!SplitHotKeyRecord(plain, entry.target, entry.keyLabel)) return;
    list.push_back(std::move(entry));
  });
}

}  // namespace

std::string ProgramComparisonKey(std::string_view name, std::string_view path) {
  // The name's length leads, since a stored field may hold any character and no separator could
  // tell the two apart.
  const std::string nameKey = ComparisonKey(name);
  std::string key = std::to_string(nameKey.size());
  key.push_back(':');
  key += nameKey;
  key += ComparisonKey(path);
  return key;
}

std::string_view ListFileName(ListKind list) {
  switch (list) {
    case ListKind::Allow:
      return list_files::kAllowFile;
    case ListKind::Block:
      return list_files::kBlockFile;
    case ListKind::TrashJar:
      return list_files::kTrashJarFile;
    case ListKind::HotKey:
      return list_files::kHotKeyFile;
  }
  return {};
}

ListFileStore::ListFileStore(ListFileSystem& files, SettingsStore& settings, std::string programDirectory)
    : files_(files), settings_(settings), directory_(std::move(programDirectory)) {}

std::string ListFileStore::ListFilePath(ListKind list) const {
  std::string path = directory_;
  path.push_back('\\');
  path += ListFileName(list);
  return path;
}

bool ListFileStore::ReadListText(ListKind list, std::string& text, bool& complete) {
  const std::string path = ListFilePath(list);
  // A hidden list file counts as missing.
  if (!files_.VisibleFileExists(path)) return false;
  complete = files_.ReadWholeFile(path, list_files::kMaxFileBytes, text);
  return true;
}

bool ListFileStore::LoadListFile(ListKind list) {
  // Whatever goes wrong, the entries read so far stay and the program goes on.
  try {
    std::string text;
    bool complete = false;
    if (!ReadListText(list, text, complete)) return true;
    switch (list) {
      case ListKind::Allow:
        allowIndex_.stale = true;
        ReadAllowLines(text, complete, allowList_);
        break;
      case ListKind::Block:
        blockIndex_.stale = true;
        ReadBlockLines(text, complete, blockList_);
        break;
      case ListKind::TrashJar:
        trashIndex_.stale = true;
        ReadTrashJarLines(text, complete, trashJar_);
        break;
      case ListKind::HotKey:
        ReadHotKeyLines(text, complete, hotKeys_);
        break;
    }
    return complete;
  } catch (const std::exception&) {
    return false;
  }
}

std::string ListFileStore::FileContent(ListKind list) const {
  std::string content;
  const auto addRecord = [&content](std::string_view plain) {
    content += EncryptText(plain);
    content += kLineEnd;
  };
  switch (list) {
    case ListKind::Allow:
      for (const ProgramListEntry& entry : allowList_) {
        addRecord(ProgramRecord(entry.path, entry.name, entry.fingerprint));
      }
      break;
    case ListKind::Block:
      for (const ProgramListEntry& entry : blockList_) addRecord(ProgramRecord(entry.path, entry.name));
      break;
    case ListKind::TrashJar:
      for (const std::string& path : trashJar_) addRecord(path);
      break;
    case ListKind::HotKey:
      for (const HotKeyEntry& entry : hotKeys_) addRecord(HotKeyRecord(entry.target, entry.keyLabel));
      break;
  }
  return content;
}

void ListFileStore::RaiseReloadSignal(ListKind list) {
  // Raised after every attempt, also a failed one: a half-done write may still have changed the
  // file, and a reload too many costs rizaz nothing.
  if (list == ListKind::Block) WriteBoolSetting(settings_, settings::kRead, true);
}

bool ListFileStore::AppendListLine(ListKind list, std::string_view plainRecord) {
  const bool written = files_.AppendLine(ListFilePath(list), EncryptText(plainRecord));
  RaiseReloadSignal(list);
  return written;
}

bool ListFileStore::RemoveEmptiedFile(const std::string& path) {
  // No pause, no events and no waiting between attempts: this runs on the user-interface thread,
  // and nothing is written afterwards that would have to wait for the deletion.
  if (!files_.AnyFileExists(path)) return true;
  if (files_.RemoveFile(path)) return true;
  // It cannot be deleted (held open by another program): an empty file at least holds no entry the
  // list no longer has.
  return files_.ReplaceContent(path, {});
}

bool ListFileStore::RewriteListFile(ListKind list) {
  const std::string path = ListFilePath(list);
  bool empty = false;
  switch (list) {
    case ListKind::Allow:
      empty = allowList_.empty();
      break;
    case ListKind::Block:
      empty = blockList_.empty();
      break;
    case ListKind::TrashJar:
      empty = trashJar_.empty();
      break;
    case ListKind::HotKey:
      empty = hotKeys_.empty();
      break;
  }
  // The new content goes beside the file and replaces it in one step, so that the file holds either
  // the old or the new list at every moment.
  const bool written = empty ? RemoveEmptiedFile(path) : files_.ReplaceContent(path, FileContent(list));
  RaiseReloadSignal(list);
  return written;
}

bool ListFileStore::ClearListFile(ListKind list) {
  const bool removed = RemoveEmptiedFile(ListFilePath(list));
  RaiseReloadSignal(list);
  return removed;
}

void ListFileStore::RefreshAllowIndex() const {
  if (!allowIndex_.NeedsRebuild(allowList_)) return;
  allowPositions_.clear();
  allowPositions_.reserve(allowList_.size());
  for (std::size_t i = 0; i < allowList_.size(); ++i) {
    allowPositions_.try_emplace(ProgramComparisonKey(allowList_[i].name, allowList_[i].path), i);
  }
  allowIndex_.Built(allowList_);
}

void ListFileStore::RefreshBlockIndex() const {
  if (!blockIndex_.NeedsRebuild(blockList_)) return;
  blockPositions_.clear();
  blockPositions_.reserve(blockList_.size());
  for (std::size_t i = 0; i < blockList_.size(); ++i) blockPositions_[ComparisonKey(blockList_[i].name)].push_back(i);
  blockIndex_.Built(blockList_);
}

void ListFileStore::RefreshTrashIndex() const {
  if (!trashIndex_.NeedsRebuild(trashJar_)) return;
  trashKeys_.clear();
  trashKeys_.reserve(trashJar_.size());
  for (const std::string& path : trashJar_) trashKeys_.insert(ComparisonKey(path));
  trashIndex_.Built(trashJar_);
}

bool ListFileStore::IsInAllowList(std::string_view name, std::string_view path) const {
  RefreshAllowIndex();
  return allowPositions_.count(ProgramComparisonKey(name, path)) != 0;
}

const ProgramListEntry* ListFileStore::FindAllowEntry(std::string_view name, std::string_view path) const {
  RefreshAllowIndex();
  const auto found = allowPositions_.find(ProgramComparisonKey(name, path));
  return found == allowPositions_.end() ? nullptr : &allowList_[found->second];
}

bool ListFileStore::SetAllowFingerprint(std::string_view name, std::string_view path,
                                        const FileFingerprint& fingerprint) {
  RefreshAllowIndex();
  const auto found = allowPositions_.find(ProgramComparisonKey(name, path));
  if (found == allowPositions_.end()) return false;
  // Changed in place: the list keeps its length and place, so the index stays good.
  allowList_[found->second].fingerprint = fingerprint;
  return RewriteListFile(ListKind::Allow);
}

bool ListFileStore::IsInBlockList(std::string_view name) const {
  return BlockListPositions(ComparisonKey(name)) != nullptr;
}

const std::vector<std::size_t>* ListFileStore::BlockListPositions(const std::string& nameKey) const {
  RefreshBlockIndex();
  const auto found = blockPositions_.find(nameKey);
  return found == blockPositions_.end() ? nullptr : &found->second;
}

bool ListFileStore::IsInTrashJar(std::string_view path) const {
  RefreshTrashIndex();
  return trashKeys_.count(ComparisonKey(path)) != 0;
}

bool ListFileStore::DeleteFileWithRetry(std::string_view path) {
  // A missing file counts as deleted; no separate existence test, as this runs twice a tick for
  // every Trash Jar file that cannot be deleted.
  return files_.RemoveFileEvenIfReadOnly(TrimSpaces(path));
}

}  // namespace corvane
