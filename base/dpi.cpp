#include "base/dpi.h"

#include <cmath>
#include <cstdint>

namespace corvane {
namespace {

int Known(int dpi) { return dpi > 0 ? dpi : kDesignDpi; }

// value * numerator / denominator, rounded half away from zero, without overflowing on the way.
int MulDivRounded(int value, int numerator, int denominator) {
  const std::int64_t product = static_cast<std::int64_t>(value) * numerator;
  const std::int64_t half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator : -((-product + half) / denominator));
}

}  // namespace

int Scale(int pixelsAt96, int dpi) { return MulDivRounded(pixelsAt96, Known(dpi), kDesignDpi); }

int Rescale(int pixels, int fromDpi, int toDpi) { return MulDivRounded(pixels, Known(toDpi), Known(fromDpi)); }

int TwipsToPixels(double twips, int dpi) {
  // std::round takes halves away from zero; a product of whole twips and a DPI is exact in a double.
  return static_cast<int>(std::round(twips * Known(dpi) / kTwipsPerInch));
}

double PixelsToTwips(int pixels, int dpi) { return static_cast<double>(pixels) * kTwipsPerInch / Known(dpi); }

double PixelsAt96(int pixels, int dpi) { return static_cast<double>(pixels) * kDesignDpi / Known(dpi); }

int PointsToPixels(int points, int dpi) { return MulDivRounded(points, Known(dpi), kPointsPerInch); }

}  // namespace corvane
