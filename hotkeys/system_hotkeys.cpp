#include "hotkeys/system_hotkeys.h"

#include "base/text.h"

namespace corvane::hotkeys {

namespace {
constexpr SystemHotkey kBoth[] = {SystemHotkey::ShutDown, SystemHotkey::Restart};
}  // namespace

std::string LaunchKeyClashMessage(char letter, std::string_view target) {
  return "Hot Key " + KeyLabel(std::string(1, letter)) + " has already been defined for " + std::string(target) +
         ". Please chosse another Hot Key.";
}

std::string_view EnabledKey(SystemHotkey hotkey) {
  return hotkey == SystemHotkey::ShutDown ? settings::kChkEnableHotkeyShutDown : settings::kChkEnableHotkeyRestart;
}

std::string_view PositionKey(SystemHotkey hotkey) {
  return hotkey == SystemHotkey::ShutDown ? settings::kCmdShutDown : settings::kCmdRestart;
}

int DefaultPosition(SystemHotkey hotkey) { return hotkey == SystemHotkey::ShutDown ? 0 : 1; }

SystemHotkeys::SystemHotkeys(SettingsStore& settings, const HotKeyList& launchHotkeys, gui::Dialogs& dialogs)
    : settings_(settings), launchHotkeys_(launchHotkeys), dialogs_(dialogs) {
  for (const SystemHotkey hotkey : kBoth) StateOf(hotkey).position = DefaultPosition(hotkey);
}

char SystemHotkeys::Letter(SystemHotkey hotkey) const {
  return SystemKeyLetter(Position(hotkey)).value_or('A');
}

int SystemHotkeys::StoredPosition(SystemHotkey hotkey) {
  const int stored = ReadNumberSetting(settings_, PositionKey(hotkey), DefaultPosition(hotkey));
  // A position outside the list (a damaged store) is the default letter.
  return SystemKeyLetter(stored) ? stored : DefaultPosition(hotkey);
}

void SystemHotkeys::Load() {
  for (const SystemHotkey hotkey : kBoth) {
    StateOf(hotkey).enabled = ReadNumberSetting(settings_, EnabledKey(hotkey), 0) == 1;
  }
  // The boxes' handlers run once, so the settings hold "0" or "1" and the controls follow the boxes.
  for (const SystemHotkey hotkey : kBoth) SetEnabled(hotkey, IsEnabled(hotkey));
  StateOf(SystemHotkey::ShutDown).position = StoredPosition(SystemHotkey::ShutDown);
  int restart = StoredPosition(SystemHotkey::Restart);
  if (restart == Position(SystemHotkey::ShutDown)) {
    // Both stored on one letter (a damaged store): the restart key takes another, so that one
    // combination never means both, and the choice is stored.
    restart = Position(SystemHotkey::ShutDown) == DefaultPosition(SystemHotkey::Restart)
                  ? DefaultPosition(SystemHotkey::ShutDown)
                  : DefaultPosition(SystemHotkey::Restart);
  }
  StateOf(SystemHotkey::Restart).position = restart;
  for (const SystemHotkey hotkey : kBoth) WriteNumberSetting(settings_, PositionKey(hotkey), Position(hotkey));
  Changed();
}

void SystemHotkeys::SetEnabled(SystemHotkey hotkey, bool on) {
  StateOf(hotkey).enabled = on;
  WriteNumberSetting(settings_, EnabledKey(hotkey), on ? 1 : 0);
  Changed();
}

void SystemHotkeys::RevertToStored(SystemHotkey hotkey) {
  StateOf(hotkey).position = StoredPosition(hotkey);
  Changed();
}

void SystemHotkeys::ChooseKey(SystemHotkey hotkey, int position) {
  if (!SystemKeyLetter(position)) return;
  StateOf(hotkey).position = position;
  const char shutDown = Letter(SystemHotkey::ShutDown);
  const char restart = Letter(SystemHotkey::Restart);
  if (shutDown == restart) {
    dialogs_.Inform(kSameKeyMessage);
    RevertToStored(hotkey);
    return;
  }
  // Both letters are checked, shutdown first, whichever list was chosen from. The list is copied:
  // the message is modal, and the launch hotkeys may change while it is open.
  const HotKeyList bindings = launchHotkeys_;
  for (const HotKeyEntry& binding : bindings) {
    for (const SystemHotkey system : kBoth) {
      const char letter = system == SystemHotkey::ShutDown ? shutDown : restart;
      if (!SameKeyLabel(binding.keyLabel, KeyLabel(std::string(1, letter)))) continue;
      dialogs_.Inform(LaunchKeyClashMessage(letter, binding.target));
      RevertToStored(system);
      // The list that was chosen from goes back too: it must not show a letter that is not stored
      // and would then work until the next start.
      if (system != hotkey) RevertToStored(hotkey);
      return;
    }
  }
  WriteNumberSetting(settings_, PositionKey(hotkey), position);
  Changed();
}

void SystemHotkeys::Changed() {
  if (changed) changed();
}

HotkeyStep::HotkeyStep(SettingsStore& settings, const SystemHotkeys& hotkeys, KeyboardState& keyboard,
                       CountdownPresenter& countdown, PowerControl& power, std::function<void()> endProgram)
    : settings_(settings),
      hotkeys_(hotkeys),
      keyboard_(keyboard),
      countdown_(countdown),
      power_(power),
      endProgram_(std::move(endProgram)) {}

void HotkeyStep::Run() {
  for (const SystemHotkey hotkey : kBoth) {
    if (Check(hotkey)) return;
  }
}

bool HotkeyStep::Check(SystemHotkey hotkey) {
  if (ReadNumberSetting(settings_, EnabledKey(hotkey), 0) != 1) return false;
  if (!IsCombinationPressed(keyboard_, static_cast<unsigned char>(hotkeys_.Letter(hotkey)))) return false;
  if (!countdown_.RunCountdown(hotkey)) return false;
  if (hotkey == SystemHotkey::ShutDown) {
    power_.ShutDown();
  } else {
    power_.Restart();
  }
  if (endProgram_) endProgram_();
  return true;
}

}  // namespace corvane::hotkeys
