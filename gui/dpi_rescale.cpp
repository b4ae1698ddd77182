#include "gui/dpi_rescale.h"

#include "base/dpi.h"

namespace corvane::gui {

PixelRect RescaleRect(const PixelRect& rect, int fromDpi, int toDpi) {
  return {Rescale(rect.left, fromDpi, toDpi), Rescale(rect.top, fromDpi, toDpi), Rescale(rect.right, fromDpi, toDpi),
          Rescale(rect.bottom, fromDpi, toDpi)};
}

PixelRect FollowDpi(DpiPlacement& memo, const PixelRect& now, int fromDpi, int toDpi) {
  if (memo.measureDpi <= 0 || now != memo.placed) memo = {now, fromDpi, now};
  memo.placed = RescaleRect(memo.measure, memo.measureDpi, toDpi);
  return memo.placed;
}

}  // namespace corvane::gui
