#include "watch/file_hash_cache.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace corvane::watch {
namespace {

const std::string kOld(64, 'a');
const std::string kNew(64, 'b');

TEST(FileHashCache, AHashIsReusedOnlyOnAProvenUnchangedVersion) {
  FileHashCache cache;
  const FileVersion proven{7, 0, 42, 1000};
  cache.Remember("C:\\Apps\\tool.exe", proven, kOld);
  // Known under the path as the lists compare it.
  const std::optional<KnownHash> known = cache.Known(" c:\\apps\\TOOL.EXE");
  ASSERT_TRUE(known);
  EXPECT_TRUE(MayReuseHash(known, proven));
  // Any write, rename or replacement gives a new change number, or another file id.
  EXPECT_FALSE(MayReuseHash(known, {7, 0, 42, 1001}));
  EXPECT_FALSE(MayReuseHash(known, {7, 0, 43, 1000}));
  EXPECT_FALSE(MayReuseHash(known, {8, 0, 42, 1000}));
  // Without a change journal there is no evidence: nothing is remembered, and what was is dropped,
  // however alike the file looks.
  cache.Remember("C:\\Apps\\tool.exe", {7, 0, 42, 0}, kNew);
  EXPECT_FALSE(cache.Known("C:\\Apps\\tool.exe"));
  EXPECT_FALSE(MayReuseHash(KnownHash{{7, 0, 42, 0}, kOld}, {7, 0, 42, 0}));
  EXPECT_FALSE(MayReuseHash(std::nullopt, proven));
}

TEST(FileHashCache, AFullCacheStartsAfresh) {
  FileHashCache cache(2);
  cache.Remember("C:\\a.exe", {1, 0, 1, 1}, kOld);
  cache.Remember("C:\\b.exe", {1, 0, 2, 2}, kOld);
  cache.Remember("C:\\B.EXE", {1, 0, 2, 3}, kNew);  // the same path again: no room needed
  EXPECT_EQ(cache.size(), 2u);
  cache.Remember("C:\\c.exe", {1, 0, 3, 4}, kNew);
  EXPECT_EQ(cache.size(), 1u);
  EXPECT_FALSE(cache.Known("C:\\a.exe"));
  EXPECT_EQ(cache.Known("C:\\c.exe")->sha256, kNew);
}

TEST(CheckAllowedFile, SameChangedUnknownOrNotStored) {
  EXPECT_EQ(CheckAllowedFile(kOld, kOld), FileCheck::Same);
  // Stored by hand in upper case: still the same file.
  EXPECT_EQ(CheckAllowedFile(std::string(64, 'A'), kOld), FileCheck::Same);
  EXPECT_EQ(CheckAllowedFile(kOld, kNew), FileCheck::Changed);
  EXPECT_EQ(CheckAllowedFile(kOld, std::nullopt), FileCheck::Unknown);
  EXPECT_EQ(CheckAllowedFile(kOld, std::string("short")), FileCheck::Unknown);
  // An allowance from before hashes were kept, or a damaged one: it takes the hash, no question.
  EXPECT_EQ(CheckAllowedFile("", kNew), FileCheck::NotStored);
  EXPECT_EQ(CheckAllowedFile("not a hash", kNew), FileCheck::NotStored);
}

}  // namespace
}  // namespace corvane::watch
