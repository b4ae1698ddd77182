#pragma once
// FrmShutRestartConfermation: the countdown before a hotkey shuts Windows down or restarts it. On top
// of every window; the cancel button, Escape and the close box all cancel.
#include <windows.h>

#include "gui/win/modal_window.h"
#include "hotkeys/countdown.h"
#include "hotkeys/system_hotkeys.h"

namespace corvane::hotkeys::win {

// Control ids; the cancel button is IDCANCEL.
inline constexpr int kCountdownHeadingId = 1301;
inline constexpr int kCountdownExplanationId = 1302;
inline constexpr int kCountdownWarningId = 1303;
inline constexpr int kCountdownRemainingId = 1304;
inline constexpr int kCountdownBarId = 1305;

class FrmShutRestartConfermation final : public gui::win::ModalWindow {
 public:
  static const wchar_t* ClassName() { return L"CorvaneCountdown"; }

  // Shows the countdown over owner; true only when it ran to its end. tickMilliseconds: one second,
  // shorter only in tests.
  static bool Run(HWND owner, SystemHotkey hotkey, UINT tickMilliseconds = kCountdownTickMilliseconds);

 private:
  FrmShutRestartConfermation(SystemHotkey hotkey, UINT tickMilliseconds);
  bool CreateControls() override;
  void Arrange(int dpi) override;
  HWND FirstFocus() const override { return cancel_; }
  void OnCommand(int id) override;
  void PaintOver(HDC dc) override;
  gui::win::LabelColors ColorsOf(HWND label) const override;
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnTick();

  Countdown countdown_;
  UINT tickMilliseconds_;
  HWND heading_ = nullptr;
  HWND explanation_ = nullptr;
  HWND warning_ = nullptr;
  HWND remaining_ = nullptr;
  HWND bar_ = nullptr;
  HWND cancel_ = nullptr;
  RECT band_{};
};

// The hotkey step's countdown, shown over the main window.
class WindowCountdown final : public CountdownPresenter {
 public:
  explicit WindowCountdown(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }
  bool RunCountdown(SystemHotkey hotkey) override { return FrmShutRestartConfermation::Run(owner_, hotkey); }

 private:
  HWND owner_;
};

}  // namespace corvane::hotkeys::win
