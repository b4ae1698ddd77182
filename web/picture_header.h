#pragma once
// The size a picture claims in its header, read before anything is decoded: a few hundred bytes
// can claim a picture of gigabytes, and decoders allocate what the header claims.
#include <optional>
#include <string_view>

namespace corvane::web {

struct PictureSize {
  int width = 0;
  int height = 0;
};

// The width and height in the header of a PNG, GIF, BMP or JPEG picture; nothing when the bytes
// are none of those or the header is cut short or nonsensical.
std::optional<PictureSize> ReadPictureSize(std::string_view bytes);

// Advertisements are banners: anything larger than this is refused rather than decoded.
inline constexpr int kMaxPictureSide = 4096;
inline constexpr long long kMaxPicturePixels = 4096LL * 4096LL;

// Whether a picture of that claimed size may be decoded.
bool IsDecodableSize(const PictureSize& size);

}  // namespace corvane::web
