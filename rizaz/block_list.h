#pragma once
// The blocker's own copy of the block list: parsing the list file's text and looking up running
// program names in it.
#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace corvane::rizaz {

// One record of the block list. Only the name is used for blocking; the path is kept as read.
struct BlockListEntry {
  std::string path;
  std::string name;
  bool operator==(const BlockListEntry&) const = default;
};

using BlockList = std::vector<BlockListEntry>;

// Records are separated by CR LF only (a bare CR or LF stays inside the record). Pieces that are
// empty or all spaces are skipped; every other piece is deciphered and split into path and name by
// SplitProgramRecord (store/list_record.h), exactly as the main program reads it. A record without a
// separator, or one that cannot be split with certainty, gives no entry. Order and duplicates are
// kept as in the file.
BlockList ParseBlockList(std::string_view fileText);

// Finds the first list entry whose name matches a running program's file name by the comparison
// rule: both sides trimmed of spaces and upper-cased (ComparisonKey). Entries whose trimmed name is
// empty never match anything.
class BlockMatcher {
 public:
  BlockMatcher() = default;
  explicit BlockMatcher(const BlockList& list);

  // Index into the list the matcher was built from, or npos.
  std::size_t FindFirst(std::string_view runningName) const;
  bool empty() const { return firstIndexByKey_.empty(); }

  static constexpr std::size_t npos = static_cast<std::size_t>(-1);

 private:
  std::unordered_map<std::string, std::size_t> firstIndexByKey_;
};

}  // namespace corvane::rizaz
