#include "process/file_facts.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

#include "tests/support/version_resource_bytes.h"

namespace corvane {
namespace {

using namespace std::string_literals;
using testing::FileAround;
using testing::NarrowVersionResource;
using testing::Utf16Le;
using testing::WideString;
using testing::WideVersionResource;

TEST(ReplaceAll, ReplacesEveryOccurrenceScanningAgainFromTheStart) {
  EXPECT_EQ(ReplaceAll("a\0b\0\0c"s, "\0"s, ""), "abc");
  EXPECT_EQ(ReplaceAll("one, two, three", ", ", "+"), "one+two+three");
  // A removal that closes up a new occurrence removes that one too.
  EXPECT_EQ(ReplaceAll("aabb", "ab", ""), "");
  EXPECT_EQ(ReplaceAll("xaabbby", "ab", "a"), "xaay");
  // Nothing to find, or nothing sought: unchanged.
  EXPECT_EQ(ReplaceAll("plain", "\0"s, ""), "plain");
  EXPECT_EQ(ReplaceAll("plain", "", "x"), "plain");
  EXPECT_EQ(ReplaceAll("", "a", ""), "");
}

TEST(ReplaceAll, EndsForReplacementsThatRecreateWhatIsSought) {
  // Scanning from the start again would never end here; one pass is the only finite reading.
  EXPECT_EQ(ReplaceAll("a-a", "a", "aa"), "aa-aa");
  EXPECT_EQ(ReplaceAll("ab", "ab", "ab"), "ab");
  EXPECT_EQ(ReplaceAll("xx", "x", "yx"), "yxyx");
}

TEST(ReplaceAll, RemovesLongRunsInLinearTime) {
  // A loop that restarts its scan and shifts the text for every occurrence would not finish here.
  std::string text;
  for (int i = 0; i < 1'000'000; ++i) text += "\0x"s;
  EXPECT_EQ(ReplaceAll(text, "\0"s, ""), std::string(1'000'000, 'x'));
  // The same with a sought text longer than one character.
  text.clear();
  for (int i = 0; i < 300'000; ++i) text += "<>x"s;
  EXPECT_EQ(ReplaceAll(text, "<>", ""), std::string(300'000, 'x'));
}

TEST(VersionKeyPattern, LinesUpWithTheWideEntryBytes) {
  const std::string pattern = MakeVersionKeyPattern("CompanyName");
  EXPECT_EQ(pattern.size(), 23u);
  EXPECT_EQ(pattern, "\x01"s + "\0"s + Utf16Le("CompanyName").substr(0, 21));
  EXPECT_EQ(pattern.back(), 'e');
  EXPECT_EQ(MakeVersionKeyPattern(""), "");
  // Found where a resource compiler puts the entry.
  const std::string entry = WideString("CompanyName", "Acme");
  EXPECT_EQ(entry.find(pattern), 4u);
}

TEST(CompanyName, ReadsTheWideTableOfA32BitExecutable) {
  EXPECT_EQ(GetCompanyNameFromBytes(FileAround(WideVersionResource("Microsoft Corporation", "Notepad"))),
            "Microsoft Corporation");
  EXPECT_EQ(GetCompanyNameFromBytes(FileAround(WideVersionResource("Acme", "Tool"))), "Acme");
  EXPECT_EQ(GetCompanyNameFromBytes(FileAround(WideVersionResource("Acme Ltd", "Tool"))), "Acme Ltd");
  // Characters of codes 128 to 255 come back as the same characters in UTF-8.
  EXPECT_EQ(GetCompanyNameFromBytes(FileAround(WideVersionResource("Soci\xE9t\xE9", "Outil"))),
            "Soci\xC3\xA9t\xC3\xA9");
  // The company entry need not come first in its table.
  EXPECT_EQ(GetCompanyNameFromBytes(FileAround(WideVersionResource(
                {WideString("Comments", "x"), WideString("CompanyName", "Later Ltd"),
                 WideString("FileDescription", "d")}))),
            "Later Ltd");
}

TEST(CompanyName, EmptyWithoutVersionInformation) {
  EXPECT_EQ(GetCompanyNameFromBytes(""), "");
  EXPECT_EQ(GetCompanyNameFromBytes(FileAround("")), "");
  EXPECT_EQ(GetCompanyNameFromBytes(std::string(4096, '\0')), "");
  // A string table without a company entry.
  EXPECT_EQ(GetCompanyNameFromBytes(FileAround(WideVersionResource({WideString("FileDescription", "Tool")}))),
            "");
}

TEST(CompanyName, EmptyValueFollowedByFileDescriptionIsEmpty) {
  // Stored with its terminator (as windres does): three NULs end it at once.
  EXPECT_EQ(GetCompanyNameFromBytes(FileAround(WideVersionResource("", "A description"))), "");
  // Stored without one: the next entry follows the alignment zeros directly, and the text up to
  // the next three NULs runs into the description's key.
  EXPECT_EQ(GetCompanyNameFromBytes(FileAround(WideVersionResource(
                {WideString("CompanyName", "", false), WideString("FileDescription", "A description")}))),
            "");
}

TEST(CompanyName, EmptyValueRunsOnIntoAnotherNextEntry) {
  // Only a following description marks an empty value; before any other key the text runs on into
  // that entry up to its three NULs.
  const std::string name = GetCompanyNameFromBytes(FileAround(WideVersionResource(
      {WideString("CompanyName", "", false), WideString("ProductName", "P")})));
  EXPECT_NE(name.find("\x01ProductName"), std::string::npos) << name;
}

TEST(CompanyName, WideTableBeforeEightBitTable) {
  const std::string old = NarrowVersionResource({{"CompanyName", "Old Maker"}, {"FileDescription", "d"}});
  const std::string wide = WideVersionResource("New Maker", "d");
  // Either order in the file: a wide table wins.
  EXPECT_EQ(GetCompanyNameFromBytes(FileAround(old + wide)), "New Maker");
  EXPECT_EQ(GetCompanyNameFromBytes(FileAround(wide + old)), "New Maker");
  // Only the 8-bit table: read as 8-bit text.
  EXPECT_EQ(GetCompanyNameFromBytes(FileAround(old)), "Old Maker");
}

TEST(CompanyName, EightBitValueEndsAtItsTerminatorWithoutThreeNuls) {
  // Value, terminator and then text again: no run of three NULs follows, so the first control
  // character ends the value.
  EXPECT_EQ(GetCompanyNameFromBytes("StringFileInfo\0\0CompanyName\0Acme\0x\0y"s), "Acme");
  // With three NULs after it the value runs to them.
  EXPECT_EQ(GetCompanyNameFromBytes("StringFileInfo\0\0CompanyName\0Acme\0\0\0"s), "Acme");
  // No table name at all: the key is looked for from the start.
  EXPECT_EQ(GetCompanyNameFromBytes("CompanyName\0Acme\0\0\0"s), "Acme");
  // The look for a control character starts one past the value's first byte.
  EXPECT_EQ(GetCompanyNameFromBytes("CompanyName\0\x1F" "Acme\0x\0y"s), "\x1F" "Acme");
  // The value runs past 255 bytes without a control character and without three NULs: nothing.
  EXPECT_EQ(GetCompanyNameFromBytes("CompanyName\0"s + std::string(300, 'A')), "");
}

TEST(CompanyName, OnlyTheFirstCompanyEntryAfterTheFirstTableCounts) {
  const std::string first = WideVersionResource("First", "d");
  const std::string second = WideVersionResource("Second", "d");
  EXPECT_EQ(GetCompanyNameFromBytes(FileAround(first + second)), "First");
  // A company entry before the table is not part of it.
  const std::string stray = WideString("CompanyName", "Stray");
  EXPECT_EQ(GetCompanyNameFromBytes(FileAround(stray + first)), "First");
}

TEST(CompanyName, ControlCharacterRuleAppliesWhenNoThreeNulsFollow) {
  // Truncated inside the wide value: the alignment zero after its start ends it empty.
  const std::string resource = FileAround(WideVersionResource("Microsoft Corporation", "d"));
  const size_t value = resource.find(Utf16Le("Micro"));
  ASSERT_NE(value, std::string::npos);
  EXPECT_EQ(GetCompanyNameFromBytes(std::string_view(resource).substr(0, value + 10)), "");
}

TEST(CompanyName, RunOnValuesAreCutAtTheLargestVersionResource) {
  // Three NULs only far away: the value would be megabytes of the file.
  std::string bytes = "StringFileInfo\0\0CompanyName\0"s;
  for (int i = 0; i < 200'000; ++i) bytes += "ab\0"s;
  bytes += "\0\0\0"s;
  const std::string name = GetCompanyNameFromBytes(bytes);
  EXPECT_EQ(name.size(), kVersionResourceLimit / 3 * 2);
  EXPECT_EQ(name.substr(0, 6), "ababab");
}

// Every prefix of a file: either the whole name or nothing, and never a read past the end
// (AddressSanitizer watches the host build).
void ExpectEveryTruncationWholeOrEmpty(const std::string& file, const std::string& company) {
  for (size_t length = 0; length <= file.size(); ++length) {
    const std::string prefix = file.substr(0, length);  // own allocation, so overreads are caught
    const std::string name = GetCompanyNameFromBytes(prefix);
    ASSERT_TRUE(name.empty() || name == company) << "length " << length << ": " << name;
  }
}

TEST(CompanyName, TruncatedAnywhereGivesWholeNameOrNothing) {
  ExpectEveryTruncationWholeOrEmpty(FileAround(WideVersionResource("Microsoft Corporation", "Notepad")),
                                    "Microsoft Corporation");
  ExpectEveryTruncationWholeOrEmpty(WideVersionResource("Acme", "Tool"), "Acme");
  ExpectEveryTruncationWholeOrEmpty(
      FileAround(NarrowVersionResource({{"CompanyName", "Old Maker"}, {"FileDescription", "d"}})), "Old Maker");
}

TEST(CompanyName, HostileLengthsAndMissingTerminatorsAreHarmless) {
  std::string resource = WideVersionResource("Acme", "Tool");
  // Every 16-bit length field claims the most.
  for (size_t at = 0; at + 1 < resource.size(); at += 4) {
    if (resource[at] != '\0' || resource[at + 1] != '\0') {
      resource[at] = '\xFF';
      resource[at + 1] = '\xFF';
    }
  }
  EXPECT_LE(GetCompanyNameFromBytes(resource).size(), 2 * resource.size());
  // The key at the very end, nothing after it.
  EXPECT_EQ(GetCompanyNameFromBytes(MakeVersionKeyPattern("StringFileInfo") + MakeVersionKeyPattern("CompanyName")),
            "");
  EXPECT_EQ(GetCompanyNameFromBytes("CompanyName"), "");
  // No NUL anywhere after the key.
  EXPECT_EQ(GetCompanyNameFromBytes("CompanyName" + std::string(100'000, 'x')), "");
}

TEST(CompanyName, RandomMutationsOfValidResourcesAreHarmless) {
  // A few seconds of mutated inputs at most: bytes flipped, runs zeroed, pieces cut and repeated.
  const std::vector<std::string> seeds = {
      FileAround(WideVersionResource("Microsoft Corporation", "Notepad")),
      FileAround(WideVersionResource({WideString("CompanyName", "", false), WideString("FileDescription", "d")})),
      FileAround(NarrowVersionResource({{"CompanyName", "Old Maker"}, {"FileDescription", "d"}})),
      WideVersionResource("Acme", "Tool") + NarrowVersionResource({{"CompanyName", "X"}}),
  };
  std::mt19937 random(20240531);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  int runs = 0;
  while (std::chrono::steady_clock::now() < deadline && runs < 200'000) {
    std::string bytes = seeds[random() % seeds.size()];
    const int edits = 1 + static_cast<int>(random() % 8);
    for (int e = 0; e < edits && !bytes.empty(); ++e) {
      const size_t at = random() % bytes.size();
      switch (random() % 5) {
        case 0:
          bytes[at] = static_cast<char>(random());
          break;
        case 1:
          bytes[at] = "\0\x01\x1F "[random() % 4];
          break;
        case 2:
          bytes.resize(at);
          break;
        case 3:
          bytes.replace(at, std::min<size_t>(random() % 16, bytes.size() - at), std::string(random() % 16, '\0'));
          break;
        default:
          bytes.insert(at, bytes.substr(random() % bytes.size(), random() % 64));
          break;
      }
    }
    const std::string name = GetCompanyNameFromBytes(bytes);
    // Never more than the input's bytes as UTF-8, NULs removed.
    ASSERT_LE(name.size(), 2 * bytes.size());
    ASSERT_EQ(name.find('\0'), std::string::npos);
    ++runs;
  }
  EXPECT_GT(runs, 1000);
}

TEST(CompanyName, LinearOnFilesFullOfNearMatches) {
  // Keys short of their last character, tens of thousands of times over, then a real table.
  const std::string nearTable = MakeVersionKeyPattern("StringFileInf");
  const std::string nearCompany = MakeVersionKeyPattern("CompanyNam");
  std::string bytes;
  for (int i = 0; i < 100'000; ++i) bytes += nearTable + nearCompany + "CompanyNam\0\0"s;
  bytes += WideVersionResource("Acme", "d");
  EXPECT_EQ(GetCompanyNameFromBytes(bytes), "Acme");
  // Megabytes of NULs with no table at all.
  EXPECT_EQ(GetCompanyNameFromBytes(std::string(16 << 20, '\0')), "");
}

TEST(PriorityName, NamesTheFourClassesAndCallsTheRestNormal) {
  EXPECT_EQ(PriorityNameForClass(32), "Normal");
  EXPECT_EQ(PriorityNameForClass(64), "Idle");
  EXPECT_EQ(PriorityNameForClass(128), "High");
  EXPECT_EQ(PriorityNameForClass(256), "Real Time");
  // Below normal, above normal, and a failed query.
  EXPECT_EQ(PriorityNameForClass(0x4000), "Normal");
  EXPECT_EQ(PriorityNameForClass(0x8000), "Normal");
  EXPECT_EQ(PriorityNameForClass(0), "Normal");
}

}  // namespace
}  // namespace corvane
