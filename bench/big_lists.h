#pragma once
// The lists of a program that has run for years, for the benchmarks of the main program: thousands of
// allowed and blocked programs and hundreds of Trash Jar paths, written to a folder's list files
// through the program's own store, so the files are exactly what the program writes.
#include <string>
#include <vector>

namespace corvane::bench {

struct BigListSizes {
  int allowed = 5000;
  int blocked = 5000;
  int trashJar = 500;
};

// Writes the allow, block and Trash Jar files of folder (a Windows path without a trailing
// backslash). The allow list holds realAllowRecords (plain "path^^^^name" records, such as the
// programs running now) followed by made-up programs up to sizes.allowed; the block list made-up
// names that nothing runs; the Trash Jar realTrashPaths (files that exist) among made-up paths that
// do not exist, up to sizes.trashJar. An empty size leaves that list's file out. False when a file
// could not be written.
bool WriteBigLists(const std::wstring& folder, const std::vector<std::string>& realAllowRecords,
                   const std::vector<std::string>& realTrashPaths, const BigListSizes& sizes);

}  // namespace corvane::bench
