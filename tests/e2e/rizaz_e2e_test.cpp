// The shipped blocker, driven from outside as the main program and the user would: a copy of
// rizaz.exe in a scratch folder, the real settings key, a real list file, and helper programs
// started under blocked and unblocked names.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <initializer_list>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "base/win/handle.h"
#include "base/win/utf.h"
#include "rizaz/win/blocker_app.h"
#include "rizaz/win/popup_window.h"
#include "process/paths.h"
#include "store/cipher.h"
#include "store/list_files.h"
#include "store/win/win32_list_file_system.h"
#include "store/win/registry_settings.h"
#include "tests/support/child_process.h"
#include "tests/fakes/memory_settings.h"
#include "tests/support/e2e_support.h"

namespace corvane::win {
namespace {

using corvane::testing::ChildProcess;
using corvane::testing::DeleteSettingValues;
using corvane::testing::DistPath;
using corvane::testing::HelperPath;
using corvane::testing::kE2eTimeoutMs;
using corvane::testing::ListFileText;
using corvane::testing::ScratchFolder;
using corvane::testing::SettingExists;
using corvane::testing::WaitFor;
using corvane::testing::WindowsOf;
using corvane::testing::WindowText;
using corvane::testing::WriteWholeFile;
using std::chrono::milliseconds;

// Long enough for dozens of block ticks.
constexpr DWORD kSurviveMs = 600;

const wchar_t* const kUsedValues[] = {L"Support", L"Read", L"OptAllowAll", L"ChkBeep", L"ChkDontShow"};

void DeleteUsedValues() {
  for (const wchar_t* name : kUsedValues) DeleteSettingValues({name});
}

class RizazE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteUsedValues();
    // Quiet by default; the popup tests turn it on.
    Set("ChkDontShow", "1");
    Set("ChkBeep", "0");
    ASSERT_FALSE(folder_.Path().empty());
    rizazPath_ = folder_.CopyIn(DistPath(L"rizaz.exe"), L"rizaz.exe");
    ASSERT_FALSE(rizazPath_.empty());
    listPath_ = folder_.Path() + L"\\cekdn.ocx";
    elsewhere_ = folder_.MakeSubfolder(L"elsewhere");
    ASSERT_FALSE(elsewhere_.empty());
  }

  void TearDown() override {
    // The way the main program ends it; the ChildProcess ends it by id should that fail.
    Set("Support", "False");
    rizaz_.HasEnded(3000);
  }

  void Set(std::string_view key, std::string_view value) { ASSERT_TRUE(settings_.WriteSetting(key, value)); }
  std::string Get(std::string_view key) { return settings_.ReadSetting(key, "<absent>"); }

  void WriteList(std::initializer_list<std::string_view> plains) {
    WriteRaw(ListFileText(std::vector<std::string>(plains.begin(), plains.end())));
  }
  // The blocker may be reading the file: it stays readable while it is written.
  void WriteRaw(const std::string& bytes) { ASSERT_TRUE(WriteWholeFile(listPath_, bytes, FILE_SHARE_READ)); }
  // What the main program does after every change of the list file.
  void SignalReload() { Set("Read", "True"); }

  // Starts the blocker correctly and waits until its first load is done.
  void StartRizaz() {
    ASSERT_TRUE(rizaz_.Start(rizazPath_, L"plumtide"));
    ASSERT_TRUE(WaitForReload()) << "the blocker never loaded its list";
  }

  // The blocker lowers "Read" just before it reads the file; the load itself follows in the same
  // tick, a few milliseconds later.
  bool WaitForReload() {
    if (!WaitFor([&] { return Get("Read") == "False"; })) return false;
    ::Sleep(100);
    return true;
  }

  // A helper program running under a chosen file name in the "elsewhere" folder.
  ChildProcess StartProgram(const std::wstring& fileName) {
    ChildProcess program;
    const std::wstring path = ProgramCopy(fileName);
    EXPECT_TRUE(program.Start(path, L"60")) << Narrow(fileName) << " error " << ::GetLastError();
    return program;
  }

  // Starts a program that the blocker should stop; true when it was stopped. Wine reports a process
  // that is terminated before it has finished starting as a failed CreateProcess.
  bool IsStopped(const std::wstring& fileName) { return IsStoppedAt(ProgramCopy(fileName)); }

