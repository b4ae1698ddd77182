#include "bench/big_lists.h"

#include <algorithm>
#include <cstdio>

#include "base/win/utf.h"
#include "store/list_files.h"
#include "store/list_record.h"
#include "store/win/registry_settings.h"
#include "store/win/win32_list_file_system.h"

namespace corvane::bench {

namespace {

std::string Numbered(const char* pattern, int number) {
  char text[160];
  std::snprintf(text, sizeof(text), pattern, number, number);
  return text;
}

}  // namespace

bool WriteBigLists(const std::wstring& folder, const std::vector<std::string>& realAllowRecords,
                   const std::vector<std::string>& realTrashPaths, const BigListSizes& sizes) {
  win::Win32ListFileSystem files;
  win::RegistrySettingsStore settings;
  ListFileStore lists(files, settings, win::Narrow(folder));
  for (const std::string& record : realAllowRecords) {
    ProgramListEntry entry;
    if (SplitProgramRecord(record, entry.path, entry.name)) lists.allowList().push_back(std::move(entry));
  }
  for (int i = static_cast<int>(lists.allowList().size()); i < sizes.allowed; ++i) {
    lists.allowList().push_back(
        {Numbered("tool%05d.exe", i), Numbered("C:\\Program Files\\Maker %05d\\tool%05d.exe", i)});
  }
  for (int i = 0; i < sizes.blocked; ++i) {
    lists.blockList().push_back({Numbered("oldgame%05d.exe", i), Numbered("D:\\Games %05d\\oldgame%05d.exe", i)});
  }
  // The real files spread through the list, as the user added them over the years.
  const int trashCount = std::max(sizes.trashJar, static_cast<int>(realTrashPaths.size()));
  const int spacing = realTrashPaths.empty() ? 0 : trashCount / static_cast<int>(realTrashPaths.size());
  std::size_t real = 0;
  for (int i = 0; i < trashCount && sizes.trashJar > 0; ++i) {
    if (real < realTrashPaths.size() && i % spacing == spacing / 2) {
      lists.trashJar().push_back(realTrashPaths[real++]);
    } else {
      lists.trashJar().push_back(Numbered("C:\\Users\\Old\\Downloads\\setup%05d.exe", i));
    }
  }
  bool written = true;
  for (const ListKind kind : {ListKind::Allow, ListKind::Block, ListKind::TrashJar}) {
    written = lists.RewriteListFile(kind) && written;
  }
  return written;
}

}  // namespace corvane::bench
