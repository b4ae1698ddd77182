#include "watch/file_hash_cache.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "tests/fakes/fake_file_hasher.h"

namespace corvane::watch {
namespace {

const std::string kOld(64, 'a');
const std::string kNew(64, 'b');
constexpr const char* kTool = "C:\\Apps\\tool.exe";

class FileHashCacheTest : public ::testing::Test {
 protected:
  std::optional<std::string> Look(std::string_view path) { return CurrentFileHash(cache, hasher, path); }

  testing::FakeFileHasher hasher;
  FileHashCache cache;
};

TEST_F(FileHashCacheTest, AFileIsHashedOncePerSizeAndTime) {
  hasher.files[kTool] = {{1000, 50}, kOld};
  EXPECT_EQ(Look(kTool), kOld);
  // Again, and under the path as the lists compare it: remembered.
  EXPECT_EQ(Look(kTool), kOld);
  EXPECT_EQ(cache.KnownHash(" c:\\apps\\TOOL.EXE", {1000, 50}), kOld);
  EXPECT_EQ(hasher.hashes, 1);
  // A new last-write time, or a new size with the same time: read again.
  hasher.files[kTool] = {{1000, 60}, kNew};
  EXPECT_EQ(Look(kTool), kNew);
  hasher.files[kTool] = {{2000, 60}, kOld};
  EXPECT_EQ(Look(kTool), kOld);
  EXPECT_EQ(hasher.hashes, 3);
  EXPECT_EQ(cache.KnownHash(kTool, {1000, 60}), std::nullopt);
}

TEST_F(FileHashCacheTest, AFileThatCannotBeReadIsUnknownAndReadAgainNextTime) {
  hasher.files[kTool] = {{1000, 50}, kOld};
  ASSERT_EQ(Look(kTool), kOld);
  // Replaced and locked: no answer, and the old hash is not offered for the new file.
  hasher.files[kTool] = {{3000, 70}, kNew, /*locked=*/true};
  EXPECT_EQ(Look(kTool), std::nullopt);
  EXPECT_EQ(Look(kTool), std::nullopt);
  EXPECT_EQ(hasher.hashes, 3);  // tried every time
  hasher.files[kTool].locked = false;
  EXPECT_EQ(Look(kTool), kNew);
  // Written while it was hashed: the hash may be of neither content, so it is neither given nor
  // remembered.
  hasher.files[kTool] = {{3000, 70}, kOld, false, FileVersion{3500, 80}};
  cache.Forget(kTool);
  EXPECT_EQ(Look(kTool), std::nullopt);
  EXPECT_EQ(cache.KnownHash(kTool, {3500, 80}), std::nullopt);
  // Gone: no answer, and nothing is remembered for a file that may come back.
  hasher.files.erase(kTool);
  EXPECT_EQ(Look(kTool), std::nullopt);
  EXPECT_EQ(cache.size(), 0u);
}

TEST(FileHashCache, AFullCacheStartsAfreshAndAnswersOnlyWhatItKnows) {
  FileHashCache cache(2);
  cache.Remember("C:\\a.exe", {1, 1}, kOld);
  cache.Remember("C:\\b.exe", {2, 2}, kOld);
  cache.Remember("C:\\B.EXE", {3, 3}, kNew);  // the same path again: no room needed
  EXPECT_EQ(cache.KnownHash("C:\\b.exe", {3, 3}), kNew);
  EXPECT_EQ(cache.size(), 2u);
  cache.Remember("C:\\c.exe", {4, 4}, kNew);
  EXPECT_EQ(cache.size(), 1u);
  EXPECT_EQ(cache.KnownHash("C:\\a.exe", {1, 1}), std::nullopt);
  EXPECT_EQ(cache.KnownHash("C:\\c.exe", {4, 4}), kNew);
}

TEST(CheckAllowedFile, SameChangedUnknownOrNotStored) {
  EXPECT_EQ(CheckAllowedFile(kOld, kOld), FileCheck::Same);
  // Stored by hand in upper case: still the same file.
  EXPECT_EQ(CheckAllowedFile(std::string(64, 'A'), kOld), FileCheck::Same);
  EXPECT_EQ(CheckAllowedFile(kOld, kNew), FileCheck::Changed);
  // Not readable now: never "changed", whatever was stored.
  EXPECT_EQ(CheckAllowedFile(kOld, std::nullopt), FileCheck::Unknown);
  EXPECT_EQ(CheckAllowedFile("", std::nullopt), FileCheck::Unknown);
  EXPECT_EQ(CheckAllowedFile(kOld, std::string("short")), FileCheck::Unknown);
  // An allowance from before hashes were kept, or a damaged one: it takes the hash, no question.
  EXPECT_EQ(CheckAllowedFile("", kNew), FileCheck::NotStored);
  EXPECT_EQ(CheckAllowedFile("not a hash", kNew), FileCheck::NotStored);
}

}  // namespace
}  // namespace corvane::watch
