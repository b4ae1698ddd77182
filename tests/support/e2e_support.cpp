#include "tests/support/e2e_support.h"

#include <tlhelp32.h>

#include "base/win/handle.h"
#include "base/win/utf.h"
#include "store/cipher.h"
#include "store/win/registry_settings.h"
#include "tests/support/child_process.h"

namespace corvane::testing {

HWND StartCorvaneWindow(ChildProcess& main, const std::wstring& program, const std::wstring& arguments,
                        bool mustShow, DWORD timeoutMs) {
  if (!main.Start(program, arguments)) return nullptr;
  HWND window = nullptr;
  WaitFor(
      [&] {
        const auto found = WindowsOf(main.Id(), L"CorvaneMain");
        window = found.empty() ? nullptr : found.front();
        return window != nullptr && (!mustShow || ::IsWindowVisible(window));
      },
      timeoutMs);
  return window != nullptr && (!mustShow || ::IsWindowVisible(window)) ? window : nullptr;
}

HWND WaitForAlertOf(std::uint32_t processId, DWORD timeoutMs) {
  HWND alert = nullptr;
  WaitFor(
      [&] {
        for (HWND candidate : WindowsOf(processId, L"CorvaneAlert")) {
          if (::IsWindowVisible(candidate) && WindowText(candidate) == L"Corvane Alert") alert = candidate;
        }
        return alert != nullptr;
      },
      timeoutMs);
  return alert;
}

std::wstring DistPath(const wchar_t* file) { return corvane::win::Widen(CORVANE_TEST_DIST_DIR) + L"\\" + file; }

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  for (;;) {
    if (condition()) return true;
    if (::GetTickCount64() >= deadline) return false;
    ::Sleep(5);
  }
}

std::vector<HWND> WindowsOf(std::uint32_t processId, const wchar_t* className) {
  struct Search {
    std::uint32_t processId;
    const wchar_t* className;
    std::vector<HWND> found;
  } search{processId, className, {}};
  ::EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD owner = 0;
        ::GetWindowThreadProcessId(hwnd, &owner);
        wchar_t name[64] = {};
        ::GetClassNameW(hwnd, name, 64);
        if (owner == s->processId && ::lstrcmpiW(name, s->className) == 0) s->found.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring WindowText(HWND hwnd) {
  wchar_t text[512] = {};
  ::SendMessageTimeoutW(hwnd, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                        nullptr);
  return text;
}

namespace {
corvane::win::UniqueHKey OpenSettings(REGSAM access) {
  HKEY key = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, corvane::win::kSettingsKeyPath, 0, nullptr, 0, access, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
    return {};
  }
  return corvane::win::UniqueHKey(key);
}
}  // namespace

bool SettingExists(const wchar_t* name) {
  const auto key = OpenSettings(KEY_QUERY_VALUE);
  return key && ::RegQueryValueExW(key.get(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::wstring ReadSettingValue(const wchar_t* name) {
  const auto key = OpenSettings(KEY_QUERY_VALUE);
  if (!key) return {};
  wchar_t value[256] = {};
  DWORD bytes = sizeof(value) - sizeof(wchar_t);
  if (::RegQueryValueExW(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &bytes) != ERROR_SUCCESS) {
    return {};
  }
  return value;
}

void WriteSettingValue(const wchar_t* name, const wchar_t* value) {
  const auto key = OpenSettings(KEY_SET_VALUE);
  if (!key) return;
  ::RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>((::lstrlenW(value) + 1) * sizeof(wchar_t)));
}

void DeleteSettingValues(std::initializer_list<const wchar_t*> names) {
  const auto key = OpenSettings(KEY_SET_VALUE);
  if (!key) return;
  for (const wchar_t* name : names) ::RegDeleteValueW(key.get(), name);
}

namespace {
constexpr wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kRunValue[] = L"Corvane";
}  // namespace

std::optional<std::wstring> RunValueText() {
  HKEY raw = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return std::nullopt;
  const corvane::win::UniqueHKey key(raw);
  DWORD type = 0;
  DWORD bytes = 0;
  if (::RegQueryValueExW(key.get(), kRunValue, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != REG_SZ) {
    return std::nullopt;
  }
  std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
  bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (::RegQueryValueExW(key.get(), kRunValue, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  // The stored length: the text and its terminating NUL, nothing else.
  text.resize(bytes / sizeof(wchar_t));
  if (text.empty() || text.back() != L'\0') return std::nullopt;
  text.pop_back();
  return text;
}

void DeleteRunValue() {
  HKEY raw = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &raw) != ERROR_SUCCESS) return;
  const corvane::win::UniqueHKey key(raw);
  ::RegDeleteValueW(key.get(), kRunValue);
}

namespace {
constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kLogPixels[] = L"LogPixels";
}  // namespace

ScreenDpiOverride::ScreenDpiOverride(DWORD dpi) {
  HKEY raw = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &raw,
                        nullptr) != ERROR_SUCCESS) {
    return;
  }
  const corvane::win::UniqueHKey key(raw);
  DWORD type = 0;
  DWORD size = sizeof(previous_);
  hadValue_ = ::RegQueryValueExW(key.get(), kLogPixels, nullptr, &type, reinterpret_cast<BYTE*>(&previous_), &size) ==
                  ERROR_SUCCESS &&
              type == REG_DWORD;
  applied_ = ::RegSetValueExW(key.get(), kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                              sizeof(dpi)) == ERROR_SUCCESS;
}

ScreenDpiOverride::~ScreenDpiOverride() {
  if (!applied_) return;
  HKEY raw = nullptr;
  if (::RegOpenKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE, &raw) != ERROR_SUCCESS) return;
  const corvane::win::UniqueHKey key(raw);
  if (hadValue_) {
    ::RegSetValueExW(key.get(), kLogPixels, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&previous_), sizeof(previous_));
  } else {
    ::RegDeleteValueW(key.get(), kLogPixels);
  }
}

