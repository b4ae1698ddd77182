#pragma once
// The places where the main program pauses on purpose (list-file deletion, the shutdown pause) let
// the user interface breathe: pending window events run, then the thread sleeps. Behind an interface
// so that host tests never sleep and can run a "timer tick" in the middle of a pause.
namespace corvane {

class Pause {
 public:
  virtual ~Pause() = default;
  // Runs the window events that are waiting now (timer ticks and clicks included), then returns.
  virtual void RunPendingEvents() = 0;
  // Blocks the thread for about milliseconds; no events run meanwhile.
  virtual void Sleep(int milliseconds) = 0;
};

}  // namespace corvane
