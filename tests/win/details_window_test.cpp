#include "corvane_version.h"
#include "ui/win/details_window.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/win/utf.h"
#include "process/module_list.h"
#include "process/process_control.h"
#include "process/win/module_list.h"
#include "process/win/process_table_win.h"
#include "tests/support/child_process.h"
#include "tests/support/modal_driver.h"

namespace corvane::ui::win {
namespace {

using corvane::testing::ChildByText;
using corvane::testing::ChildProcess;
using corvane::testing::HelperPath;
using corvane::testing::IsTopMost;
using corvane::testing::ModalDriver;
using corvane::testing::PostClick;
using corvane::testing::PostKey;
using corvane::testing::ScratchFolder;
using corvane::testing::TextOf;

struct TreeLine {
  std::wstring text;
  std::vector<std::wstring> children;
};

std::wstring ItemText(HWND tree, HTREEITEM item) {
  wchar_t buffer[1024] = {};
  TVITEMW tv{};
  tv.mask = TVIF_TEXT;
  tv.hItem = item;
  tv.pszText = buffer;
  tv.cchTextMax = 1024;
  ::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
  return buffer;
}

HTREEITEM Next(HWND tree, HTREEITEM item, UINT how) {
  return reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}

std::vector<TreeLine> ReadTree(HWND tree) {
  std::vector<TreeLine> lines;
  for (HTREEITEM item = Next(tree, nullptr, TVGN_ROOT); item != nullptr; item = Next(tree, item, TVGN_NEXT)) {
    TreeLine line{ItemText(tree, item), {}};
    for (HTREEITEM child = Next(tree, item, TVGN_CHILD); child != nullptr; child = Next(tree, child, TVGN_NEXT)) {
      line.children.push_back(ItemText(tree, child));
    }
    lines.push_back(std::move(line));
  }
  return lines;
}

// What a test saw of the details window while it was open.
struct Seen {
  std::vector<TreeLine> lines;
  std::wstring headline;
  std::wstring version;
  bool notRunningVisible = false;
  std::wstring notRunningText;
  bool topmost = false;
};

ModalDriver::Step Look(const std::wstring& caption, Seen& seen, std::function<void(HWND)> close) {
  return {caption, [&seen, close](HWND details) {
            seen.lines = ReadTree(::GetDlgItem(details, kDetailsTreeId));
            seen.headline = TextOf(::GetDlgItem(details, kDetailsHeadlineId));
            seen.version = TextOf(::GetDlgItem(details, kDetailsVersionId));
            const HWND note = ::GetDlgItem(details, kDetailsNotRunningId);
            seen.notRunningVisible = ::IsWindowVisible(note) != FALSE;
            seen.notRunningText = TextOf(note);
            seen.topmost = IsTopMost(details);
            close(details);
          }};
}

std::uint32_t WaitForThreads(ProcessTable& table, std::uint32_t id, std::uint32_t atLeast) {
  std::uint32_t seen = 0;
  for (int tries = 0; tries < 500 && seen < atLeast; ++tries) {
    seen = GetThreadsOrParentId(table, id, true);
    if (seen < atLeast) ::Sleep(10);
  }
  return seen;
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix) { return text.rfind(prefix, 0) == 0; }

TEST(DetailsWindow, ReportsARunningProgramWithItsModules) {
  ScratchFolder folder;
  const std::wstring path = folder.CopyIn(HelperPath(L"sleeper"), L"details_probe.exe");
  ASSERT_FALSE(path.empty());
  ChildProcess child;
  ASSERT_TRUE(child.Start(path, L"60 2"));
  ASSERT_TRUE(child.WaitUntilListed());
  corvane::win::Win32ProcessTable table;
  ASSERT_EQ(WaitForThreads(table, child.Id(), 3), 3u);

  Seen seen;
  ModalDriver driver({Look(L"details_probe details", seen, [](HWND d) { PostClick(ChildByText(d, L"OK")); })});
  ShowProcessDetails(nullptr, corvane::win::Narrow(path), "details_probe.exe", table);
  ASSERT_TRUE(driver.acted());
  EXPECT_FALSE(driver.stuck());

  EXPECT_EQ(seen.headline, L"Detail for details_probe.exe");
  EXPECT_EQ(seen.version, L"v " CORVANE_VERSION_TEXT);
  EXPECT_FALSE(seen.notRunningVisible);
  EXPECT_TRUE(seen.topmost);
  ASSERT_EQ(seen.lines.size(), 15u);
  const std::vector<std::wstring> labels = {
      L"Process ID: ",    L"Location: ",      L"Size: ",          L"Company Name: ",      L"Created On: ",
      L"Modified On: ",   L"Total Dlls Used: ", L"Parent Process ID: ", L"Priority: ",      L"Threads: ",
      L"Peak Memory Usage: ", L"Memory Usage: ", L"Page File Usage: ", L"Peak Page File Usage: ", L"Page Fault: "};
  for (std::size_t i = 0; i < labels.size(); ++i) {
    EXPECT_TRUE(StartsWith(seen.lines[i].text, labels[i])) << "line " << i + 1 << ": " << seen.lines[i].text;
  }
  EXPECT_EQ(seen.lines[0].text, L"Process ID: " + std::to_wstring(child.Id()));
  EXPECT_EQ(seen.lines[1].text, L"Location: " + path);
  WIN32_FILE_ATTRIBUTE_DATA attributes{};
  ASSERT_TRUE(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes));
  EXPECT_EQ(seen.lines[2].text, L"Size: " + std::to_wstring(attributes.nFileSizeLow) + L" bytes");
  EXPECT_GT(seen.lines[4].text.size(), std::wstring(L"Created On: ").size());
  EXPECT_EQ(seen.lines[7].text, L"Parent Process ID: " + std::to_wstring(::GetCurrentProcessId()));
  EXPECT_EQ(seen.lines[8].text, L"Priority: Normal");
  EXPECT_EQ(seen.lines[9].text, L"Threads: 3");
  // A running process has a working set; its figures end in " K".
  EXPECT_NE(seen.lines[11].text, L"Memory Usage:  K");
  EXPECT_NE(seen.lines[11].text, L"Memory Usage: 0 K");
  for (std::size_t i = 10; i < 15; ++i) EXPECT_TRUE(seen.lines[i].text.ends_with(L" K")) << seen.lines[i].text;

