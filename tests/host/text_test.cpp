#include "base/text.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(Text, TrimRemovesOnlySpaces) {
  EXPECT_EQ(TrimSpaces("  a b  "), "a b");
  EXPECT_EQ(TrimSpaces("\ta\t"), "\ta\t");
  EXPECT_EQ(TrimSpaces("    "), "");
  EXPECT_EQ(TrimSpaces(""), "");
}

TEST(Text, ComparisonRuleIgnoresCaseAndOuterSpaces) {
  EXPECT_TRUE(SameNameOrPath(" NOTEPAD.EXE ", "notepad.exe"));
  EXPECT_TRUE(SameNameOrPath("C:\\A\\x.exe", "c:\\a\\X.EXE  "));
  EXPECT_FALSE(SameNameOrPath("note pad.exe", "notepad.exe"));
  EXPECT_FALSE(SameNameOrPath("a.exe", "a.ex"));
  // Only ASCII letters fold; other bytes must match exactly.
  EXPECT_FALSE(SameNameOrPath("\xC3\xA9", "\xC3\x89"));
}

TEST(Text, SplitAtSeparator) {
  EXPECT_EQ(SplitAt("C:\\x.exe^^^^x.exe", "^^^^"), (std::vector<std::string>{"C:\\x.exe", "x.exe"}));
  EXPECT_EQ(SplitAt("no separator", "^^^^"), (std::vector<std::string>{"no separator"}));
  EXPECT_EQ(SplitAt("a^^^^b^^^^c", "^^^^"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(SplitAt("a^^^^", "^^^^"), (std::vector<std::string>{"a", ""}));
  // Five carets: the first four separate, the fifth belongs to the second field.
  EXPECT_EQ(SplitAt("a^^^^^b", "^^^^"), (std::vector<std::string>{"a", "^b"}));
  EXPECT_EQ(SplitAt("", "^^^^"), (std::vector<std::string>{""}));
}

}  // namespace
}  // namespace corvane
