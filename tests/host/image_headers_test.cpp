#include "process/image_headers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace corvane {
namespace {

// The first bytes of a program file: a DOS header pointing at a PE header with an optional header
// of the given kind, headers of 0x400 bytes, and filler that tells one file from another.
std::vector<unsigned char> ProgramStart(std::uint16_t magic, unsigned char filler) {
  std::vector<unsigned char> bytes(0x600, filler);
  bytes[0] = 'M';
  bytes[1] = 'Z';
  const std::uint32_t pe = 0x80;
  std::memcpy(&bytes[0x3C], &pe, 4);
  std::memcpy(&bytes[pe], "PE\0\0", 4);
  std::memcpy(&bytes[pe + 24], &magic, 2);
  const std::uint32_t headerSize = 0x400;
  std::memcpy(&bytes[pe + 24 + 60], &headerSize, 4);
  return bytes;
}

TEST(SameImageHeaders, TheLoadedHeadersOfTheFileMatchWhateverAddressItLoadedAtAndNoOtherFileDoes) {
  for (const std::uint16_t magic : {std::uint16_t{0x20B}, std::uint16_t{0x10B}}) {
    const std::vector<unsigned char> file = ProgramStart(magic, 0x11);
    std::vector<unsigned char> loaded(file.begin(), file.begin() + 0x400);
    EXPECT_TRUE(SameImageHeaders(loaded, file)) << magic;
    // Relocated: the loader writes its address over the preferred one.
    const std::size_t base = 0x80 + 24 + (magic == 0x20B ? 24 : 28);
    loaded[base] ^= 0x40;
    EXPECT_TRUE(SameImageHeaders(loaded, file)) << magic;
    // One byte of another file's headers, the byte just past the address, or a short read.
    std::vector<unsigned char> other = loaded;
    other[0x200] ^= 1;
    EXPECT_FALSE(SameImageHeaders(other, file)) << magic;
    other = loaded;
    other[base + (magic == 0x20B ? 8 : 4)] ^= 1;
    EXPECT_FALSE(SameImageHeaders(other, file)) << magic;
    EXPECT_FALSE(SameImageHeaders(std::vector<unsigned char>(loaded.begin(), loaded.begin() + 0x3FF), file)) << magic;
    // What lies past the headers is not the headers' business.
    std::vector<unsigned char> longer = file;
    longer[0x500] ^= 1;
    EXPECT_TRUE(SameImageHeaders(loaded, longer)) << magic;
  }
  // Not a program: no match, even against itself.
  std::vector<unsigned char> text(0x600, 'a');
  EXPECT_FALSE(SameImageHeaders(text, text));
  std::vector<unsigned char> badMagic = ProgramStart(0x30B, 0);
  EXPECT_FALSE(SameImageHeaders(badMagic, badMagic));
  std::vector<unsigned char> farHeader = ProgramStart(0x20B, 0);
  const std::uint32_t far = 0x7FFFFFF0;
  std::memcpy(&farHeader[0x3C], &far, 4);
  EXPECT_FALSE(SameImageHeaders(farHeader, farHeader));
  EXPECT_FALSE(SameImageHeaders({}, {}));
}

}  // namespace
}  // namespace corvane
