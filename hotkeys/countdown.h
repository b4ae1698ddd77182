#pragma once
// The countdown before a hotkey shuts Windows down or restarts it: 25 one-second ticks, shown as a
// bar and as the seconds remaining, cancelled by the user at any time. The window shows this model
// and forwards its timer and its cancel buttons here.
#include <string>
#include <string_view>

#include "hotkeys/system_hotkeys.h"

namespace corvane::hotkeys {

inline constexpr std::string_view kCountdownCaption = "Hot Key Pressed";
inline constexpr int kCountdownSeconds = 25;
inline constexpr int kCountdownTickMilliseconds = 1000;

// What is about to happen: "Windows will now Shutdown." or "Windows will now restart.".
std::string_view CountdownHeading(SystemHotkey hotkey);
// The explanation; its run of blanks puts its second sentence on a line of its own in the
// word-wrapping label.
std::string CountdownExplanation();
inline constexpr std::string_view kCountdownWarning = "Please make sure that you have saved all of your work. ";
// "<seconds> seconds remaining ...".
std::string RemainingText(int seconds);

class Countdown {
 public:
  explicit Countdown(SystemHotkey hotkey) : hotkey_(hotkey) {}

  std::string_view Heading() const { return CountdownHeading(hotkey_); }
  // The bar's value, 0 to kCountdownSeconds.
  int Progress() const { return progress_; }
  std::string Remaining() const { return RemainingText(kCountdownSeconds - progress_); }

  // One second has passed. True when this was the last tick: the countdown is complete and the
  // window closes.
  bool Tick();
  // The user cancelled; nothing more happens.
  void Cancel();
  bool Running() const { return !completed_ && !cancelled_; }
  bool Completed() const { return completed_; }

 private:
  SystemHotkey hotkey_;
  int progress_ = 0;
  bool completed_ = false;
  bool cancelled_ = false;
};

}  // namespace corvane::hotkeys
