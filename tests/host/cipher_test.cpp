#include "store/cipher.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace corvane {
namespace {

std::string RandomPrintable(std::mt19937& rng, size_t length) {
  std::uniform_int_distribution<int> code(32, 126);
  std::string s;
  for (size_t i = 0; i < length; ++i) s.push_back(static_cast<char>(code(rng)));
  return s;
}

std::string TrimmedCopy(const std::string& s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

TEST(KeyToSeed, KnownValues) {
  EXPECT_EQ(KeyToSeed(""), 0);
  // One character: both shifts are 0, so c XOR c.
  EXPECT_EQ(KeyToSeed("A"), 0);
  // "AB": second character shifted by 7 and by 13.
  EXPECT_EQ(KeyToSeed("AB"), (66 << 7) ^ (66 << 13));
  // Shifts wrap: the third character uses 14 and 26 mod 23 = 3.
  EXPECT_EQ(KeyToSeed("ABC"), (66 << 7) ^ (66 << 13) ^ (67 << 14) ^ (67 << 3));
  // Codes above 127 count as their byte value, not as negative numbers.
  EXPECT_EQ(KeyToSeed("\xFF\xFF"), (255 << 7) ^ (255 << 13));
}

TEST(CipherGenerator, ValuesStayInHalfOpenUnitRangeAndRepeat) {
  CipherGenerator a;
  CipherGenerator b;
  a.Reset(-1);
  b.Reset(-1);
  a.Reseed(12345);
  b.Reseed(12345);
  for (int i = 0; i < 100000; ++i) {
    const float r = a.Next();
    ASSERT_GE(r, 0.0f);
    ASSERT_LT(r, 1.0f);
    ASSERT_EQ(r, b.Next());
  }
  // A different seed gives a different run.
  CipherGenerator c;
  c.Reset(-1);
  c.Reseed(54321);
  a.Reset(-1);
  a.Reseed(12345);
  int same = 0;
  for (int i = 0; i < 100; ++i) same += (a.Next() == c.Next());
  EXPECT_LT(same, 5);
}

TEST(TextCipher, RoundTripOfPrintableLines) {
  std::mt19937 rng(7);
  for (int i = 0; i < 2000; ++i) {
    const std::string plain = RandomPrintable(rng, rng() % 300);
    const std::string stored = EncryptText(plain);
    ASSERT_EQ(stored.size(), plain.size());
    for (const char c : stored) {
      ASSERT_GE(static_cast<unsigned char>(c), 32);
      ASSERT_LE(static_cast<unsigned char>(c), 126);
    }
    ASSERT_EQ(DecryptText(stored), TrimmedCopy(plain)) << plain;
  }
}

TEST(TextCipher, EdgeCases) {
  // Empty in, empty out.
  EXPECT_EQ(EncryptText(""), "");
  EXPECT_EQ(DecryptText(""), "");
  // Spaces encipher to something and come back trimmed away.
  const std::string spaces = EncryptText("     ");
  EXPECT_EQ(spaces.size(), 5u);
  EXPECT_NE(spaces, "     ");
  EXPECT_EQ(DecryptText(spaces), "");
  // Deterministic: the same line twice gives the same stored line.
  EXPECT_EQ(EncryptText("C:\\Tools\\run.exe^^^^run.exe"), EncryptText("C:\\Tools\\run.exe^^^^run.exe"));
  // The same character repeated is not stored as one repeated character.
  const std::string repeated = EncryptText("aaaaaaaaaaaaaaaa");
  EXPECT_NE(repeated.find_first_not_of(repeated[0]), std::string::npos);
  // Interior spaces survive; only the ends are trimmed.
  EXPECT_EQ(DecryptText(EncryptText("  C:\\Program Files\\a b.exe  ")), "C:\\Program Files\\a b.exe");
}

TEST(TextCipher, CharactersOutsideTheAlphabetAreDroppedWithoutDesynchronising) {
  // Tab, accented letter (UTF-8 bytes), DEL and control characters are lost; the rest comes back.
  EXPECT_EQ(DecryptText(EncryptText("a\tb")), "ab");
  EXPECT_EQ(DecryptText(EncryptText("C:\\Caf\xC3\xA9\\x.exe")), "C:\\Caf\\x.exe");
  EXPECT_EQ(DecryptText(EncryptText("x\x7Fy\x01z")), "xyz");
  // A dropped character draws no value: the rest is enciphered as if it were not there.
  EXPECT_EQ(EncryptText("a\tb"), EncryptText("ab"));
  // Stray bytes in a stored line are skipped the same way when reading.
  const std::string stored = EncryptText("hello");
  EXPECT_EQ(DecryptText(std::string("\r") + stored + "\n"), "hello");
}

TEST(TextCipher, LinesAreIndependentOfEachOther) {
  const std::string first = EncryptText("first line");
  EncryptText("something in between");
  DecryptText("garbage");
  EXPECT_EQ(EncryptText("first line"), first);
  // Prefixes encipher to prefixes: every line starts the run of offsets afresh.
  EXPECT_EQ(EncryptText("first line and more").substr(0, first.size()), first);
}

TEST(TextCipher, ArbitraryStoredTextDeciphersToAlphabetCharacters) {
  std::mt19937 rng(11);
  for (int i = 0; i < 500; ++i) {
    std::string junk;
    for (int j = 0; j < 64; ++j) junk.push_back(static_cast<char>(rng() & 0xFF));
    for (const char c : DecryptText(junk)) {
      ASSERT_GE(static_cast<unsigned char>(c), 32);
      ASSERT_LE(static_cast<unsigned char>(c), 126);
    }
  }
}

}  // namespace
}  // namespace corvane
