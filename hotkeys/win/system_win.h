#pragma once
// The keyboard and the power-off request as Windows has them.
#include "hotkeys/hotkey_keys.h"
#include "hotkeys/system_hotkeys.h"

namespace corvane::hotkeys::win {

// GetAsyncKeyState: down now, or pressed since the previous query.
class Win32KeyboardState final : public KeyboardState {
 public:
  bool IsKeyPressed(int virtualKey) override;
};

// ExitWindowsEx with force, holding the shutdown privilege only for the call. Under Wine it would end
// the whole prefix, on Windows the machine: when the environment names a file in
// kPowerOffLogVariable (set only by the end-to-end tests for the programs they start), the request
// is appended there as a line, "shutdown" or "restart", instead.
inline constexpr wchar_t kPowerOffLogVariable[] = L"CORVANE_POWER_OFF_LOG";

class Win32PowerControl final : public PowerControl {
 public:
  void ShutDown() override;
  void Restart() override;
};

}  // namespace corvane::hotkeys::win
