#include "base/command_line.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(ArgumentText, SkipsTheProgramPathQuotedOrNot) {
  EXPECT_EQ(ArgumentText("rizaz.exe plumtide"), "plumtide");
  EXPECT_EQ(ArgumentText("\"C:\\Program Files\\Corvane\\rizaz.exe\" plumtide"), "plumtide");
  EXPECT_EQ(ArgumentText("\"C:\\Program Files\\Corvane\\rizaz.exe\"plumtide"), "plumtide");
  EXPECT_EQ(ArgumentText("C:\\x\\Corvane.exe   auto"), "auto");
  // Nothing after the path.
  EXPECT_EQ(ArgumentText("C:\\x\\Corvane.exe"), "");
  EXPECT_EQ(ArgumentText("\"C:\\x y\\Corvane.exe\""), "");
  EXPECT_EQ(ArgumentText(""), "");
  // An unterminated quote swallows the rest: no argument.
  EXPECT_EQ(ArgumentText("\"C:\\x y\\Corvane.exe auto"), "");
  // What follows the first argument stays, so "auto more" or "auto " are not "auto".
  EXPECT_EQ(ArgumentText("x.exe plumtide extra"), "plumtide extra");
  EXPECT_EQ(ArgumentText("x.exe auto "), "auto ");
}

}  // namespace
}  // namespace corvane
