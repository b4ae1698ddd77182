#include "rizaz/popup.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/fakes/memory_settings.h"

namespace corvane::rizaz {
namespace {

TEST(PopupGeometry, RoundHalfEven) {
  EXPECT_EQ(RoundHalfEven(0.5), 0);
  EXPECT_EQ(RoundHalfEven(1.5), 2);
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(14862.5), 14862);
  EXPECT_EQ(RoundHalfEven(14863.5), 14864);
  EXPECT_EQ(RoundHalfEven(2.4999), 2);
  EXPECT_EQ(RoundHalfEven(2.5001), 3);
  EXPECT_EQ(RoundHalfEven(-2.5), -2);
  EXPECT_EQ(RoundHalfEven(-3.5), -4);
}

TEST(PopupGeometry, WorkedExample) {
  // 1024 x 768 screen, taskbar 30 px high, popup 105 px (1575 twips) high.
  const PopupPlacement p = PlacePopup({1024, 768, 30});
  EXPECT_EQ(p.topTwips, 11136 - 435);
  EXPECT_EQ(p.topTwips, 10701);
  EXPECT_DOUBLE_EQ(p.leftTwips, 9966.6);
  EXPECT_EQ(p.targetTopTwips, 9461);
  // At 15 twips per pixel it starts at row 713 and, 16 steps later (top 9421), stops at row 628.
  EXPECT_EQ(TwipsToPixels(p.topTwips, 96), 713);
  EXPECT_EQ(TwipsToPixels(9421, 96), 628);
  EXPECT_EQ(TwipsToPixels(p.leftTwips, 96), 664);
}

TEST(PopupGeometry, OddHeightsAndMissingTaskbar) {
  // 1025 px * 14.5 = 14862.5 -> 14862 (halves go to the even neighbour).
  const PopupPlacement odd = PlacePopup({1280, 1025, 0});
  EXPECT_EQ(odd.topTwips, 14862);  // no taskbar: starts at the bottom edge
  EXPECT_EQ(odd.targetTopTwips, 14862 - 1675);
  // 31 px * 14.5 = 449.5 -> 450; 767 px -> 11121.5 -> 11122.
  const PopupPlacement p = PlacePopup({800, 767, 31});
  EXPECT_EQ(p.topTwips, 11122 - 450);
  EXPECT_DOUBLE_EQ(p.leftTwips, 454 * 14.7);
  // A fractional outer height (another density) is rounded in the target as well.
  ScreenFacts hiDpi{1920, 1080, 40, 433, 1575.5};
  EXPECT_EQ(PlacePopup(hiDpi).targetTopTwips, RoundHalfEven(15660 - 1675.5));
  EXPECT_EQ(TwipsToPixels(1440, 144), 144);
}

// The popup's facts on a screen of widthPx x heightPx at dpi, with a taskbar of taskbarAt96 pixels
// (at 96 DPI) along the bottom and the work area above it; sizes as the window layer measures them.
ScreenFacts ScaledScreen(int widthPx, int heightPx, int taskbarAt96, int dpi) {
  const auto scale = [dpi](int pixels) { return (pixels * dpi + 48) / 96; };
  ScreenFacts facts;
  facts.screenWidthPx = widthPx;
  facts.screenHeightPx = heightPx;
  facts.taskbarHeightPx = scale(taskbarAt96);
  facts.popupClientWidthPx = scale(346);
  facts.popupOuterWidthTwips = (scale(346) + 2) * 1440.0 / dpi;  // a one-pixel frame on each side
  facts.popupOuterHeightTwips = (scale(103) + 2) * 1440.0 / dpi;
  facts.dpi = dpi;
  facts.workArea = {0, 0, widthPx, heightPx - scale(taskbarAt96)};
  return facts;
}

struct Resting {
  int left, top, right, bottom;
};
// Where the popup stands, in screen pixels, once its slide has ended.
Resting RestingPlace(const ScreenFacts& facts) {
  const PopupPlacement p = PlacePopup(facts);
  const int left = TwipsToPixels(p.leftTwips, facts.dpi);
  const int top = TwipsToPixels(static_cast<double>(RestingTopTwips(p)), facts.dpi);
  return {left, top, left + TwipsToPixels(facts.popupOuterWidthTwips, facts.dpi),
          top + TwipsToPixels(facts.popupOuterHeightTwips, facts.dpi)};
}

TEST(PopupGeometry, ScaledScreensKeepThePlaceOfA96DpiScreen) {
  // A screen of 1024 x 768 pixels at 96 DPI, with a 32-pixel taskbar, scaled to 150% and 200%
  // (where every size is a whole number of pixels): the same twips, so the same place on the screen.
  const PopupPlacement design = PlacePopup({1024, 768, 32});
  for (const int dpi : {144, 192}) {
    SCOPED_TRACE(dpi);
    ScreenFacts facts{1024 * dpi / 96, 768 * dpi / 96, 32 * dpi / 96, 346 * dpi / 96};
    facts.dpi = dpi;
    const PopupPlacement p = PlacePopup(facts);
    EXPECT_EQ(p.topTwips, design.topTwips);
    EXPECT_EQ(p.targetTopTwips, design.targetTopTwips);
    EXPECT_NEAR(p.leftTwips, design.leftTwips, 1e-6);
  }
  // At 96 DPI the worked example rests at rows 628 to 733, columns 664 to 1012.
  const Resting at96 = RestingPlace(ScaledScreen(1024, 768, 30, 96));
  EXPECT_EQ(at96.top, 628);
  EXPECT_EQ(at96.bottom, 733);
  EXPECT_EQ(at96.left, 664);
  EXPECT_EQ(at96.right, 1012);
}

TEST(PopupGeometry, RestsInTheBottomRightCornerOfTheWorkAreaAtEveryScale) {
  for (const int dpi : {96, 120, 144}) {
    for (const auto& [width, height] : {std::pair{1920, 1080}, std::pair{1366, 768}, std::pair{1024, 768}}) {
      for (const int taskbar : {0, 30, 40, 48}) {
        SCOPED_TRACE(::testing::Message() << width << "x" << height << " at " << dpi << " DPI, taskbar " << taskbar);
        const ScreenFacts facts = ScaledScreen(width, height, taskbar, dpi);
        const Resting r = RestingPlace(facts);
        // Inside the work area...
        EXPECT_GE(r.left, 0);
        EXPECT_LE(r.right, facts.workArea.right);
        EXPECT_GE(r.top, 0);
        EXPECT_LE(r.bottom, facts.workArea.bottom);
        // ...in its bottom right corner: at most 64 pixels (at 96 DPI) from either edge.
        EXPECT_LE(facts.workArea.right - r.right, 64 * dpi / 96);
        EXPECT_LE(facts.workArea.bottom - r.bottom, 64 * dpi / 96);
        // The popup's own size scales with the screen.
        EXPECT_EQ(r.right - r.left, (346 * dpi + 48) / 96 + 2);
      }
    }
  }
  // 125% on 1920 x 1080, the scale where the popup used to slide off the bottom of the screen.
  const Resting r = RestingPlace(ScaledScreen(1920, 1080, 40, 120));
  EXPECT_LE(r.bottom, 1030);
  EXPECT_GE(r.bottom, 1000);
}

TEST(PopupGeometry, ThePlaceMovesOnlyAsFarAsTheWorkAreaNeeds) {
  // A 48-pixel taskbar on 1920 x 1080: the formulas would overlap it by a few pixels; the whole
  // slide moves up by that much and no more.
  ScreenFacts facts = ScaledScreen(1920, 1080, 48, 96);
  ScreenFacts unbounded = facts;
  unbounded.workArea = {0, 0, 1920, 1080};
  const PopupPlacement moved = PlacePopup(facts);
  const PopupPlacement free = PlacePopup(unbounded);
  EXPECT_GT(RestingTopTwips(free) + 1575, 1032 * 15);
  EXPECT_EQ(RestingTopTwips(moved) + 1575, 1032 * 15);
  EXPECT_EQ(free.topTwips - moved.topTwips, free.targetTopTwips - moved.targetTopTwips);
  EXPECT_DOUBLE_EQ(moved.leftTwips, free.leftTwips);
  // A taskbar on the right: the popup keeps clear of it.
  facts = ScaledScreen(1920, 1080, 0, 96);
  facts.workArea = {0, 0, 1860, 1080};
  const Resting r = RestingPlace(facts);
  EXPECT_EQ(r.right, 1860);
  // A work area smaller than the popup: its top left corner stays inside.
  facts.workArea = {100, 200, 300, 250};
  const Resting tiny = RestingPlace(facts);
  EXPECT_EQ(tiny.left, 100);
  EXPECT_EQ(tiny.top, 200);
}

// Records the calls the controller makes on the window.
class FakeView final : public PopupView {
 public:
  ScreenFacts MeasureScreen() override {
    calls.push_back("measure");
    return facts;
  }
  void Open(const PopupPlacement& p) override { calls.push_back("open " + std::to_string(p.topTwips)); }
  void SetName(const std::string& name) override { calls.push_back("name " + name); }
  void MoveTo(long long top, double) override { tops.push_back(top); }
  void SetChecked(bool checked) override { calls.push_back(checked ? "checked" : "unchecked"); }
  void StartSlideTimer() override { calls.push_back("slide on"); }
  void StopSlideTimer() override { calls.push_back("slide off"); }
  void StartHoldTimer() override { calls.push_back("hold on"); }
  void StopHoldTimer() override { calls.push_back("hold off"); }
  void Close() override { calls.push_back("close"); }

