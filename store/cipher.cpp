#include "store/cipher.h"

#include "base/text.h"

namespace corvane {

namespace {

constexpr int kFirstCode = 32;
constexpr int kLastCode = 126;
constexpr int kAlphabetSize = 95;
constexpr int kOffsetRange = 96;

std::uint32_t Mix(std::uint32_t x) {
  x ^= x >> 16;
  x *= 0x85EBCA6Bu;
  x ^= x >> 13;
  x *= 0xC2B2AE35u;
  x ^= x >> 16;
  return x == 0 ? 0x6D2B79F5u : x;
}

// Every line starts the generator afresh from the key.
CipherGenerator StartSequence() {
  CipherGenerator generator;
  generator.Reset(-1);
  generator.Reseed(KeyToSeed(kCipherKey));
  return generator;
}

// floor(96 * r) computed exactly: r is k / 2^24 with k < 2^24.
int NextOffset(CipherGenerator& generator) {
  const float r = generator.Next();
  const auto k = static_cast<std::uint32_t>(r * 16777216.0f);
  return static_cast<int>((static_cast<std::uint64_t>(k) * kOffsetRange) >> 24);
}

bool InAlphabet(unsigned char c) { return c >= kFirstCode && c <= kLastCode; }

constexpr char kEscapeOpen = '<';
constexpr char kEscapeClose = '>';
constexpr char kHexDigits[] = "0123456789ABCDEF";

bool NeedsEscape(unsigned char c) { return !InAlphabet(c) || c == kEscapeOpen; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Every byte the alphabet lacks, and "<", as "<HH>".
std::string Escape(std::string_view plain) {
  std::string out;
  out.reserve(plain.size());
  for (const char ch : plain) {
    const auto c = static_cast<unsigned char>(ch);
    if (!NeedsEscape(c)) {
      out.push_back(ch);
      continue;
    }
    out.push_back(kEscapeOpen);
    out.push_back(kHexDigits[c >> 4]);
    out.push_back(kHexDigits[c & 0x0F]);
    out.push_back(kEscapeClose);
  }
  return out;
}

std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == kEscapeOpen && i + 3 < text.size() && text[i + 3] == kEscapeClose) {
      const int high = HexValue(text[i + 1]);
      const int low = HexValue(text[i + 2]);
      if (high >= 0 && low >= 0) {
        out.push_back(static_cast<char>((high << 4) | low));
        i += 3;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  return out;
}

}  // namespace

float CipherGenerator::Reset(std::int32_t n) {
  state_ = Mix(static_cast<std::uint32_t>(n) ^ 0x9E3779B9u);
  return Next();
}

void CipherGenerator::Reseed(std::int32_t seed) { state_ = Mix(state_ ^ static_cast<std::uint32_t>(seed)); }

float CipherGenerator::Next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return static_cast<float>(state_ >> 8) * (1.0f / 16777216.0f);
}

std::int32_t KeyToSeed(std::string_view key) {
  // Both products stay below 2^31 for codes up to 255, since the shifts stay at or below 18 and 22.
  std::int64_t value = 0;
  int shiftA = 0;
  int shiftB = 0;
  for (const char ch : key) {
    const std::int64_t c = static_cast<unsigned char>(ch);
    value ^= c << shiftA;
    value ^= c << shiftB;
    shiftA = (shiftA + 7) % 19;
    shiftB = (shiftB + 13) % 23;
  }
  return static_cast<std::int32_t>(value);
}

std::string EncryptText(std::string_view plain) {
  CipherGenerator generator = StartSequence();
  const std::string escaped = Escape(plain);
  std::string out;
  out.reserve(escaped.size());
  for (const char ch : escaped) {
    const auto c = static_cast<unsigned char>(ch);
    const int k = (c - kFirstCode + NextOffset(generator)) % kAlphabetSize;
    out.push_back(static_cast<char>(k + kFirstCode));
  }
  return out;
}

std::string DecryptText(std::string_view stored) {
  CipherGenerator generator = StartSequence();
  std::string out;
  out.reserve(stored.size());
  for (const char ch : stored) {
    const auto c = static_cast<unsigned char>(ch);
    if (!InAlphabet(c)) continue;  // not written by EncryptText: skipped, and no value drawn
    int k = (c - kFirstCode - NextOffset(generator)) % kAlphabetSize;
    if (k < 0) k += kAlphabetSize;
    out.push_back(static_cast<char>(k + kFirstCode));
  }
  // Trimmed before the escapes are undone: an escaped blank or tab at either end is part of the text.
  return Unescape(TrimSpaces(out));
}

}  // namespace corvane
