// The advertisement area and the help links of the shipped main program, against a local Python
// server on 127.0.0.1 and a fake browser registered for .htm files: what would open is logged.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/win/utf.h"
#include "tests/support/advert_server.h"
#include "tests/support/child_process.h"
#include "tests/support/e2e_support.h"
#include "ui/main_menu.h"

namespace corvane::testing {
namespace {

constexpr const wchar_t* kPageViewClass = L"CorvanePageView";
constexpr int kHelpLabelId = 400;
constexpr int kStatusLabelId = 401;
// Splash, load, the first cycle ten seconds later and the pause before a page shows.
constexpr DWORD kFirstAdvertMs = 60000;

class AdvertE2eTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(folder.Path().empty());
    corvane = folder.CopyIn(DistPath(L"Corvane.exe"), L"Corvane.exe");
    browser = folder.CopyIn(HelperPath(L"fake_browser"), L"fake_browser.exe");
    ASSERT_FALSE(corvane.empty());
    ASSERT_FALSE(browser.empty());
    // The browser launch is the subject here, not the judging of what it starts: the system's
    // browser launcher and the fake browser are allowed, so that no question or hold comes between.
    std::vector<std::string> records = RunningProgramRecords();
    wchar_t system[MAX_PATH] = {};
    const UINT systemLength = ::GetSystemDirectoryW(system, MAX_PATH);
    const std::string launcher = corvane::win::Narrow(std::wstring(system, systemLength) + L"\\winebrowser.exe");
    records.push_back(launcher + "^^^^winebrowser.exe");
    records.push_back(corvane::win::Narrow(browser) + "^^^^fake_browser.exe");
    ASSERT_TRUE(WriteListFile(folder.Path() + L"\\midmo.ocx", records));
    ASSERT_TRUE(server.Start(folder.Path()));
    registration = std::make_unique<FakeBrowserRegistration>(browser);
    ASSERT_TRUE(registration->Applied());
  }
  void TearDown() override { DeleteSettingValues({L"AdvServer"}); }

  HWND StartCorvane() { return StartCorvaneWindow(main, corvane); }

  bool BrowserOpened(const std::string& address) {
    return WaitFor([&] { return FakeBrowserLog(browser).find("\"" + address + "\"") != std::string::npos; });
  }

  void Close(HWND window) {
    ::PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(ui::MenuCommand::Close), 0);
    EXPECT_TRUE(main.HasEnded(kE2eTimeoutMs));
  }

  // First, so that it goes last.
  RunValueCleanup runValue;
  ScratchFolder folder;
  std::wstring corvane;
  std::wstring browser;
  LocalAdvertServer server;
  std::unique_ptr<FakeBrowserRegistration> registration;
  ChildProcess main;
};

TEST_F(AdvertE2eTest, ShowsTheFirstAdvertOpensItOnClickAndHelpOpensTheRunningPage) {
  WriteSettingValue(L"AdvServer", server.Url().c_str());
  HWND window = StartCorvane();
  ASSERT_NE(window, nullptr);
  HWND view = FindChild(window, nullptr, kPageViewClass);
  HWND status = FindChildById(window, kStatusLabelId);
  ASSERT_NE(view, nullptr);
  ASSERT_NE(status, nullptr);
  // The placeholder banner first; then the first advertisement's picture, which has no text.
  EXPECT_EQ(WindowText(view), L"Our other products");
  ASSERT_TRUE(WaitFor([&] { return WindowText(view).empty() && WindowText(status) == L"Done"; }, kFirstAdvertMs));

  const std::string base = corvane::win::Narrow(server.Url());
  ::PostMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(BrowserOpened(base + "/buy/one.htm")) << FakeBrowserLog(browser);

  // Help, with the running panel in front, opens its page on the maker's site.
  HWND help = FindChildById(window, kHelpLabelId);
  ASSERT_NE(help, nullptr);
  ::PostMessageW(window, WM_COMMAND, MAKEWPARAM(kHelpLabelId, STN_CLICKED), reinterpret_cast<LPARAM>(help));
  EXPECT_TRUE(WaitFor([&] { return FakeBrowserLog(browser).find("/corvane/running.htm\"") != std::string::npos; }))
      << FakeBrowserLog(browser);
  Close(window);
}

TEST_F(AdvertE2eTest, AStalledServerLeavesThePlaceholderAndTheWindowAnswersAndCloses) {
  // Every request of the area goes to a path the server never answers.
  WriteSettingValue(L"AdvServer", server.Url(L"/stall").c_str());
  HWND window = StartCorvane();
  ASSERT_NE(window, nullptr);
  HWND view = FindChild(window, nullptr, kPageViewClass);
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(WaitFor([&] { return server.StalledRequests() >= 1; }, kFirstAdvertMs));
  // While the request hangs the window keeps answering, and the placeholder stays.
  for (int i = 0; i < 20; ++i) {
    DWORD_PTR answer = 0;
    ASSERT_NE(::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer), 0);
    ::Sleep(100);
  }
  EXPECT_EQ(WindowText(view), L"Our other products");
  // The placeholder opens the other product's page from there.
  ::PostMessageW(view, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_TRUE(BrowserOpened(corvane::win::Narrow(server.Url(L"/stall/rizaz.htm")))) << FakeBrowserLog(browser);

  // Closed while the next request hangs, it still ends.
  const int stalled = server.StalledRequests();
  ASSERT_TRUE(WaitFor([&] { return server.StalledRequests() > stalled; }, kFirstAdvertMs));
  Close(window);
}

}  // namespace
}  // namespace corvane::testing
