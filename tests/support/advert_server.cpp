#include "tests/support/advert_server.h"

#include <cstdio>
#include <string>

#include "base/win/handle.h"
#include "base/win/utf.h"
#include "tests/support/e2e_support.h"

namespace corvane::testing {
namespace {

// Debian's python3 and kill, as Wine shows the Linux root (drive Z:).
constexpr const wchar_t* kPython = L"Z:\\usr\\bin\\python3";
constexpr const wchar_t* kKill = L"Z:\\bin\\kill";

// Starts a Linux program. Wine gives no process handle for one, so it is followed by its Linux id.
bool StartLinuxProgram(const std::wstring& program, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
    return false;
  }
  if (info.hThread != nullptr) ::CloseHandle(info.hThread);
  if (info.hProcess != nullptr) ::CloseHandle(info.hProcess);
  return true;
}

// A Linux program takes its arguments as they are: file names must be Linux paths.
std::wstring UnixPath(const std::wstring& dosPath) {
  using ToUnix = char*(CDECL*)(LPCWSTR);
  const auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (toUnix == nullptr) return {};
  char* unix = toUnix(dosPath.c_str());
  if (unix == nullptr) return {};
  std::wstring path = corvane::win::Widen(unix);
  ::HeapFree(::GetProcessHeap(), 0, unix);
  return path;
}

}  // namespace

bool LocalAdvertServer::Start(const std::wstring& folder) {
  Stop();
  stateFile_ = folder + L"\\advert_server.state";
  const std::wstring script = corvane::win::Widen(CORVANE_TEST_SOURCE_DIR_UNIX "/e2e/advert_server.py");
  const std::wstring unixState = UnixPath(stateFile_);
  if (unixState.empty()) return false;
  if (!StartLinuxProgram(kPython, L"\"" + script + L"\" \"" + unixState + L"\"")) return false;
  return WaitFor([&] {
    const std::string state = ReadWholeFile(stateFile_);
    int port = 0;
    unsigned long pid = 0;
    if (std::sscanf(state.c_str(), "%d %lu", &port, &pid) != 2) return false;
    port_ = port;
    pid_ = pid;
    return true;
  });
}

void LocalAdvertServer::Stop() {
  if (pid_ != 0) {
    StartLinuxProgram(kKill, std::to_wstring(pid_));
    const std::wstring proc = L"Z:\\proc\\" + std::to_wstring(pid_);
    WaitFor([&] { return !FileExists(proc); }, 5000);
    pid_ = 0;
  }
  if (!stateFile_.empty()) {
    ::DeleteFileW(stateFile_.c_str());
    ::DeleteFileW((stateFile_ + L".stalls").c_str());
  }
  port_ = 0;
}

std::wstring LocalAdvertServer::Url(const std::wstring& path) const {
  return L"http://127.0.0.1:" + std::to_wstring(port_) + path;
}

int LocalAdvertServer::StalledRequests() const {
  const std::string stalls = ReadWholeFile(stateFile_ + L".stalls");
  int lines = 0;
  for (const char c : stalls) lines += c == '\n' ? 1 : 0;
  return lines;
}

FakeBrowserRegistration::FakeBrowserRegistration(const std::wstring& program) {
  wchar_t fileClass[256] = {};
  DWORD size = sizeof(fileClass);
  if (::RegGetValueW(HKEY_CLASSES_ROOT, L".htm", nullptr, RRF_RT_REG_SZ, nullptr, fileClass, &size) != ERROR_SUCCESS ||
      fileClass[0] == L'\0') {
    return;
  }
  commandKey_ = std::wstring(fileClass) + L"\\shell\\open\\command";
  HKEY raw = nullptr;
  if (::RegCreateKeyExW(HKEY_CLASSES_ROOT, commandKey_.c_str(), 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                        nullptr, &raw, nullptr) != ERROR_SUCCESS) {
    return;
  }
  corvane::win::UniqueHKey key(raw);
  wchar_t previous[2048] = {};
  DWORD previousSize = sizeof(previous);
  DWORD type = 0;
  if (::RegQueryValueExW(key.get(), nullptr, nullptr, &type, reinterpret_cast<BYTE*>(previous), &previousSize) ==
          ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    hadPrevious_ = true;
    previous_ = previous;
  }
  const std::wstring command = L"\"" + program + L"\" \"%1\"";
  applied_ = ::RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                              static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

FakeBrowserRegistration::~FakeBrowserRegistration() {
  if (!applied_) return;
  HKEY raw = nullptr;
  if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, commandKey_.c_str(), 0, KEY_SET_VALUE, &raw) != ERROR_SUCCESS) return;
  corvane::win::UniqueHKey key(raw);
  if (hadPrevious_) {
    ::RegSetValueExW(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(previous_.c_str()),
                     static_cast<DWORD>((previous_.size() + 1) * sizeof(wchar_t)));
  } else {
    ::RegDeleteValueW(key.get(), nullptr);
  }
}

std::string FakeBrowserLog(const std::wstring& program) { return ReadWholeFile(program + L".log"); }

}  // namespace corvane::testing
