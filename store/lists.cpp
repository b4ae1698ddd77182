#include "store/lists.h"

#include <utility>

#include "base/text.h"
#include "store/list_record.h"

namespace corvane {

namespace {

constexpr ListKind kAllLists[] = {ListKind::Allow, ListKind::Block, ListKind::TrashJar, ListKind::HotKey};

ListWrite Changed(ListKind list) { return {list, {}}; }
ListWrite Refused(ListKind list) { return {{}, list}; }

ListWrite& operator|=(ListWrite& write, const ListWrite& more) {
  write.changed |= more.changed;
  write.unsaved |= more.unsaved;
  return write;
}

// Erases the entry, and puts it back when rewrite() fails.
template <typename Entries, typename Rewrite>
bool EraseRestoring(Entries& entries, std::size_t index, Rewrite&& rewrite) {
  const auto at = entries.begin() + static_cast<std::ptrdiff_t>(index);
  auto taken = std::move(*at);
  entries.erase(at);
  if (rewrite()) return true;
  entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(index), std::move(taken));
  return false;
}

}  // namespace

std::string UnsavedListMessage(ListKind list) {
  static constexpr std::string_view kTitles[] = {"allowed list", "block list", "Trash Jar", "hot key list"};
  return "Corvane could not save its " + std::string(kTitles[static_cast<std::size_t>(list)]) + " in " +
         std::string(ListFileName(list)) +
         ": the file may be read-only, in use by another program or unreadable, or the disk may be full. The change "
         "did not take; the list shows what the file holds.";
}

Lists::Lists(ListFileSystem& files, SettingsStore& settings, std::string programDirectory)
    : store_(files, settings, std::move(programDirectory)) {}

void Lists::Load() {
  partlyRead_ = {};
  for (const ListKind list : {ListKind::Block, ListKind::Allow, ListKind::TrashJar, ListKind::HotKey}) {
    Empty(list);
    if (!store_.LoadListFile(list)) partlyRead_.Add(list);
  }
}

void Lists::AddListener(std::function<void(ListSet changed)> listener) { listeners_.push_back(std::move(listener)); }

std::size_t Lists::SizeOf(ListKind list) const {
  switch (list) {
    case ListKind::Allow:
      return allowList().size();
    case ListKind::Block:
      return blockList().size();
    case ListKind::TrashJar:
      return trashJar().size();
    case ListKind::HotKey:
      return hotKeys().size();
  }
  return 0;
}

void Lists::Empty(ListKind list) {
  switch (list) {
    case ListKind::Allow:
      store_.allowList().clear();
      break;
    case ListKind::Block:
      store_.blockList().clear();
      break;
    case ListKind::TrashJar:
      store_.trashJar().clear();
      break;
    case ListKind::HotKey:
      store_.hotKeys().clear();
      break;
  }
}

bool Lists::Append(ListKind list, const std::string& record) {
  if (!store_.AppendListLine(list, record)) return false;
  // Memory takes the entry as the next start reads the line: without surrounding blanks and split by
  // the reading rules; a record they would skip is not taken at all.
  const std::string plain = TrimSpaces(record);
  switch (list) {
    case ListKind::Allow:
    case ListKind::Block: {
      ProgramListEntry entry;
      const bool split = list == ListKind::Allow ? SplitProgramRecord(plain, entry.path, entry.name, entry.fingerprint)
                                                 : SplitProgramRecord(plain, entry.path, entry.name);
      if (split) (list == ListKind::Allow ? store_.allowList() : store_.blockList()).push_back(std::move(entry));
      break;
    }
    case ListKind::TrashJar:
      if (!plain.empty()) store_.trashJar().push_back(plain);
      break;
    case ListKind::HotKey: {
      HotKeyEntry entry;
      if (SplitHotKeyRecord(plain, entry.target, entry.keyLabel)) store_.hotKeys().push_back(std::move(entry));
      break;
    }
  }
  return true;
}

bool Lists::EraseAndRewrite(ListKind list, std::size_t index) {
  // Rewriting a list that was not read whole would drop what was never read.
  if (partlyRead_.Has(list) || index >= SizeOf(list)) return false;
  const auto rewrite = [this, list] { return store_.RewriteListFile(list); };
  switch (list) {
    case ListKind::Allow:
      return EraseRestoring(store_.allowList(), index, rewrite);
    case ListKind::Block:
      return EraseRestoring(store_.blockList(), index, rewrite);
    case ListKind::TrashJar:
      return EraseRestoring(store_.trashJar(), index, rewrite);
    case ListKind::HotKey:
      return EraseRestoring(store_.hotKeys(), index, rewrite);
  }
  return false;
}

ListWrite Lists::Finish(ListWrite write) {
  if (!write.changed.empty()) {
    // By index: a listener may add another.
    for (std::size_t i = 0; i < listeners_.size(); ++i) listeners_[i](write.changed);
  }
  return write;
}

