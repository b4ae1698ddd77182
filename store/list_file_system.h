#pragma once
// The file operations the list files need, as an interface: one Win32 implementation
// (store/win/win32_list_file_system.h) and an in-memory fake for host tests. Paths are full paths in
// UTF-8. No operation throws; each says whether it worked.
#include <cstddef>
#include <string>
#include <string_view>

namespace corvane {

class ListFileSystem {
 public:
  virtual ~ListFileSystem() = default;

  // An ordinary file is at path: hidden and system files and folders do not count.
  virtual bool VisibleFileExists(std::string_view path) = 0;
  // A file of any attributes (hidden included) is at path; folders do not count.
  virtual bool AnyFileExists(std::string_view path) = 0;

  // Reads the whole file, at most maxBytes of it, into content. False when the file could not be
  // opened or a read failed; content then holds what was read before the failure. Stopping at
  // maxBytes also returns false.
  virtual bool ReadWholeFile(std::string_view path, std::size_t maxBytes, std::string& content) = 0;

  // Writes line and CR LF at the end of the file, creating it when missing. When the file's last
  // line lacks its CR LF, one is written first, so that line always starts a record of its own.
  // The line and its CR LF land whole at the end even when another writer appends at the same time.
  // False when anything failed; part of the line may then be in the file.
  virtual bool AppendLine(std::string_view path, std::string_view line) = 0;

  // Replaces the file's whole content in one step, creating it when missing: at every moment the
  // file holds either its old or its new content, also when the write fails half-way. The new file
  // has ordinary attributes. False when the content could not be put in place.
  virtual bool ReplaceContent(std::string_view path, std::string_view content) = 0;

  // One deletion attempt (hidden files included). False when the file is still there afterwards.
  // (Not called DeleteFile: <windows.h> turns that name into a macro.)
  virtual bool RemoveFile(std::string_view path) = 0;
  // The same, for a file whose removal was asked for by the user: a read-only file loses its
  // read-only attribute and is deleted. When it still cannot be deleted (in use, no right), it keeps
  // the attributes it had.
  virtual bool RemoveFileEvenIfReadOnly(std::string_view path) = 0;
};

}  // namespace corvane
