// The main program's watch cycle under load, for scripts/bench.sh:
//   watch_bench cycle [ticks]     the real WatchCycle and NewProgramInspector over the real process
//                                 table, registry and list files, with 25, 50 and 100 helper copies
//                                 running, all on the allow list: tick time and path reads per tick
//   watch_bench bigtick [ticks]   the same with 100 helper copies and the lists of years of use: 5,000
//                                 allowed (the helpers among them) and 5,000 blocked programs, 500
//                                 Trash Jar paths of which 5 exist and cannot be deleted; tick time
//                                 and the share of each step, against the same with short lists
//   watch_bench alert [samples]   the real Corvane.exe from a scratch folder: time from an unknown
//                                 program's start to its alert window being visible; Block each time
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_clock.h"
#include "base/win/handle.h"
#include "base/win/utf.h"
#include "bench/big_lists.h"
#include "process/system_programs.h"
#include "process/win/file_facts_win.h"
#include "process/win/process_table_win.h"
#include "store/lists.h"
#include "store/win/registry_settings.h"
#include "store/win/win32_list_file_system.h"
#include "tests/support/child_process.h"
#include "tests/support/e2e_support.h"
#include "watch/new_program_decision.h"
#include "watch/watch_cycle.h"

namespace {

using namespace corvane;
using namespace corvane::testing;
using corvane::bench::Now;

// Counts what the cycle asks of the real table, and the time the snapshots and path reads take.
class CountingProcessTable final : public ProcessTable {
 public:
  explicit CountingProcessTable(ProcessTable& inner) : inner_(inner) {}
  bool TakeProcessSnapshot(ProcessSnapshot& snapshot) override {
    ++snapshots;
    const double start = Now();
    const bool taken = inner_.TakeProcessSnapshot(snapshot);
    snapshotMs += Now() - start;
    lastCount = static_cast<int>(snapshot.size());
    return taken;
  }
  bool TerminateProcessById(std::uint32_t processId, std::uint32_t exitCode) override {
    ++terminations;
    return inner_.TerminateProcessById(processId, exitCode);
  }
  WaitResult WaitForProcessEnd(std::uint32_t processId, std::uint32_t milliseconds) override {
    return inner_.WaitForProcessEnd(processId, milliseconds);
  }
  std::string GetProcessFullPath(std::uint32_t processId) override {
    ++pathReads;
    const double start = Now();
    std::string path = inner_.GetProcessFullPath(processId);
    pathMs += Now() - start;
    return path;
  }
  int snapshots = 0;
  int pathReads = 0;
  int terminations = 0;
  int lastCount = 0;
  double snapshotMs = 0;
  double pathMs = 0;

 private:
  ProcessTable& inner_;
};

class SilentSpeaker final : public Speaker {
 public:
  void Beep(std::uint32_t, std::uint32_t) override {}
};

// Every program runs from the allow list, so any question is a fault of the set-up; it is counted.
class CountingUi final : public watch::DecisionUi {
 public:
  watch::AlertDecision ShowAlert(const watch::AlertRequest&) override {
    ++alerts;
    return watch::AlertDecision::Allow;
  }
  watch::ConfirmAnswer Confirm(std::string_view) override { return watch::ConfirmAnswer::No; }
  void Inform(std::string_view) override {}
  int alerts = 0;
};


double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0.0 : values[values.size() / 2];
}

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  if (values.empty()) return 0.0;
  const size_t rank = static_cast<size_t>(fraction * static_cast<double>(values.size()) + 0.999999);
  return values[std::min(values.size(), std::max<size_t>(rank, 1)) - 1];
}

