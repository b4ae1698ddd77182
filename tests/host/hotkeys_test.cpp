#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "hotkeys/countdown.h"
#include "hotkeys/hotkey_keys.h"
#include "hotkeys/launch_hotkeys.h"
#include "hotkeys/system_hotkeys.h"
#include "store/cipher.h"
#include "tests/fakes/fake_dialogs.h"
#include "tests/fakes/memory_list_file_system.h"
#include "tests/fakes/memory_settings.h"

namespace corvane::hotkeys {
namespace {

constexpr const char* kHotKeyFile = "C:\\Corvane\\shudw.dll";

// Keys held down now; every query is recorded.
class FakeKeyboard final : public KeyboardState {
 public:
  bool IsKeyPressed(int virtualKey) override {
    asked.push_back(virtualKey);
    return down.count(virtualKey) != 0;
  }
  void Hold(std::initializer_list<int> keys) { down.insert(keys); }
  std::set<int> down;
  std::vector<int> asked;
};

TEST(HotkeyKeys, LabelsNameTheKeyTheyEndWith) {
  EXPECT_EQ(KeyLabel("Q"), "Ctrl + Shift + Q");
  EXPECT_EQ(KeyCodeOfLabel("Ctrl + Shift + 1"), '1');  // the main keyboard's 1, not the keypad's
  EXPECT_EQ(KeyCodeOfLabel("Ctrl + Shift + Z"), 'Z');
  EXPECT_EQ(KeyCodeOfLabel("Ctrl + Shift +   q  "), 'Q');  // blanks and a hand-edited lower case
  EXPECT_EQ(KeyCodeOfLabel("Ctrl + Shift + "), std::nullopt);
  EXPECT_EQ(KeyCodeOfLabel("Ctrl"), std::nullopt);
  EXPECT_TRUE(SameKeyLabel(" ctrl + shift + a", "Ctrl + Shift + A "));
}

TEST(HotkeyKeys, TheAddFormOffersEveryLetterButTheSystemKeysThenTheDigits) {
  const std::vector<std::string> keys = OfferedLaunchKeys("A", " b ");
  ASSERT_EQ(keys.size(), 24u + 10u);
  EXPECT_EQ(keys.front(), "C");
  EXPECT_EQ(keys[23], "Z");
  EXPECT_EQ(keys[24], "0");
  EXPECT_EQ(keys.back(), "9");
}

TEST(HotkeyKeys, ATargetOpensInItsOwnFolder) {
  EXPECT_EQ(TargetFolder("C:\\Tools\\a.exe"), "C:\\Tools");
  EXPECT_EQ(TargetFolder(" C:\\a.exe "), "C:\\");
  EXPECT_EQ(TargetFolder("\\\\server\\share\\doc.txt"), "\\\\server\\share");
  EXPECT_EQ(TargetFolder("a.exe"), "");
}

class SystemHotkeysTest : public ::testing::Test {
 protected:
  testing::MemorySettings settings;
  HotKeyList launch;
  testing::FakeDialogs dialogs;
  SystemHotkeys hotkeys{settings, launch, dialogs};
};

TEST_F(SystemHotkeysTest, AFirstStartHasBothOffOnAAndBAndStoresThat) {
  hotkeys.Load();
  EXPECT_FALSE(hotkeys.IsEnabled(SystemHotkey::ShutDown));
  EXPECT_FALSE(hotkeys.ControlsEnabled(SystemHotkey::Restart));
  EXPECT_EQ(hotkeys.Letter(SystemHotkey::ShutDown), 'A');
  EXPECT_EQ(hotkeys.Letter(SystemHotkey::Restart), 'B');
  EXPECT_EQ(settings.Get("ChkEnableHotkeyShutDown"), "0");
  EXPECT_EQ(settings.Get("ChkEnableHotkeyRestart"), "0");
  EXPECT_EQ(settings.Get("cmdShutDown"), "0");
  EXPECT_EQ(settings.Get("CmdRestart"), "1");
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(SystemHotkeysTest, StoredChoicesLoadAndADamagedStoreNeverMeansOneKeyForBoth) {
  settings.values = {{"ChkEnableHotkeyShutDown", "1"}, {"cmdShutDown", "4"}, {"CmdRestart", "4"}};
  hotkeys.Load();
  EXPECT_TRUE(hotkeys.ControlsEnabled(SystemHotkey::ShutDown));
  EXPECT_EQ(hotkeys.Letter(SystemHotkey::ShutDown), 'E');
  EXPECT_EQ(hotkeys.Letter(SystemHotkey::Restart), 'B');
  EXPECT_EQ(settings.Get("CmdRestart"), "1");

  settings.values = {{"cmdShutDown", "1"}, {"CmdRestart", "99"}};
  hotkeys.Load();
  EXPECT_EQ(hotkeys.Letter(SystemHotkey::ShutDown), 'B');
  EXPECT_EQ(hotkeys.Letter(SystemHotkey::Restart), 'A');
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(SystemHotkeysTest, TheSameLetterForBothIsRefusedAndTheListGoesBack) {
  hotkeys.Load();
  hotkeys.ChooseKey(SystemHotkey::Restart, 0);
  EXPECT_EQ(dialogs.informations,
            std::vector<std::string>{
                "You cannot have same Hot Key for Shutdown and Restart. Please choose another HotKey"});
  EXPECT_EQ(hotkeys.Letter(SystemHotkey::Restart), 'B');
  EXPECT_EQ(settings.Get("CmdRestart"), "1");

  hotkeys.ChooseKey(SystemHotkey::Restart, 25);
  EXPECT_EQ(hotkeys.Letter(SystemHotkey::Restart), 'Z');
  EXPECT_EQ(settings.Get("CmdRestart"), "25");
  EXPECT_EQ(dialogs.informations.size(), 1u);
}

TEST_F(SystemHotkeysTest, ALetterALaunchHotkeyUsesIsRefusedNamingItsFile) {
  hotkeys.Load();
  launch = {{"C:\\Tools\\notes.txt", "Ctrl + Shift + 7"}, {"C:\\Apps\\calc.exe", "ctrl + shift + d "}};
  hotkeys.ChooseKey(SystemHotkey::ShutDown, 3);
  EXPECT_EQ(dialogs.informations, std::vector<std::string>{"Hot Key Ctrl + Shift + D has already been defined for "
                                                           "C:\\Apps\\calc.exe. Please chosse another Hot Key."});
  EXPECT_EQ(hotkeys.Letter(SystemHotkey::ShutDown), 'A');
  EXPECT_EQ(settings.Get("cmdShutDown"), "0");

  // A clash of the other list's stored letter (the bindings changed behind it) sends both lists
  // back: the list chosen from never shows a letter that is not stored.
  launch.push_back({"C:\\Apps\\b.exe", "Ctrl + Shift + B"});
  hotkeys.ChooseKey(SystemHotkey::ShutDown, 5);
  EXPECT_EQ(dialogs.informations.back(),
            "Hot Key Ctrl + Shift + B has already been defined for C:\\Apps\\b.exe. Please chosse another Hot Key.");
  EXPECT_EQ(hotkeys.Letter(SystemHotkey::ShutDown), 'A');
  EXPECT_EQ(hotkeys.Letter(SystemHotkey::Restart), 'B');
  EXPECT_EQ(settings.Get("cmdShutDown"), "0");
}

class FakeCountdown final : public CountdownPresenter {
 public:
  bool RunCountdown(SystemHotkey hotkey) override {
    shown.push_back(hotkey);
    return complete;
  }
  bool complete = true;
  std::vector<SystemHotkey> shown;
};

class FakePower final : public PowerControl {
 public:
  void ShutDown() override { requests.push_back("shutdown"); }
  void Restart() override { requests.push_back("restart"); }
  std::vector<std::string> requests;
};

class HotkeyStepTest : public SystemHotkeysTest {
 protected:
  FakeKeyboard keyboard;
  FakeCountdown countdown;
  FakePower power;
  int ended = 0;
  HotkeyStep step{settings, hotkeys, keyboard, countdown, power, [this] { ++ended; }};
};

TEST_F(HotkeyStepTest, OffHotkeysAskNoKeyAndDoNothing) {
  hotkeys.Load();
  keyboard.Hold({kControlKey, kShiftKey, 'A', 'B'});
  step.Run();
  EXPECT_TRUE(keyboard.asked.empty());
  EXPECT_TRUE(countdown.shown.empty());
}

TEST_F(HotkeyStepTest, AHeldCombinationCountsDownThenAsksWindowsAndEndsTheProgram) {
  settings.values = {{"ChkEnableHotkeyShutDown", "1"}, {"ChkEnableHotkeyRestart", "1"}, {"cmdShutDown", "6"}};
  hotkeys.Load();
  keyboard.Hold({kControlKey, kShiftKey});
  step.Run();
  // Ctrl, Shift, the key, and no further than the first key that is up.
  EXPECT_EQ(keyboard.asked, (std::vector<int>{kControlKey, kShiftKey, 'G', kControlKey, kShiftKey, 'B'}));
  EXPECT_TRUE(countdown.shown.empty());

  keyboard.Hold({'G', 'B'});
  step.Run();
  // A completed shutdown ends the step: the restart is not looked at.
  EXPECT_EQ(countdown.shown, std::vector<SystemHotkey>{SystemHotkey::ShutDown});
  EXPECT_EQ(power.requests, std::vector<std::string>{"shutdown"});
  EXPECT_EQ(ended, 1);
}

TEST_F(HotkeyStepTest, ACancelledShutdownStillLeavesTheRestartCheckOfTheTick) {
  settings.values = {{"ChkEnableHotkeyShutDown", "1"}, {"ChkEnableHotkeyRestart", "1"}};
  hotkeys.Load();
  keyboard.Hold({kControlKey, kShiftKey, 'A', 'B'});
  countdown.complete = false;
  step.Run();
  EXPECT_EQ(countdown.shown, (std::vector<SystemHotkey>{SystemHotkey::ShutDown, SystemHotkey::Restart}));
  EXPECT_TRUE(power.requests.empty());
  EXPECT_EQ(ended, 0);

  countdown.complete = true;
  settings.values["ChkEnableHotkeyShutDown"] = "0";
  step.Run();
  EXPECT_EQ(power.requests, std::vector<std::string>{"restart"});
}

TEST(CountdownTest, TwentyFiveTicksCountDownToZeroUnlessCancelled) {
  Countdown countdown(SystemHotkey::Restart);
  EXPECT_EQ(countdown.Heading(), "Windows will now restart.");
  EXPECT_EQ(countdown.Remaining(), "25 seconds remaining ...");
  EXPECT_FALSE(countdown.Tick());
  EXPECT_EQ(countdown.Remaining(), "24 seconds remaining ...");
  EXPECT_EQ(countdown.Progress(), 1);
  for (int i = 2; i < kCountdownSeconds; ++i) EXPECT_FALSE(countdown.Tick());
  EXPECT_TRUE(countdown.Tick());
  EXPECT_TRUE(countdown.Completed());
  EXPECT_EQ(countdown.Remaining(), "0 seconds remaining ...");
  EXPECT_FALSE(countdown.Tick());
  EXPECT_EQ(countdown.Progress(), kCountdownSeconds);

  Countdown cancelled(SystemHotkey::ShutDown);
  EXPECT_EQ(cancelled.Heading(), "Windows will now Shutdown.");
  cancelled.Tick();
  cancelled.Cancel();
  for (int i = 0; i < kCountdownSeconds; ++i) EXPECT_FALSE(cancelled.Tick());
  EXPECT_FALSE(cancelled.Completed());
  EXPECT_EQ(CountdownExplanation().find("You can disable"),
            CountdownExplanation().find("'cancel' button.") + 16 + 147);
}

class FakeLaunchHost final : public LaunchHost {
 public:
  void SetPollTimer(bool on) override { events.push_back(on ? "timer on" : "timer off"); }
  void After(int milliseconds, std::function<void()> then) override {
    events.push_back("after " + std::to_string(milliseconds));
    pending = std::move(then);
  }
  void OpenFile(std::string_view target, std::string_view folder) override {
    events.push_back("open " + std::string(target) + " in " + std::string(folder));
  }
  std::vector<std::string> events;
  std::function<void()> pending;
};

TEST(LaunchHotkeyPollTest, APressedBindingOpensOnceAfterThePauseWithThePollOffMeanwhile) {
  HotKeyList bindings = {{"C:\\Docs\\a.txt", "Ctrl + Shift + 1"}, {"C:\\Apps\\b.exe", "Ctrl + Shift + 2"}};
  FakeKeyboard keyboard;
  FakeLaunchHost host;
  LaunchHotkeyPoll poll(bindings, keyboard, host);

  poll.OnTick();
  EXPECT_EQ(host.events, (std::vector<std::string>{"timer off", "timer on"}));

  host.events.clear();
  keyboard.Hold({kControlKey, kShiftKey, '1', '2'});
  poll.OnTick();
  EXPECT_EQ(host.events, (std::vector<std::string>{"timer off", "after 1000"}));
  // Removed during the pause: what was pressed still opens.
  bindings.clear();
  host.pending();
  EXPECT_EQ(host.events,
            (std::vector<std::string>{"timer off", "after 1000", "open C:\\Docs\\a.txt in C:\\Docs", "timer on"}));

  host.events.clear();
  bindings = {{"C:\\Apps\\b.exe", "Ctrl + Shift + 2"}};
  poll.OnTick();
  poll.Stop();
  host.pending();
  EXPECT_EQ(host.events, (std::vector<std::string>{"timer off", "after 1000"}));
}

TEST(LaunchHotkeyPollTest, AnIdlePollAsksAboutCtrlOnceAndKeysNamingNothingArePassedOver) {
  const HotKeyList bindings = {{"C:\\a.exe", "Ctrl + Shift + "}, {"C:\\b.exe", "garbage"}, {"C:\\c.exe", "Ctrl + Shift + 1"}};
  FakeKeyboard keyboard;
  EXPECT_EQ(FindPressedBinding(bindings, keyboard), std::nullopt);
  EXPECT_EQ(keyboard.asked, std::vector<int>{kControlKey});
  keyboard.asked.clear();
  keyboard.Hold({kControlKey, kShiftKey, 0x61});  // the keypad's 1 is another key
  EXPECT_EQ(FindPressedBinding(bindings, keyboard), std::nullopt);
  keyboard.Hold({'1'});
  EXPECT_EQ(FindPressedBinding(bindings, keyboard), 2u);
  EXPECT_EQ(keyboard.asked, (std::vector<int>{kControlKey, kShiftKey, '1', kControlKey, kShiftKey, '1'}));
  EXPECT_EQ(FindPressedBinding({}, keyboard), std::nullopt);
}

class LaunchHotkeysTest : public ::testing::Test {
 protected:
  void SetUp() override {
    files.Put("C:\\Apps\\calc.exe", "");
    files.Put("C:\\Docs\\hidden.txt", "", /*hidden=*/true);
  }
  std::vector<std::string> StoredRecords() {
    std::vector<std::string> records;
    std::string content = files.Content(kHotKeyFile);
    for (std::size_t start = 0, end; (end = content.find("\r\n", start)) != std::string::npos; start = end + 2) {
      records.push_back(DecryptText(content.substr(start, end - start)));
    }
    return records;
  }

  testing::MemoryListFileSystem files;
  testing::MemorySettings settings;
  Lists store{files, settings, "C:\\Corvane"};
  testing::FakeDialogs dialogs;
  HotKeysModel window{store, dialogs};
};

TEST_F(LaunchHotkeysTest, AnAddIsCheckedInOrderThenStoredInTheFileTheWindowAndThePollsCopy) {
  window.Load();
  AddHotKeyModel form(store, files, dialogs, "A", "B");
  EXPECT_FALSE(form.Accept(std::string(43, ' ') + "Click on the button to select a file ------------->", "C"));
  EXPECT_FALSE(form.Accept("C:\\Apps\\gone.exe", "C"));
  EXPECT_EQ(dialogs.informations, std::vector<std::string>(2, "Please select a file for which you want to set Hot-Key."));

  ASSERT_TRUE(form.Accept(" C:\\Apps\\calc.exe ", "C"));
  ASSERT_TRUE(form.Accept("C:\\Docs\\hidden.txt", "7"));
  const HotKeyList expected = {{"C:\\Apps\\calc.exe", "Ctrl + Shift + C"}, {"C:\\Docs\\hidden.txt", "Ctrl + Shift + 7"}};
  EXPECT_EQ(window.Rows(), expected);
  EXPECT_EQ(store.hotKeys(), expected);
  EXPECT_EQ(StoredRecords(),
            (std::vector<std::string>{"C:\\Apps\\calc.exe^^^^Ctrl + Shift + C", "C:\\Docs\\hidden.txt^^^^Ctrl + Shift + 7"}));

  dialogs.informations.clear();
  files.Put("c:\\apps\\CALC.exe", "");  // the same file, as a disk that ignores letter case sees it
  EXPECT_FALSE(form.Accept("c:\\apps\\CALC.exe", "D"));
  EXPECT_FALSE(form.Accept("C:\\Docs\\hidden.txt", "7"));  // the file is checked before the key
  files.Put("C:\\Apps\\other.exe", "");
  EXPECT_FALSE(form.Accept("C:\\Apps\\other.exe", "7"));
  EXPECT_FALSE(form.Accept("C:\\Apps\\other.exe", "A"));  // the shutdown key is not on offer
  EXPECT_EQ(dialogs.informations,
            (std::vector<std::string>{
                "Hot Key for \"c:\\apps\\CALC.exe\" has already been defined. Please chosse another file.",
                "Hot Key for \"C:\\Docs\\hidden.txt\" has already been defined. Please chosse another file.",
                "Hot Key \"7\" has already been set. Please chosse another Hot-Key."}));
  EXPECT_EQ(store.hotKeys().size(), 2u);

  // A file that refuses the binding: the form stays open, and the user hears of it once.
  files.refuseAllWrites = true;
  files.Put("C:\\Apps\\more.exe", "");
  EXPECT_FALSE(form.Accept("C:\\Apps\\more.exe", "E"));
  EXPECT_FALSE(form.Accept("C:\\Apps\\more.exe", "E"));
  EXPECT_EQ(dialogs.informations.size(), 4u);
  EXPECT_EQ(dialogs.informations.back(), UnsavedListMessage(ListKind::HotKey));
  files.refuseAllWrites = false;

  // The next start reads the same.
  Lists next(files, settings, "C:\\Corvane");
  next.Load();
  EXPECT_EQ(HotKeysModel(next, dialogs).Rows(), expected);
}

TEST_F(LaunchHotkeysTest, ADamagedFileLoadsWhatItCanAndTargetsComeBackExactly) {
  const std::string odd = "C:\\T\xC3\xA9st^^^^dir\\a^^^^b.exe";
  files.Put(kHotKeyFile, std::string("\x01\xFF\x80garbage\r\n") + EncryptText("no separator here") + "\r\n" +
                             EncryptText(odd + "^^^^Ctrl + Shift + 5") + "\r\n" +
                             EncryptText("C:\\x.exe^^^^Ctrl + Shift + ") + "\r\n");
  store.Load();
  window.Load();
  ASSERT_FALSE(window.Rows().empty());
  EXPECT_EQ(window.Rows().front().target, odd);
  EXPECT_EQ(window.Rows().front().keyLabel, "Ctrl + Shift + 5");
}

TEST_F(LaunchHotkeysTest, RemovingAsksThenRewritesAndTheLastRemovalLeavesNoFile) {
  window.Load();
  AddHotKeyModel form(store, files, dialogs, "A", "B");
  files.Put("C:\\Apps\\b.exe", "");
  ASSERT_TRUE(form.Accept("C:\\Apps\\calc.exe", "C"));
  ASSERT_TRUE(form.Accept("C:\\Apps\\b.exe", "D"));

  EXPECT_FALSE(window.RemoveSelected());  // nothing selected: no question
  EXPECT_TRUE(dialogs.confirmations.empty());

  window.Select(0);
  dialogs.answers = {false, true};
  EXPECT_FALSE(window.RemoveSelected());
  EXPECT_EQ(store.hotKeys().size(), 2u);
  EXPECT_TRUE(window.RemoveSelected());
  EXPECT_EQ(dialogs.confirmations,
            std::vector<std::string>(2, " Are you sure you want to remove the entry, \"C:\\Apps\\calc.exe\"?"));
  const HotKeyList left = {{"C:\\Apps\\b.exe", "Ctrl + Shift + D"}};
  EXPECT_EQ(window.Rows(), left);
  EXPECT_EQ(store.hotKeys(), left);
  EXPECT_EQ(StoredRecords(), std::vector<std::string>{"C:\\Apps\\b.exe^^^^Ctrl + Shift + D"});

  window.Select(0);
  dialogs.answers = {true};
  EXPECT_TRUE(window.RemoveSelected());
  EXPECT_TRUE(store.hotKeys().empty());
  EXPECT_FALSE(files.Has(kHotKeyFile));
}

}  // namespace
}  // namespace corvane::hotkeys
