#pragma once
// The keyed substitution applied to every stored list line. It keeps casual readers from reading
// or editing the lists; it is not meant to resist analysis.
//
// Alphabet: codes 32..126 (95 symbols). Every character in the alphabet is shifted by an offset
// floor(96 * r), r drawn from CipherGenerator; characters outside the alphabet draw nothing. Every
// call restarts the generator, so lines are independent of each other.
//
// Escapes: the substitution only knows the alphabet, so before enciphering, every byte outside
// 32..126, and the byte "<" itself, is written as "<" + two upper-case hex digits + ">" (byte by byte
// over the UTF-8, so any byte string, even invalid UTF-8, comes back exactly: "Café" is stored as
// the cipher of "Caf<C3><A9>", a tab as "<09>", "<" as "<3C>"). Reading deciphers, trims the spaces
// at both ends, then turns every "<" + two hex digits + ">" back into its byte; any other text stays
// as it stands. "<" and ">" cannot occur in Windows file names, so no line written before escapes
// existed holds one, and an ASCII line without "<" is stored exactly as it always was.
#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

// The compiled-in key, identical in both programs. Changing it makes every existing list unreadable.
inline constexpr std::string_view kCipherKey = "K";

// The deterministic generator behind the cipher. Both programs must use exactly this one:
//   Reset(n):   state <- Mix(n XOR 0x9E3779B9); returns Next() (the cipher discards it).
//   Reseed(s):  state <- Mix(state XOR s).
//   Next():     one xorshift32 step (13, 17, 5) on the state; returns (state >> 8) / 2^24, a
//               single-precision value in [0, 1) with 24 significant bits.
//   Mix(x):     the 32-bit finaliser of MurmurHash3; a zero result is replaced by 0x6D2B79F5,
//               because xorshift32 must never hold zero.
class CipherGenerator {
 public:
  float Reset(std::int32_t n);
  void Reseed(std::int32_t seed);
  float Next();

 private:
  std::uint32_t state_ = 1;
};

std::int32_t KeyToSeed(std::string_view key);

// Stored form of one line (without its line end): escaped, then enciphered. Not trimmed.
std::string EncryptText(std::string_view plain);
// Plain form of one stored line: deciphered (bytes outside the alphabet skipped), leading and
// trailing spaces removed, escapes turned back into bytes. DecryptText(EncryptText(s)) is s without
// its surrounding spaces, for every byte string s.
std::string DecryptText(std::string_view stored);

}  // namespace corvane