int BenchCycle(int ticks) {
  ScratchFolder folder;
  if (folder.Path().empty()) return 1;
  const std::wstring helper = HelperPath(L"sleeper");
  std::vector<std::wstring> copies;
  for (int i = 1; i <= 100; ++i) {
    wchar_t name[32];
    std::swprintf(name, 32, L"wbhelper%03d.exe", i);
    copies.push_back(folder.CopyIn(helper, name));
    if (copies.back().empty()) return 1;
  }
  // A block list of names nobody runs, so the termination passes do their work as in daily use.
  std::vector<std::string> blocked;
  for (int i = 1; i <= 10; ++i) {
    const std::string name = "wbnobody" + std::to_string(i) + ".exe";
    blocked.push_back("C:\\Unused\\" + name + "^^^^" + name);
  }
  if (!WriteListFile(folder.Path() + L"\\cekdn.ocx", blocked)) return 1;

  win::RegistrySettingsStore settings;
  settings.WriteSetting("OptAllowAll", "False");
  std::vector<ChildProcess> running;
  std::printf("%-10s %14s %14s %18s %16s %8s\n", "processes", "median tick ms", "p90 tick ms", "path reads/tick",
              "snapshots/tick", "alerts");
  for (const int count : {25, 50, 100}) {
    while (static_cast<int>(running.size()) < count) {
      ChildProcess& child = running.emplace_back();
      if (!child.Start(copies[running.size() - 1], L"600")) return 1;
    }
    for (const ChildProcess& child : running) child.WaitUntilListed();
    // Everything running now, the helpers included, is on the allow list.
    if (!WriteListFile(folder.Path() + L"\\midmo.ocx", RunningProgramRecords())) return 1;

    win::Win32ListFileSystem files;
    Lists lists(files, settings, win::Narrow(folder.Path()));
    lists.Load();
    win::Win32ProcessTable real;
    CountingProcessTable processes(real);
    SilentSpeaker speaker;
    CountingUi ui;
    // The cycle hands each tick's processes to the inspector, which is made after it.
    watch::NewProgramInspector* judge = nullptr;
    watch::WatchCycle cycle(processes, settings, speaker, lists, files, true,
                            {[&](const watch::RunningProcesses& now) { judge->InspectNewPrograms(now); }, {}, {}});
    watch::NewProgramInspector inspector(
        lists, cycle.running(), settings, processes, speaker, ui,
        {[](std::string_view name, std::string_view) { return IsWindowsProcess(name); },
         [](std::string_view path) { return win::IsMicrosoftFile(path); }});
    judge = &inspector;
    // The first tick meets every program once; the steady state is what runs all day.
    cycle.Tick();
    std::vector<double> times;
    const int readsBefore = processes.pathReads;
    const int snapshotsBefore = processes.snapshots;
    const double snapshotMsBefore = processes.snapshotMs;
    const double pathMsBefore = processes.pathMs;
    for (int t = 0; t < ticks; ++t) {
      const double start = Now();
      cycle.Tick();
      times.push_back(Now() - start);
    }
    const double reads = static_cast<double>(processes.pathReads - readsBefore) / ticks;
    const double snapshots = static_cast<double>(processes.snapshots - snapshotsBefore) / ticks;
    std::printf("%-10d %14.2f %14.2f %18.1f %16.1f %8d\n", processes.lastCount, Median(times),
                Percentile(times, 0.9), reads, snapshots, ui.alerts);
    std::printf("cycle processes=%d helpers=%d median=%.2f p90=%.2f reads=%.1f snapshots=%.1f alerts=%d "
                "snapshot_ms_per_tick=%.2f path_ms_per_tick=%.2f\n",
                processes.lastCount, count, Median(times), Percentile(times, 0.9), reads, snapshots, ui.alerts,
                (processes.snapshotMs - snapshotMsBefore) / ticks, (processes.pathMs - pathMsBefore) / ticks);
  }
  return 0;
}

// Median and longest of one run of step, over runs runs.
template <typename Step>
void TimeStep(int runs, Step step, double& median, double& longest) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double start = Now();
    step();
    times.push_back(Now() - start);
  }
  median = Median(times);
  longest = Percentile(times, 1.0);
}

