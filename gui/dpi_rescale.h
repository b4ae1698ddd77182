#pragma once
// Where a window's controls go when the window moves to a screen of another scale. Edges are scaled,
// not sizes, so that controls that touched still touch. A control keeps the place its window last
// gave it as its measure: scaled from there, a move to 150 % and back, or through several scales,
// ends where it started instead of drifting by the rounding of every step.
#include "gui/dialog_layout.h"

namespace corvane::gui {

PixelRect RescaleRect(const PixelRect& rect, int fromDpi, int toDpi);

// What one control's place is measured from.
struct DpiPlacement {
  PixelRect measure;    // where its window last put it
  int measureDpi = 0;   // the DPI it was put there at; 0: not known yet
  PixelRect placed;     // where the last change of DPI put it
};

// The control's place after a change from fromDpi to toDpi, the control being at now; memo is
// brought up to date. A control that its window has moved since the last change is measured anew.
PixelRect FollowDpi(DpiPlacement& memo, const PixelRect& now, int fromDpi, int toDpi);

}  // namespace corvane::gui
