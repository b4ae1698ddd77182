#pragma once
// Where a picture goes in the advertisement area.

namespace corvane::web {

struct FitRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The picture shrunk, keeping its proportions, until it fits the box, and centred in it. A picture
// that already fits keeps its size: enlarging an advertisement only blurs it. Empty sizes give an
// empty rectangle.
FitRect FitInside(int imageWidth, int imageHeight, int boxWidth, int boxHeight);

}  // namespace corvane::web
