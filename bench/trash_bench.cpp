// The main window's responsiveness while the Trash Jar holds files that cannot be deleted, for
// scripts/bench.sh:
//   trash_bench [held-files] [seconds]
// The real Corvane.exe runs from a scratch folder whose Trash Jar lists held-files files (default
// 20) that this driver keeps open without delete sharing, one ordinary file and one read-only file.
// Once the main window is up, the driver sends it WM_NULL over and over for the given seconds
// (default 15) and prints how long each answer took; then it lets the files go and reports whether
// the next ticks delete them. Before Corvane.exe starts, it times the Trash Jar pass itself in this
// process (the real WatchCycle over the real file system and process table) on the held files.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "base/win/handle.h"
#include "base/win/utf.h"
#include "process/win/process_table_win.h"
#include "store/lists.h"
#include "store/win/registry_settings.h"
#include "store/win/win32_list_file_system.h"
#include "tests/support/child_process.h"
#include "tests/support/e2e_support.h"
#include "watch/watch_cycle.h"

namespace {

using namespace corvane;
using namespace corvane::testing;

using corvane::bench::Now;

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  if (values.empty()) return 0.0;
  const size_t rank = static_cast<size_t>(fraction * static_cast<double>(values.size()) + 0.999999);
  return values[std::min(values.size(), std::max<size_t>(rank, 1)) - 1];
}

class SilentSpeaker final : public Speaker {
 public:
  void Beep(std::uint32_t, std::uint32_t) override {}
};

// Median and longest time of one Trash Jar pass over the given files, in this process.
void TimeTrashJarPass(const std::wstring& folder, const std::vector<std::wstring>& paths, double& median,
                      double& longest) {
  win::Win32ListFileSystem files;
  win::RegistrySettingsStore settings;
  Lists lists(files, settings, win::Narrow(folder));
  for (const std::wstring& path : paths) lists.AddToTrashJar(win::Narrow(path));
  win::Win32ProcessTable processes;
  SilentSpeaker speaker;
  watch::WatchCycle cycle(processes, settings, speaker, lists, files, true);
  std::vector<double> times;
  for (int i = 0; i < 50; ++i) {
    const double start = Now();
    cycle.EmptyTrashJar();
    times.push_back(Now() - start);
  }
  median = Percentile(times, 0.5);
  longest = Percentile(times, 1.0);
}

bool MakeFile(const std::wstring& path) { return WriteWholeFile(path, "trash", 0); }

int CountExisting(const std::vector<std::wstring>& paths) {
  return static_cast<int>(std::count_if(paths.begin(), paths.end(), [](const std::wstring& p) { return FileExists(p); }));
}

