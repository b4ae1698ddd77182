#pragma once
// Records the tones instead of sounding them.
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "process/speaker.h"

namespace corvane::testing {

class FakeSpeaker final : public Speaker {
 public:
  void Beep(std::uint32_t frequencyHz, std::uint32_t milliseconds) override {
    beeps.emplace_back(frequencyHz, milliseconds);
    if (whileSounding) whileSounding();
  }
  // (frequency, duration) of every tone, in order.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> beeps;
  // Runs during every tone, so that a test can see what had happened before it.
  std::function<void()> whileSounding;
};

}  // namespace corvane::testing
