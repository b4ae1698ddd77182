// A stand-in program whose progress can be watched from outside.
//   counter file [seconds] [threads]
// Writes 1, 2, 3, ... over the file's content, a number every 10 ms, until it is terminated or the
// seconds (default 120) have passed. With "threads", every number is written by a thread started
// for it, as a program that keeps starting short-lived threads does.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Step {
  const char* file;
  unsigned long count;
};

DWORD WINAPI Write(void* argument) {
  const Step& step = *static_cast<const Step*>(argument);
  const HANDLE file = ::CreateFileA(step.file, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    const std::string text = std::to_string(step.count);
    DWORD written = 0;
    ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const long seconds = argc > 2 ? std::strtol(argv[2], nullptr, 10) : 120;
  const bool threads = argc > 3 && std::strcmp(argv[3], "threads") == 0;
  const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(seconds > 0 ? seconds : 0) * 1000;
  for (unsigned long count = 1; ::GetTickCount64() < end; ++count) {
    Step step{argv[1], count};
    if (threads) {
      const HANDLE thread = ::CreateThread(nullptr, 0, &Write, &step, 0, nullptr);
      if (thread != nullptr) {
        ::WaitForSingleObject(thread, INFINITE);
        ::CloseHandle(thread);
      }
    } else {
      Write(&step);
    }
    ::Sleep(10);
  }
  return 0;
}
