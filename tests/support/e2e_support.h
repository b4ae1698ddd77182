#pragma once
// What end-to-end tests of the shipped programs share: where the programs are, waiting for a
// condition, finding a process's windows, the settings key and the list files.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace corvane::testing {

// Generous: Wine on a shared machine can be slow to start a process.
inline constexpr DWORD kE2eTimeoutMs = 15000;

// A file of the shipped program folder.
std::wstring DistPath(const wchar_t* file);

// Polls condition every 5 ms until it holds; false after timeoutMs.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = kE2eTimeoutMs);

class ChildProcess;

// Starts Corvane and waits until its main window exists (and shows, when mustShow); null after
// timeoutMs. The splash takes about seven seconds before the main window loads.
HWND StartCorvaneWindow(ChildProcess& main, const std::wstring& program, const std::wstring& arguments = L"",
                        bool mustShow = true, DWORD timeoutMs = 30000);
// The visible "Corvane Alert" window of that process, once it shows; null after timeoutMs.
HWND WaitForAlertOf(std::uint32_t processId, DWORD timeoutMs = kE2eTimeoutMs);

// Top-level windows of a class that belong to one process.
std::vector<HWND> WindowsOf(std::uint32_t processId, const wchar_t* className);
std::wstring WindowText(HWND hwnd);

// The shared settings key, read and written directly.
bool SettingExists(const wchar_t* name);
std::wstring ReadSettingValue(const wchar_t* name);
void WriteSettingValue(const wchar_t* name, const wchar_t* value);
void DeleteSettingValues(std::initializer_list<const wchar_t*> names);

// The start-with-Windows value "Corvane" under the current user's Run key: its text, nothing when it
// is absent or not text. Every start of Corvane writes it (the default), and a Wine prefix starts
// what it names at each boot: tests that start Corvane or load its options delete it at their end.
std::optional<std::wstring> RunValueText();
void DeleteRunValue();
// Deletes the Run value when it goes, whatever the path out of the test.
class RunValueCleanup {
 public:
  RunValueCleanup() = default;
  ~RunValueCleanup() { DeleteRunValue(); }
  RunValueCleanup(const RunValueCleanup&) = delete;
  RunValueCleanup& operator=(const RunValueCleanup&) = delete;
};

// A list file's content: every plain record enciphered, each line ended by CR LF.
std::string ListFileText(const std::vector<std::string>& plainRecords);
// Replaces the file's content with bytes; share is the sharing the file allows while it is written.
bool WriteWholeFile(const std::wstring& path, const std::string& bytes, DWORD share = 0);
// A file's content, read while others may write or delete it; empty when it cannot be opened.
std::string ReadWholeFile(const std::wstring& path);
// Writes a list file of ListFileText(plainRecords).
bool WriteListFile(const std::wstring& path, const std::vector<std::string>& plainRecords);
bool FileExists(const std::wstring& path);

// Allow and block records ("path^^^^name") of every program running now whose path can be read,
// so that a main program started afterwards asks about nothing that already runs.
std::vector<std::string> RunningProgramRecords();

// The screen's DPI for the programs started while it lives (Wine reads it when a process starts),
// put back as it was afterwards.
class ScreenDpiOverride {
 public:
  explicit ScreenDpiOverride(DWORD dpi);
  ~ScreenDpiOverride();
  ScreenDpiOverride(const ScreenDpiOverride&) = delete;
  ScreenDpiOverride& operator=(const ScreenDpiOverride&) = delete;
  bool Applied() const { return applied_; }

 private:
  bool applied_ = false;
  bool hadValue_ = false;
  DWORD previous_ = 0;
};

// The first child window (at any depth) whose text is text, or whose class is className when text
// is null.
HWND FindChild(HWND parent, const wchar_t* text, const wchar_t* className = nullptr);
// The first child window (at any depth) with that control id.
HWND FindChildById(HWND parent, int id);

// Whether a process with that id is in the system's process list now.
bool IsProcessListed(std::uint32_t processId);
// Ids of the listed processes whose executable file name is fileName (case ignored).
std::vector<std::uint32_t> ProcessIdsNamed(const std::wstring& fileName);

}  // namespace corvane::testing