  std::wstring ProgramCopy(const std::wstring& fileName) {
    std::wstring path = elsewhere_ + L"\\" + fileName;
    if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
      path = folder_.CopyIn(HelperPath(L"sleeper"), L"elsewhere\\" + fileName);
    }
    EXPECT_FALSE(path.empty()) << Narrow(fileName);
    return path;
  }

  // Blocks the program at programPath the way the main program does: its writer appends the record
  // it makes for the program to the list file in the program folder.
  void BlockAsTheMainProgramDoes(const std::wstring& programPath) {
    Win32ListFileSystem files;
    corvane::testing::MemorySettings settings;
    ListFileStore store(files, settings, Narrow(folder_.Path()));
    const std::string path = Narrow(programPath);
    ASSERT_TRUE(store.AppendListLine(ListKind::Block, ProgramRecord(path, GetFileNameFromPath(path))));
  }

  // Starts the program at path, which the blocker should stop; true when it was stopped.
  static bool IsStoppedAt(const std::wstring& path) {
    ChildProcess program;
    if (!program.Start(path, L"60")) return ::GetLastError() == ERROR_INTERNAL_ERROR;
    return program.HasEnded(kE2eTimeoutMs);
  }

  std::vector<HWND> Popups() { return WindowsOf(rizaz_.Id(), kPopupClassName); }
  // The popup once it is complete: shown, with a name in it. Null when none comes.
  HWND WaitForPopup() {
    HWND popup = nullptr;
    WaitFor([&] {
      const std::vector<HWND> popups = Popups();
      popup = popups.empty() ? nullptr : popups.front();
      return popup != nullptr && ::IsWindowVisible(popup) && !WindowText(::GetDlgItem(popup, kLblProcessnameId)).empty();
    });
    return popup;
  }

  RegistrySettingsStore settings_;
  ScratchFolder folder_;  // before the processes: they must be gone before it is removed
  std::wstring rizazPath_;
  std::wstring listPath_;
  std::wstring elsewhere_;
  ChildProcess rizaz_;
};

TEST_F(RizazE2E, WithoutTheExactAccessCodeEndsAtOnceAndWritesNothing) {
  for (const wchar_t* arguments : {L"", L"PLUMTIDE", L"Plumtide", L"plumtide extra", L"plumtide plumtide",
                                   L"x plumtide", L"plumtid", L"\"plumtide\""}) {
    DeleteUsedValues();
    ChildProcess refused;
    ASSERT_TRUE(refused.Start(rizazPath_, arguments));
    EXPECT_TRUE(refused.HasEnded(kE2eTimeoutMs)) << Narrow(arguments);
    EXPECT_EQ(refused.ExitCode(), 0u);
    for (const wchar_t* name : kUsedValues) EXPECT_FALSE(SettingExists(name)) << Narrow(name);
    EXPECT_EQ(::GetFileAttributesW(listPath_.c_str()), INVALID_FILE_ATTRIBUTES) << "no list file is made";
  }
}

