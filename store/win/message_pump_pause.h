#pragma once
// The pause of the user-interface thread: the waiting window messages are dispatched, then the
// thread sleeps.
#include "store/pause.h"

namespace corvane::win {

class MessagePumpPause final : public Pause {
 public:
  // Dispatches the messages waiting in this thread's queue, at most a bounded number so that a
  // flood of posted messages cannot hold the pause. A WM_QUIT met on the way is posted again and
  // ends the pump, so the program's own message loop still sees it.
  void RunPendingEvents() override;
  void Sleep(int milliseconds) override;
};

}  // namespace corvane::win
