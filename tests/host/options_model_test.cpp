#include "ui/options_model.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/fakes/fake_startup_entry.h"
#include "tests/fakes/memory_settings.h"

namespace corvane::ui {
namespace {

constexpr const char* kRunData = "\"C:\\Apps\\Corvane.exe\" auto";

class OptionsModelTest : public ::testing::Test {
 protected:
  OptionsModelTest() {
    options.changeTrayTip = [this](std::string_view tip) { tips.emplace_back(tip); };
    options.runningListChanged = [this] { ++runningChanges; };
    options.hotkeyChecksLoaded = [this](const HotkeyOptions& hotkeys) { loadedHotkeys.push_back(hotkeys); };
  }

  void StoreMode(bool allowAll) {
    for (const char* key : {"OptAllowAll", "mnuMainAllowAll"}) settings.values[key] = allowAll ? "True" : "False";
    for (const char* key : {"OptNormal", "mnuMainNormal"}) settings.values[key] = allowAll ? "False" : "True";
  }
  // The four mode keys agree with the mode, the option buttons and the ticks.
  void ExpectMode(SecurityMode mode) {
    const bool allowAll = mode == SecurityMode::AllowAll;
    EXPECT_EQ(options.Mode(), mode);
    EXPECT_EQ(options.IsModeSelected(SecurityMode::AllowAll), allowAll);
    EXPECT_EQ(options.IsModeSelected(SecurityMode::Normal), !allowAll);
    EXPECT_EQ(options.IsMenuTicked(MenuCommand::AllowAll), allowAll);
    EXPECT_EQ(options.IsMenuTicked(MenuCommand::Normal), !allowAll);
    EXPECT_EQ(settings.Get("OptAllowAll"), allowAll ? "True" : "False");
    EXPECT_EQ(settings.Get("mnuMainAllowAll"), allowAll ? "True" : "False");
    EXPECT_EQ(settings.Get("OptNormal"), allowAll ? "False" : "True");
    EXPECT_EQ(settings.Get("mnuMainNormal"), allowAll ? "False" : "True");
  }
  // The box, its tray tick and its stored value agree.
  void ExpectBox(OptionBox box, bool checked) {
    EXPECT_EQ(options.IsChecked(box), checked) << OptionBoxKey(box);
    EXPECT_EQ(options.IsMenuTicked(OptionBoxMenuItem(box)), checked) << OptionBoxKey(box);
    EXPECT_EQ(settings.Get(OptionBoxKey(box)), checked ? "1" : "0") << OptionBoxKey(box);
  }

