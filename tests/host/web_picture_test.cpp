#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>

#include "web/picture_header.h"

namespace corvane::web {
namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

std::string PngHeader(std::uint32_t width, std::uint32_t height) {
  std::string png = Bytes({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'});
  for (std::uint32_t v : {width, height}) {
    for (int shift = 24; shift >= 0; shift -= 8) png.push_back(static_cast<char>((v >> shift) & 0xFF));
  }
  return png + Bytes({8, 6, 0, 0, 0});
}

TEST(PictureHeader, ReadsTheClaimedSizeOfEachFormat) {
  const auto png = ReadPictureSize(PngHeader(300, 60));
  ASSERT_TRUE(png);
  EXPECT_EQ(png->width, 300);
  EXPECT_EQ(png->height, 60);
  // GIF: the logical screen, little-endian.
  const auto gif = ReadPictureSize(Bytes({'G', 'I', 'F', '8', '9', 'a', 0x2C, 0x01, 0x3C, 0x00}));
  ASSERT_TRUE(gif);
  EXPECT_EQ(gif->width, 300);
  EXPECT_EQ(gif->height, 60);
  // BMP stored top-down has a negative height.
  std::string bmp = Bytes({'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 0x2C, 0x01, 0, 0,
                           0xC4, 0xFF, 0xFF, 0xFF});
  const auto topDown = ReadPictureSize(bmp);
  ASSERT_TRUE(topDown);
  EXPECT_EQ(topDown->width, 300);
  EXPECT_EQ(topDown->height, 60);
  // JPEG: an APP0 segment is skipped on the way to the baseline frame.
  const std::string jpeg = Bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 'J', 'F', 0xFF, 0xC0, 0, 11, 8, 0, 60, 0x01, 0x2C,
                                  3, 1, 0x22, 0});
  const auto frame = ReadPictureSize(jpeg);
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->width, 300);
  EXPECT_EQ(frame->height, 60);
}

TEST(PictureHeader, RefusesWhatIsNoPictureCutShortOrTooLarge) {
  EXPECT_FALSE(ReadPictureSize(""));
  EXPECT_FALSE(ReadPictureSize("<html><body>not a picture</body></html>"));
  EXPECT_FALSE(ReadPictureSize(PngHeader(300, 60).substr(0, 20)));  // cut inside the size
  EXPECT_FALSE(ReadPictureSize(Bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 'J', 'F'})));  // no frame before the end
  EXPECT_FALSE(ReadPictureSize(Bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 0})));              // a length that goes nowhere
  EXPECT_FALSE(ReadPictureSize(PngHeader(0, 60)));
  EXPECT_FALSE(ReadPictureSize(PngHeader(0x80000000u, 1)));  // beyond any int

  // A banner passes; a claimed 20000 x 20000 does not, nor a long thin strip of as many pixels.
  EXPECT_TRUE(IsDecodableSize(*ReadPictureSize(PngHeader(468, 60))));
  EXPECT_TRUE(IsDecodableSize({kMaxPictureSide, kMaxPictureSide}));
  EXPECT_FALSE(IsDecodableSize(*ReadPictureSize(PngHeader(20000, 20000))));
  EXPECT_FALSE(IsDecodableSize({kMaxPictureSide + 1, 1}));
  EXPECT_FALSE(IsDecodableSize({1, kMaxPictureSide + 1}));
}

}  // namespace
}  // namespace corvane::web
