#pragma once
// The options panel: start with Windows, the beep, the notifications, the security mode and the
// hotkey settings. The controls show the options model and hand the user's clicks to it; the model
// says what follows.
//
// The three option check boxes and the two mode buttons take their captions from the labels beside
// them, which toggle or select them when clicked. The boxes and buttons carry the same text as their
// window text, clipped to the box, so keyboard users, screen readers and tests find them by name.
#include <windows.h>

#include <array>

#include "hotkeys/system_hotkeys.h"
#include "ui/options_model.h"
#include "ui/win/panel_window.h"

namespace corvane::ui::win {

// Control ids inside the options panel.
inline constexpr int kOptionBoxId = 500;         // + OptionBox
inline constexpr int kOptionCaptionId = 510;     // + OptionBox
inline constexpr int kModeButtonId = 520;        // + SecurityMode
inline constexpr int kModeCaptionId = 530;       // + SecurityMode
inline constexpr int kShutDownHotkeyBoxId = 540;
inline constexpr int kRestartHotkeyBoxId = 541;
inline constexpr int kShutDownKeyListId = 542;
inline constexpr int kRestartKeyListId = 543;
inline constexpr int kHotKeysButtonId = 544;

// What the panel needs from the program.
class OptionsPanelHost {
 public:
  virtual ~OptionsPanelHost() = default;
  // The options the controls show and change; null until the program is wired up.
  virtual OptionsModel* Options() = 0;
  // The shutdown and restart hotkeys' boxes and key lists; null until the program is wired up.
  virtual hotkeys::SystemHotkeys* SystemHotkeys() = 0;
  // The Hot Keys button: the launch-hotkey window.
  virtual void OnHotKeysButton() = 0;
};

class OptionsPanel final : public PanelWindow {
 public:
  explicit OptionsPanel(OptionsPanelHost& host) : host_(host) {}

  // Every control shows the model's state, the hotkey controls the hotkeys' state.
  void ShowModel(const OptionsModel& model);

 protected:
  void CreateControls(int width, int height, const PanelSetup& setup) override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // A user's act on one of the panel's controls; false when the control is not one of them.
  bool OnCommand(int id, int code);

  OptionsPanelHost& host_;
  std::array<HWND, 4> boxes_{};
  std::array<HWND, 2> modeButtons_{};
  HWND shutDownHotkeyBox_ = nullptr;
  HWND restartHotkeyBox_ = nullptr;
  HWND shutDownKeys_ = nullptr;
  HWND restartKeys_ = nullptr;
  HWND shutDownModifiers_ = nullptr;
  HWND restartModifiers_ = nullptr;
  std::array<HWND, 3> headings_{};
  corvane::win::UniqueGdiObject brush_;
};

}  // namespace corvane::ui::win
