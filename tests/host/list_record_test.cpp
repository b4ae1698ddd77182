#include "store/list_record.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "process/paths.h"
#include "store/cipher.h"

namespace corvane {
namespace {

struct Split {
  bool ok = false;
  std::string first;
  std::string second;
  bool operator==(const Split&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Split& split) {
  return out << (split.ok ? "{" : "skipped {") << split.first << " | " << split.second << "}";
}

Split Program(std::string_view plain) {
  Split split;
  split.ok = SplitProgramRecord(plain, split.first, split.second);
  return split;
}

Split HotKey(std::string_view plain) {
  Split split;
  split.ok = SplitHotKeyRecord(plain, split.first, split.second);
  return split;
}

// The record the main program writes for a program at path, as it reads back from the file.
Split StoredAndRead(const std::string& path) {
  return Program(DecryptText(EncryptText(ProgramRecord(path, GetFileNameFromPath(path)))));
}

TEST(ProgramRecordSplit, APathOrNameCannotPassForAnotherProgram) {
  // A folder whose name carries the separator and another program's name.
  const std::string folder = "C:\\Users\\me\\Downloads\\^^^^Corvane.exe^^^^\\setup.exe";
  EXPECT_EQ(StoredAndRead(folder), (Split{true, folder, "setup.exe"}));
  // A file name that does.
  const std::string file = "C:\\Games\\x^^^^explorer.exe";
  EXPECT_EQ(StoredAndRead(file), (Split{true, file, "x^^^^explorer.exe"}));
  // Both at once, and the name repeated in the folder.
  const std::string both = "D:\\^^^^a.exe^^^^\\a.exe^^^^\\b^^^^a.exe";
  EXPECT_EQ(StoredAndRead(both), (Split{true, both, "b^^^^a.exe"}));
}

TEST(ProgramRecordSplit, CaretsNextToTheSeparatorOverlapIt) {
  // "a^" then the separator: five carets in a row, two candidates.
  EXPECT_EQ(StoredAndRead("C:\\d\\a^"), (Split{true, "C:\\d\\a^", "a^"}));
  // A name that starts with a caret.
  EXPECT_EQ(StoredAndRead("C:\\d\\^x.exe"), (Split{true, "C:\\d\\^x.exe", "^x.exe"}));
  // Carets only.
  EXPECT_EQ(StoredAndRead("C:\\^^^^^^^"), (Split{true, "C:\\^^^^^^^", "^^^^^^^"}));
  EXPECT_EQ(StoredAndRead("C:\\^^^^\\^"), (Split{true, "C:\\^^^^\\^", "^"}));
}

TEST(ProgramRecordSplit, EveryPathTheMainProgramWritesReadsBackExactly) {
  // Paths built from the characters that matter here: carets, backslashes, blanks, letters in both
  // cases, dots and a non-ASCII letter.
  static const char* const kPieces[] = {"^", "^^^^", "\\", " ", "a", "A", ".exe", "\xC3\xA9", "x"};
  std::mt19937 rng(99);
  std::uniform_int_distribution<size_t> piece(0, std::size(kPieces) - 1);
  for (int i = 0; i < 20000; ++i) {
    std::string path = "C:\\";
    const size_t length = rng() % 12;
    for (size_t j = 0; j < length; ++j) path += kPieces[piece(rng)];
    // Windows takes blanks off the end of a file name; the cipher trims the line's ends.
    while (!path.empty() && path.back() == ' ') path.pop_back();
    const std::string name = GetFileNameFromPath(path);
    ASSERT_EQ(StoredAndRead(path), (Split{true, path, name})) << path;
  }
}

TEST(ProgramRecordSplit, OlderRecordsReadAsBeforeAndDoubtfulOnesAreSkipped) {
  // One separator: split there, whatever the name (older lists, empty paths).
  EXPECT_EQ(Program("C:\\Tools\\a.exe^^^^a.exe"), (Split{true, "C:\\Tools\\a.exe", "a.exe"}));
  EXPECT_EQ(Program("p^^^^other.exe"), (Split{true, "p", "other.exe"}));
  EXPECT_EQ(Program("^^^^only-name.exe"), (Split{true, "", "only-name.exe"}));
  EXPECT_EQ(Program("C:\\p.exe^^^^"), (Split{true, "C:\\p.exe", ""}));
  // The name compares by the comparison rule: blanks around it and letter case do not matter.
  EXPECT_EQ(Program("C:\\^^^^\\Tool.exe^^^^  TOOL.EXE"), (Split{true, "C:\\^^^^\\Tool.exe", "  TOOL.EXE"}));
  // No separator, or several and none of them followed by the path's end: skipped, not guessed.
  EXPECT_FALSE(Program("C:\\no-separator.exe").ok);
  EXPECT_FALSE(Program("").ok);
  EXPECT_FALSE(Program("^^^").ok);
  EXPECT_FALSE(Program("C:\\a^^^^b^^^^c.exe").ok);
  EXPECT_FALSE(Program("p^^^^n.exe^^^^extra").ok);
}

TEST(HotKeyRecordSplit, TheLabelFollowsTheLastSeparator) {
  EXPECT_EQ(HotKey(HotKeyRecord("C:\\doc.txt", "Ctrl + Shift + 7")), (Split{true, "C:\\doc.txt", "Ctrl + Shift + 7"}));
  // Carets in the target, also right before the separator.
  for (const std::string target : {"C:\\x^^^^", "C:\\^^^^Ctrl + Shift + Q^^^^\\a.txt", "C:\\a^", "^^^^"}) {
    EXPECT_EQ(HotKey(HotKeyRecord(target, "Ctrl + Shift + A")), (Split{true, target, "Ctrl + Shift + A"})) << target;
  }
  EXPECT_EQ(HotKey("^^^^Ctrl + Shift + B"), (Split{true, "", "Ctrl + Shift + B"}));
  EXPECT_FALSE(HotKey("C:\\no separator").ok);
  EXPECT_FALSE(HotKey("^^^").ok);
}

TEST(ProgramRecordSplit, HostileLinesCostAboutTheirLength) {
  // A million carets, and a long blank folder name before a long run of carets: a split that
  // compared every candidate in full would not finish.
  // (An odd count: with an even one, the middle candidate splits carets from equal carets.)
  EXPECT_FALSE(Program(std::string((1 << 20) + 1, '^')).ok);
  EXPECT_EQ(Program(std::string(12, '^')), (Split{true, "^^^^", "^^^^"}));
  EXPECT_FALSE(Program("C:\\" + std::string(1 << 19, ' ') + std::string(1 << 19, '^') + "x").ok);
  const std::string deep = "C:\\" + std::string(1 << 19, 'a') + std::string(1 << 19, '^');
  EXPECT_FALSE(Program(deep).ok);
  EXPECT_TRUE(HotKey(std::string(1 << 20, '^') + "Ctrl + Shift + A").ok);
}

}  // namespace
}  // namespace corvane
