#pragma once
#include <cstdint>

#include "process/speaker.h"

namespace corvane::win {

// The system speaker (or the sound card's stand-in for it).
class Win32Speaker final : public Speaker {
 public:
  void Beep(std::uint32_t frequencyHz, std::uint32_t milliseconds) override;
};

}  // namespace corvane::win