// Counts the existence tests of the Trash Jar passes and their time.
class CountingFileSystem final : public ListFileSystem {
 public:
  explicit CountingFileSystem(ListFileSystem& inner) : inner_(inner) {}
  bool VisibleFileExists(std::string_view path) override {
    ++existenceTests;
    const double start = Now();
    const bool exists = inner_.VisibleFileExists(path);
    existenceMs += Now() - start;
    return exists;
  }
  bool AnyFileExists(std::string_view path) override { return inner_.AnyFileExists(path); }
  bool ReadWholeFile(std::string_view path, std::size_t maxBytes, std::string& content) override {
    return inner_.ReadWholeFile(path, maxBytes, content);
  }
  bool AppendLine(std::string_view path, std::string_view line) override { return inner_.AppendLine(path, line); }
  bool ReplaceContent(std::string_view path, std::string_view content) override {
    return inner_.ReplaceContent(path, content);
  }
  bool RemoveFile(std::string_view path) override { return inner_.RemoveFile(path); }
  bool RemoveFileEvenIfReadOnly(std::string_view path) override { return inner_.RemoveFileEvenIfReadOnly(path); }
  int existenceTests = 0;
  double existenceMs = 0;

 private:
  ListFileSystem& inner_;
};

struct TickFigures {
  std::size_t allowed = 0, blocked = 0, trash = 0;
  int processes = 0, alerts = 0;
  double load = 0, first = 0, median = 0, longest = 0, inspect = 0, snapshotMs = 0, pathMs = 0, reads = 0;
  double existenceMs = 0, existenceTests = 0, terminate = 0, terminateOwn = 0, trashPass = 0;
};

// Ticks of the real cycle over the list files in folder, with whatever runs now.
bool MeasureTicks(const std::wstring& folder, int ticks, TickFigures& out) {
  win::RegistrySettingsStore settings;
  win::Win32ListFileSystem realFiles;
  CountingFileSystem files(realFiles);
  Lists lists(files, settings, win::Narrow(folder));
  const double loadStart = Now();
  lists.Load();
  out.load = Now() - loadStart;
  win::Win32ProcessTable real;
  CountingProcessTable processes(real);
  SilentSpeaker speaker;
  CountingUi ui;
  watch::NewProgramInspector* judge = nullptr;
  double inspectMs = 0;
  watch::WatchCycle cycle(processes, settings, speaker, lists, files, true,
                          {[&](const watch::RunningProcesses& now) {
                             const double start = Now();
                             judge->InspectNewPrograms(now);
                             inspectMs += Now() - start;
                           },
                           {},
                           {}});
  watch::NewProgramInspector inspector(
      lists, cycle.running(), settings, processes, speaker, ui,
      {[](std::string_view name, std::string_view) { return IsWindowsProcess(name); },
       [](std::string_view path) { return win::IsMicrosoftFile(path); }});
  judge = &inspector;
  const double firstStart = Now();
  cycle.Tick();
  out.first = Now() - firstStart;
  inspectMs = 0;
  const int readsBefore = processes.pathReads;
  const double snapshotMsBefore = processes.snapshotMs;
  const double pathMsBefore = processes.pathMs;
  const int testsBefore = files.existenceTests;
  const double existenceMsBefore = files.existenceMs;
  std::vector<double> times;
  for (int t = 0; t < ticks; ++t) {
    const double start = Now();
    cycle.Tick();
    times.push_back(Now() - start);
  }
  out.median = Median(times);
  out.longest = Percentile(times, 1.0);
  out.reads = static_cast<double>(processes.pathReads - readsBefore) / ticks;
  out.snapshotMs = (processes.snapshotMs - snapshotMsBefore) / ticks;
  out.pathMs = (processes.pathMs - pathMsBefore) / ticks;
  out.existenceTests = static_cast<double>(files.existenceTests - testsBefore) / ticks;
  out.existenceMs = (files.existenceMs - existenceMsBefore) / ticks;
  out.inspect = inspectMs / ticks;
  // The steps that run twice a tick, alone; the termination pass also without its snapshot.
  double ignored = 0;
  const double terminateSnapshotsBefore = processes.snapshotMs;
  TimeStep(ticks, [&] { cycle.TerminateBlockedPrograms(); }, out.terminate, ignored);
  out.terminateOwn = out.terminate - (processes.snapshotMs - terminateSnapshotsBefore) / ticks;
  TimeStep(ticks, [&] { cycle.EmptyTrashJar(); }, out.trashPass, ignored);
  out.allowed = lists.allowList().size();
  out.blocked = lists.blockList().size();
  out.trash = lists.trashJar().size();
  out.processes = processes.lastCount;
  out.alerts = ui.alerts;
  return true;
}

