// A stand-in program whose progress can be watched from outside.
//   counter file [seconds]
// Writes 1, 2, 3, ... over the file's content, a number every 10 ms, until it is terminated or the
// seconds (default 120) have passed.
#include <windows.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const long seconds = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 120;
  const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(seconds > 0 ? seconds : 0) * 1000;
  for (unsigned long count = 1; ::GetTickCount64() < end; ++count) {
    const HANDLE file = ::CreateFileA(argv[1], GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      const std::string text = std::to_string(count);
      DWORD written = 0;
      ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
      ::CloseHandle(file);
    }
    ::Sleep(10);
  }
  return 0;
}
