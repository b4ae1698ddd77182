// The folders stand on floors: each includes only itself and folders below it. Every module's
// include folder is the source root, so the compiler cannot tell; this reads every #include.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {
namespace {

namespace fs = std::filesystem;

struct Floor {
  std::string_view folder;
  std::vector<std::string_view> uses;  // all on lower floors, that is earlier in the table
};

// Lowest first. The composition roots (a folder's app/) may include anything.
const std::vector<Floor> kFloors = {
    {"base", {}},
    {"gui", {"base"}},
    {"store", {"base"}},
    {"process", {"base"}},
    {"web", {"base", "gui"}},
    {"watch", {"base", "store", "process"}},
    {"rizaz", {"base", "gui", "store", "process"}},
    {"hotkeys", {"base", "gui", "store"}},
    {"ui", {"base", "gui", "store", "process", "watch", "web", "hotkeys"}},
};

const Floor* FloorOf(std::string_view folder) {
  const auto found = std::find_if(kFloors.begin(), kFloors.end(), [&](const Floor& f) { return f.folder == folder; });
  return found == kFloors.end() ? nullptr : &*found;
}

// The quoted includes of a source file, in order.
std::vector<std::string> QuotedIncludes(const fs::path& file) {
  std::vector<std::string> includes;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    constexpr std::string_view kInclude = "#include \"";
    if (line.rfind(kInclude, 0) != 0) continue;
    const std::size_t end = line.find('"', kInclude.size());
    if (end != std::string::npos) includes.push_back(line.substr(kInclude.size(), end - kInclude.size()));
  }
  return includes;
}

bool ReadsWindowsHeader(const fs::path& file) {
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("#include <windows.h>", 0) == 0) return true;
  }
  return false;
}

TEST(Layering, EveryIncludeRunsDownAndEveryFoldersTopLevelIsPortable) {
  // The table itself is a layering: a floor uses only floors below it.
  for (std::size_t i = 0; i < kFloors.size(); ++i) {
    for (const std::string_view used : kFloors[i].uses) {
      const Floor* below = FloorOf(used);
      EXPECT_TRUE(below != nullptr && below < &kFloors[i]) << kFloors[i].folder << " uses " << used;
    }
  }

  const fs::path root(CORVANE_TEST_SOURCE_ROOT);
  // Every module of the build stands in the table.
  for (const fs::directory_entry& entry : fs::directory_iterator(root)) {
    std::ifstream cmake(entry.path() / "CMakeLists.txt");
    const std::string text((std::istreambuf_iterator<char>(cmake)), std::istreambuf_iterator<char>());
    if (text.find("corvane_module(") != std::string::npos) {
      EXPECT_NE(FloorOf(entry.path().filename().string()), nullptr) << entry.path().filename() << " has no floor";
    }
  }

  std::vector<std::string> wrong;
  std::size_t files = 0;
  for (const Floor& floor : kFloors) {
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root / floor.folder)) {
      const std::string extension = entry.path().extension().string();
      if (extension != ".h" && extension != ".cpp") continue;
      ++files;
      const fs::path relative = entry.path().lexically_relative(root);
      const std::string name = relative.generic_string();
      const std::string layer = std::next(relative.begin())->string();  // win, app or the file itself
      if (layer == "app") continue;
      const bool portable = layer != "win";
      if (portable && ReadsWindowsHeader(entry.path())) wrong.push_back(name + " is portable and reads <windows.h>");
      for (const std::string& include : QuotedIncludes(entry.path())) {
        const std::size_t slash = include.find('/');
        if (slash == std::string::npos) continue;  // generated beside the build, as the version header
        const std::string folder = include.substr(0, slash);
        if (FloorOf(folder) == nullptr) continue;  // tests and the like include nothing of a module
        const bool allowed = folder == floor.folder ||
                             std::find(floor.uses.begin(), floor.uses.end(), folder) != floor.uses.end();
        if (!allowed) wrong.push_back(name + " includes " + include);
        if (portable && include.find("/win/") != std::string::npos) {
          wrong.push_back(name + " is portable and includes " + include);
        }
      }
    }
  }
  EXPECT_GT(files, 100u);  // the sources were found at all
  std::string report;
  for (const std::string& line : wrong) report += line + "\n";
  EXPECT_TRUE(wrong.empty()) << report;
}

}  // namespace
}  // namespace corvane
