#pragma once
// The shutdown and restart hotkeys: Ctrl + Shift + a chosen letter, each off until the user turns it
// on in the options panel. This is their part of the options panel without its window (the two
// check boxes, the two key lists and what a choice is checked against), and the hotkey step that
// the watch cycle runs at the end of every tick.
//
// Portable: the keyboard, the countdown window and the power-off request come in through
// interfaces, so host tests drive every chain; no test can ever switch a machine off.
#include <array>
#include <functional>
#include <string>
#include <string_view>

#include "gui/dialogs.h"
#include "hotkeys/hotkey_keys.h"
#include "store/list_files.h"
#include "store/settings.h"

namespace corvane::hotkeys {

enum class SystemHotkey { ShutDown, Restart };

inline constexpr std::string_view kSameKeyMessage =
    "You cannot have same Hot Key for Shutdown and Restart. Please choose another HotKey";
// The message for a letter a launch hotkey already uses.
std::string LaunchKeyClashMessage(char letter, std::string_view target);

// The check box's setting ("0"/"1") and the list's setting (0-based position), with its default.
std::string_view EnabledKey(SystemHotkey hotkey);
std::string_view PositionKey(SystemHotkey hotkey);
int DefaultPosition(SystemHotkey hotkey);

class SystemHotkeys {
 public:
  // launchHotkeys: the program's copy of the launch-hotkey list, read at every key choice.
  SystemHotkeys(SettingsStore& settings, const HotKeyList& launchHotkeys, gui::Dialogs& dialogs);

  // A box, a list or its enabling changed: the panel shows the model again.
  std::function<void()> changed;

  // Once at start-up: the boxes from their settings with their handlers, then the two lists at
  // their stored letters (shutdown first).
  void Load();
  // A click of the hotkey's check box.
  void SetEnabled(SystemHotkey hotkey, bool on);
  // A new choice in the hotkey's key list. A letter the other system hotkey or a launch hotkey
  // already uses is refused with a message, and the list goes back to its stored letter.
  void ChooseKey(SystemHotkey hotkey, int position);

  bool IsEnabled(SystemHotkey hotkey) const { return StateOf(hotkey).enabled; }
  // The "Ctrl  +  Shift  +" label and the key list are usable exactly while the box is checked.
  bool ControlsEnabled(SystemHotkey hotkey) const { return IsEnabled(hotkey); }
  int Position(SystemHotkey hotkey) const { return StateOf(hotkey).position; }
  // The letter the list shows.
  char Letter(SystemHotkey hotkey) const;

 private:
  struct State {
    bool enabled = false;
    int position = 0;
  };
  State& StateOf(SystemHotkey hotkey) { return states_[static_cast<std::size_t>(hotkey)]; }
  const State& StateOf(SystemHotkey hotkey) const { return states_[static_cast<std::size_t>(hotkey)]; }
  int StoredPosition(SystemHotkey hotkey);
  // Back to the stored letter, without checking it again: the stored value was checked when it was
  // chosen, and a check of a damaged store would otherwise refuse it over and over.
  void RevertToStored(SystemHotkey hotkey);
  void Changed();

  SettingsStore& settings_;
  const HotKeyList& launchHotkeys_;
  gui::Dialogs& dialogs_;
  std::array<State, 2> states_{};
};

// The countdown window, shown modally.
class CountdownPresenter {
 public:
  virtual ~CountdownPresenter() = default;
  // Shows the countdown with what is about to happen; true only when it ran to its end, false when
  // it was cancelled or closed in any other way.
  virtual bool RunCountdown(SystemHotkey hotkey) = 0;
};

// Asks Windows to shut down or restart, forcing other programs to close.
class PowerControl {
 public:
  virtual ~PowerControl() = default;
  virtual void ShutDown() = 0;
  virtual void Restart() = 0;
};

// The last step of every watch tick: the shutdown hotkey, then the restart hotkey.
class HotkeyStep {
 public:
  // endProgram: after a completed countdown and the power request, the program removes its tray
  // icon and ends without telling the blocker to stop (it goes down with Windows).
  HotkeyStep(SettingsStore& settings, const SystemHotkeys& hotkeys, KeyboardState& keyboard,
             CountdownPresenter& countdown, PowerControl& power, std::function<void()> endProgram);

  void Run();

 private:
  // True when the program is ending.
  bool Check(SystemHotkey hotkey);

  SettingsStore& settings_;
  const SystemHotkeys& hotkeys_;
  KeyboardState& keyboard_;
  CountdownPresenter& countdown_;
  PowerControl& power_;
  std::function<void()> endProgram_;
};

}  // namespace corvane::hotkeys
