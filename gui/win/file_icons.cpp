#include "gui/win/file_icons.h"

#include <shellapi.h>

#include "base/text.h"
#include "base/win/utf.h"

namespace corvane::gui::win {

corvane::win::UniqueIcon LoadFileIcon(std::string_view path, bool small) {
  const UINT size = small ? SHGFI_SMALLICON : SHGFI_LARGEICON;
  SHFILEINFOW info{};
  const std::wstring widePath = corvane::win::Widen(TrimSpaces(path));
  if (!widePath.empty() && ::SHGetFileInfoW(widePath.c_str(), 0, &info, sizeof(info), SHGFI_ICON | size) != 0 &&
      info.hIcon != nullptr) {
    return corvane::win::UniqueIcon(info.hIcon);
  }
  // The generic icon of a file, by attributes alone: no disk access.
  info = {};
  if (::SHGetFileInfoW(L"file", FILE_ATTRIBUTE_NORMAL, &info, sizeof(info), SHGFI_ICON | size | SHGFI_USEFILEATTRIBUTES) !=
          0 &&
      info.hIcon != nullptr) {
    return corvane::win::UniqueIcon(info.hIcon);
  }
  return {};
}

FileIconList::FileIconList() {
  list_ = ::ImageList_Create(::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), ILC_COLOR32 | ILC_MASK,
                             16, 16);
}

FileIconList::~FileIconList() {
  if (list_ != nullptr) ::ImageList_Destroy(list_);
}

int FileIconList::IndexFor(std::string_view path) {
  if (list_ == nullptr) return -1;
  const std::string key = ToUpperAscii(TrimSpaces(path));
  const auto found = indexes_.find(key);
  if (found != indexes_.end()) return found->second;
  const corvane::win::UniqueIcon icon = LoadFileIcon(path, true);
  const int index = icon ? ::ImageList_AddIcon(list_, icon.get()) : -1;
  indexes_.emplace(key, index);
  return index;
}

}  // namespace corvane::gui::win
