#include "rizaz/block_list.h"

#include "base/text.h"
#include "store/cipher.h"

namespace corvane::rizaz {

namespace {
constexpr std::string_view kRecordEnd = "\r\n";
constexpr std::string_view kFieldSeparator = "^^^^";

void AppendRecord(std::string_view piece, BlockList& list) {
  if (TrimSpaces(piece).empty()) return;
  const std::string plain = DecryptText(piece);
  const std::size_t first = plain.find(kFieldSeparator);
  BlockListEntry entry;
  if (first == std::string::npos) {
    entry.path = plain;
  } else {
    entry.path = plain.substr(0, first);
    const std::size_t nameStart = first + kFieldSeparator.size();
    const std::size_t second = plain.find(kFieldSeparator, nameStart);
    entry.name = plain.substr(nameStart, second == std::string::npos ? std::string::npos : second - nameStart);
  }
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
    std::string key = TrimSpaces(ToUpperAscii(list[i].name));
    if (key.empty()) continue;
    firstIndexByKey_.try_emplace(std::move(key), i);  // the first entry of a name wins
  }
}

std::size_t BlockMatcher::FindFirst(std::string_view runningName) const {
  if (firstIndexByKey_.empty()) return npos;
  const auto it = firstIndexByKey_.find(ToUpperAscii(runningName));
  return it == firstIndexByKey_.end() ? npos : it->second;
}

}  // namespace corvane::rizaz