  testing::MemorySettings settings;
  watch::RunningProgramList running;
  testing::FakeStartupEntry startup;
  OptionsModel options{settings, running, startup, "C:\\Apps"};
  std::vector<std::string> tips;
  int runningChanges = 0;
  std::vector<HotkeyOptions> loadedHotkeys;
};

TEST_F(OptionsModelTest, FirstStartWithAnEmptyStore) {
  options.LoadOptions();
  // Start with Windows on, with the Run value made at once; no beep; notifications shown; Normal.
  ExpectBox(OptionBox::StartWithWindows, true);
  EXPECT_EQ(startup.value, kRunData);
  EXPECT_FALSE(options.IsChecked(OptionBox::Beep));
  EXPECT_FALSE(options.IsMenuTicked(MenuCommand::Beep));
  EXPECT_FALSE(options.IsChecked(OptionBox::DontShow));
  EXPECT_FALSE(options.IsMenuTicked(MenuCommand::Notifications));
  ExpectMode(SecurityMode::Normal);
  EXPECT_EQ(tips, (std::vector<std::string>{"Corvane :: Normal"}));
  // Both hotkeys off, on the keys A and B, handed to the hotkeys before anything else loads.
  ASSERT_EQ(loadedHotkeys.size(), 1u);
  EXPECT_FALSE(loadedHotkeys[0].shutDownEnabled);
  EXPECT_FALSE(loadedHotkeys[0].restartEnabled);
  EXPECT_EQ(HotkeyKeyLetter(options.Hotkeys().shutDownKey), 'A');
  EXPECT_EQ(HotkeyKeyLetter(options.Hotkeys().restartKey), 'B');
}

TEST_F(OptionsModelTest, LoadsStoredChoicesAndRefreshesTheRunValueAtEveryStart) {
  StoreMode(/*allowAll=*/true);
  settings.values["ChkBeep"] = "1";
  settings.values["ChkDontShow"] = " 1 ";
  settings.values["chkStartwithWindows"] = "0";
  settings.values["ChkEnableHotkeyShutDown"] = "1";
  settings.values["cmdShutDown"] = "25";
  settings.values["CmdRestart"] = "26";  // past Z: the default
  startup.value = "\"D:\\Old place\\Corvane.exe\" auto";
  options.LoadOptions();
  ExpectMode(SecurityMode::AllowAll);
  EXPECT_EQ(tips, (std::vector<std::string>{"Corvane :: Allow All"}));
  ExpectBox(OptionBox::Beep, true);
  ExpectBox(OptionBox::DontShow, true);
  ExpectBox(OptionBox::StartWithWindows, false);
  EXPECT_FALSE(startup.value.has_value());
  EXPECT_TRUE(options.Hotkeys().shutDownEnabled);
  EXPECT_EQ(options.Hotkeys().shutDownKey, 25);
  EXPECT_EQ(options.Hotkeys().restartKey, 1);
  // A program moved to another folder puts its new place into the Run value at its next start.
  settings.values["chkStartwithWindows"] = "1";
  OptionsModel again{settings, running, startup, "C:\\Apps"};
  again.LoadOptions();
  EXPECT_EQ(startup.value, kRunData);
}

TEST_F(OptionsModelTest, ModeKeysThatDisagreeLoadAsOneMode) {
  // Both buttons stored as selected: Allow All, whose handler stores Normal as not selected first.
  settings.values["OptAllowAll"] = "True";
  settings.values["OptNormal"] = "True";
  settings.values["mnuMainNormal"] = "True";
  options.LoadOptions();
  ExpectMode(SecurityMode::AllowAll);
  // Neither stored as selected: Normal, as a missing key means.
  settings.values["OptAllowAll"] = "False";
  settings.values["OptNormal"] = "False";
  settings.values["mnuMainAllowAll"] = "True";
  OptionsModel neither{settings, running, startup, "C:\\Apps"};
  neither.LoadOptions();
  EXPECT_EQ(neither.Mode(), SecurityMode::Normal);
  EXPECT_TRUE(neither.IsMenuTicked(MenuCommand::Normal));
  EXPECT_FALSE(neither.IsMenuTicked(MenuCommand::AllowAll));
  EXPECT_EQ(settings.Get("mnuMainAllowAll"), "False");
  EXPECT_EQ(settings.Get("OptNormal"), "True");
}

TEST_F(OptionsModelTest, AStoredCheckValueOtherThanZeroOrOneTakesTheDefaultAndIsStoredAgain) {
  settings.values["ChkBeep"] = "2";
  settings.values["ChkDontShow"] = "2";  // the blocker would read this as "don't show"
  settings.values["chkStartwithWindows"] = "yes";
  settings.values["ChkEnableHotkeyRestart"] = "7";
  options.LoadOptions();
  // The box, its tick and the stored value agree, so both programs read the same choice.
  ExpectBox(OptionBox::Beep, false);
  ExpectBox(OptionBox::DontShow, false);
  ExpectBox(OptionBox::StartWithWindows, true);
  EXPECT_EQ(startup.value, kRunData);
  EXPECT_FALSE(options.Hotkeys().restartEnabled);
}

TEST_F(OptionsModelTest, CheckBoxesCaptionsAndTrayTwinsKeepBoxTickAndStoreInStep) {
  options.LoadOptions();
  settings.writes = 0;
  // Setting a box to the state it has runs nothing.
  options.SetCheckBox(OptionBox::Beep, false);
  EXPECT_EQ(settings.writes, 0);
  // The box from the panel (or from code): stored, ticked.
  options.SetCheckBox(OptionBox::Beep, true);
  ExpectBox(OptionBox::Beep, true);
  // Its caption toggles it.
  options.ClickCaption(OptionBox::Beep);
  ExpectBox(OptionBox::Beep, false);
  options.ClickCaption(OptionBox::DontShow);
  ExpectBox(OptionBox::DontShow, true);
  // The tray twin toggles box and tick together.
  EXPECT_TRUE(options.OnMenuCommand(MenuCommand::Notifications));
  ExpectBox(OptionBox::DontShow, false);
  EXPECT_TRUE(options.OnMenuCommand(MenuCommand::Beep));
  ExpectBox(OptionBox::Beep, true);
  // Commands that are not the options' are left to their owners.
  EXPECT_FALSE(options.OnMenuCommand(MenuCommand::TrashClear));
  EXPECT_FALSE(options.IsMenuTicked(MenuCommand::Close));
}

TEST_F(OptionsModelTest, StartWithWindowsWritesOrDeletesTheRunValueAtEveryChange) {
  options.LoadOptions();
  startup.log.clear();
  // Unticked in the tray: box off, stored "0", value deleted.
  options.OnMenuCommand(MenuCommand::StartWithWindows);
  ExpectBox(OptionBox::StartWithWindows, false);
  EXPECT_FALSE(startup.value.has_value());
  // Ticked again: written with the program's folder.
  options.OnMenuCommand(MenuCommand::StartWithWindows);
  ExpectBox(OptionBox::StartWithWindows, true);
  EXPECT_EQ(startup.value, kRunData);
  // The caption and the box itself do the same.
  options.ClickCaption(OptionBox::StartWithWindows);
  EXPECT_FALSE(startup.value.has_value());
  options.SetCheckBox(OptionBox::StartWithWindows, true);
  EXPECT_EQ(startup.value, kRunData);
  EXPECT_EQ(startup.log.front(), "delete");
  // A registry that refuses leaves the user's choice shown and stored.
  startup.failDeletes = true;
  options.SetCheckBox(OptionBox::StartWithWindows, false);
  ExpectBox(OptionBox::StartWithWindows, false);
  EXPECT_EQ(startup.value, kRunData);
  startup.failWrites = true;
  startup.value.reset();
  options.OnMenuCommand(MenuCommand::StartWithWindows);
  ExpectBox(OptionBox::StartWithWindows, true);
  EXPECT_FALSE(startup.value.has_value());
}

TEST_F(OptionsModelTest, RunValueDataQuotesTheProgramAndAddsAuto) {
  EXPECT_EQ(RunValueData("C:\\Apps"), "\"C:\\Apps\\Corvane.exe\" auto");
  EXPECT_EQ(RunValueData("C:\\Program Files\\Corvane"), "\"C:\\Program Files\\Corvane\\Corvane.exe\" auto");
  EXPECT_EQ(RunValueData("D:\\"), "\"D:\\Corvane.exe\" auto");
}

TEST_F(OptionsModelTest, EitherTrayModeItemTogglesTheMode) {
  options.LoadOptions();
  tips.clear();
  // The ticked Normal switches to Allow All.
  options.OnMenuCommand(MenuCommand::Normal);
  ExpectMode(SecurityMode::AllowAll);
  // The ticked Allow All switches back to Normal.
  options.OnMenuCommand(MenuCommand::AllowAll);
  ExpectMode(SecurityMode::Normal);
  // The unticked Allow All switches to Allow All; the unticked Normal back to Normal.
  options.OnMenuCommand(MenuCommand::AllowAll);
  ExpectMode(SecurityMode::AllowAll);
  options.OnMenuCommand(MenuCommand::Normal);
  ExpectMode(SecurityMode::Normal);
  EXPECT_EQ(tips, (std::vector<std::string>{"Corvane :: Allow All", "Corvane :: Normal", "Corvane :: Allow All",
                                            "Corvane :: Normal"}));
}

TEST_F(OptionsModelTest, BackToNormalForgetsTheProgramsListedWithoutADecision) {
  options.LoadOptions();
  options.SelectMode(SecurityMode::AllowAll);
  running.Add({"judged.exe", "C:\\judged.exe"});
  running.Add({"free.exe", "C:\\free.exe", /*unjudged=*/true});
  running.Add({"also.exe", "C:\\also.exe", /*unjudged=*/true});
  running.Add({"judged2.exe", "C:\\judged2.exe"});
  runningChanges = 0;
  options.SelectMode(SecurityMode::Normal);
  ExpectMode(SecurityMode::Normal);
  ASSERT_EQ(running.size(), 2u);
  EXPECT_EQ(running.entries()[0].name, "judged.exe");
  EXPECT_EQ(running.entries()[1].name, "judged2.exe");
  EXPECT_EQ(runningChanges, 1);
  // Through the tray as well: the ticked Normal goes to Allow All, the unticked one back to Normal.
  options.OnMenuCommand(MenuCommand::Normal);
  running.Add({"free.exe", "C:\\free.exe", /*unjudged=*/true});
  options.OnMenuCommand(MenuCommand::Normal);
  ExpectMode(SecurityMode::Normal);
  EXPECT_EQ(running.size(), 2u);
  EXPECT_EQ(runningChanges, 2);
}

TEST_F(OptionsModelTest, HoldingNewProgramsIsOnUnlessTurnedOffAndHasNoTrayTwin) {
  const auto stored = [this] { return settings.Get("OptHoldWhileAsking"); };
  // First start: on, and stored so.
  options.LoadOptions();
  EXPECT_TRUE(options.IsChecked(OptionBox::HoldWhileAsking));
  EXPECT_EQ(stored(), "1");
  EXPECT_EQ(OptionBoxCaption(OptionBox::HoldWhileAsking), "Hold new programs while I decide");
  // Turned off by the box or its caption, and the choice is kept.
  options.SetCheckBox(OptionBox::HoldWhileAsking, false);
  EXPECT_EQ(stored(), "0");
  options.ClickCaption(OptionBox::HoldWhileAsking);
  EXPECT_TRUE(options.IsChecked(OptionBox::HoldWhileAsking));
  EXPECT_EQ(stored(), "1");
  options.ClickCaption(OptionBox::HoldWhileAsking);
  OptionsModel next{settings, running, startup, "C:\\Apps"};
  next.LoadOptions();
  EXPECT_FALSE(next.IsChecked(OptionBox::HoldWhileAsking));
  EXPECT_EQ(stored(), "0");
  // A stray value reads as on and is stored again as "1", so the watch reads what the box shows.
  for (const char* stray : {"yes", "2", "", "True"}) {
    settings.values["OptHoldWhileAsking"] = stray;
    OptionsModel again{settings, running, startup, "C:\\Apps"};
    again.LoadOptions();
    EXPECT_TRUE(again.IsChecked(OptionBox::HoldWhileAsking)) << stray;
    EXPECT_EQ(stored(), "1") << stray;
  }
  // The tray menu has no item for it, and its items leave it alone.
  EXPECT_EQ(OptionBoxMenuItem(OptionBox::HoldWhileAsking), MenuCommand::None);
  EXPECT_FALSE(options.OnMenuCommand(MenuCommand::None));
  options.OnMenuCommand(MenuCommand::Beep);
  EXPECT_EQ(stored(), "1");
}

TEST_F(OptionsModelTest, ModeCaptionsSelectTheirButtonAndRunItsSwitchTwice) {
  options.LoadOptions();
  tips.clear();
  options.ClickModeCaption(SecurityMode::AllowAll);
  ExpectMode(SecurityMode::AllowAll);
  EXPECT_EQ(tips, (std::vector<std::string>{"Corvane :: Allow All", "Corvane :: Allow All"}));
  tips.clear();
  options.ClickModeCaption(SecurityMode::Normal);
  ExpectMode(SecurityMode::Normal);
  EXPECT_EQ(tips.size(), 2u);
  EXPECT_EQ(SecurityModeCaption(SecurityMode::Normal), "Normal (Recommended)");
  EXPECT_EQ(OptionBoxCaption(OptionBox::DontShow), "Don't show Notification Message when any file is blocked.");
}

}  // namespace
}  // namespace corvane::ui
