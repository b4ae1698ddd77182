#include "rizaz/block_list.h"

#include "base/text.h"
#include "store/cipher.h"
#include "store/list_record.h"

namespace corvane::rizaz {

namespace {
constexpr std::string_view kRecordEnd = "\r\n";

void AppendRecord(std::string_view piece, BlockList& list) {
  if (TrimSpaces(piece).empty()) return;
  // Split as the main program splits it, so that both read one record as the same program; a record
  // that cannot be split with certainty blocks nothing.
  BlockListEntry entry;
  if (!SplitProgramRecord(DecryptText(piece), entry.path, entry.name)) return;
  list.push_back(std::move(entry));
}
}  // namespace

BlockList ParseBlockList(std::string_view fileText) {
  BlockList list;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = fileText.find(kRecordEnd, start);
    if (end == std::string_view::npos) {
      AppendRecord(fileText.substr(start), list);
      return list;
    }
    AppendRecord(fileText.substr(start, end - start), list);
    start = end + kRecordEnd.size();
  }
}

BlockMatcher::BlockMatcher(const BlockList& list) {
  firstIndexByKey_.reserve(list.size());
  for (std::size_t i = 0; i < list.size(); ++i) {
    std::string key = ComparisonKey(list[i].name);
    if (key.empty()) continue;
    firstIndexByKey_.try_emplace(std::move(key), i);  // the first entry of a name wins
  }
}

std::size_t BlockMatcher::FindFirst(std::string_view runningName) const {
  if (firstIndexByKey_.empty()) return npos;
  // The main program's comparison rule, so that what it decides is blocked is also what is ended.
  const auto it = firstIndexByKey_.find(ComparisonKey(runningName));
  return it == firstIndexByKey_.end() ? npos : it->second;
}

}  // namespace corvane::rizaz
