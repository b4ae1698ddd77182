#include "rizaz/block_list.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "store/cipher.h"

namespace corvane::rizaz {
namespace {

std::string Record(std::string_view plain) { return EncryptText(plain) + "\r\n"; }

TEST(ParseBlockList, ReadsRecordsInFileOrderWithDuplicates) {
  const std::string text = Record("C:\\Tools\\a.exe^^^^a.exe") + Record("D:\\b.exe^^^^b.exe") +
                           Record("C:\\Tools\\a.exe^^^^a.exe");
  const BlockList list = ParseBlockList(text);
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0], (BlockListEntry{"C:\\Tools\\a.exe", "a.exe"}));
  EXPECT_EQ(list[1], (BlockListEntry{"D:\\b.exe", "b.exe"}));
  EXPECT_EQ(list[2], list[0]);
}

TEST(ParseBlockList, FieldRules) {
  // No separator: no entry (it could never match anything anyway).
  // Several separators and none followed by the path's end: skipped rather than guessed.
  // One separator: split there, whatever the name; an empty path or name stays empty.
  const BlockList list = ParseBlockList(Record("C:\\no-separator.exe") + Record("p^^^^n.exe^^^^extra^^^^more") +
                                        Record("^^^^only-name.exe") + Record("p^^^^"));
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0], (BlockListEntry{"", "only-name.exe"}));
  EXPECT_EQ(list[1], (BlockListEntry{"p", ""}));
}

TEST(ParseBlockList, ReadsEveryRecordAsTheMainProgramWroteIt) {
  // Separators inside folder and file names, a name that is another program's, a Unicode folder
  // and name, and an escape look-alike: each reads back as the path and name that were written.
  const std::string paths[] = {
      "C:\\Users\\me\\Downloads\\^^^^Corvane.exe^^^^\\setup.exe",
      "C:\\Games\\x^^^^explorer.exe",
      "C:\\d\\a^",
      "D:\\\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE\\Caf\xC3\xA9.exe",
      "C:\\t\\explorer\xC2\xAD.exe",
      "C:\\odd\\<41>.exe",
  };
  std::string text;
  for (const std::string& path : paths) {
    const std::string name = path.substr(path.rfind('\\') + 1);
    text += Record(path + "^^^^" + name);
  }
  const BlockList list = ParseBlockList(text);
  ASSERT_EQ(list.size(), std::size(paths));
  for (std::size_t i = 0; i < list.size(); ++i) {
    EXPECT_EQ(list[i].path, paths[i]);
    EXPECT_EQ(list[i].name, paths[i].substr(paths[i].rfind('\\') + 1));
  }
}

TEST(ParseBlockList, RecordsWithAFingerprintBlockTheirProgramAsWithout) {
  // Allow records carry the allowed file's hash (and day); one moved or copied into the block list
  // blocks its program like any other, also when the path holds separators.
  const std::string hash(64, 'a');
  const BlockList list = ParseBlockList(Record("C:\\x\\tool.exe^^^^tool.exe^^^^" + hash) +
                                        Record("C:\\^^^^y\\b^^^^c.exe^^^^b^^^^c.exe^^^^" + hash + "^^^^2026-12-09") +
                                        Record("C:\\z\\d.exe^^^^d.exe^^^^damaged") + Record("C:\\e.exe^^^^e.exe"));
  EXPECT_EQ(list, (BlockList{{"C:\\x\\tool.exe", "tool.exe"},
                             {"C:\\^^^^y\\b^^^^c.exe", "b^^^^c.exe"},
                             {"C:\\z\\d.exe", "d.exe"},
                             {"C:\\e.exe", "e.exe"}}));
  EXPECT_EQ(BlockMatcher(list).FindFirst("TOOL.EXE"), 0u);
}

