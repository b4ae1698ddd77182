#include "web/image_fit.h"

#include <algorithm>
#include <cstdint>

namespace corvane::web {

FitRect FitInside(int imageWidth, int imageHeight, int boxWidth, int boxHeight) {
  if (imageWidth <= 0 || imageHeight <= 0 || boxWidth <= 0 || boxHeight <= 0) return {};
  int width = imageWidth;
  int height = imageHeight;
  if (width > boxWidth || height > boxHeight) {
    // Compare the ratios in 64 bits: width * boxHeight overflows 32 bits for large pictures.
    const auto w = static_cast<std::int64_t>(imageWidth);
    const auto h = static_cast<std::int64_t>(imageHeight);
    if (w * boxHeight > h * boxWidth) {
      width = boxWidth;
      height = static_cast<int>(std::max<std::int64_t>(1, h * boxWidth / w));
    } else {
      height = boxHeight;
      width = static_cast<int>(std::max<std::int64_t>(1, w * boxHeight / h));
    }
  }
  return FitRect{(boxWidth - width) / 2, (boxHeight - height) / 2, width, height};
}

}  // namespace corvane::web
