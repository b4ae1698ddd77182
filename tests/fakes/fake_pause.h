#pragma once
// A Pause that never sleeps: it counts, and can run a "timer tick" whenever events would run.
#include <functional>

#include "store/pause.h"

namespace corvane::testing {

class FakePause final : public Pause {
 public:
  void RunPendingEvents() override {
    ++eventRuns;
    if (onEvents) onEvents();
  }
  void Sleep(int milliseconds) override {
    ++sleeps;
    sleptMilliseconds += milliseconds;
  }

  int eventRuns = 0;
  int sleeps = 0;
  long long sleptMilliseconds = 0;
  std::function<void()> onEvents;
};

}  // namespace corvane::testing
