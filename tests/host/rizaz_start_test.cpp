#include <gtest/gtest.h>

#include "rizaz/access_code.h"
#include "rizaz/cached_settings.h"
#include "tests/fakes/memory_settings.h"

namespace corvane::rizaz {
namespace {

TEST(AccessCode, OnlyTheExactCodeAloneIsAccepted) {
  // As the shell passes it, with the path quoted or not, and extra separating blanks.
  EXPECT_TRUE(IsAccessGranted("\"C:\\Program Files\\Corvane\\rizaz.exe\" plumtide"));
  EXPECT_TRUE(IsAccessGranted("C:\\Corvane\\rizaz.exe plumtide"));
  EXPECT_TRUE(IsAccessGranted("rizaz.exe \t  plumtide"));
  // No argument, another letter case, anything before or after it.
  EXPECT_FALSE(IsAccessGranted("\"C:\\Corvane\\rizaz.exe\""));
  EXPECT_FALSE(IsAccessGranted("\"C:\\Corvane\\rizaz.exe\" "));
  EXPECT_FALSE(IsAccessGranted(""));
  EXPECT_FALSE(IsAccessGranted("rizaz.exe PlumTide"));
  EXPECT_FALSE(IsAccessGranted("rizaz.exe PLUMTIDE"));
  EXPECT_FALSE(IsAccessGranted("rizaz.exe plumtide x"));
  EXPECT_FALSE(IsAccessGranted("rizaz.exe plumtide plumtide"));
  EXPECT_FALSE(IsAccessGranted("rizaz.exe plumtide "));
  EXPECT_FALSE(IsAccessGranted("rizaz.exe xplumtide"));
  EXPECT_FALSE(IsAccessGranted("rizaz.exe \"plumtide\""));
  EXPECT_FALSE(IsAccessGranted("rizaz.exe plumtid"));
  // The code inside a quoted path is part of the path, not an argument.
  EXPECT_FALSE(IsAccessGranted("\"C:\\x plumtide\""));
  EXPECT_FALSE(IsAccessGranted("\"C:\\unterminated plumtide"));
}

TEST(CachedSettings, ReadsEachValueOnceUntilInvalidated) {
  testing::MemorySettings store;
  CachedSettings cached(store);
  store.values["Support"] = "True";
  EXPECT_EQ(cached.ReadSetting("Support", "True"), "True");
  EXPECT_EQ(cached.ReadSetting("Support", "True"), "True");
  EXPECT_EQ(cached.ReadSetting("ChkBeep", "0"), "0");  // absent: the default, remembered too
  EXPECT_EQ(cached.ReadSetting("ChkBeep", "0"), "0");
  EXPECT_EQ(store.reads, 2);
  // The other program changes a value: unseen until the change is signalled.
  store.WriteSetting("Support", "False");
  store.WriteSetting("ChkBeep", "1");
  EXPECT_EQ(cached.ReadSetting("Support", "True"), "True");
  cached.Invalidate();
  EXPECT_EQ(cached.ReadSetting("Support", "True"), "False");
  EXPECT_EQ(cached.ReadSetting("ChkBeep", "0"), "1");
  // A different default is a different question.
  store.values.erase("ChkBeep");
  cached.Invalidate();
  EXPECT_EQ(cached.ReadSetting("ChkBeep", "0"), "0");
  EXPECT_EQ(cached.ReadSetting("ChkBeep", "7"), "7");
}

TEST(CachedSettings, WritesGoThroughAndAreSeenAtOnce) {
  testing::MemorySettings store;
  CachedSettings cached(store);
  store.values["Read"] = "True";
  EXPECT_TRUE(ReadBoolSetting(cached, "Read", true));
  EXPECT_TRUE(WriteBoolSetting(cached, "Read", false));
  EXPECT_EQ(store.Get("Read"), "False");
  EXPECT_FALSE(ReadBoolSetting(cached, "Read", true));
  // A failed write leaves the earlier value, and that is what is read back.
  store.failWrites = true;
  EXPECT_FALSE(WriteBoolSetting(cached, "Read", true));
  EXPECT_FALSE(ReadBoolSetting(cached, "Read", true));
  // Caching off: every read reaches the store.
  cached.SetCaching(false);
  const int reads = store.reads;
  cached.ReadSetting("Read", "True");
  cached.ReadSetting("Read", "True");
  EXPECT_EQ(store.reads, reads + 2);
}

}  // namespace
}  // namespace corvane::rizaz