int BenchBigTick(int ticks) {
  ScratchFolder small;
  ScratchFolder big;
  ScratchFolder junk;
  if (small.Path().empty() || big.Path().empty() || junk.Path().empty()) return 1;
  const std::wstring helper = HelperPath(L"sleeper");
  std::vector<ChildProcess> running;
  for (int i = 1; i <= 100; ++i) {
    wchar_t name[32];
    std::swprintf(name, 32, L"wbhelper%03d.exe", i);
    const std::wstring copy = small.CopyIn(helper, name);
    if (copy.empty() || !running.emplace_back().Start(copy, L"600")) return 1;
  }
  for (const ChildProcess& child : running) child.WaitUntilListed();
  // Trash Jar files that exist at every pass: held open without delete sharing, so each pass finds
  // them and tries again.
  std::vector<std::string> heldPaths;
  std::vector<win::UniqueFileHandle> held;
  for (int i = 0; i < 5; ++i) {
    const std::wstring path = junk.Path() + L"\\held" + std::to_wstring(i) + L".dat";
    if (!WriteWholeFile(path, "trash", 0)) return 1;
    held.emplace_back(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!held.back()) return 1;
    heldPaths.push_back(win::Narrow(path));
  }
  // The yardstick: the same programs with short lists (the running ones allowed, ten blocked names).
  const std::vector<std::string> records = RunningProgramRecords();
  if (!bench::WriteBigLists(small.Path(), records, {}, {0, 10, 0})) return 1;
  if (!bench::WriteBigLists(big.Path(), records, heldPaths, {})) return 1;
  DeleteSettingValues({L"Read", L"ChkBeep"});
  win::RegistrySettingsStore settings;
  settings.WriteSetting("OptAllowAll", "False");

  TickFigures figures[2];
  if (!MeasureTicks(small.Path(), ticks, figures[0]) || !MeasureTicks(big.Path(), ticks, figures[1])) return 1;
  int heldLeft = 0;
  for (const std::string& path : heldPaths) heldLeft += FileExists(win::Widen(path)) ? 1 : 0;

  const TickFigures& s = figures[0];
  const TickFigures& b = figures[1];
  std::printf("%d processes (100 helpers); %d of the big Trash Jar's files exist and cannot be deleted\n",
              b.processes, heldLeft);
  std::printf("%-40s %12s %12s\n", "", "short lists", "big lists");
  std::printf("%-40s %5zu/%zu/%zu %12s\n", "allowed/blocked/Trash Jar", s.allowed, s.blocked, s.trash,
              (std::to_string(b.allowed) + "/" + std::to_string(b.blocked) + "/" + std::to_string(b.trash)).c_str());
  const auto row = [](const char* label, double a, double c) { std::printf("%-40s %12.2f %12.2f\n", label, a, c); };
  row("load of the list files, ms", s.load, b.load);
  row("first tick (meets every program), ms", s.first, b.first);
  row("tick median, ms", s.median, b.median);
  row("tick max, ms", s.longest, b.longest);
  row("  judging pass per tick, ms", s.inspect, b.inspect);
  row("  process snapshots per tick, ms", s.snapshotMs, b.snapshotMs);
  row("  path reads per tick, ms", s.pathMs, b.pathMs);
  row("  path reads per tick", s.reads, b.reads);
  row("  Trash Jar existence tests per tick", s.existenceTests, b.existenceTests);
  row("  Trash Jar existence tests per tick, ms", s.existenceMs, b.existenceMs);
  row("termination pass alone (x2/tick), ms", s.terminate, b.terminate);
  row("  without its snapshot, ms", s.terminateOwn, b.terminateOwn);
  row("Trash Jar pass alone (x2/tick), ms", s.trashPass, b.trashPass);
  const double rest = b.median - b.snapshotMs - b.pathMs - b.existenceMs;
  std::printf("bigtick processes=%d allowed=%zu blocked=%zu trash=%zu median=%.2f max=%.2f small_median=%.2f "
              "small_max=%.2f first=%.2f inspect=%.2f terminate_own=%.2f trash_pass=%.2f existence_ms=%.2f "
              "snapshot_ms=%.2f path_ms=%.2f reads=%.1f rest=%.2f load=%.2f alerts=%d\n",
              b.processes, b.allowed, b.blocked, b.trash, b.median, b.longest, s.median, s.longest, b.first, b.inspect,
              b.terminateOwn, b.trashPass, b.existenceMs, b.snapshotMs, b.pathMs, b.reads, rest, b.load,
              s.alerts + b.alerts);
  return s.alerts + b.alerts == 0 ? 0 : 1;
}

