#pragma once
// Shell icons of program files for the list rows and the alert. A file the shell knows no icon for
// (missing, unreadable) gets the default file icon.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <string_view>
#include <unordered_map>

#include "base/win/handle.h"

namespace corvane::gui::win {

// The file's own icon (small or large), or the default file icon; empty only when even that fails.
corvane::win::UniqueIcon LoadFileIcon(std::string_view path, bool small);

// The picture list shared by the program lists' rows. Each path's icon is added once and reused, so
// the list grows with the number of distinct programs, not with every row ever shown.
class FileIconList {
 public:
  FileIconList();
  ~FileIconList();
  FileIconList(const FileIconList&) = delete;
  FileIconList& operator=(const FileIconList&) = delete;

  HIMAGELIST Handle() const { return list_; }
  // The picture index of the file's small icon (the default file icon as fallback); -1 on failure.
  int IndexFor(std::string_view path);

 private:
  HIMAGELIST list_ = nullptr;
  std::unordered_map<std::string, int> indexes_;
};

}  // namespace corvane::gui::win
