// Writes seed files for the company-name fuzz target into the folder given.
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/version_resource_bytes.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  using namespace corvane::testing;
  const std::vector<std::pair<std::string, std::string>> seeds = {
      {"wide", FileAround(WideVersionResource("Microsoft Corporation", "Notepad"))},
      {"wide_empty", FileAround(WideVersionResource({WideString("CompanyName", "", false),
                                                     WideString("FileDescription", "d")}))},
      {"wide_runon", WideVersionResource({WideString("CompanyName", "", false), WideString("ProductName", "P")})},
      {"narrow", FileAround(NarrowVersionResource({{"CompanyName", "Old Maker"}, {"FileDescription", "d"}}))},
      {"both", NarrowVersionResource({{"CompanyName", "Old"}}) + WideVersionResource("New", "d")},
  };
  for (const auto& [name, bytes] : seeds) {
    std::ofstream out(std::string(argv[1]) + "/" + name, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) return 1;
  }
  return 0;
}