HWND VisibleAlertOf(std::uint32_t processId) {
  for (HWND candidate : WindowsOf(processId, L"CorvaneAlert")) {
    if (::IsWindowVisible(candidate)) return candidate;
  }
  return nullptr;
}

int BenchAlert(int samples) {
  ScratchFolder folder;
  ScratchFolder elsewhere;
  if (folder.Path().empty() || elsewhere.Path().empty()) return 1;
  // No rizaz.exe beside it: the blocker is not part of this measurement.
  const std::wstring corvaneExe = folder.CopyIn(DistPath(L"Corvane.exe"), L"Corvane.exe");
  if (corvaneExe.empty()) return 1;
  DeleteSettingValues({L"Support", L"Read", L"OptAllowAll", L"ChkBeep", L"ChkDontShow"});
  // Only the programs started below are new.
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
    std::fprintf(stderr, "Corvane's main window did not appear (exit code %lu, windows %zu)\n", corvane.ExitCode(),
                 WindowsOf(corvane.Id(), L"CorvaneMain").size());
    return 1;
  }
  // Let its first ticks meet what already runs.
  ::Sleep(1500);

  std::vector<double> latencies;
  int missed = 0;
  for (int i = 0; i < samples; ++i) {
    wchar_t name[32];
    std::swprintf(name, 32, L"wbunknown%02d.exe", i);
    const std::wstring program = elsewhere.CopyIn(HelperPath(L"sleeper"), name);
    ChildProcess unknown;
    const double start = Now();
    if (!unknown.Start(program, L"60")) return 1;
    HWND alert = nullptr;
    WaitFor([&] { return (alert = VisibleAlertOf(corvane.Id())) != nullptr; }, 10000);
    if (alert == nullptr) {
      ++missed;
      continue;
    }
    latencies.push_back(Now() - start);
    if (HWND button = FindChild(alert, L"Block", nullptr)) ::PostMessageW(button, BM_CLICK, 0, 0);
    WaitFor([&] { return VisibleAlertOf(corvane.Id()) == nullptr; }, 10000);
    unknown.HasEnded(5000);
    // Starts land at different phases of the one-second tick.
    ::Sleep(static_cast<DWORD>(150 + (i * 373) % 900));
  }
  WriteSettingValue(L"Support", L"False");
  if (latencies.empty()) {
    std::printf("alert n=0 missed=%d\n", missed);
    return 1;
  }
  std::vector<double> sorted = latencies;
  std::sort(sorted.begin(), sorted.end());
  std::printf("alert n=%zu missed=%d median=%.0f p90=%.0f max=%.0f min=%.0f\n", sorted.size(), missed,
              Median(sorted), Percentile(sorted, 0.9), sorted.back(), sorted.front());
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"cycle") return BenchCycle(argc > 2 ? std::max(1, _wtoi(argv[2])) : 20);
  if (command == L"bigtick") return BenchBigTick(argc > 2 ? std::max(1, _wtoi(argv[2])) : 30);
  if (command == L"alert") return BenchAlert(argc > 2 ? std::max(1, _wtoi(argv[2])) : 12);
  std::fprintf(stderr, "usage: watch_bench cycle [ticks] | bigtick [ticks] | alert [samples]\n");
  return 2;
}
