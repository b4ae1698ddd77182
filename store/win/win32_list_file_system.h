#pragma once
// The list files on disk, through the W (UTF-16) file API.
#include "store/list_file_system.h"

namespace corvane::win {

class Win32ListFileSystem final : public ListFileSystem {
 public:
  bool VisibleFileExists(std::string_view path) override;
  bool AnyFileExists(std::string_view path) override;
  bool ReadWholeFile(std::string_view path, std::size_t maxBytes, std::string& content) override;
  bool AppendLine(std::string_view path, std::string_view line) override;
  // Writes path + ".tmp", flushes it and moves it over path. A move refused because another program
  // has the file open is retried a few times over about 100 ms.
  bool ReplaceContent(std::string_view path, std::string_view content) override;
  bool RemoveFile(std::string_view path) override;
  bool RemoveFileEvenIfReadOnly(std::string_view path) override;
};

}  // namespace corvane::win
