// A stand-in program that the tests start under chosen names and terminate.
//   sleeper [seconds [extra-threads]]
// Stays alive until it is terminated or the seconds (default 60) have passed, so a test that fails
// to clean up leaves nothing running for long. extra-threads idle threads make its thread count
// known.
#include <windows.h>

#include <cstdlib>

namespace {

DWORD WINAPI IdleThread(void*) {
  ::Sleep(INFINITE);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const long seconds = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 60;
  const long extraThreads = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 0;
  for (long i = 0; i < extraThreads && i < 64; ++i) {
    const HANDLE thread = ::CreateThread(nullptr, 0, IdleThread, nullptr, 0, nullptr);
    if (thread != nullptr) ::CloseHandle(thread);
  }
  ::Sleep(static_cast<DWORD>(seconds > 0 ? seconds * 1000 : 0));
  return 0;
}
