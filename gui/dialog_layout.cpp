#include "gui/dialog_layout.h"

#include <algorithm>

namespace corvane::gui {
namespace {

// Design sizes, in twips.
constexpr int kClientWidth = 6525;
constexpr int kConfirmationHeight = 1545;
constexpr int kInformationHeight = 1470;
constexpr int kMessageLeft = 165;
constexpr int kConfirmationMessageTop = 165;
constexpr int kInformationMessageTop = 195;
constexpr int kMessageWidth = 6090;
constexpr int kMessageHeight = 585;
// Buttons sit on the bottom margin, right-aligned with the message's right edge; the separator runs
// under the message, halfway down to the buttons.
constexpr int kBottomMargin = 165;
constexpr int kButtonWidth = 1200;
constexpr int kButtonHeight = 390;
constexpr int kButtonGap = 120;
// Pixels at 96 DPI between a message that made the window grow and the separator.
constexpr int kGrowthAir = 6;

PixelRect TwipsRect(int left, int top, int right, int bottom, int dpi) {
  return {TwipsToPixels(left, dpi), TwipsToPixels(top, dpi), TwipsToPixels(right, dpi), TwipsToPixels(bottom, dpi)};
}

void MoveDown(PixelRect& rect, int by) {
  rect.top += by;
  rect.bottom += by;
}

}  // namespace

PixelPoint CentreInArea(const PixelRect& area, int width, int height) {
  return {area.left + std::max(0, area.Width() - width) / 2, area.top + std::max(0, area.Height() - height) / 2};
}

MessageBoxLayout LayoutMessageBox(MessageBoxKind kind, int dpi, int textHeight, int maxClientHeight) {
  if (dpi <= 0) dpi = 96;
  const bool confirmation = kind == MessageBoxKind::Confirmation;
  const int height = confirmation ? kConfirmationHeight : kInformationHeight;
  const int messageTop = confirmation ? kConfirmationMessageTop : kInformationMessageTop;
  const int messageRight = kMessageLeft + kMessageWidth;
  const int messageBottom = messageTop + kMessageHeight;
  const int buttonTop = height - kBottomMargin - kButtonHeight;
  const int lineTop = (messageBottom + buttonTop) / 2;

  MessageBoxLayout layout;
  layout.clientWidth = TwipsToPixels(kClientWidth, dpi);
  layout.clientHeight = TwipsToPixels(height, dpi);
  layout.message = TwipsRect(kMessageLeft, messageTop, messageRight, messageBottom, dpi);
  layout.line = TwipsRect(kMessageLeft, lineTop, messageRight, lineTop, dpi);
  layout.line.bottom = layout.line.top + std::max(1, Scale(1, dpi));
  // Ok is the rightmost button of the information window; in the confirmation Cancel takes that place.
  const int rightButtonLeft = messageRight - kButtonWidth;
  const int leftButtonLeft = rightButtonLeft - kButtonGap - kButtonWidth;
  const PixelRect right = TwipsRect(rightButtonLeft, buttonTop, messageRight, buttonTop + kButtonHeight, dpi);
  const PixelRect left =
      TwipsRect(leftButtonLeft, buttonTop, rightButtonLeft - kButtonGap, buttonTop + kButtonHeight, dpi);
  if (confirmation) {
    layout.ok = left;
    layout.cancel = right;
  } else {
    layout.ok = right;
  }

  // A message that needs more room gets it, with some air above the separator.
  int grow =
      textHeight > layout.message.Height() ? textHeight - layout.message.Height() + Scale(kGrowthAir, dpi) : 0;
  if (maxClientHeight > 0) grow = std::clamp(maxClientHeight - layout.clientHeight, 0, grow);
  if (grow > 0) {
    layout.clientHeight += grow;
    layout.message.bottom += grow;
    MoveDown(layout.line, grow);
    MoveDown(layout.ok, grow);
    if (confirmation) MoveDown(layout.cancel, grow);
  }
  return layout;
}

ButtonPalette MakeButtonPalette(Color background, Color fill, Color text) {
  ButtonPalette colors;
  colors.background = background;
  colors.fill = fill;
  colors.border = Blend(fill, palette::kWhite, 40);
  colors.hotFill = Blend(fill, palette::kWhite, 18);
  colors.hotBorder = Blend(fill, palette::kWhite, 85);
  colors.pressedFill = Blend(fill, palette::kBlack, 22);
  colors.text = text;
  colors.disabledText = Blend(text, fill, 55);
  return colors;
}

}  // namespace corvane::gui
