#include "web/picture_header.h"

#include <cstdint>
#include <cstdlib>

namespace corvane::web {
namespace {

std::uint32_t Byte(std::string_view b, std::size_t at) { return static_cast<unsigned char>(b[at]); }
std::uint32_t BigEndian16(std::string_view b, std::size_t at) { return Byte(b, at) << 8 | Byte(b, at + 1); }
std::uint32_t BigEndian32(std::string_view b, std::size_t at) {
  return BigEndian16(b, at) << 16 | BigEndian16(b, at + 2);
}
std::uint32_t LittleEndian16(std::string_view b, std::size_t at) { return Byte(b, at) | Byte(b, at + 1) << 8; }
std::uint32_t LittleEndian32(std::string_view b, std::size_t at) {
  return LittleEndian16(b, at) | LittleEndian16(b, at + 2) << 16;
}

std::optional<PictureSize> Positive(long long width, long long height) {
  if (width <= 0 || height <= 0 || width > 0x7FFFFFFF || height > 0x7FFFFFFF) return std::nullopt;
  return PictureSize{static_cast<int>(width), static_cast<int>(height)};
}

std::optional<PictureSize> Png(std::string_view b) {
  // Signature, then the IHDR chunk first: length, type, width, height.
  if (b.size() < 24 || b.substr(12, 4) != "IHDR") return std::nullopt;
  return Positive(BigEndian32(b, 16), BigEndian32(b, 20));
}

std::optional<PictureSize> Gif(std::string_view b) {
  // The logical screen; every frame lies inside it.
  if (b.size() < 10) return std::nullopt;
  return Positive(LittleEndian16(b, 6), LittleEndian16(b, 8));
}

std::optional<PictureSize> Bmp(std::string_view b) {
  if (b.size() < 26) return std::nullopt;
  const std::uint32_t headerSize = LittleEndian32(b, 14);
  if (headerSize == 12) return Positive(LittleEndian16(b, 18), LittleEndian16(b, 20));  // OS/2 core header
  // A negative height means rows stored top-down; the size is the same.
  const long long width = static_cast<std::int32_t>(LittleEndian32(b, 18));
  const long long height = static_cast<std::int32_t>(LittleEndian32(b, 22));
  return Positive(width, std::llabs(height));
}

std::optional<PictureSize> Jpeg(std::string_view b) {
  // Walk the markers up to the first start-of-frame, which carries the size.
  std::size_t at = 2;
  while (at + 4 <= b.size()) {
    if (Byte(b, at) != 0xFF) return std::nullopt;
    const std::uint32_t marker = Byte(b, at + 1);
    if (marker == 0xFF) {  // fill byte
      ++at;
      continue;
    }
    if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {  // no length
      at += 2;
      continue;
    }
    if (marker == 0xD9 || marker == 0xDA) return std::nullopt;  // image data before any frame
    const std::uint32_t length = BigEndian16(b, at + 2);
    if (length < 2) return std::nullopt;
    const bool startOfFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (startOfFrame) {
      if (at + 9 > b.size()) return std::nullopt;
      return Positive(BigEndian16(b, at + 7), BigEndian16(b, at + 5));
    }
    at += 2 + length;
  }
  return std::nullopt;
}

}  // namespace

std::optional<PictureSize> ReadPictureSize(std::string_view bytes) {
  if (bytes.substr(0, 8) == std::string_view("\x89PNG\r\n\x1a\n", 8)) return Png(bytes);
  if (bytes.substr(0, 6) == "GIF87a" || bytes.substr(0, 6) == "GIF89a") return Gif(bytes);
  if (bytes.substr(0, 2) == "BM") return Bmp(bytes);
  if (bytes.substr(0, 3) == "\xFF\xD8\xFF") return Jpeg(bytes);
  return std::nullopt;
}

bool IsDecodableSize(const PictureSize& size) {
  return size.width > 0 && size.height > 0 && size.width <= kMaxPictureSide && size.height <= kMaxPictureSide &&
         static_cast<long long>(size.width) * size.height <= kMaxPicturePixels;
}

}  // namespace corvane::web
