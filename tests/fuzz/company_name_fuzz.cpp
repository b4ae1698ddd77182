// libFuzzer target for the company-name search over arbitrary file bytes. Built on its own (see
// CMakeLists.txt here), never by the project's build or its tests.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "process/file_facts.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // An exact-size copy, so that a read one byte past the end is caught.
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::string name = corvane::GetCompanyNameFromBytes(bytes);
  // NULs are removed, and every byte becomes at most two bytes of UTF-8.
  if (name.find('\0') != std::string::npos || name.size() > 2 * corvane::kVersionResourceLimit) std::abort();
  // The same input split in two parts checks ReplaceAll against a plain loop where they must agree.
  const std::string_view view(bytes);
  const std::string_view find = view.substr(0, size % 4);
  const std::string_view text = view.substr(find.size());
  if (find.size() == 1) {
    std::string removed;
    for (const char c : text) {
      if (c != find[0]) removed.push_back(c);
    }
    if (corvane::ReplaceAll(text, find, "") != removed) std::abort();
  } else {
    const std::string out = corvane::ReplaceAll(text, find, "");
    if (!find.empty() && out.find(find) != std::string::npos) std::abort();
  }
  return 0;
}
