#pragma once
// Programs that a Windows test starts, and the guarantee that they end with the test: a scratch
// folder for renamed copies of helper programs, and a started process that is terminated (by its
// id, through its own handle) when the test is done with it, whatever the path out of the test.
#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>

#include "base/win/handle.h"

namespace corvane::testing {

// Full path of a helper program built for the tests, such as HelperPath(L"sleeper").
std::wstring HelperPath(const std::wstring& helperName);

// A fresh, empty folder under the temporary folder, removed with its files on destruction.
// Declare it before the processes started from it, so they are gone before it is removed.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  // Empty when the folder could not be made.
  const std::wstring& Path() const { return path_; }
  // Copies a file into the folder under fileName (which may lead through a subfolder made before);
  // returns the copy's full path, empty on failure.
  std::wstring CopyIn(const std::wstring& source, const std::wstring& fileName) const;
  // Makes a subfolder (for a second copy under the same name); returns its path, empty on failure.
  std::wstring MakeSubfolder(const std::wstring& name) const;

 private:
  std::wstring path_;
};

class ChildProcess {
 public:
  ChildProcess() = default;
  ~ChildProcess() { Terminate(); }
  ChildProcess(ChildProcess&& other) noexcept : process_(std::move(other.process_)), id_(other.id_) {
    other.id_ = 0;
  }
  ChildProcess& operator=(ChildProcess&& other) noexcept {
    if (this != &other) {
      Terminate();
      process_ = std::move(other.process_);
      id_ = other.id_;
      other.id_ = 0;
    }
    return *this;
  }

  // Starts exePath with arguments (the command line is the quoted path, a blank and arguments),
  // working directory the program's folder. False when it could not be started.
  bool Start(const std::wstring& exePath, const std::wstring& arguments = L"");
  // Polls the system's process list until our process shows in it. False after timeoutMs.
  bool WaitUntilListed(DWORD timeoutMs = 10000) const;
  // True once the process has ended (or was never started).
  bool HasEnded(DWORD waitMs = 0) const;
  // Exit code, or STILL_ACTIVE while it runs.
  DWORD ExitCode() const;

  std::uint32_t Id() const { return id_; }
  HANDLE Handle() const { return process_.get(); }

  // Terminates the process if it still runs, waits for it to be gone and lets the handle go.
  void Terminate();

 private:
  corvane::win::UniqueHandle process_;
  std::uint32_t id_ = 0;
};

}  // namespace corvane::testing
