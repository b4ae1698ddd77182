#include "process/win/speaker_win.h"

#include <windows.h>

namespace corvane::win {

void Win32Speaker::Beep(std::uint32_t frequencyHz, std::uint32_t milliseconds) {
  ::Beep(frequencyHz, milliseconds);
}

}  // namespace corvane::win
