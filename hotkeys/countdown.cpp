#include "hotkeys/countdown.h"

namespace corvane::hotkeys {

std::string_view CountdownHeading(SystemHotkey hotkey) {
  return hotkey == SystemHotkey::ShutDown ? "Windows will now Shutdown." : "Windows will now restart.";
}

std::string CountdownExplanation() {
  return "You have pressed HotKey. If you dont want to restart or shutdown your system you can press 'cancel' "
         "button." +
         std::string(147, ' ') + "You can disable or even chnage the HotKey settings from options panel.";
}

std::string RemainingText(int seconds) { return std::to_string(seconds) + " seconds remaining ..."; }

bool Countdown::Tick() {
  if (!Running()) return false;
  ++progress_;
  if (progress_ >= kCountdownSeconds) completed_ = true;
  return completed_;
}

void Countdown::Cancel() {
  if (Running()) cancelled_ = true;
}

}  // namespace corvane::hotkeys