  ScreenFacts facts{1024, 768, 30};
  std::vector<std::string> calls;
  std::vector<long long> tops;
};

class PopupControllerTest : public ::testing::Test {
 protected:
  FakeView view;
  testing::MemorySettings settings;
  PopupController popup{view, settings};
};

TEST_F(PopupControllerTest, SlidesSixteenStepsHoldsThenCloses) {
  popup.Show("tool.exe");
  EXPECT_EQ(view.calls, (std::vector<std::string>{"hold off", "measure", "open 10701", "slide on", "name tool.exe"}));
  EXPECT_EQ(popup.state(), PopupState::Sliding);
  for (int i = 0; i < 16; ++i) popup.OnSlideTick();
  EXPECT_EQ(view.tops.size(), 16u);
  EXPECT_EQ(view.tops.front(), 10621);
  EXPECT_EQ(popup.topTwips(), 9421);  // 40 twips past the target of 9461
  EXPECT_EQ(RestingTopTwips(popup.placement()), 9421);
  EXPECT_EQ(popup.state(), PopupState::Sliding);
  view.calls.clear();
  popup.OnSlideTick();  // the 17th tick does not move, it starts the hold
  EXPECT_EQ(view.tops.size(), 16u);
  EXPECT_EQ(view.calls, (std::vector<std::string>{"slide off", "hold on"}));
  EXPECT_EQ(popup.state(), PopupState::Holding);
  popup.OnSlideTick();  // a late slide tick changes nothing
  EXPECT_EQ(popup.state(), PopupState::Holding);
  view.calls.clear();
  popup.OnHoldTick();
  EXPECT_EQ(view.calls, (std::vector<std::string>{"hold off", "close"}));
  EXPECT_EQ(popup.state(), PopupState::Closed);
}

TEST_F(PopupControllerTest, BlocksWhileOpenOnlyReplaceTheName) {
  popup.Show("first.exe");
  for (int i = 0; i < 5; ++i) popup.OnSlideTick();
  view.calls.clear();
  popup.Show("second.exe");  // while sliding
  EXPECT_EQ(view.calls, (std::vector<std::string>{"name second.exe"}));
  EXPECT_EQ(popup.topTwips(), 10701 - 5 * 80);
  for (int i = 0; i < 20; ++i) popup.OnSlideTick();
  ASSERT_EQ(popup.state(), PopupState::Holding);
  view.calls.clear();
  popup.Show("third.exe");  // while holding: the hold is not restarted
  EXPECT_EQ(view.calls, (std::vector<std::string>{"name third.exe"}));
  popup.OnHoldTick();
  // After closing, the next block opens afresh at the start position with the box clear.
  popup.OnLabelClicked();  // a click on a closed popup does nothing
  EXPECT_FALSE(settings.Has("ChkDontShow"));
  view.calls.clear();
  popup.Show("fourth.exe");
  EXPECT_EQ(view.calls, (std::vector<std::string>{"hold off", "measure", "open 10701", "slide on", "name fourth.exe"}));
  EXPECT_FALSE(popup.checked());
}

TEST_F(PopupControllerTest, CheckBoxAndLabelWriteTheSettingAtOnce) {
  popup.Show("a.exe");
  popup.OnCheckBoxClicked();
  EXPECT_TRUE(popup.checked());
  EXPECT_EQ(settings.Get("ChkDontShow"), "1");
  popup.OnCheckBoxClicked();
  EXPECT_FALSE(popup.checked());
  EXPECT_EQ(settings.Get("ChkDontShow"), "0");
  // The label checks the box, and never unchecks it: a second click writes "1" again.
  popup.OnLabelClicked();
  EXPECT_TRUE(popup.checked());
  EXPECT_EQ(settings.Get("ChkDontShow"), "1");
  const int writes = settings.writes;
  popup.OnLabelClicked();
  EXPECT_TRUE(popup.checked());
  EXPECT_EQ(settings.writes, writes + 1);
  EXPECT_EQ(settings.Get("ChkDontShow"), "1");
  // Checking does not close the open popup.
  EXPECT_NE(popup.state(), PopupState::Closed);
  // Fresh popup, box clear again; the setting stays as written.
  for (int i = 0; i < 17; ++i) popup.OnSlideTick();
  popup.OnHoldTick();
  popup.Show("b.exe");
  EXPECT_FALSE(popup.checked());
  EXPECT_EQ(settings.Get("ChkDontShow"), "1");
}

TEST_F(PopupControllerTest, WindowGoneStopsTheTimers) {
  popup.Show("a.exe");
  view.calls.clear();
  popup.OnWindowGone();
  EXPECT_EQ(view.calls, (std::vector<std::string>{"slide off", "hold off"}));
  EXPECT_EQ(popup.state(), PopupState::Closed);
  popup.OnSlideTick();
  popup.OnHoldTick();
  EXPECT_EQ(view.calls.size(), 2u);
}

}  // namespace
}  // namespace corvane::rizaz
