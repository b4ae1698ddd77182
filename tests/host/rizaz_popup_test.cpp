#include "rizaz/popup.h"

#include <gtest/gtest.h>

#include <string>
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
