#pragma once
// The system speaker, behind an interface so that host tests can count the beeps.
#include <cstdint>

namespace corvane {

class Speaker {
 public:
  virtual ~Speaker() = default;
  // Sounds a tone; returns when it has finished (or at once where there is no speaker).
  virtual void Beep(std::uint32_t frequencyHz, std::uint32_t milliseconds) = 0;
};

// The tone that announces a termination by file name.
inline constexpr std::uint32_t kTerminationBeepHz = 850;
inline constexpr std::uint32_t kTerminationBeepMs = 300;

}  // namespace corvane
