// The launch-hotkey poll's idle cost, for scripts/bench.sh:
//   hotkeys_bench bindings seconds
// Starts the real Corvane.exe from a scratch folder with that many launch hotkeys (none pressed),
// waits for its main window, prints "ready" and keeps it running for the given seconds while the
// script reads the CPU of Corvane.exe and the wineserver from the Linux side; then closes it.
#include <windows.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/win/handle.h"
#include "base/win/utf.h"
#include "store/list_record.h"
#include "tests/support/child_process.h"
#include "tests/support/e2e_support.h"
#include "ui/main_menu.h"

namespace {

using namespace corvane;
using namespace corvane::testing;

bool Run(int bindings, int seconds) {
  ScratchFolder folder;
  const std::wstring corvane = folder.CopyIn(DistPath(L"Corvane.exe"), L"Corvane.exe");
  if (corvane.empty()) return false;
  WriteListFile(folder.Path() + L"\\midmo.ocx", RunningProgramRecords());
  std::vector<std::string> records;
  const std::string keys = "CDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  for (int i = 0; i < bindings; ++i) {
    records.push_back(HotKeyRecord("C:\\Tools\\tool" + std::to_string(i) + ".exe",
                                   "Ctrl + Shift + " + std::string(1, keys[static_cast<size_t>(i) % keys.size()])));
  }
  if (bindings > 0) WriteListFile(folder.Path() + L"\\shudw.dll", records);
  ChildProcess main;
  if (!main.Start(corvane, L"")) return false;
  HWND window = nullptr;
  WaitFor([&] {
    const auto found = WindowsOf(main.Id(), L"CorvaneMain");
    window = found.empty() ? nullptr : found.front();
    return window != nullptr && ::IsWindowVisible(window);
  });
  if (window == nullptr) return false;
  std::printf("ready\n");
  std::fflush(stdout);
  ::Sleep(static_cast<DWORD>(seconds) * 1000);
  ::PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(ui::MenuCommand::Close), 0);
  main.HasEnded(10000);
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int bindings = argc > 1 ? std::max(0, _wtoi(argv[1])) : 0;
  const int seconds = argc > 2 ? std::max(5, _wtoi(argv[2])) : 30;
  // Nothing leaves the machine: the advertisement area asks a closed local port.
  WriteSettingValue(L"AdvServer", L"http://127.0.0.1:9");
  const bool ran = Run(bindings, seconds);
  DeleteSettingValues({L"AdvServer"});
  DeleteRunValue();
  std::printf(ran ? "done\n" : "failed\n");
  return ran ? 0 : 1;
}