TEST_F(RizazE2E, StartsWithoutAListFileByCreatingAnEmptyOne) {
  StartRizaz();
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(::GetFileAttributesExW(listPath_.c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(data.nFileSizeLow, 0u);
  EXPECT_EQ(data.nFileSizeHigh, 0u);
  // Hidden: no window of its own is visible, and the hidden one is a tool window without a title.
  const std::vector<HWND> mains = WindowsOf(rizaz_.Id(), kBlockerMainClassName);
  ASSERT_EQ(mains.size(), 1u);
  EXPECT_FALSE(::IsWindowVisible(mains[0]));
  EXPECT_TRUE(::GetWindowLongPtrW(mains[0], GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_EQ(WindowText(mains[0]), L"");
  EXPECT_FALSE(rizaz_.HasEnded(0));
}

TEST_F(RizazE2E, TerminatesListedProgramsByFileNameOnly) {
  WriteList({"C:\\Some Folder\\victim.exe^^^^victim.exe", "C:\\x\\spaced.exe^^^^  spaced.exe"});
  StartRizaz();
  // Another folder and another letter case than the list has.
  EXPECT_TRUE(IsStopped(L"VICTIM.EXE"));
  // A listed name with spaces around it still matches.
  EXPECT_TRUE(IsStopped(L"Spaced.exe"));
  // A program that is not on the list runs on.
  ChildProcess bystander = StartProgram(L"bystander.exe");
  ASSERT_TRUE(bystander.WaitUntilListed());
  EXPECT_FALSE(bystander.HasEnded(kSurviveMs));
}

TEST_F(RizazE2E, AProgramInACaretFolderIsEndedAndTheNameInTheFolderIsLeftAlone) {
  // A process named Corvane.exe runs; a program lies in a folder named "^^^^Corvane.exe^^^^".
  ChildProcess corvane = StartProgram(L"Corvane.exe");
  ASSERT_TRUE(corvane.WaitUntilListed());
  ASSERT_FALSE(folder_.MakeSubfolder(L"^^^^Corvane.exe^^^^").empty());
  const std::wstring setup = folder_.CopyIn(HelperPath(L"sleeper"), L"^^^^Corvane.exe^^^^\\setup.exe");
  ASSERT_FALSE(setup.empty());
  BlockAsTheMainProgramDoes(setup);
  StartRizaz();
  EXPECT_TRUE(IsStoppedAt(setup));
  EXPECT_FALSE(corvane.HasEnded(kSurviveMs));
}

TEST_F(RizazE2E, AUnicodeNameBlockedByTheMainProgramIsEndedByAFreshBlocker) {
  // "Café.exe" must be stored as itself: not as "Caf.exe", which would end the wrong program and
  // spare the right one.
  const std::wstring cafe = ProgramCopy(L"Caf\u00e9.exe");
  BlockAsTheMainProgramDoes(cafe);
  // The main program's own reader, at its next start, reads the same name back.
  {
    Win32ListFileSystem files;
    corvane::testing::MemorySettings settings;
    ListFileStore next(files, settings, Narrow(folder_.Path()));
    next.LoadListFile(ListKind::Block);
    EXPECT_EQ(next.blockList(), (BlockList{{"Caf\xC3\xA9.exe", Narrow(cafe)}}));
  }
  ChildProcess caf = StartProgram(L"Caf.exe");
  ASSERT_TRUE(caf.WaitUntilListed());
  StartRizaz();
  EXPECT_TRUE(IsStopped(L"Caf\u00e9.exe"));
  EXPECT_FALSE(caf.HasEnded(kSurviveMs));
}

TEST_F(RizazE2E, ReloadFollowsTheNewListAfterReadIsRaised) {
  WriteList({"p^^^^first.exe"});
  StartRizaz();
  WriteList({"p^^^^second.exe"});
  SignalReload();
  ASSERT_TRUE(WaitForReload());
  EXPECT_TRUE(IsStopped(L"second.exe"));
  ChildProcess first = StartProgram(L"first.exe");
  ASSERT_TRUE(first.WaitUntilListed());
  EXPECT_FALSE(first.HasEnded(kSurviveMs));
}

TEST_F(RizazE2E, AllowAllBlocksNothingAndReloadsNothingUntilNormalAgain) {
  WriteList({"p^^^^first.exe"});
  StartRizaz();
  Set("OptAllowAll", "True");
  ::Sleep(50);  // a tick or two to see the mode
  ChildProcess first = StartProgram(L"first.exe");
  ASSERT_TRUE(first.WaitUntilListed());
  EXPECT_FALSE(first.HasEnded(kSurviveMs));
  WriteList({"p^^^^first.exe", "p^^^^second.exe"});
  SignalReload();
  ChildProcess second = StartProgram(L"second.exe");
  ASSERT_TRUE(second.WaitUntilListed());
  EXPECT_FALSE(second.HasEnded(kSurviveMs));
  EXPECT_EQ(Get("Read"), "True") << "no reload in Allow All mode";
  // Back to Normal: the pending reload happens and both are stopped.
  Set("OptAllowAll", "False");
  EXPECT_TRUE(first.HasEnded(kE2eTimeoutMs));
  EXPECT_TRUE(second.HasEnded(kE2eTimeoutMs));
  EXPECT_EQ(Get("Read"), "False");
}

TEST_F(RizazE2E, EndsWhenTheMainProgramSignalsItsEnd) {
  WriteList({"p^^^^victim.exe"});
  StartRizaz();
  Set("Support", "False");
  EXPECT_TRUE(rizaz_.HasEnded(kE2eTimeoutMs));
  ChildProcess victim = StartProgram(L"victim.exe");
  ASSERT_TRUE(victim.WaitUntilListed());
  EXPECT_FALSE(victim.HasEnded(kSurviveMs));
}

TEST_F(RizazE2E, EndsWhenItsHiddenWindowIsClosedOrTheSessionEnds) {
  for (const UINT message : {static_cast<UINT>(WM_CLOSE), static_cast<UINT>(WM_ENDSESSION)}) {
    DeleteUsedValues();
    StartRizaz();
    const std::vector<HWND> mains = WindowsOf(rizaz_.Id(), kBlockerMainClassName);
    ASSERT_EQ(mains.size(), 1u);
    ::PostMessageW(mains[0], message, TRUE, 0);
    EXPECT_TRUE(rizaz_.HasEnded(kE2eTimeoutMs)) << message;
    EXPECT_EQ(Get("Support"), "<absent>");
  }
}

TEST_F(RizazE2E, PopupShowsTheStoredNameWithoutTakingTheFocusThenCloses) {
  Set("ChkDontShow", "0");
  WriteList({"p^^^^Victim.Exe"});
  StartRizaz();
  EXPECT_TRUE(IsStopped(L"victim.exe"));
  const HWND popup = WaitForPopup();
  ASSERT_NE(popup, nullptr) << "no popup";
  const ULONGLONG shown = ::GetTickCount64();
  EXPECT_EQ(WindowText(::GetDlgItem(popup, kLblProcessnameId)), L"Victim.Exe");  // as stored, not as running
  EXPECT_EQ(WindowText(::GetDlgItem(popup, kLabel1Id)), L"The file has been blocked from running . ");
  EXPECT_EQ(WindowText(::GetDlgItem(popup, kLabel2Id)), L"Dont show this dialog again.");
  EXPECT_EQ(::SendMessageW(::GetDlgItem(popup, kChkDontShowId), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  const LONG_PTR exStyle = ::GetWindowLongPtrW(popup, GWL_EXSTYLE);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);  // no taskbar button
  const LONG_PTR style = ::GetWindowLongPtrW(popup, GWL_STYLE);
  EXPECT_NE(style & WS_CAPTION, static_cast<LONG_PTR>(WS_CAPTION)) << "no title bar";
  EXPECT_TRUE(style & WS_BORDER) << "a one-pixel frame";
  EXPECT_NE(::GetForegroundWindow(), popup);
  RECT client{};
  ::GetClientRect(popup, &client);
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  EXPECT_EQ(client.right, ::MulDiv(346, dpi, 96));
  EXPECT_EQ(client.bottom, ::MulDiv(103, dpi, 96));
  // It slides up (about 17 steps), holds two seconds and is gone; nothing is left behind.
  ASSERT_TRUE(WaitFor([&] { return Popups().empty(); }, 15000)) << "popup never closed";
  EXPECT_GE(::GetTickCount64() - shown, 1800u);
  EXPECT_FALSE(rizaz_.HasEnded(0));
}

TEST_F(RizazE2E, PopupRestsInsideTheWorkAreaOnAScaledScreen) {
  Set("ChkDontShow", "0");
  WriteList({"p^^^^victim.exe"});
  const corvane::testing::ScreenDpiOverride dpi(144);
  ASSERT_TRUE(dpi.Applied());
  StartRizaz();
  EXPECT_TRUE(IsStopped(L"victim.exe"));
  const HWND popup = WaitForPopup();
  ASSERT_NE(popup, nullptr) << "no popup";
  RECT client{};
  ::GetClientRect(popup, &client);
  ASSERT_EQ(client.right, ::MulDiv(346, 144, 96)) << "the blocker did not run at 144 DPI";
  // Once the slide has ended (the place holds still for a while), the popup lies in the bottom
  // right corner of the work area.
  RECT place{};
  RECT last{};
  ULONGLONG stillSince = ::GetTickCount64();
  ASSERT_TRUE(WaitFor(
      [&] {
        if (!::GetWindowRect(popup, &place)) return false;
        if (!::EqualRect(&place, &last)) {
          last = place;
          stillSince = ::GetTickCount64();
        }
        return ::GetTickCount64() - stillSince >= 300;
      },
      5000));
  RECT work{};
  ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
  EXPECT_GE(place.left, work.left);
  EXPECT_GE(place.top, work.top);
  EXPECT_LE(place.right, work.right);
  EXPECT_LE(place.bottom, work.bottom);
  EXPECT_LE(work.right - place.right, ::MulDiv(64, 144, 96));
  EXPECT_LE(work.bottom - place.bottom, ::MulDiv(64, 144, 96));
}

TEST_F(RizazE2E, ASecondBlockerEndsAtOnceWhileTheFirstRunsOn) {
  WriteList({"p^^^^victim.exe"});
  StartRizaz();
  // One per session, wherever the copy lies: this one would make its own list file if it ran.
  const std::wstring other = folder_.CopyIn(DistPath(L"rizaz.exe"), L"elsewhere\\rizaz.exe");
  ASSERT_FALSE(other.empty());
  ChildProcess second;
  ASSERT_TRUE(second.Start(other, L"plumtide"));
  EXPECT_TRUE(second.HasEnded(kE2eTimeoutMs));
  EXPECT_EQ(second.ExitCode(), 0u);
  EXPECT_EQ(::GetFileAttributesW((elsewhere_ + L"\\cekdn.ocx").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_FALSE(rizaz_.HasEnded(0));
  EXPECT_TRUE(IsStopped(L"victim.exe"));
}

TEST_F(RizazE2E, PopupCheckBoxAndItsLabelWriteTheSetting) {
  Set("ChkDontShow", "0");
  WriteList({"p^^^^victim.exe"});
  StartRizaz();
  EXPECT_TRUE(IsStopped(L"victim.exe"));
  const HWND popup = WaitForPopup();
  ASSERT_NE(popup, nullptr) << "no popup";
  const HWND box = ::GetDlgItem(popup, kChkDontShowId);
  const HWND label = ::GetDlgItem(popup, kLabel2Id);
  // The clicks arrive as the controls report them. (A synthetic BM_CLICK depends on which process
  // Wine thinks has the mouse capture, so it is not used here.)
  const auto click = [&](int id, HWND control) {
    ::SendMessageW(popup, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
  };
  // A click on the box checks it and writes "1" at once; a second click unchecks and writes "0".
  click(kChkDontShowId, box);
  EXPECT_EQ(Get("ChkDontShow"), "1");
  EXPECT_EQ(::SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  click(kChkDontShowId, box);
  EXPECT_EQ(Get("ChkDontShow"), "0");
  EXPECT_EQ(::SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  // The label only ever checks it.
  for (int i = 0; i < 2; ++i) {
    click(kLabel2Id, label);
    EXPECT_EQ(Get("ChkDontShow"), "1");
    EXPECT_EQ(::SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  }
  // From now on programs are blocked without a popup.
  ASSERT_TRUE(WaitFor([&] { return Popups().empty(); }, 15000));
  EXPECT_TRUE(IsStopped(L"victim.exe"));
  ::Sleep(200);
  EXPECT_TRUE(Popups().empty());
}

TEST_F(RizazE2E, NoPopupWhenSwitchedOff) {
  Set("ChkDontShow", "1");
  WriteList({"p^^^^victim.exe"});
  StartRizaz();
  EXPECT_TRUE(IsStopped(L"victim.exe"));
  ::Sleep(300);
  EXPECT_TRUE(Popups().empty());
}

TEST_F(RizazE2E, HostileListFilesLoadWhatTheyCanAndBlockNothingWrongly) {
  std::mt19937 rng(11);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string random(64 * 1024, '\0');
  for (char& c : random) c = static_cast<char>(byte(rng));
  const std::string valid = EncryptText("C:\\v\\victim.exe^^^^victim.exe") + "\r\n";
  const std::string longLine(1 << 20, 'q');
  const std::string noSeparator = EncryptText("C:\\v\\bystander.exe") + "\r\n";
  WriteRaw(random + "\r\n" + longLine + "\r\n" + noSeparator + valid + "\n\n" + random);
  // Settings that are neither Booleans nor numbers read as their defaults: running, Normal mode.
  Set("Support", "maybe");
  Set("OptAllowAll", "perhaps");
  StartRizaz();
  EXPECT_TRUE(IsStopped(L"victim.exe"));
  ChildProcess bystander = StartProgram(L"bystander.exe");
  ASSERT_TRUE(bystander.WaitUntilListed());
  EXPECT_FALSE(bystander.HasEnded(kSurviveMs));
  // An empty file: nothing blocked any more.
  WriteRaw("");
  SignalReload();
  ASSERT_TRUE(WaitForReload());
  ChildProcess spared = StartProgram(L"victim.exe");
  ASSERT_TRUE(spared.WaitUntilListed());
  EXPECT_FALSE(spared.HasEnded(kSurviveMs));
  EXPECT_FALSE(rizaz_.HasEnded(0));
}

TEST_F(RizazE2E, LockedListFileKeepsTheOldListAndTheNextChangeReloads) {
  WriteList({"p^^^^first.exe"});
  StartRizaz();
  {
    // Opened with no sharing at all, as a scanner or an editor might.
    UniqueFileHandle lock(
        ::CreateFileW(listPath_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    SignalReload();
    ASSERT_TRUE(WaitForReload());
    EXPECT_FALSE(rizaz_.HasEnded(0));
    // The list it had still holds while the file cannot be read.
    EXPECT_TRUE(IsStopped(L"first.exe"));
    // The lock holder changes the file under its lock.
    const std::string text = EncryptText("p^^^^second.exe") + "\r\n";
    DWORD written = 0;
    ASSERT_TRUE(::WriteFile(lock.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr));
    ASSERT_TRUE(::SetEndOfFile(lock.get()));
  }
  SignalReload();
  EXPECT_TRUE(IsStopped(L"second.exe"));
  ChildProcess first = StartProgram(L"first.exe");
  ASSERT_TRUE(first.WaitUntilListed());
  EXPECT_FALSE(first.HasEnded(kSurviveMs));
}

}  // namespace
}  // namespace corvane::win
