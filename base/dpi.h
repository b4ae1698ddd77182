#pragma once
// Sizes between the units the windows are designed in and the screen's pixels. Both programs design
// their windows in pixels of a 96 DPI screen or in twips (1440 to the inch, so 15 to such a pixel); a
// scaled screen has dpi pixels to the inch. Pixel results are rounded to the nearest whole pixel,
// halves away from zero, as MulDiv rounds. A dpi of 0 or less is taken as 96.

namespace corvane {

inline constexpr int kDesignDpi = 96;
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kPointsPerInch = 72;

// A size designed in pixels at 96 DPI, in pixels at dpi.
int Scale(int pixelsAt96, int dpi);

// Pixels at fromDpi, in pixels at toDpi: what a window's sizes become when it moves to a screen of
// another scale.
int Rescale(int pixels, int fromDpi, int toDpi);

// A length in twips, in pixels at dpi.
int TwipsToPixels(double twips, int dpi);

// Pixels at dpi, in twips; not rounded.
double PixelsToTwips(int pixels, int dpi);

// Pixels at dpi, counted as pixels of a 96 DPI screen; not rounded.
double PixelsAt96(int pixels, int dpi);

// The pixel height of a font of points points at dpi.
int PointsToPixels(int points, int dpi);

}  // namespace corvane
