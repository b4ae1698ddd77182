// Holds a process through Corvane's holder, then waits to be killed.
//   holder processId readyFile
// Writes "held" (or "refused") into the file once the hold has been tried.
#include <windows.h>

#include <cstdlib>

#include "process/win/debug_holder_win.h"

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  corvane::win::Win32DebugHolder holder;
  const bool held = holder.SuspendProcess(static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10)));
  const HANDLE file = ::CreateFileA(argv[2], GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    ::WriteFile(file, held ? "held" : "refused", held ? 4 : 7, &written, nullptr);
    ::CloseHandle(file);
  }
  ::Sleep(INFINITE);
  return 0;
}
