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

// ExitWindowsEx with force, holding the shutdown privilege only for the call. Never used by a test:
// under Wine it would end the whole prefix, on Windows the machine.
class Win32PowerControl final : public PowerControl {
 public:
  void ShutDown() override;
  void Restart() override;
};

}  // namespace corvane::hotkeys::win
