#pragma once
// The options panel without its window: start with Windows, the beep, the notifications and the
// security mode, their tray-menu twins, and the settings behind them. The panel's controls and the
// tray menu's ticks agree with the stored values after every call.
//
// The controls behave as the program's check boxes and option buttons do: setting a check box to
// another state runs its handler, whether the user clicked it or code set it; selecting an option
// button runs its handler, deselecting one runs nothing. The menu and caption handlers rely on
// that chain.
//
// Portable: the Run value, the tray tip and the running panel come in through an interface and
// hooks, so host tests drive every chain without a window or a registry.
#include <functional>
#include <string>
#include <string_view>

#include "store/settings.h"
#include "ui/main_menu.h"
#include "watch/running_program_list.h"

namespace corvane::ui {

// The Run value that starts the program with Windows, under HKEY_CURRENT_USER.
inline constexpr std::string_view kRunKeyPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr std::string_view kRunValueName = "Corvane";
// The program file the Run value names, whatever the running file is called.
inline constexpr std::string_view kRunProgramFile = "Corvane.exe";

// The Run value's data: a double quote, the program directory, "\Corvane.exe", a double quote, and
// " auto", which starts the program hidden in the tray.
std::string RunValueData(std::string_view programDirectory);

// The Run value in the registry.
class StartupEntry {
 public:
  virtual ~StartupEntry() = default;
  // Writes kRunValueName under kRunKeyPath as text, creating the key when missing. False when it
  // could not be written.
  virtual bool WriteRunValue(std::string_view data) = 0;
  // Deletes the value; a value or key that is not there is no failure.
  virtual bool DeleteRunValue() = 0;
};

// HoldWhileAsking has no tray twin: its menu item is MenuCommand::None.
enum class OptionBox { StartWithWindows, Beep, DontShow, HoldWhileAsking };
enum class SecurityMode { Normal, AllowAll };

// The label beside each check box, which serves as its caption.
std::string_view OptionBoxCaption(OptionBox box);
// The setting that stores the box's state as "0" or "1".
std::string_view OptionBoxKey(OptionBox box);
// The tray-menu item that twins the box.
MenuCommand OptionBoxMenuItem(OptionBox box);
// The label beside each option button: "Normal (Recommended)", "Allow All".
std::string_view SecurityModeCaption(SecurityMode mode);

// The panel's other texts.
inline constexpr std::string_view kGeneralSettingsHeading = "General Settings";
inline constexpr std::string_view kSecuritySettingsHeading = "Security Settings";
inline constexpr std::string_view kHotKeySettingHeading = "Hot Key Setting";
inline constexpr std::string_view kShutDownHotkeyCaption = "Enable HotKey forShut Down";
inline constexpr std::string_view kRestartHotkeyCaption = "Enable HotKey for Restart";
inline constexpr std::string_view kHotkeyModifiersLabel = "Ctrl  +  Shift  +";

// The shutdown and restart key lists hold the letters A to Z, in this order.
inline constexpr int kHotkeyKeyCount = 26;
char HotkeyKeyLetter(int position);

// The hotkey settings as the panel loads them; their controls' behaviour belongs to the hotkeys.
struct HotkeyOptions {
  bool shutDownEnabled = false;
  bool restartEnabled = false;
  int shutDownKey = 0;  // position in the key list: 0 is "A"
  int restartKey = 1;
};

class OptionsModel {
 public:
  // programDirectory: the folder of the program, without a trailing backslash, for the Run value.
  OptionsModel(SettingsStore& settings, watch::RunningProgramList& running, StartupEntry& startup,
               std::string programDirectory);

  // The tray icon's tip for the new mode (the host ignores it while there is no icon).
  std::function<void(std::string_view tip)> changeTrayTip;
  // Entries were removed from the running list.
  std::function<void()> runningListChanged;
  // The hotkey check boxes were loaded: their handlers run now, shutdown first.
  std::function<void(const HotkeyOptions&)> hotkeyChecksLoaded;
  // A control or a tick changed: the panel and the tray menu show the model again.
  std::function<void()> changed;

  // Fills the controls and the ticks from the settings, once at start-up. The Run value is written
  // or deleted by the stored choice, so a program moved to another folder refreshes it.
  void LoadOptions();

  // A check box set by the user or by code: its handler runs when the state changes.
  void SetCheckBox(OptionBox box, bool checked);
  // The label beside a check box: toggles it, then runs its handler once more.
  void ClickCaption(OptionBox box);
  // An option button clicked (or selected from code): it is selected and its handler runs.
  void SelectMode(SecurityMode mode);
  // The label beside an option button: selects it, then runs its handler once more.
  void ClickModeCaption(SecurityMode mode);

  // The tray items Normal, Allow All, Start with Windows, Beep and notifications; false for other
  // commands, which are left to their owners.
  bool OnMenuCommand(MenuCommand command);
  // Whether a tray item is ticked; false for items without a tick.
  bool IsMenuTicked(MenuCommand command) const;

  bool IsChecked(OptionBox box) const;
  bool IsModeSelected(SecurityMode mode) const;
  // Allow All exactly when its option button is selected.
  SecurityMode Mode() const;
  const HotkeyOptions& Hotkeys() const { return hotkeys_; }

 private:
  struct Box {
    bool checked = false;
    bool ticked = false;  // the tray twin
  };
  Box& BoxOf(OptionBox box);
  const Box& BoxOf(OptionBox box) const;

  // Reads a box's stored state and ticks its twin; a value other than 0 or 1 reads as the default
  // and is stored again as that state, so both programs and the tray tick agree on it.
  void LoadCheckBox(OptionBox box, bool defaultChecked);
  void RunCheckBoxHandler(OptionBox box);
  void ClickTwin(OptionBox box);

  void Select(SecurityMode mode);
  void RunModeHandler(SecurityMode mode);
  void ClickModeMenuItem(SecurityMode item);
  void WriteModeKeys();
  void RemoveUnjudged();
  void Changed();

  SettingsStore& settings_;
  watch::RunningProgramList& running_;
  StartupEntry& startup_;
  std::string directory_;
  Box startWithWindows_;
  Box beep_;
  Box dontShow_;
  Box holdWhileAsking_;
  bool normalSelected_ = false;
  bool allowAllSelected_ = false;
  bool normalTicked_ = false;
  bool allowAllTicked_ = false;
  HotkeyOptions hotkeys_;
};

}  // namespace corvane::ui
