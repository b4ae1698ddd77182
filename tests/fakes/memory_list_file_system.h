#pragma once
// The list files in memory, with the failures a disk can have: hidden, read-only, locked, unreadable
// (from the start or half-way), a disk that fills up in the middle of a write, and writes refused
// by their number. The temp-file-and-move contract of ReplaceContent is kept: a failed replace
// leaves the old content whole.
#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "store/list_file_system.h"

namespace corvane::testing {

class MemoryListFileSystem final : public ListFileSystem {
 public:
  struct File {
    std::string content;
    bool hidden = false;
    bool locked = false;  // held by another program: no read, write or delete
    bool readOnly = false;  // an ordinary deletion is refused (writes are not modelled)
    std::optional<std::size_t> readFailsAfter;  // a read error after this many bytes
  };

  bool VisibleFileExists(std::string_view path) override {
    const File* file = Find(path);
    return file != nullptr && !file->hidden;
  }
  bool AnyFileExists(std::string_view path) override { return Find(path) != nullptr; }

  bool ReadWholeFile(std::string_view path, std::size_t maxBytes, std::string& content) override {
    ++reads;
    content.clear();
    const File* file = Find(path);
    if (file == nullptr || file->locked) return false;
    std::size_t length = file->content.size();
    bool ok = true;
    if (file->readFailsAfter && *file->readFailsAfter < length) {
      length = *file->readFailsAfter;
      ok = false;
    }
    if (length > maxBytes) {
      length = maxBytes;
      ok = false;
    }
    content = file->content.substr(0, length);
    return ok;
  }

  bool AppendLine(std::string_view path, std::string_view line) override {
    log.push_back("append " + std::string(path));
    if (WriteRefused()) return false;
    File* file = Find(path);
    if (file != nullptr && file->locked) return false;
    if (file == nullptr) {
      if (!CanWrite(0)) return false;
      file = &files[std::string(path)];
    }
    std::string data;
    if (!file->content.empty() && !EndsWithLineEnd(file->content)) data = "\r\n";
    data += line;
    data += "\r\n";
    return Write(file->content, data);
  }

  bool ReplaceContent(std::string_view path, std::string_view content) override {
    log.push_back("replace " + std::string(path));
    if (WriteRefused()) return false;
    File* file = Find(path);
    if (file != nullptr && file->locked) return false;
    // The new content is written beside the file first; a failure there leaves the file alone.
    std::string temp;
    if (!Write(temp, content)) return false;
    if (failMoves) return false;
    File replaced;
    replaced.content = std::move(temp);
    files[std::string(path)] = std::move(replaced);
    return true;
  }

  bool RemoveFile(std::string_view path) override { return !WriteRefused() && Remove(path, false); }
  bool RemoveFileEvenIfReadOnly(std::string_view path) override { return Remove(path, true); }

  // Test helpers.
  void Put(std::string_view path, std::string_view content, bool hidden = false) {
    File file;
    file.content = std::string(content);
    file.hidden = hidden;
    files[std::string(path)] = std::move(file);
  }
  bool Has(std::string_view path) const { return files.count(std::string(path)) != 0; }
  std::string Content(std::string_view path) const {
    const auto it = files.find(std::string(path));
    return it == files.end() ? std::string() : it->second.content;
  }
  File* Find(std::string_view path) {
    const auto it = files.find(std::string(path));
    return it == files.end() ? nullptr : &it->second;
  }

  std::map<std::string, File> files;
  // Bytes the disk still takes; a write that needs more writes what fits and fails.
  std::optional<std::size_t> diskSpace;
  // The final move of a replace fails (the new content was written beside the file).
  bool failMoves = false;
  // Deletion is refused although the file could be replaced (open elsewhere with shared rights).
  bool failRemoves = false;
  std::vector<std::string> log;
  int reads = 0;
  // Appends, replaces and list-file removals, counted from 1 as they come; those numbered here, or
  // all of them, are refused whole, as by a read-only or locked file: nothing is written.
  int writes = 0;
  std::set<int> refusedWrites;
  bool refuseAllWrites = false;

 private:
  static bool EndsWithLineEnd(const std::string& s) {
    return s.size() >= 2 && s.compare(s.size() - 2, 2, "\r\n") == 0;
  }
  bool Remove(std::string_view path, bool evenReadOnly) {
    log.push_back("remove " + std::string(path));
    const auto it = files.find(std::string(path));
    if (it == files.end()) return true;
    if (it->second.locked || failRemoves || (it->second.readOnly && !evenReadOnly)) return false;
    files.erase(it);
    return true;
  }
  bool WriteRefused() {
    ++writes;
    return refuseAllWrites || refusedWrites.count(writes) != 0;
  }
  bool CanWrite(std::size_t bytes) const { return !diskSpace || *diskSpace >= bytes; }
  bool Write(std::string& target, std::string_view data) {
    if (diskSpace && *diskSpace < data.size()) {
      target.append(data.substr(0, *diskSpace));
      *diskSpace = 0;
      return false;
    }
    if (diskSpace) *diskSpace -= data.size();
    target.append(data);
    return true;
  }
};

}  // namespace corvane::testing
