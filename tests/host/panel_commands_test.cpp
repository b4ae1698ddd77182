#include "ui/panel_commands.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "base/text.h"
#include "ui/main_menu.h"

namespace corvane::ui {
namespace {

// A menu caption and its button's caption say the same in other words: letter case aside, the
// menus call the Trash Jar the Trash Can.
std::string Meaning(std::string_view caption) {
  std::string text = ToUpperAscii(caption);
  if (const auto at = text.find("TRASH CAN"); at != std::string::npos) text.replace(at, 9, "TRASH JAR");
  return text;
}

TEST(PanelCommands, EveryMenuItemRunsThePanelButtonThatSaysTheSame) {
  for (const Panel panel : {Panel::Running, Panel::Blocked, Panel::Allowed, Panel::TrashJar}) {
    ASSERT_FALSE(PanelMenuItems(panel).empty());
    for (const PanelMenuItem& item : PanelMenuItems(panel)) {
      // A separator is a line and nothing else.
      EXPECT_EQ(item.command == PanelCommand::Separator, item.caption == "-") << item.name;
      if (item.command == PanelCommand::Separator) continue;
      const PanelButton* button = nullptr;
      for (const PanelButton& candidate : PanelButtons(panel)) {
        if (candidate.command == item.command) button = &candidate;
      }
      ASSERT_NE(button, nullptr) << item.name << " runs no button of its own panel";
      EXPECT_EQ(Meaning(item.caption), Meaning(button->caption)) << item.name;
    }
  }
  EXPECT_TRUE(PanelButtons(Panel::Options).empty());
  EXPECT_TRUE(PanelMenuItems(Panel::Options).empty());
}

TEST(PanelCommands, CommandIdsAreOwnedByOneButtonAndMeetNoTrayMenuId) {
  std::set<PanelCommand> seen;
  for (const Panel panel : {Panel::Running, Panel::Blocked, Panel::Allowed, Panel::TrashJar}) {
    for (const PanelButton& button : PanelButtons(panel)) {
      EXPECT_TRUE(seen.insert(button.command).second) << button.caption;
      EXPECT_TRUE(IsPanelCommand(static_cast<unsigned>(button.command))) << button.caption;
    }
  }
  EXPECT_EQ(seen.size(), kLastPanelCommand - kFirstPanelCommand + 1);
  for (const TrayMenuItem& item : TrayMenuItems()) {
    EXPECT_FALSE(IsPanelCommand(static_cast<unsigned>(item.command))) << item.name;
  }
}

}  // namespace
}  // namespace corvane::ui
