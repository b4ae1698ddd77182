#include "store/settings.h"

#include <gtest/gtest.h>

#include "tests/fakes/memory_settings.h"

namespace corvane {
namespace {

TEST(BoolSetting, ParsesTrueAndFalseInAnyCaseElseDefault) {
  testing::MemorySettings store;
  // Absent: the default.
  EXPECT_TRUE(ReadBoolSetting(store, "Support", true));
  EXPECT_FALSE(ReadBoolSetting(store, "OptAllowAll", false));
  // The two words, any letter case, spaces around them.
  for (const char* yes : {"True", "TRUE", "true", " True "}) {
    store.values["k"] = yes;
    EXPECT_TRUE(ReadBoolSetting(store, "k", false)) << yes;
  }
  for (const char* no : {"False", "FALSE", "false", "False  "}) {
    store.values["k"] = no;
    EXPECT_FALSE(ReadBoolSetting(store, "k", true)) << no;
  }
  // Anything else reads as the default, in both directions.
  for (const char* junk : {"", "1", "0", "-1", "yes", "Tru", "TrueFalse"}) {
    store.values["k"] = junk;
    EXPECT_TRUE(ReadBoolSetting(store, "k", true)) << junk;
    EXPECT_FALSE(ReadBoolSetting(store, "k", false)) << junk;
  }
}

TEST(NumberSetting, ParsesWholeNumbersElseDefault) {
  testing::MemorySettings store;
  EXPECT_EQ(ReadNumberSetting(store, "CmdRestart", 1), 1);
  store.values["k"] = "1";
  EXPECT_EQ(ReadNumberSetting(store, "k", 0), 1);
  store.values["k"] = " 25 ";
  EXPECT_EQ(ReadNumberSetting(store, "k", 0), 25);
  store.values["k"] = "-3";
  EXPECT_EQ(ReadNumberSetting(store, "k", 0), -3);
  for (const char* junk : {"", "True", "1.5", "1x", "x1", "99999999999"}) {
    store.values["k"] = junk;
    EXPECT_EQ(ReadNumberSetting(store, "k", 7), 7) << junk;
  }
}

TEST(CheckSetting, ReadsZeroAndOneElseDefault) {
  testing::MemorySettings store;
  EXPECT_TRUE(ReadCheckSetting(store, "OptHoldWhileAsking", true));
  EXPECT_FALSE(ReadCheckSetting(store, "OptHoldWhileAsking", false));
  store.values["k"] = " 0 ";
  EXPECT_FALSE(ReadCheckSetting(store, "k", true));
  store.values["k"] = "1";
  EXPECT_TRUE(ReadCheckSetting(store, "k", false));
  for (const char* junk : {"", "2", "-1", "01", "True", "1 1"}) {
    store.values["k"] = junk;
    EXPECT_TRUE(ReadCheckSetting(store, "k", true)) << junk;
    EXPECT_FALSE(ReadCheckSetting(store, "k", false)) << junk;
  }
}

TEST(SettingsWriters, WriteTheCanonicalTexts) {
  testing::MemorySettings store;
  EXPECT_TRUE(WriteBoolSetting(store, "Read", true));
  EXPECT_EQ(store.Get("Read"), "True");
  WriteBoolSetting(store, "Read", false);
  EXPECT_EQ(store.Get("Read"), "False");
  WriteNumberSetting(store, "ChkBeep", 1);
  EXPECT_EQ(store.Get("ChkBeep"), "1");
  store.failWrites = true;
  EXPECT_FALSE(WriteBoolSetting(store, "Read", true));
  EXPECT_EQ(store.Get("Read"), "False");
}

}  // namespace
}  // namespace corvane
