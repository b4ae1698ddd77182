// Drives a blocker program for scripts/bench.sh, in three steps so that the script can measure the
// blocker's CPU from Linux in between:
//   blocker_bench start <blocker.exe> <helper name>   block list of 50 names, quiet settings, start;
//                                                      prints "pid <windows pid>" once the list is loaded
//   blocker_bench lifetime <helper.exe> <count>        starts the blocked helper count times and prints
//                                                      how long each copy lived (call to its end)
//   blocker_bench stop <pid>                           "Support" = "False", by id if it does not end
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/win/handle.h"
#include "base/win/utf.h"
#include "store/cipher.h"
#include "store/win/registry_settings.h"

namespace {

using corvane::win::Narrow;
using corvane::win::Widen;

constexpr int kListSize = 50;
constexpr DWORD kHelperTimeoutMs = 5000;

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? L"." : path.substr(0, slash);
}

bool WriteBlockList(const std::wstring& folder, const std::string& helperName) {
  std::string text;
  for (int i = 1; i < kListSize; ++i) {
    const std::string name = "nobodyruns" + std::to_string(i) + ".exe";
    text += corvane::EncryptText("C:\\Program Files\\Unused\\" + name + "^^^^" + name) + "\r\n";
  }
  text += corvane::EncryptText(Narrow(folder) + "\\" + helperName + "^^^^" + helperName) + "\r\n";
  const std::wstring path = folder + L"\\cekdn.ocx";
  const corvane::win::UniqueFileHandle file(
      ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file && ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

bool WaitForSetting(corvane::win::RegistrySettingsStore& store, const char* key, const char* value,
                    DWORD timeoutMs) {
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  while (store.ReadSetting(key, "") != value) {
    if (::GetTickCount64() > deadline) return false;
    ::Sleep(5);
  }
  return true;
}

int Start(const std::wstring& blockerExe, const std::wstring& helperName) {
  const std::wstring folder = FolderOf(blockerExe);
  if (!WriteBlockList(folder, Narrow(helperName))) {
    std::fprintf(stderr, "cannot write the block list in %s\n", Narrow(folder).c_str());
    return 1;
  }
  corvane::win::RegistrySettingsStore settings;
  // Quiet: no beep and no popup disturb the timing.
  settings.WriteSetting("Support", "True");
  settings.WriteSetting("OptAllowAll", "False");
  settings.WriteSetting("ChkBeep", "0");
  settings.WriteSetting("ChkDontShow", "1");
  // Neither "True" nor "False": the blocker's own start writes "True", its load then "False".
  settings.WriteSetting("Read", "Unset");

  std::wstring commandLine = L"\"" + blockerExe + L"\" plumtide";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(blockerExe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &info)) {
    std::fprintf(stderr, "cannot start %s (%lu)\n", Narrow(blockerExe).c_str(), ::GetLastError());
    return 1;
  }
  const corvane::win::UniqueHandle process(info.hProcess);
  ::CloseHandle(info.hThread);
  const bool loaded = WaitForSetting(settings, "Read", "False", 15000);
  if (!loaded || ::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) {
    std::fprintf(stderr, "the blocker did not load its list\n");
    return 1;
  }
  std::printf("pid %lu\n", info.dwProcessId);
  return 0;
}

double Percentile(const std::vector<double>& sorted, double fraction) {
  // Nearest rank.
  const size_t rank = static_cast<size_t>(fraction * static_cast<double>(sorted.size()) + 0.999999);
  return sorted[std::min(sorted.size(), std::max<size_t>(rank, 1)) - 1];
}

int Lifetime(const std::wstring& helperExe, int count) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  std::vector<double> lifetimes;
  int survivors = 0;
  int endedWhileStarting = 0;
  for (int i = 0; i < count; ++i) {
    std::wstring commandLine = L"\"" + helperExe + L"\" 30";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    LARGE_INTEGER started;
    ::QueryPerformanceCounter(&started);
    if (!::CreateProcessW(helperExe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info)) {
      const DWORD error = ::GetLastError();
      LARGE_INTEGER failed;
      ::QueryPerformanceCounter(&failed);
      // Wine's CreateProcess waits for the new process to finish starting; a process terminated
      // before that makes the call fail with this code. The blocker got it: its life ended here.
      if (error == ERROR_INTERNAL_ERROR) {
        ++endedWhileStarting;
        lifetimes.push_back(static_cast<double>(failed.QuadPart - started.QuadPart) * 1000.0 /
                            static_cast<double>(frequency.QuadPart));
        ::Sleep(static_cast<DWORD>(3 + (i * 7) % 17));
        continue;
      }
      std::fprintf(stderr, "cannot start %s (%lu)\n", Narrow(helperExe).c_str(), error);
      return 1;
    }
    const corvane::win::UniqueHandle process(info.hProcess);
    ::CloseHandle(info.hThread);
    const DWORD waited = ::WaitForSingleObject(process.get(), kHelperTimeoutMs);
    LARGE_INTEGER ended;
    ::QueryPerformanceCounter(&ended);
    if (waited != WAIT_OBJECT_0) {
      // Not blocked: ours to end.
      ++survivors;
      ::TerminateProcess(process.get(), 1);
      ::WaitForSingleObject(process.get(), kHelperTimeoutMs);
      continue;
    }
    lifetimes.push_back(static_cast<double>(ended.QuadPart - started.QuadPart) * 1000.0 /
                        static_cast<double>(frequency.QuadPart));
    // Varying pauses, so that the starts fall at every phase of the blocker's tick.
    ::Sleep(static_cast<DWORD>(3 + (i * 7) % 17));
  }
  std::sort(lifetimes.begin(), lifetimes.end());
  if (lifetimes.empty()) {
    std::printf("lifetime n=0 survivors=%d\n", survivors);
    return 1;
  }
  std::printf("lifetime n=%zu survivors=%d ended_while_starting=%d median=%.1f p95=%.1f max=%.1f min=%.1f\n",
              lifetimes.size(), survivors, endedWhileStarting, Percentile(lifetimes, 0.5), Percentile(lifetimes, 0.95),
              lifetimes.back(), lifetimes.front());
  return survivors == 0 ? 0 : 1;
}

int Stop(DWORD processId) {
  corvane::win::RegistrySettingsStore settings;
  settings.WriteSetting("Support", "False");
  const corvane::win::UniqueHandle process(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, processId));
  if (!process) return 0;
  if (::WaitForSingleObject(process.get(), 3000) == WAIT_OBJECT_0) {
    std::printf("ended by Support\n");
    return 0;
  }
  ::TerminateProcess(process.get(), 1);
  std::printf("ended by id\n");
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"start" && argc == 4) return Start(argv[2], argv[3]);
  if (command == L"lifetime" && argc == 4) return Lifetime(argv[2], std::max(1, _wtoi(argv[3])));
  if (command == L"stop" && argc == 3) return Stop(static_cast<DWORD>(_wtoi(argv[2])));
  std::fprintf(stderr, "usage: blocker_bench start <blocker.exe> <helper name> | lifetime <helper.exe> <count> | "
                       "stop <pid>\n");
  return 2;
}