  // The modules: as many children as the count says (no blank names here), ntdll.dll among them,
  // each followed by its maker; the first without a leading blank, the others with one.
  const TreeLine& modules = seen.lines[6];
  ASSERT_FALSE(modules.children.empty());
  EXPECT_EQ(modules.text, L"Total Dlls Used: " + std::to_wstring(modules.children.size()));
  bool ntdll = false;
  for (std::size_t i = 0; i < modules.children.size(); ++i) {
    const std::wstring& text = modules.children[i];
    EXPECT_NE(text.find(L", Created by: "), std::wstring::npos) << text;
    EXPECT_EQ(text[0] == L' ', i > 0) << text;
    if (_wcsnicmp(text.c_str() + (i > 0 ? 1 : 0), L"ntdll.dll ,", 11) == 0) ntdll = true;
  }
  EXPECT_TRUE(ntdll);
  for (std::size_t i = 0; i < seen.lines.size(); ++i) {
    if (i != 6) {
      EXPECT_TRUE(seen.lines[i].children.empty()) << seen.lines[i].text;
    }
  }
}

TEST(DetailsWindow, ReportsAProgramThatIsNotRunning) {
  corvane::win::Win32ProcessTable table;
  Seen seen;
  ModalDriver driver({Look(L"never_started details", seen, [](HWND d) { ::PostMessageW(d, WM_CLOSE, 0, 0); })});
  ShowProcessDetails(nullptr, "C:\\Nowhere\\never_started.exe", "never_started.exe", table);
  ASSERT_TRUE(driver.acted());
  EXPECT_FALSE(driver.stuck());
  ASSERT_EQ(seen.lines.size(), 15u);
  EXPECT_EQ(seen.lines[0].text, L"Process ID: 0");
  EXPECT_EQ(seen.lines[2].text, L"Size:  bytes");
  EXPECT_EQ(seen.lines[6].text, L"Total Dlls Used: 0");
  EXPECT_TRUE(seen.lines[6].children.empty());
  EXPECT_EQ(seen.lines[7].text, L"Parent Process ID: 0");
  EXPECT_EQ(seen.lines[11].text, L"Memory Usage: 0 K");
  EXPECT_EQ(seen.lines[12].text, L"Page File Usage: 0 K");
  EXPECT_TRUE(seen.notRunningVisible);
  EXPECT_EQ(seen.notRunningText, L"Curently Not using your system's memory.");
}

TEST(DetailsWindow, ModalOverItsOwnerAndClosedByOkEnterOrEscape) {
  corvane::testing::TimedOwnerWindow owner;
  ProcessReport report;
  report.caption = "Detail Information";
  report.headline = "Detail for noext";
  report.lines = {{"Process ID: 0", {}}};
  const auto closeWith = [&](std::function<void(HWND)> close) {
    bool ownerEnabled = true;
    HWND windowOwner = nullptr;
    ModalDriver driver({{L"Detail Information", [&, close](HWND d) {
                           ownerEnabled = ::IsWindowEnabled(owner.hwnd()) != FALSE;
                           windowOwner = ::GetWindow(d, GW_OWNER);
                           close(d);
                         }}});
    FrmFullProcessDetails::Show(owner.hwnd(), report, nullptr);
    EXPECT_TRUE(driver.acted());
    EXPECT_FALSE(driver.stuck());
    EXPECT_FALSE(ownerEnabled);
    EXPECT_EQ(windowOwner, owner.hwnd());
    EXPECT_TRUE(::IsWindowEnabled(owner.hwnd()));
  };
  closeWith([](HWND d) { PostClick(ChildByText(d, L"OK")); });
  closeWith([](HWND) { PostKey(VK_RETURN); });
  closeWith([](HWND) { PostKey(VK_ESCAPE); });
}

TEST(ModuleList, ListsTheModulesOfARunningProcessWithoutItsExecutable) {
  // Ids that are never asked about.
  EXPECT_EQ(corvane::win::GetModuleList(0), "");
  EXPECT_EQ(corvane::win::GetModuleList(2), "");
  EXPECT_EQ(corvane::win::GetModuleList(-8), "");
  EXPECT_EQ(corvane::win::GetModuleList(0x7FFFFFF0), "");

  std::vector<std::string> names;
  ASSERT_TRUE(corvane::win::ReadModuleBaseNames(::GetCurrentProcessId(), names));
  ASSERT_GE(names.size(), 3u);
  EXPECT_EQ(names[0], "win_tests.exe");
  EXPECT_EQ(corvane::win::GetModuleList(::GetCurrentProcessId()), JoinModuleList(names));
  const std::string list = corvane::win::GetModuleList(::GetCurrentProcessId());
  EXPECT_EQ(list.find("win_tests.exe"), std::string::npos);
  EXPECT_NE(list.find("ntdll.dll"), std::string::npos);
}

}  // namespace
}  // namespace corvane::ui::win
