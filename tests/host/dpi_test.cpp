#include "base/dpi.h"

#include <gtest/gtest.h>

#include <climits>

namespace corvane {
namespace {

TEST(Scale, RoundsAsMulDivDoesAtEveryScale) {
  // At 96 DPI a design pixel is a pixel.
  EXPECT_EQ(Scale(460, 96), 460);
  // 125 %: 18.75 -> 19, 6.25 -> 6; 150 %: halves go away from zero, on both sides.
  EXPECT_EQ(Scale(15, 120), 19);
  EXPECT_EQ(Scale(5, 120), 6);
  EXPECT_EQ(Scale(1, 144), 2);
  EXPECT_EQ(Scale(3, 144), 5);
  EXPECT_EQ(Scale(-3, 144), -5);
  EXPECT_EQ(Scale(0, 144), 0);
  // A product beyond int does not overflow on the way.
  EXPECT_EQ(Scale(20'000'000, 288), 60'000'000);
  EXPECT_EQ(Scale(INT_MAX / 2, 192), INT_MAX - 1);
  // An unknown DPI is taken as 96, not as a zero size.
  EXPECT_EQ(Scale(40, 0), 40);
  EXPECT_EQ(Scale(40, -120), 40);
}

TEST(TwipsToPixels, FifteenTwipsToADesignPixelRoundedToTheNearest) {
  EXPECT_EQ(TwipsToPixels(15, 96), 1);
  EXPECT_EQ(TwipsToPixels(1440, 144), 144);
  // Fractions of twips (the popup's left edge) and exact halves, which go away from zero.
  EXPECT_EQ(TwipsToPixels(9966.6, 96), 664);
  EXPECT_EQ(TwipsToPixels(6525, 144), 653);
  EXPECT_EQ(TwipsToPixels(-6525, 144), -653);
  EXPECT_EQ(TwipsToPixels(7, 96), 0);
  EXPECT_EQ(TwipsToPixels(8, 96), 1);
  EXPECT_EQ(TwipsToPixels(1440, 0), 96);
  // Twips and design pixels agree: a window designed in one and placed in the other lines up.
  for (const int dpi : {96, 120, 144, 168, 192, 240, 288}) {
    for (int pixels = -50; pixels <= 800; ++pixels) {
      ASSERT_EQ(TwipsToPixels(pixels * 15, dpi), Scale(pixels, dpi)) << pixels << " px at " << dpi;
    }
  }
}

TEST(TwipsToPixels, DesignSizesOfTheWindowsAtEveryScale) {
  EXPECT_EQ(TwipsToPixels(6525, 96), 435);
  EXPECT_EQ(TwipsToPixels(1545, 96), 103);
  EXPECT_EQ(TwipsToPixels(1470, 96), 98);
  EXPECT_EQ(TwipsToPixels(165, 96), 11);
  // 543.75 -> 544, 652.5 -> 653 (half away from zero), 870 exactly.
  EXPECT_EQ(TwipsToPixels(6525, 120), 544);
  EXPECT_EQ(TwipsToPixels(6525, 144), 653);
  EXPECT_EQ(TwipsToPixels(6525, 192), 870);
  // Negative values round the same way as positive ones; zero stays zero.
  EXPECT_EQ(TwipsToPixels(-6525, 144), -653);
  EXPECT_EQ(TwipsToPixels(0, 144), 0);
  EXPECT_EQ(Scale(16, 144), 24);
  EXPECT_EQ(Scale(11, 96), 11);
}

TEST(Rescale, FromOneScaleToAnotherRoundedAsMulDiv) {
  EXPECT_EQ(Rescale(100, 96, 144), 150);
  EXPECT_EQ(Rescale(150, 144, 96), 100);
  // 7 * 120 / 96 = 8.75; 3 * 144 / 120 = 3.6; halves away from zero on both sides.
  EXPECT_EQ(Rescale(7, 96, 120), 9);
  EXPECT_EQ(Rescale(3, 120, 144), 4);
  EXPECT_EQ(Rescale(-1, 96, 144), -2);
  // An unknown DPI on either side is taken as 96.
  EXPECT_EQ(Rescale(40, 0, 192), 80);
  EXPECT_EQ(Rescale(40, 192, -1), 20);
}

TEST(PixelsToTwips, IsUnroundedAndTurnsBackIntoTheSamePixels) {
  EXPECT_DOUBLE_EQ(PixelsToTwips(1, 96), 15.0);
  EXPECT_DOUBLE_EQ(PixelsToTwips(3, 144), 30.0);
  EXPECT_DOUBLE_EQ(PixelsToTwips(1, 120), 12.0);
  EXPECT_DOUBLE_EQ(PixelsToTwips(7, 0), 105.0);
  EXPECT_DOUBLE_EQ(PixelsAt96(150, 144), 100.0);
  EXPECT_DOUBLE_EQ(PixelsAt96(1, 120), 0.8);
  EXPECT_DOUBLE_EQ(PixelsAt96(-768, 192), -384.0);
  for (const int dpi : {96, 110, 120, 144, 192, 288}) {
    for (int pixels = -100; pixels <= 2000; pixels += 7) {
      ASSERT_EQ(TwipsToPixels(PixelsToTwips(pixels, dpi), dpi), pixels) << pixels << " px at " << dpi;
    }
  }
}

TEST(PointsToPixels, SeventyTwoPointsToTheInch) {
  EXPECT_EQ(PointsToPixels(9, 96), 12);
  EXPECT_EQ(PointsToPixels(9, 120), 15);
  EXPECT_EQ(PointsToPixels(8, 144), 16);
  EXPECT_EQ(PointsToPixels(15, 96), 20);
  // 10 pt at 96 DPI is 13.33 px, at 110 DPI 15.28 px.
  EXPECT_EQ(PointsToPixels(10, 96), 13);
  EXPECT_EQ(PointsToPixels(10, 110), 15);
  EXPECT_EQ(PointsToPixels(9, 0), 12);
}

}  // namespace
}  // namespace corvane