TEST(ParseBlockList, LineEndsAndBlankPieces) {
  // Empty file.
  EXPECT_TRUE(ParseBlockList("").empty());
  // Empty lines and lines of spaces are skipped; the last record needs no CR LF.
  const std::string text = "\r\n" + Record("p1^^^^one.exe") + "   \r\n\r\n" + EncryptText("p2^^^^two.exe");
  const BlockList list = ParseBlockList(text);
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].name, "one.exe");
  EXPECT_EQ(list[1].name, "two.exe");
  // Bare LF (and bare CR) do not end a record: the whole text is one piece, one entry.
  const std::string lf = EncryptText("p1^^^^one.exe") + "\n" + EncryptText("p2^^^^two.exe") + "\n";
  EXPECT_EQ(ParseBlockList(lf).size(), 1u);
  EXPECT_EQ(ParseBlockList(EncryptText("a^^^^x.exe") + "\r" + EncryptText("b^^^^y.exe")).size(), 1u);
}

TEST(ParseBlockList, StoredSpacesAroundARecordBelongToIt) {
  // A stored line may begin or end with a space that is part of its cipher text: the piece must be
  // deciphered exactly as read, not trimmed first.
  bool sawLeading = false;
  bool sawTrailing = false;
  for (int extra = 0; extra < 4; ++extra) {
    for (char c = '!'; c <= '~'; ++c) {
      const std::string pad(extra, 'x');
      for (const std::string& plain : {std::string(1, c) + pad + "\\p^^^^n.exe", "C:\\p^^^^n" + pad + ".exe" + c}) {
        const std::string stored = EncryptText(plain);
        const bool leading = stored.front() == ' ';
        const bool trailing = stored.back() == ' ';
        if (!leading && !trailing) continue;
        sawLeading |= leading;
        sawTrailing |= trailing;
        const BlockList list = ParseBlockList(stored + "\r\n");
        ASSERT_EQ(list.size(), 1u);
        EXPECT_EQ(list[0].path + "^^^^" + list[0].name, plain);
      }
    }
  }
  EXPECT_TRUE(sawLeading && sawTrailing);
}

TEST(ParseBlockList, SurvivesHostileContent) {
  // Random bytes: no crash, and only the rare piece that deciphers to a record gives an entry.
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string random(200000, '\0');
  for (char& c : random) c = static_cast<char>(byte(rng));
  EXPECT_LT(ParseBlockList(random).size(), 5u);
  // One megabyte without a line break: one piece, and no record in it.
  const std::string huge(1 << 20, 'q');
  EXPECT_LE(ParseBlockList(huge).size(), 1u);
  // Lines without the separator give no entries.
  EXPECT_TRUE(ParseBlockList(Record("a.exe") + Record("b.exe")).empty());
}

TEST(BlockMatcher, BothNamesTrimmedAndCaseFolded) {
  const BlockList list = {{"p0", "notepad.exe"}, {"p1", "  Run It.EXE  "}, {"p2", "NOTEPAD.EXE"}, {"p3", "   "},
                          {"p4", ""}};
  const BlockMatcher matcher(list);
  // Any letter case; the first of two entries with the same name wins.
  EXPECT_EQ(matcher.FindFirst("Notepad.exe"), 0u);
  EXPECT_EQ(matcher.FindFirst("NOTEPAD.EXE"), 0u);
  // Spaces around the listed name do not matter, spaces inside do.
  EXPECT_EQ(matcher.FindFirst("run it.exe"), 1u);
  EXPECT_EQ(matcher.FindFirst("runit.exe"), BlockMatcher::npos);
  // Nor do spaces around the running name: the main program decides by the same rule.
  EXPECT_EQ(matcher.FindFirst(" notepad.exe"), 0u);
  EXPECT_EQ(matcher.FindFirst("notepad.exe  "), 0u);
  EXPECT_EQ(matcher.FindFirst("\tnotepad.exe"), BlockMatcher::npos);  // only spaces are trimmed
  // Blank names never match, not even a blank running name.
  EXPECT_EQ(matcher.FindFirst(""), BlockMatcher::npos);
  EXPECT_EQ(matcher.FindFirst("   "), BlockMatcher::npos);
  EXPECT_TRUE(BlockMatcher().empty());
}

}  // namespace
}  // namespace corvane::rizaz
