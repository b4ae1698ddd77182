#pragma once
// Geometry of the two message windows (confirmation and information). Their design sizes are in
// twips, 15 to a pixel at 96 DPI; everything here turns them into pixels for a given DPI and lets the
// message area grow downwards when the text needs more lines than the design height holds. Also the
// centring rule every window follows, and the colours an image button is drawn with.
#include "base/dpi.h"
#include "base/palette.h"

namespace corvane::gui {

struct PixelRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

struct PixelPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// The top-left corner that centres a window of width x height in area. A window larger than the
// area keeps its top-left corner inside it, so that its caption can still be reached.
PixelPoint CentreInArea(const PixelRect& area, int width, int height);

enum class MessageBoxKind { Confirmation, Information };

struct MessageBoxLayout {
  int clientWidth = 0;
  int clientHeight = 0;
  PixelRect message;  // the message label
  PixelRect line;     // the separator under the message
  PixelRect ok;
  PixelRect cancel;  // empty in the information window
};

// The window laid out at dpi. textHeight is the height the wrapped message needs at the message's
// width (0 when unknown); when it exceeds the design height, the message area and the window grow
// by the difference and a little air, but the client area never becomes taller than maxClientHeight (0: no limit).
MessageBoxLayout LayoutMessageBox(MessageBoxKind kind, int dpi, int textHeight = 0, int maxClientHeight = 0);

// The colours an image button is drawn with, derived from three a caller chooses: the background
// around the button (its parent's), the button's own fill and its text.
struct ButtonPalette {
  Color background = 0;
  Color fill = 0;
  Color border = 0;
  Color hotFill = 0;
  Color hotBorder = 0;
  Color pressedFill = 0;
  Color text = 0;
  Color disabledText = 0;
};
ButtonPalette MakeButtonPalette(Color background, Color fill, Color text);

}  // namespace corvane::gui
