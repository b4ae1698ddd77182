#include "process/module_list.h"

#include "base/text.h"

namespace corvane {

std::string JoinModuleList(const std::vector<std::string>& names) {
  std::string list;
  for (std::size_t i = 1; i < names.size(); ++i) {
    std::string_view name = names[i];
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    if (!TrimSpaces(list).empty()) list += kModuleListSeparator;
    list += name;
  }
  if (TrimSpaces(list).empty()) return {};
  return list;
}

}  // namespace corvane
