#include "process/image_headers.h"

#include <algorithm>
#include <cstring>

namespace corvane {
namespace {

std::uint32_t Read32(std::span<const unsigned char> bytes, std::size_t at) {
  std::uint32_t value = 0;
  std::memcpy(&value, bytes.data() + at, sizeof(value));
  return value;  // the format is little-endian, as every machine Windows runs on
}

std::uint16_t Read16(std::span<const unsigned char> bytes, std::size_t at) {
  std::uint16_t value = 0;
  std::memcpy(&value, bytes.data() + at, sizeof(value));
  return value;
}

}  // namespace

bool SameImageHeaders(std::span<const unsigned char> loaded, std::span<const unsigned char> file) {
  constexpr std::size_t kNewHeaderOffsetAt = 0x3C;
  constexpr std::size_t kOptionalHeaderAt = 24;  // after "PE\0\0" and the file header
  if (file.size() < kNewHeaderOffsetAt + 4 || file[0] != 'M' || file[1] != 'Z') return false;
  const std::size_t pe = Read32(file, kNewHeaderOffsetAt);
  const std::size_t optional = pe + kOptionalHeaderAt;
  // Magic, and through SizeOfHeaders (at 60 in both kinds of optional header).
  if (pe > kImageHeaderBytes || optional + 64 > file.size()) return false;
  if (std::memcmp(file.data() + pe, "PE\0\0", 4) != 0) return false;
  const std::uint16_t magic = Read16(file, optional);
  std::size_t baseAt = 0;
  std::size_t baseSize = 0;
  if (magic == 0x20B) {  // 64-bit
    baseAt = optional + 24;
    baseSize = 8;
  } else if (magic == 0x10B) {  // 32-bit
    baseAt = optional + 28;
    baseSize = 4;
  } else {
    return false;
  }
  const std::size_t headerSize = std::min<std::size_t>(Read32(file, optional + 60), kImageHeaderBytes);
  if (headerSize < baseAt + baseSize || headerSize > file.size() || headerSize > loaded.size()) return false;
  return std::equal(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(baseAt), loaded.begin()) &&
         std::equal(file.begin() + static_cast<std::ptrdiff_t>(baseAt + baseSize),
                    file.begin() + static_cast<std::ptrdiff_t>(headerSize),
                    loaded.begin() + static_cast<std::ptrdiff_t>(baseAt + baseSize));
}

}  // namespace corvane
