// The blocker's cycle written the naive way, as the yardstick for the real rizaz.exe: a 10 ms
// SetTimer tick that reads "Support" and "OptAllowAll", walks a Tool Help snapshot, reads "Read",
// and walks a second snapshot; every settings read opens, queries and closes the key; no change
// notifications; pending messages are serviced after every comparison. Same access code, start-up
// and block rules as the product; the popup is left out (the benchmark turns it off).
#include <windows.h>
#include <tlhelp32.h>

#include <cwchar>
#include <string>

#include "base/text.h"
#include "base/win/app_dir.h"
#include "base/win/handle.h"
#include "base/win/utf.h"
#include "process/paths.h"
#include "rizaz/access_code.h"
#include "rizaz/block_list.h"
#include "store/settings.h"

namespace {

using corvane::win::Narrow;
using corvane::win::Widen;

constexpr UINT_PTR kBlockTimer = 1;
constexpr UINT kBlockIntervalMs = 10;
constexpr wchar_t kKeyPath[] = L"Software\\Corvane\\Corvane";

corvane::rizaz::BlockList g_list;
HWND g_window = nullptr;

std::string ReadSettingNaively(std::string_view name, std::string_view defaultValue) {
  HKEY key = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return std::string(defaultValue);
  }
  wchar_t buffer[256];
  DWORD byteCount = sizeof(buffer) - sizeof(wchar_t);
  DWORD type = 0;
  const std::wstring wideName = Widen(name);
  const LSTATUS status =
      ::RegQueryValueExW(key, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &byteCount);
  ::RegCloseKey(key);
  if (status != ERROR_SUCCESS || type != REG_SZ) return std::string(defaultValue);
  buffer[byteCount / sizeof(wchar_t)] = L'\0';
  return Narrow(std::wstring_view(buffer, ::wcslen(buffer)));
}

void WriteSettingNaively(std::string_view name, std::string_view value) {
  HKEY key = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, kKeyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  const std::wstring wideName = Widen(name);
  const std::wstring data = Widen(value);
  ::RegSetValueExW(key, wideName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(key);
}

bool ReadBool(std::string_view name, bool defaultValue) {
  const std::string text = corvane::TrimSpaces(ReadSettingNaively(name, defaultValue ? "True" : "False"));
  return corvane::EqualsNoCase(text, "True");
}

int ReadNumber(std::string_view name) {
  return std::atoi(ReadSettingNaively(name, "0").c_str());
}

void DoEvents() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
}

void LoadBlockList() {
  if (!ReadBool(corvane::settings::kRead, true)) return;
  WriteSettingNaively(corvane::settings::kRead, "False");
  const std::wstring path = Widen(corvane::win::ProgramDirectory()) + L"\\cekdn.ocx";
  std::string text;
  const corvane::win::UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                                          FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file) {
    char chunk[4096];
    DWORD got = 0;
    while (::ReadFile(file.get(), chunk, sizeof(chunk), &got, nullptr) && got > 0) text.append(chunk, got);
  }
  g_list = corvane::rizaz::ParseBlockList(text);
}

void TerminateWithDebugPrivilege(DWORD processId) {
  HANDLE token = nullptr;
  if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (::LookupPrivilegeValueW(nullptr, SE_DEBUG_NAME, &privileges.Privileges[0].Luid)) {
      ::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    }
    ::CloseHandle(token);
  }
  if (HANDLE process = ::OpenProcess(PROCESS_TERMINATE, FALSE, processId)) {
    ::TerminateProcess(process, 0);
    ::CloseHandle(process);
  }
}

void KillBlockedPrograms() {
  const corvane::win::UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  if (!::Process32FirstW(snapshot.get(), &entry)) return;
  do {
    const std::string running = corvane::ToUpperAscii(
        corvane::GetFileNameFromPath(Narrow(std::wstring_view(entry.szExeFile, ::wcsnlen(entry.szExeFile, MAX_PATH)))));
    for (const auto& listed : g_list) {
      if (corvane::TrimSpaces(corvane::ToUpperAscii(listed.name)) == running && !running.empty()) {
        TerminateWithDebugPrivilege(entry.th32ProcessID);
        if (ReadNumber(corvane::settings::kChkBeep) == 1) ::Beep(850, 300);
        // The popup is not part of the yardstick; its setting is still read as the product does.
        ReadNumber(corvane::settings::kChkDontShow);
        break;
      }
      DoEvents();
    }
    DoEvents();
  } while (::Process32NextW(snapshot.get(), &entry));
}

void CALLBACK OnBlockTimer(HWND hwnd, UINT, UINT_PTR, DWORD) {
  ::KillTimer(hwnd, kBlockTimer);
  if (!ReadBool(corvane::settings::kSupport, true)) {
    ::DestroyWindow(hwnd);
    return;
  }
  if (!ReadBool(corvane::settings::kOptAllowAll, false)) {
    KillBlockedPrograms();
    LoadBlockList();
    KillBlockedPrograms();
  }
  ::SetTimer(hwnd, kBlockTimer, kBlockIntervalMs, &OnBlockTimer);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  if (!corvane::rizaz::IsAccessGranted(Narrow(::GetCommandLineW()))) return 0;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = &WindowProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"LiteralRizazFrmMain";
  if (!::RegisterClassExW(&wc)) return 1;
  g_window = ::CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 6, 6, nullptr, nullptr,
                               instance, nullptr);
  if (g_window == nullptr) return 1;
  WriteSettingNaively(corvane::settings::kRead, "True");
  LoadBlockList();
  ::SetTimer(g_window, kBlockTimer, kBlockIntervalMs, &OnBlockTimer);
  MSG msg;
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return 0;
}
