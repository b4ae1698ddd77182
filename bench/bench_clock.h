#pragma once
// The benchmarks' clock: milliseconds from the performance counter.
#include <windows.h>

namespace corvane::bench {

inline double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER counter;
  ::QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / frequency;
}

}  // namespace corvane::bench
