// Start-up of the real Corvane.exe with empty lists and with the lists of years of use, for
// scripts/bench.sh:
//   startup_bench [runs]     (default 3 runs of each)
// Each run starts Corvane.exe from a scratch folder and polls its windows every few milliseconds,
// timing from the call that starts the process:
//   splash end    the splash window is no longer visible;
//   visible       the main window is visible;
//   lists ready   the main window is visible, its allowed and blocked panels hold every entry of
//                 their lists, and it answers WM_NULL;
//   running ready the same with the running panel's rows there too (they come with the first watch
//                 tick, which the watch timer starts a second after the window shows).
// After both it keeps sending WM_NULL for 3 s and reports the longest answer: the work left for
// later (icons of the rows scrolled into view, the ticks) must not stall the window either.
// "Empty" means no block list or Trash Jar and an allow list of only the programs running now (so
// that nothing is asked about); "big" adds 5,000 allowed and 5,000 blocked programs and 500 Trash Jar
// paths (a few of them real files), written by the program's own store.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "base/win/utf.h"
#include "bench/big_lists.h"
#include "store/lists.h"
#include "store/win/registry_settings.h"
#include "store/win/win32_list_file_system.h"
#include "tests/support/child_process.h"
#include "tests/support/e2e_support.h"

namespace {

using namespace corvane;
using namespace corvane::testing;

// The list controls' ids in the main window's panels: 200 + the panel's number.
constexpr int kRunningListId = 200;
constexpr int kBlockedListId = 201;
constexpr int kAllowedListId = 202;

using corvane::bench::Now;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? -1.0 : values[values.size() / 2];
}

double Longest(const std::vector<double>& values) {
  return values.empty() ? -1.0 : *std::max_element(values.begin(), values.end());
}

struct Run {
  double splashEnd = -1;
  double visible = -1;
  double listsReady = -1;
  double runningReady = -1;
  double longestAnswerAfter = -1;
};

// The row count of a list control, or -1 when it does not answer within the time.
int RowCount(HWND list, UINT timeoutMs) {
  DWORD_PTR count = 0;
  if (list == nullptr || ::SendMessageTimeoutW(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, timeoutMs, &count) == 0) {
    return -1;
  }
  return static_cast<int>(count);
}

bool AnyVisible(const std::vector<HWND>& windows) {
  return std::any_of(windows.begin(), windows.end(), [](HWND w) { return ::IsWindowVisible(w) != FALSE; });
}

bool StartOnce(bool big, Run& run) {
  ScratchFolder folder;
  ScratchFolder junk;
  if (folder.Path().empty() || junk.Path().empty()) return false;
  const std::wstring corvaneExe = folder.CopyIn(DistPath(L"Corvane.exe"), L"Corvane.exe");
  if (corvaneExe.empty()) return false;
  std::vector<std::string> realTrash;
  bench::BigListSizes sizes{0, 0, 0};
  if (big) {
    sizes = {};
    for (int i = 0; i < 3; ++i) {
      const std::wstring path = junk.Path() + L"\\leftover" + std::to_wstring(i) + L".dat";
      if (!WriteWholeFile(path, "old", 0)) return false;
      realTrash.push_back(win::Narrow(path));
    }
  }
  if (!bench::WriteBigLists(folder.Path(), RunningProgramRecords(), realTrash, sizes)) return false;
  DeleteSettingValues({L"Support", L"Read", L"OptAllowAll", L"ChkBeep", L"ChkDontShow"});
  // What the program will read back (it drops allow-list duplicates, such as two copies of one
  // running program).
  int allowed = -1;
  int blocked = 0;
  {
    win::Win32ListFileSystem files;
    win::RegistrySettingsStore settings;
    Lists lists(files, settings, win::Narrow(folder.Path()));
    lists.Load();
    if (big) allowed = static_cast<int>(lists.allowList().size());
    blocked = static_cast<int>(lists.blockList().size());
  }

  ChildProcess corvane;
  const double start = Now();
  if (!corvane.Start(corvaneExe)) return false;
  bool splashSeen = false;
  HWND main = nullptr;
  const bool done = WaitFor(
      [&] {
        const std::vector<HWND> splash = WindowsOf(corvane.Id(), L"CorvaneSplash");
        if (AnyVisible(splash)) splashSeen = true;
        if (splashSeen && run.splashEnd < 0 && !AnyVisible(splash)) run.splashEnd = Now() - start;
        if (main == nullptr) {
          const std::vector<HWND> found = WindowsOf(corvane.Id(), L"CorvaneMain");
          if (!found.empty()) main = found.front();
        }
        if (main == nullptr || !::IsWindowVisible(main)) return false;
        if (run.visible < 0) run.visible = Now() - start;
        // The counts come from the window's own thread, so an answer also says it is not busy.
        const int allowedRows = RowCount(FindChildById(main, kAllowedListId), 100);
        const int blockedRows = RowCount(FindChildById(main, kBlockedListId), 100);
        // With empty lists the allowed panel holds the running programs only: any count will do.
        if (allowedRows < std::max(allowed, 0) || blockedRows != blocked) return false;
        DWORD_PTR result = 0;
        if (::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 100, &result) == 0) return false;
        if (run.listsReady < 0) run.listsReady = Now() - start;
        if (RowCount(FindChildById(main, kRunningListId), 100) <= 0) return false;
        if (::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 100, &result) == 0) return false;
        run.runningReady = Now() - start;
        return run.splashEnd >= 0;
      },
      240000);
  if (!done) {
    std::fprintf(stderr, "Corvane did not get ready (exit code %lu)\n", corvane.ExitCode());
    return false;
  }
  const double until = Now() + 3000;
  while (Now() < until) {
    DWORD_PTR result = 0;
    const double sent = Now();
    ::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result);
    run.longestAnswerAfter = std::max(run.longestAnswerAfter, Now() - sent);
    ::Sleep(5);
  }
  corvane.Terminate();
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int runs = argc > 1 ? std::clamp(_wtoi(argv[1]), 1, 20) : 3;
  std::printf("%-6s %4s %14s %11s %15s %17s %18s\n", "lists", "run", "splash end ms", "visible ms",
              "lists ready ms", "running ready ms", "longest after ms");
  double listsAfterSplash[2] = {-1, -1};
  double runningReady[2] = {-1, -1};
  double answerLongest[2] = {-1, -1};
  for (const bool big : {false, true}) {
    std::vector<double> lists;
    std::vector<double> running;
    std::vector<double> answers;
    for (int i = 0; i < runs; ++i) {
      Run run;
      if (!StartOnce(big, run)) return 1;
      std::printf("%-6s %4d %14.0f %11.0f %15.0f %17.0f %18.1f\n", big ? "big" : "empty", i + 1, run.splashEnd,
                  run.visible, run.listsReady, run.runningReady, run.longestAnswerAfter);
      lists.push_back(run.listsReady - run.splashEnd);
      running.push_back(run.runningReady);
      answers.push_back(run.longestAnswerAfter);
    }
    listsAfterSplash[big] = Median(lists);
    runningReady[big] = Median(running);
    answerLongest[big] = Longest(answers);
  }
  std::printf("startup empty_lists_after_splash=%.0f big_lists_after_splash=%.0f empty_running_ready=%.0f "
              "big_running_ready=%.0f extra=%.0f empty_longest_answer=%.1f big_longest_answer=%.1f\n",
              listsAfterSplash[0], listsAfterSplash[1], runningReady[0], runningReady[1],
              runningReady[1] - runningReady[0], answerLongest[0], answerLongest[1]);
  return 0;
}