int Bench(int heldCount, int seconds) {
  ScratchFolder folder;
  ScratchFolder junk;
  if (folder.Path().empty() || junk.Path().empty()) return 1;
  // No rizaz.exe beside it: the blocker plays no part here.
  const std::wstring corvaneExe = folder.CopyIn(DistPath(L"Corvane.exe"), L"Corvane.exe");
  if (corvaneExe.empty()) return 1;

  std::vector<std::wstring> heldPaths;
  std::vector<win::UniqueFileHandle> held;
  for (int i = 0; i < heldCount; ++i) {
    wchar_t name[32];
    std::swprintf(name, 32, L"\\held%02d.dat", i);
    const std::wstring path = junk.Path() + name;
    if (!MakeFile(path)) return 1;
    // Read and write sharing, but no delete sharing: every deletion attempt is refused.
    held.emplace_back(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!held.back()) return 1;
    heldPaths.push_back(path);
  }
  double passMedian = 0;
  double passLongest = 0;
  TimeTrashJarPass(folder.Path(), heldPaths, passMedian, passLongest);

  const std::wstring plainPath = junk.Path() + L"\\plain.dat";
  const std::wstring readOnlyPath = junk.Path() + L"\\readonly.dat";
  if (!MakeFile(plainPath) || !MakeFile(readOnlyPath)) return 1;
  ::SetFileAttributesW(readOnlyPath.c_str(), FILE_ATTRIBUTE_READONLY);

  std::vector<std::string> trash;
  for (const std::wstring& path : heldPaths) trash.push_back(win::Narrow(path));
  trash.push_back(win::Narrow(plainPath));
  trash.push_back(win::Narrow(readOnlyPath));
  if (!WriteListFile(folder.Path() + L"\\hovsfd.dll", trash)) return 1;
  DeleteSettingValues({L"Support", L"Read", L"OptAllowAll", L"ChkBeep", L"ChkDontShow"});
  // Nothing that runs now is new, so no alert window takes the watch timer off.
  if (!WriteListFile(folder.Path() + L"\\midmo.ocx", RunningProgramRecords())) return 1;

  ChildProcess corvane;
  if (!corvane.Start(corvaneExe)) return 1;
  HWND mainWindow = nullptr;
  WaitFor(
      [&] {
        const auto found = WindowsOf(corvane.Id(), L"CorvaneMain");
        mainWindow = found.empty() ? nullptr : found.front();
        return mainWindow != nullptr && ::IsWindowVisible(mainWindow);
      },
      30000);
  if (mainWindow == nullptr) {
    std::fprintf(stderr, "Corvane's main window did not appear (exit code %lu)\n", corvane.ExitCode());
    return 1;
  }
  // The deletable file going proves that the watch ticks run.
  const bool ticking = WaitFor([&] { return !FileExists(plainPath); }, 5000);
  // Start-up work (the first judging of every running program, the panels' icons) is not what is
  // measured here: the steady ticks are.
  ::Sleep(2000);

  std::vector<double> answers;
  std::vector<double> sentAt;  // ms since the polling began
  int timeouts = 0;
  const double begin = Now();
  const double end = begin + seconds * 1000.0;
  while (Now() < end) {
    DWORD_PTR result = 0;
    const double start = Now();
    if (::SendMessageTimeoutW(mainWindow, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &result) == 0) ++timeouts;
    answers.push_back(Now() - start);
    sentAt.push_back(start - begin);
    ::Sleep(2);
  }
  const int heldLeft = CountExisting(heldPaths);
  const bool readOnlyGone = !FileExists(readOnlyPath);

  // Let the files go: the next ticks should delete them.
  held.clear();
  const bool releasedGone = WaitFor([&] { return CountExisting(heldPaths) == 0; }, 5000);
  const int releasedLeft = CountExisting(heldPaths);
  ::SetFileAttributesW(readOnlyPath.c_str(), FILE_ATTRIBUTE_NORMAL);
  corvane.Terminate();

  const auto over = [&answers](double limit) {
    return std::count_if(answers.begin(), answers.end(), [limit](double a) { return a > limit; });
  };
  std::printf("%-6s %8s %10s %10s %10s %10s %8s\n", "held", "polls", "median ms", "p99 ms", "max ms", ">50 ms",
              "timeouts");
  std::printf("%-6d %8zu %10.2f %10.2f %10.2f %10ld %8d\n", heldCount, answers.size(), Percentile(answers, 0.5),
              Percentile(answers, 0.99), Percentile(answers, 1.0), static_cast<long>(over(50.0)), timeouts);
  std::printf("ticking=%s held_left_while_held=%d/%d readonly_deleted=%s deleted_after_release=%d/%d%s\n",
              ticking ? "yes" : "no", heldLeft, heldCount, readOnlyGone ? "yes" : "no", heldCount - releasedLeft,
              heldCount, releasedGone ? "" : " (not all)");
  // When the slowest answers came: one slow tick, or every tick alike.
  std::vector<size_t> order(answers.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&answers](size_t a, size_t b) { return answers[a] > answers[b]; });
  std::printf("slowest:");
  for (size_t i = 0; i < order.size() && i < 5; ++i) {
    std::printf(" %.1f ms at %.1f s;", answers[order[i]], sentAt[order[i]] / 1000.0);
  }
  std::printf("\n");
  std::printf("one Trash Jar pass in-process (two per tick): median %.2f ms, longest %.2f ms\n", passMedian,
              passLongest);
  std::printf("trash held=%d polls=%zu median=%.2f p99=%.2f max=%.2f over50=%ld timeouts=%d pass_median=%.2f "
              "pass_max=%.2f\n",
              heldCount, answers.size(), Percentile(answers, 0.5), Percentile(answers, 0.99), Percentile(answers, 1.0),
              static_cast<long>(over(50.0)), timeouts, passMedian, passLongest);
  return ticking ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int heldCount = argc > 1 ? std::clamp(_wtoi(argv[1]), 0, 99) : 20;
  const int seconds = argc > 2 ? std::max(1, _wtoi(argv[2])) : 15;
  return Bench(heldCount, seconds);
}