ListWrite Lists::Allow(std::string_view name, std::string_view path) {
  if (FindAllowEntry(name, path) != nullptr) return {};
  return Finish(Append(ListKind::Allow, ProgramRecord(path, name)) ? Changed(ListKind::Allow)
                                                                   : Refused(ListKind::Allow));
}

ListWrite Lists::Block(std::string_view name, std::string_view path) {
  return Finish(Append(ListKind::Block, ProgramRecord(path, name)) ? Changed(ListKind::Block)
                                                                   : Refused(ListKind::Block));
}

ListWrite Lists::AddToTrashJar(std::string_view path) {
  return Finish(Append(ListKind::TrashJar, TrimSpaces(path)) ? Changed(ListKind::TrashJar)
                                                             : Refused(ListKind::TrashJar));
}

ListWrite Lists::ThrowAway(std::string_view name, std::string_view path) {
  if (!Append(ListKind::TrashJar, TrimSpaces(path))) return Finish(Refused(ListKind::TrashJar));
  ListWrite write = Changed(ListKind::TrashJar);
  const AllowList& allowed = allowList();
  for (std::size_t i = 0; i < allowed.size(); ++i) {
    if (SameNameOrPath(allowed[i].name, name) && SameNameOrPath(allowed[i].path, path)) {
      write |= EraseAndRewrite(ListKind::Allow, i) ? Changed(ListKind::Allow) : Refused(ListKind::Allow);
      break;
    }
  }
  return Finish(write);
}

ListWrite Lists::Move(ListKind from, std::size_t index, ListKind to) {
  const bool fromProgramList = from == ListKind::Allow || from == ListKind::Block;
  if (!fromProgramList || to == from || to == ListKind::HotKey || index >= SizeOf(from)) return {};
  const ProgramListEntry entry = from == ListKind::Allow ? allowList()[index] : blockList()[index];
  ListWrite write;
  if (to != ListKind::Allow || FindAllowEntry(entry.name, entry.path) == nullptr) {
    // A block record carries no fingerprint, and an allowance from the block list starts without
    // one: its file as it is now is the one to remember.
    const std::string record = to == ListKind::TrashJar ? entry.path : ProgramRecord(entry.path, entry.name);
    if (!Append(to, record)) return Finish(Refused(to));
    write = Changed(to);
  }
  write |= EraseAndRewrite(from, index) ? Changed(from) : Refused(from);
  return Finish(write);
}

ListWrite Lists::Remove(ListKind list, std::size_t index) {
  if (index >= SizeOf(list)) return {};
  return Finish(EraseAndRewrite(list, index) ? Changed(list) : Refused(list));
}

ListWrite Lists::Clear(ListKind list) {
  if (!store_.ClearListFile(list)) return Finish(Refused(list));
  partlyRead_.Remove(list);
  if (SizeOf(list) == 0) return {};
  Empty(list);
  return Finish(Changed(list));
}

ListWrite Lists::AddHotKey(const HotKeyEntry& binding) {
  return Finish(Append(ListKind::HotKey, HotKeyRecord(binding.target, binding.keyLabel)) ? Changed(ListKind::HotKey)
                                                                                         : Refused(ListKind::HotKey));
}

ListWrite Lists::RemoveHotKey(const HotKeyEntry& binding) {
  const HotKeyList& bindings = hotKeys();
  for (std::size_t i = 0; i < bindings.size(); ++i) {
    if (bindings[i] == binding) return Remove(ListKind::HotKey, i);
  }
  return {};
}

ListWrite Lists::SetAllowFingerprint(std::string_view name, std::string_view path,
                                     const FileFingerprint& fingerprint) {
  const ProgramListEntry* entry = FindAllowEntry(name, path);
  if (entry == nullptr) return {};
  if (partlyRead_.Has(ListKind::Allow)) return Finish(Refused(ListKind::Allow));
  // Memory keeps what the record reads back: fields of another form are not written.
  ProgramListEntry stored;
  if (!SplitProgramRecord(ProgramRecord(entry->path, entry->name, fingerprint), stored.path, stored.name,
                          stored.fingerprint)) {
    return {};
  }
  const std::size_t index = static_cast<std::size_t>(entry - allowList().data());
  const FileFingerprint before = entry->fingerprint;
  if (store_.SetAllowFingerprint(name, path, stored.fingerprint)) return Finish(Changed(ListKind::Allow));
  store_.allowList()[index].fingerprint = before;
  return Finish(Refused(ListKind::Allow));
}

std::string Lists::UnsavedNotice(const ListWrite& write) {
  std::string notice;
  for (const ListKind list : kAllLists) {
    if (!write.unsaved.Has(list) || told_.Has(list)) continue;
    told_.Add(list);
    if (!notice.empty()) notice += "\n\n";
    notice += UnsavedListMessage(list);
  }
  return notice;
}

}  // namespace corvane
