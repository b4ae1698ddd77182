#include "ui/main_window_model.h"

#include <gtest/gtest.h>

#include <set>

#include "ui/main_menu.h"

namespace corvane::ui {
namespace {

TEST(MainWindowModel, ShowPanelShowsFlaggedPanelsAndHeadingOfTheFirst) {
  MainWindowModel model;
  model.ShowOnly(Panel::Blocked);
  EXPECT_TRUE(model.IsVisible(Panel::Blocked));
  EXPECT_FALSE(model.IsVisible(Panel::Running));
  EXPECT_EQ(model.Heading(), "Blocked Process");
  model.ShowOnly(Panel::Options);
  EXPECT_EQ(model.Heading(), "Options/Settings");
  EXPECT_FALSE(model.IsVisible(Panel::Blocked));
  // Several flags: the heading of the first in panel order.
  model.ShowPanel(false, false, true, false, true);
  EXPECT_EQ(model.Heading(), "Allowed Process");
  // No flag: every panel hidden, heading unchanged.
  model.ShowPanel(false, false, false, false, false);
  EXPECT_EQ(model.Heading(), "Allowed Process");
  for (size_t i = 0; i < kPanelCount; ++i) EXPECT_FALSE(model.IsVisible(static_cast<Panel>(i)));
}

TEST(TrayTip, CutToSixtyFourCharactersAndModeTexts) {
  EXPECT_EQ(TrayTipText("Corvane :: Normal"), "Corvane :: Normal");
  const std::string longText(80, 'x');
  EXPECT_EQ(TrayTipText(longText).size(), 64u);
  EXPECT_EQ(TrayTipText(std::string(64, 'y')), std::string(64, 'y'));
  EXPECT_EQ(SecurityModeTip(false), "Corvane :: Normal");
  EXPECT_EQ(SecurityModeTip(true), "Corvane :: Allow All");
}

TEST(AutoStart, OnlyTheExactWord) {
  EXPECT_TRUE(IsAutoStart("auto"));
  EXPECT_FALSE(IsAutoStart("AUTO"));
  EXPECT_FALSE(IsAutoStart("auto more"));
  EXPECT_FALSE(IsAutoStart("auto "));
  EXPECT_FALSE(IsAutoStart(""));
}

TEST(SplashProgress, OneBlockPerTickThenHandOverOnTheSeventh) {
  SplashProgress splash;
  for (int tick = 1; tick <= 6; ++tick) {
    EXPECT_FALSE(splash.Tick()) << tick;
    EXPECT_EQ(splash.VisibleBlocks(), tick);
  }
  EXPECT_TRUE(splash.Tick());
  EXPECT_EQ(splash.VisibleBlocks(), 6);
}

TEST(TrayMenu, ItemsInOrderWithUniqueCommands) {
  const auto items = TrayMenuItems();
  ASSERT_EQ(items.size(), 32u);
  EXPECT_EQ(items.front().caption, "Corvane");
  EXPECT_EQ(items.back().caption, "Close");
  EXPECT_EQ(items.back().command, MenuCommand::Close);
  std::set<unsigned> commands;
  for (const auto& item : items) {
    if (item.command == MenuCommand::Separator) {
      EXPECT_EQ(item.caption, "-") << item.name;
      continue;
    }
    EXPECT_TRUE(commands.insert(static_cast<unsigned>(item.command)).second) << item.name;
    // A sub-menu item's parent is listed before it and is itself a top-level item.
    if (item.parent != MenuCommand::None) {
      bool parentSeen = false;
      for (const auto& other : items) {
        if (&other == &item) break;
        if (other.command == item.parent) parentSeen = other.parent == MenuCommand::None;
      }
      EXPECT_TRUE(parentSeen) << item.name;
    }
  }
}

}  // namespace
}  // namespace corvane::ui
