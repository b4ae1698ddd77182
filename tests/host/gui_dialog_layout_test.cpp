#include "gui/dialog_layout.h"

#include "gui/dpi_rescale.h"

#include <gtest/gtest.h>

namespace corvane::gui {
namespace {

TEST(CentreInArea, CentresAndKeepsTheTopLeftCornerOfAnOversizedWindowInside) {
  const PixelRect work{0, 0, 1024, 728};
  // The main window at 96 and 120 DPI fits and is centred.
  EXPECT_EQ(CentreInArea(work, 766, 529), (PixelPoint{129, 99}));
  EXPECT_EQ(CentreInArea(work, 956, 654), (PixelPoint{34, 37}));
  // At 144 DPI it is wider and taller than the screen: its caption stays on it, at the top left.
  EXPECT_EQ(CentreInArea(work, 1146, 787), (PixelPoint{0, 0}));
  // Only the axis that does not fit is pinned; the area need not start at the origin.
  EXPECT_EQ(CentreInArea({-1280, 40, 0, 1064}, 1400, 600), (PixelPoint{-1280, 252}));
}

TEST(LayoutMessageBox, DesignSizesAt96Dpi) {
  const MessageBoxLayout confirmation = LayoutMessageBox(MessageBoxKind::Confirmation, 96);
  EXPECT_EQ(confirmation.clientWidth, 435);
  EXPECT_EQ(confirmation.clientHeight, 103);
  EXPECT_EQ(confirmation.message, (PixelRect{11, 11, 417, 50}));

  const MessageBoxLayout information = LayoutMessageBox(MessageBoxKind::Information, 96);
  EXPECT_EQ(information.clientWidth, 435);
  EXPECT_EQ(information.clientHeight, 98);
  EXPECT_EQ(information.message, (PixelRect{11, 13, 417, 52}));
  EXPECT_EQ(information.cancel.Width(), 0);
  // The information window's single button takes the place of the confirmation's Cancel.
  EXPECT_EQ(information.ok.left, confirmation.cancel.left);
  // An unknown DPI is taken as 96.
  EXPECT_EQ(LayoutMessageBox(MessageBoxKind::Information, 0).clientHeight, 98);
}

TEST(LayoutMessageBox, PartsKeepTheirOrderAndMarginsAtEveryDpi) {
  for (const MessageBoxKind kind : {MessageBoxKind::Confirmation, MessageBoxKind::Information}) {
    for (const int dpi : {96, 120, 144, 168, 192, 288}) {
      SCOPED_TRACE(testing::Message() << "dpi " << dpi
                                      << (kind == MessageBoxKind::Confirmation ? " confirmation" : " information"));
      const MessageBoxLayout l = LayoutMessageBox(kind, dpi);
      // Message, then the separator, then the buttons, all inside the client area.
      EXPECT_LT(l.message.bottom, l.line.top);
      EXPECT_GE(l.line.Height(), 1);
      EXPECT_LT(l.line.bottom, l.ok.top);
      EXPECT_LE(l.message.right, l.clientWidth);
      EXPECT_LE(l.ok.bottom, l.clientHeight);
      // The buttons end flush with the message's right edge and keep the left margin at the bottom.
      const PixelRect& rightmost = kind == MessageBoxKind::Confirmation ? l.cancel : l.ok;
      EXPECT_EQ(rightmost.right, l.message.right);
      EXPECT_NEAR(l.clientHeight - rightmost.bottom, l.message.left, 1);
      EXPECT_EQ(l.line.left, l.message.left);
      EXPECT_EQ(l.line.right, l.message.right);
      // Buttons large enough for their captions, scaled with the DPI.
      EXPECT_GE(l.ok.Width(), Scale(75, dpi));
      EXPECT_GE(l.ok.Height(), Scale(24, dpi));
      if (kind == MessageBoxKind::Confirmation) {
        // Ok left of Cancel, same row and size, a gap between them.
        EXPECT_EQ(l.ok.top, l.cancel.top);
        EXPECT_EQ(l.ok.Width(), l.cancel.Width());
        EXPECT_GT(l.cancel.left, l.ok.right);
      }
    }
  }
}

TEST(LayoutMessageBox, LongTextGrowsTheWindowDownwardsUpToTheLimit) {
  const MessageBoxLayout design = LayoutMessageBox(MessageBoxKind::Confirmation, 96);
  // Text that fits (or an unknown height) changes nothing.
  EXPECT_EQ(LayoutMessageBox(MessageBoxKind::Confirmation, 96, 26).clientHeight, design.clientHeight);
  EXPECT_EQ(LayoutMessageBox(MessageBoxKind::Confirmation, 96, 39).message, design.message);

  // Six lines of 13 pixels: everything below the message moves down by the difference and 6 pixels
  // of air (9 at 144 DPI).
  const MessageBoxLayout grown = LayoutMessageBox(MessageBoxKind::Confirmation, 96, 78);
  const int by = 78 - design.message.Height() + 6;
  EXPECT_EQ(grown.message.Height(), 78 + 6);
  EXPECT_EQ(grown.message.top, design.message.top);
  EXPECT_EQ(grown.clientHeight, design.clientHeight + by);
  EXPECT_EQ(grown.line.top, design.line.top + by);
  EXPECT_EQ(grown.ok.top, design.ok.top + by);
  EXPECT_EQ(grown.cancel.bottom, design.cancel.bottom + by);
  EXPECT_EQ(grown.clientWidth, design.clientWidth);
  const MessageBoxLayout design144 = LayoutMessageBox(MessageBoxKind::Confirmation, 144);
  EXPECT_EQ(LayoutMessageBox(MessageBoxKind::Confirmation, 144, 100).clientHeight,
            design144.clientHeight + 100 - design144.message.Height() + 9);

  // A limit caps the growth; a limit below the design height never shrinks the window.
  const MessageBoxLayout capped = LayoutMessageBox(MessageBoxKind::Information, 96, 5000, 400);
  EXPECT_EQ(capped.clientHeight, 400);
  EXPECT_EQ(capped.clientHeight - capped.ok.bottom, LayoutMessageBox(MessageBoxKind::Information, 96).clientHeight -
                                                        LayoutMessageBox(MessageBoxKind::Information, 96).ok.bottom);
  EXPECT_EQ(LayoutMessageBox(MessageBoxKind::Information, 96, 5000, 50).clientHeight, 98);
}

TEST(ButtonColors, BlendAndPaletteStayInRangeAndOrdered) {
  // Endpoints, the midpoint rounded, out-of-range percentages clamped.
  EXPECT_EQ(Blend(palette::kBlack, palette::kWhite, 0), palette::kBlack);
  EXPECT_EQ(Blend(palette::kBlack, palette::kWhite, 100), palette::kWhite);
  EXPECT_EQ(Blend(palette::kBlack, palette::kWhite, 50), MakeColor(128, 128, 128));
  EXPECT_EQ(Blend(palette::kWhite, palette::kBlack, 50), MakeColor(127, 127, 127));
  EXPECT_EQ(Blend(palette::kBlack, palette::kWhite, 150), palette::kWhite);
  EXPECT_EQ(Blend(palette::kBlack, palette::kWhite, -5), palette::kBlack);
  // Channels do not bleed into each other.
  EXPECT_EQ(Blend(MakeColor(255, 0, 0), MakeColor(0, 0, 255), 100), MakeColor(0, 0, 255));
  EXPECT_EQ(palette::kBlue, 0xAD5301u);  // RGB(1, 83, 173) as a COLORREF

  // Highlighted is lighter than normal, pressed darker; the caller's three colours pass unchanged.
  const ButtonPalette p = MakeButtonPalette(palette::kBlue, MakeColor(20, 100, 180), palette::kWhite);
  const auto brightness = [](Color c) { return RedOf(c) + GreenOf(c) + BlueOf(c); };
  EXPECT_GT(brightness(p.hotFill), brightness(p.fill));
  EXPECT_GT(brightness(p.hotBorder), brightness(p.border));
  EXPECT_LT(brightness(p.pressedFill), brightness(p.fill));
  EXPECT_NE(p.disabledText, p.text);
  EXPECT_EQ(p.background, palette::kBlue);
  EXPECT_EQ(p.fill, MakeColor(20, 100, 180));
  EXPECT_EQ(p.text, palette::kWhite);
}

TEST(FollowDpi, ScalesEdgesAndComesBackWithoutDriftUnlessTheWindowMovedTheControl) {
  // Edges scale, so neighbours that touched still touch: 7..10 and 10..13 at 96 DPI, 11 wide at 144
  // would be 10.5 + 4.5 by sizes.
  EXPECT_EQ(RescaleRect({7, 7, 10, 10}, 96, 144), (PixelRect{11, 11, 15, 15}));
  EXPECT_EQ(RescaleRect({10, 0, 13, 3}, 96, 144).left, 15);
  // An unknown DPI is taken as 96.
  EXPECT_EQ(RescaleRect({10, 10, 20, 20}, 0, 192), (PixelRect{20, 20, 40, 40}));

  // Through 125 %, 175 % and 150 % and back: the control ends where it started, though every step
  // rounded (7 px at 120 DPI is 8.75).
  const PixelRect start{7, 13, 101, 37};
  DpiPlacement memo;
  PixelRect now = start;
  int dpi = 96;
  for (const int next : {120, 168, 144, 96}) {
    now = FollowDpi(memo, now, dpi, next);
    EXPECT_EQ(now, RescaleRect(start, 96, next)) << next;
    dpi = next;
  }
  EXPECT_EQ(now, start);

  // Moved by its window in between: measured from its new place at the DPI it was moved at.
  now = FollowDpi(memo, now, 96, 144);
  now = FollowDpi(memo, {0, 0, 30, 30}, 144, 96);
  EXPECT_EQ(now, (PixelRect{0, 0, 20, 20}));
  EXPECT_EQ(memo.measureDpi, 144);
}

}  // namespace
}  // namespace corvane::gui