std::string ListFileText(const std::vector<std::string>& plainRecords) {
  std::string content;
  for (const std::string& record : plainRecords) content += EncryptText(record) + "\r\n";
  return content;
}

std::string ReadWholeFile(const std::wstring& path) {
  corvane::win::UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_READ,
                                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                    OPEN_EXISTING, 0, nullptr));
  if (!file) return {};
  std::string text;
  char buffer[64 * 1024];
  DWORD read = 0;
  while (::ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) text.append(buffer, read);
  return text;
}

bool WriteWholeFile(const std::wstring& path, const std::string& bytes, DWORD share) {
  corvane::win::UniqueFileHandle file(
      ::CreateFileW(path.c_str(), GENERIC_WRITE, share, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  DWORD written = 0;
  return ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

bool WriteListFile(const std::wstring& path, const std::vector<std::string>& plainRecords) {
  return WriteWholeFile(path, ListFileText(plainRecords));
}

bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

namespace {
template <typename Visit>
void ForEachProcess(Visit visit) {
  corvane::win::UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
    visit(entry);
  }
}
}  // namespace

std::vector<std::string> RunningProgramRecords() {
  std::vector<std::string> records;
  ForEachProcess([&](const PROCESSENTRY32W& entry) {
    corvane::win::UniqueHandle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    if (!process) return;
    wchar_t path[1024] = {};
    DWORD count = static_cast<DWORD>(std::size(path));
    if (!::QueryFullProcessImageNameW(process.get(), 0, path, &count)) return;
    const std::string full = corvane::win::Narrow(std::wstring(path, count));
    const auto slash = full.find_last_of('\\');
    records.push_back(full + "^^^^" + (slash == std::string::npos ? full : full.substr(slash + 1)));
  });
  return records;
}

namespace {
struct ChildSearch {
  const wchar_t* text = nullptr;
  const wchar_t* className = nullptr;
  int id = 0;
  HWND found = nullptr;
};

BOOL CALLBACK MatchChild(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<ChildSearch*>(param);
  bool match = false;
  if (search->id != 0) {
    match = ::GetDlgCtrlID(hwnd) == search->id;
  } else if (search->text != nullptr) {
    match = WindowText(hwnd) == search->text;
  } else if (search->className != nullptr) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    match = ::lstrcmpiW(name, search->className) == 0;
  }
  if (!match) return TRUE;
  search->found = hwnd;
  return FALSE;
}
}  // namespace

HWND FindChild(HWND parent, const wchar_t* text, const wchar_t* className) {
  ChildSearch search;
  search.text = text;
  search.className = className;
  ::EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND FindChildById(HWND parent, int id) {
  ChildSearch search;
  search.id = id;
  ::EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool IsProcessListed(std::uint32_t processId) {
  bool found = false;
  ForEachProcess([&](const PROCESSENTRY32W& entry) { found = found || entry.th32ProcessID == processId; });
  return found;
}

std::vector<std::uint32_t> ProcessIdsNamed(const std::wstring& fileName) {
  std::vector<std::uint32_t> ids;
  ForEachProcess([&](const PROCESSENTRY32W& entry) {
    if (::lstrcmpiW(entry.szExeFile, fileName.c_str()) == 0) ids.push_back(entry.th32ProcessID);
  });
  return ids;
}

}  // namespace corvane::testing
