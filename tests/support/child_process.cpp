#include "tests/support/child_process.h"

#include <tlhelp32.h>

#include <atomic>
#include <vector>

namespace corvane::testing {
namespace {

std::wstring Widened(const char* text) {
  std::wstring out;
  for (; *text != '\0'; ++text) out += static_cast<wchar_t>(static_cast<unsigned char>(*text));
  return out;
}

struct FindTraits {
  using Type = HANDLE;
  static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
  static void Close(Type h) noexcept { ::FindClose(h); }
};

// Deletes a folder and everything in it. A file of a process that has only just ended can stay
// locked for a moment, hence the retries.
void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  const corvane::win::UniqueResource<FindTraits> find(::FindFirstFileW((folder + L"\\*").c_str(), &found));
  if (find) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        for (int tries = 0; tries < 50 && !::DeleteFileW(path.c_str()); ++tries) ::Sleep(20);
      }
    } while (::FindNextFileW(find.get(), &found));
  }
  for (int tries = 0; tries < 50 && !::RemoveDirectoryW(folder.c_str()); ++tries) ::Sleep(20);
}

bool IsListed(std::uint32_t id) {
  const corvane::win::UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry)) {
    if (entry.th32ProcessID == id) return true;
  }
  return false;
}

}  // namespace

std::wstring HelperPath(const std::wstring& helperName) {
  return Widened(CORVANE_TEST_HELPERS_DIR) + L"\\" + helperName + L".exe";
}

ScratchFolder::ScratchFolder() {
  static std::atomic<unsigned> counter{0};
  std::vector<wchar_t> temp(MAX_PATH + 1);
  DWORD length = ::GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
  if (length > temp.size()) {
    temp.resize(length);
    length = ::GetTempPathW(static_cast<DWORD>(temp.size()), temp.data());
  }
  if (length == 0 || length > temp.size()) return;
  std::wstring base(temp.data(), length);
  if (!base.empty() && base.back() == L'\\') base.pop_back();
  for (int tries = 0; tries < 100; ++tries) {
    const std::wstring candidate = base + L"\\corvane-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                   std::to_wstring(::GetTickCount()) + L"-" + std::to_wstring(counter++);
    if (::CreateDirectoryW(candidate.c_str(), nullptr)) {
      path_ = candidate;
      return;
    }
  }
}

ScratchFolder::~ScratchFolder() {
  if (!path_.empty()) RemoveTree(path_);
}

std::wstring ScratchFolder::CopyIn(const std::wstring& source, const std::wstring& fileName) const {
  if (path_.empty()) return {};
  const std::wstring target = path_ + L"\\" + fileName;
  return ::CopyFileW(source.c_str(), target.c_str(), TRUE) ? target : std::wstring();
}

std::wstring ScratchFolder::MakeSubfolder(const std::wstring& name) const {
  if (path_.empty()) return {};
  const std::wstring folder = path_ + L"\\" + name;
  return ::CreateDirectoryW(folder.c_str(), nullptr) ? folder : std::wstring();
}

bool ChildProcess::Start(const std::wstring& exePath, const std::wstring& arguments) {
  Terminate();
  std::wstring commandLine = L"\"" + exePath + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  const size_t slash = exePath.rfind(L'\\');
  const std::wstring folder = slash == std::wstring::npos ? std::wstring() : exePath.substr(0, slash);

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
    return false;
  }
  ::CloseHandle(info.hThread);
  process_.reset(info.hProcess);
  id_ = info.dwProcessId;
  return true;
}

bool ChildProcess::WaitUntilListed(DWORD timeoutMs) const {
  if (!process_) return false;
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  for (;;) {
    if (IsListed(id_)) return true;
    if (::GetTickCount64() >= deadline) return false;
    ::Sleep(10);
  }
}

bool ChildProcess::HasEnded(DWORD waitMs) const {
  return !process_ || ::WaitForSingleObject(process_.get(), waitMs) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const {
  DWORD code = 0;
  if (!process_ || !::GetExitCodeProcess(process_.get(), &code)) return 0;
  return code;
}

void ChildProcess::Terminate() {
  if (!process_) return;
  if (::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
    ::TerminateProcess(process_.get(), 1);
    ::WaitForSingleObject(process_.get(), 10000);
  }
  process_.reset();
  id_ = 0;
}

}  // namespace corvane::testing
