#include "store/cipher.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// The stored form of text as the substitution alone makes it, with no escaping: what a hand-edited
// line may hold. Each position has its own offset, which a line of spaces reveals.
std::string SubstitutionOnly(std::string_view text) {
  const std::string offsets = EncryptText(std::string(text.size(), ' '));
  std::string stored;
  for (size_t i = 0; i < text.size(); ++i) {
    stored.push_back(static_cast<char>((text[i] - 32 + offsets[i] - 32) % 95 + 32));
  }
  return stored;
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
    // One stored character per plain one; "<" alone is stored as its escape "<3C>".
    const auto escapes = static_cast<size_t>(std::count(plain.begin(), plain.end(), '<'));
    ASSERT_EQ(stored.size(), plain.size() + 3 * escapes);
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

TEST(TextCipher, CharactersOutsideTheAlphabetComeBackExactly) {
  // Tab, accented letter (UTF-8 bytes), DEL and control characters survive a store and a read.
  EXPECT_EQ(DecryptText(EncryptText("a\tb")), "a\tb");
  EXPECT_EQ(DecryptText(EncryptText("C:\\Caf\xC3\xA9\\x.exe")), "C:\\Caf\xC3\xA9\\x.exe");
  EXPECT_EQ(DecryptText(EncryptText("x\x7Fy\x01z")), "x\x7Fy\x01z");
  // A soft hyphen is no longer lost, so a name that holds one stays another program's name.
  EXPECT_NE(DecryptText(EncryptText("explorer\xC2\xAD.exe")), "explorer.exe");
  // Stored as the cipher of its escapes: still one printable line.
  EXPECT_EQ(EncryptText("a\tb"), SubstitutionOnly("a<09>b"));
  EXPECT_EQ(EncryptText("<"), SubstitutionOnly("<3C>"));
  // Blanks and tabs at the ends: spaces are trimmed as always, an escaped tab is text.
  EXPECT_EQ(DecryptText(EncryptText("  \tname\t  ")), "\tname\t");
  // Stray bytes in a stored line are skipped when reading, without putting the rest out of step.
  const std::string stored = EncryptText("hello");
  EXPECT_EQ(DecryptText(std::string("\r") + stored + "\n"), "hello");
}

TEST(TextCipher, TheReaderUndoesWholeEscapesOnlyAndTrimsBeforeIt) {
  // Written text that merely looks like an escape is escaped itself and comes back as written.
  EXPECT_EQ(DecryptText(EncryptText("<41>")), "<41>");
  EXPECT_EQ(DecryptText(EncryptText("<3C>")), "<3C>");
  EXPECT_EQ(DecryptText(EncryptText("<<3C>>")), "<<3C>>");
  EXPECT_EQ(DecryptText(EncryptText("a<b>c<4")), "a<b>c<4");
  // A line as stored: "<" + two hex digits (either case) + ">" is that byte, anything else stays.
  EXPECT_EQ(DecryptText(SubstitutionOnly("x")), "x");  // the helper agrees with the cipher
  EXPECT_EQ(DecryptText(SubstitutionOnly("<41><3c><3C>")), "A<<");
  EXPECT_EQ(DecryptText(SubstitutionOnly("<<41>>")), "<A>");
  EXPECT_EQ(DecryptText(SubstitutionOnly("<4G> <41 <> <")), "<4G> <41 <> <");
  EXPECT_EQ(DecryptText(SubstitutionOnly("<C3><A9>")), "\xC3\xA9");
  // Spaces are trimmed before escapes are undone: escaped blanks at the ends stay.
  EXPECT_EQ(DecryptText(SubstitutionOnly("  <20>x<20>  ")), " x ");
}

TEST(TextCipher, AsciiLinesAreStoredExactlyAsBefore) {
  // Lines of the alphabet without "<" need no escape: files written before escapes existed read as
  // they always did, and these lines are stored as they always were.
  const struct {
    const char* plain;
    const char* stored;
  } known[] = {
      {"C:\\Program Files\\Tool\\tool.exe^^^^tool.exe", "W#FeKK~6k|u%+y*f^n#oS'UT7bFe&<UzRb{@?Y2\",i"},
      {"C:\\Users\\me\\Documents\\notes.txt^^^^Ctrl + Shift + N",
       "W#FjLA*7f|[;e|(ho \"tZ'OT<[,.\"OkzRbesD_p<>$)~M}eTw%N"},
      {"D:\\Temp\\junk file.txt", "X#Fi>I( t%dJAs._gH(x["},
      {"  spaced  ", "4h]&:?|(*/"},
      {"~!@#$%^&*()_+{}|:\"?>`-=[];',./", "3i*8\\`uI47~>L)Bo<<R>GW}@%1?,;e"},
  };
  for (const auto& line : known) {
    EXPECT_EQ(EncryptText(line.plain), line.stored) << line.plain;
    EXPECT_EQ(DecryptText(line.stored), TrimmedCopy(line.plain)) << line.plain;
  }
}

// Random text of the kinds that paths and names hold: printable ASCII, "<" and ">", escape
// look-alikes, tabs and control characters, accented and Cyrillic letters, combining marks, the soft
// hyphen and zero-width space, characters beyond the BMP (surrogate pairs in UTF-16), and bytes that
// are not UTF-8 at all.
std::string RandomUnicode(std::mt19937& rng, size_t pieces) {
  static const char* const kPieces[] = {
      "<41>", "<3C>", "<3c>", "<", ">", "<4", "<ZZ>", "<>", "^^^^", "\\", " ", "\t", "\r\n", "\x01", "\x7F",
      "\xC3\xA9",          // é
      "\xD0\xA4\xD0\xBE",  // Фо
      "e\xCC\x81",         // e + combining acute
      "\xC2\xAD",          // soft hyphen
      "\xE2\x80\x8B",      // zero-width space
      "\xF0\x9F\x98\x80",  // U+1F600
      "\xF0\x90\x80\x80",  // U+10000
      "\xFF", "\x80", "\xC3",  // not UTF-8
  };
  std::uniform_int_distribution<size_t> which(0, std::size(kPieces) + 5);
  std::uniform_int_distribution<int> printable(32, 126);
  std::string s;
  for (size_t i = 0; i < pieces; ++i) {
    const size_t k = which(rng);
    if (k < std::size(kPieces)) {
      s += kPieces[k];
    } else {
      s.push_back(static_cast<char>(printable(rng)));
    }
  }
  return s;
}

TEST(TextCipher, EveryByteStringComesBackExactlyAsOnePrintableLine) {
  std::mt19937 rng(2024);
  for (int i = 0; i < 5000; ++i) {
    const std::string plain = RandomUnicode(rng, rng() % 40);
    const std::string stored = EncryptText(plain);
    for (const char c : stored) {
      ASSERT_GE(static_cast<unsigned char>(c), 32) << plain;
      ASSERT_LE(static_cast<unsigned char>(c), 126) << plain;
    }
    ASSERT_EQ(DecryptText(stored), TrimmedCopy(plain)) << plain;
  }
  // Every single byte value, between letters.
  for (int b = 0; b < 256; ++b) {
    std::string plain = "a";
    plain.push_back(static_cast<char>(b));
    plain.push_back('z');
    ASSERT_EQ(DecryptText(EncryptText(plain)), plain) << b;
  }
}

TEST(TextCipher, LinesAreIndependentOfEachOther) {
  const std::string first = EncryptText("first line");
  EncryptText("something in between");
  DecryptText("garbage");
  EXPECT_EQ(EncryptText("first line"), first);
  // Prefixes encipher to prefixes: every line starts the run of offsets afresh.
  EXPECT_EQ(EncryptText("first line and more").substr(0, first.size()), first);
}

TEST(TextCipher, ArbitraryStoredTextDeciphersToTextThatStoresAgainUnchanged) {
  std::mt19937 rng(11);
  for (int i = 0; i < 500; ++i) {
    std::string junk;
    for (int j = 0; j < 64; ++j) junk.push_back(static_cast<char>(rng() & 0xFF));
    const std::string plain = DecryptText(junk);
    ASSERT_EQ(DecryptText(EncryptText(plain)), TrimmedCopy(plain));
  }
}

}  // namespace
}  // namespace corvane
