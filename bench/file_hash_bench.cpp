// The check of allowed programs' files, for scripts/bench.sh: the real WatchCycle and
// NewProgramInspector with the file checks and their hashing thread, over the real process table and
// list files. A 200 MB allowed program is started (the helper program padded at its end), once as
// the file that was allowed and once replaced; printed: the time the user-interface thread spends on
// it (the tick that meets it, the handling of the look's answer, and for the replaced file the tick
// that asks about it), against the time the look takes on the worker and the processor time it
// costs. Then 100 small allowed programs are started within a second: the longest tick, and the
// processor time per start.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/win/handle.h"
#include "base/win/utf.h"
#include "bench/bench_clock.h"
#include "process/system_programs.h"
#include "process/win/process_table_win.h"
#include "store/lists.h"
#include "store/list_record.h"
#include "store/win/win32_list_file_system.h"
#include "tests/fakes/memory_settings.h"
#include "tests/support/child_process.h"
#include "tests/support/e2e_support.h"
#include "watch/allowed_file_checks.h"
#include "watch/new_program_decision.h"
#include "watch/watch_cycle.h"
#include "watch/win/file_hasher_win.h"
#include "watch/win/hash_worker_win.h"

namespace {

using namespace corvane;
using namespace corvane::testing;
using corvane::bench::Now;

constexpr std::uint64_t kProgramBytes = 200ull << 20;
constexpr double kTargetMs = 50.0;

class SilentSpeaker final : public Speaker {
 public:
  void Beep(std::uint32_t, std::uint32_t) override {}
};

class AllowingUi final : public watch::DecisionUi {
 public:
  watch::AlertDecision ShowAlert(const watch::AlertRequest& request) override {
    ++alerts;
    changed = changed || request.fileChanged;
    return watch::AlertDecision::Allow;
  }
  watch::ConfirmAnswer Confirm(std::string_view) override { return watch::ConfirmAnswer::No; }
  void Inform(std::string_view) override {}
  int alerts = 0;
  bool changed = false;
};

// The helper program, padded to kProgramBytes, so that it still runs.
bool MakeBigProgram(const std::wstring& path) {
  if (!::CopyFileW(HelperPath(L"sleeper").c_str(), path.c_str(), FALSE)) return false;
  corvane::win::UniqueFileHandle file(
      ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size) || !::SetFilePointerEx(file.get(), {}, nullptr, FILE_END)) return false;
  std::vector<char> chunk(1 << 20);
  for (std::size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<char>(i * 7);
  std::uint64_t left = kProgramBytes - static_cast<std::uint64_t>(size.QuadPart);
  while (left > 0) {
    const DWORD part = static_cast<DWORD>(std::min<std::uint64_t>(left, chunk.size()));
    DWORD written = 0;
    if (!::WriteFile(file.get(), chunk.data(), part, &written, nullptr) || written != part) return false;
    left -= part;
  }
  return true;
}

void Pump(const std::function<bool()>& done, DWORD guardMs = 120000) {
  const ULONGLONG until = ::GetTickCount64() + guardMs;
  while (!done() && ::GetTickCount64() < until) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
  }
}

// The processor time this process has used, in milliseconds.
double ProcessCpuMs() {
  FILETIME created{}, exited{}, kernel{}, user{};
  ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto ms = [](const FILETIME& t) {
    return static_cast<double>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

// The real judging of one program folder, with or without the file checks, once its allow list is
// written: the watch cycle, the inspector, the hashing thread and the checks it answers. onAnswer,
// if set, is told of each answer's handling time on this thread.
struct Judging {
  Judging(const std::wstring& folder, bool check)
      : lists(files, settings, corvane::win::Narrow(folder)),
        cycle(processes, settings, speaker, lists, files, true,
              {[this](const watch::RunningProcesses& now) { inspector.InspectNewPrograms(now); }, {}, {}}),
        inspector(lists, cycle.running(), settings, processes, speaker, ui,
                  {[](std::string_view name, std::string_view) { return IsWindowsProcess(name); }, {}}),
        worker([this](const std::string& p, const watch::ProcessIdentity& process, const watch::FileLook& look) {
          const double start = Now();
          fileChecks.OnLooked(p, process, look);
          if (onAnswer) onAnswer(start, Now() - start);
        }),
        fileChecks(lists, cycle.running(), worker, [] { return std::string("2026-12-09"); }) {
    lists.Load();
    if (check) inspector.AttachFileChecks(&fileChecks);
  }
  // Ticks once, then waits for every look asked for.
  void TickAndSettle() {
    cycle.Tick();
    Pump([&] { return fileChecks.pending() == 0; });
  }

  MemorySettings settings;
  corvane::win::Win32ListFileSystem files;
  Lists lists;
  corvane::win::Win32ProcessTable processes;
  SilentSpeaker speaker;
  AllowingUi ui;
  watch::WatchCycle cycle;
  watch::NewProgramInspector inspector;
  std::function<void(double at, double ms)> onAnswer;
  watch::win::HashWorker worker;
  watch::AllowedFileChecks fileChecks;
};

struct Figures {
  double meetTick = 0;
  double answer = 0;
  double askTick = 0;
  double hashWall = 0;
  double lookCpu = 0;  // the process's processor time from the meeting tick to the answer
  int alerts = 0;
  bool changedLine = false;
};

// One run: the big program allowed with storedHash, started, met, hashed, and (when replaced) asked
// about at the next tick.
bool Run(const std::wstring& folder, const std::wstring& program, const std::string& storedHash, Figures& out) {
  std::vector<std::string> records = RunningProgramRecords();
  const std::string path = corvane::win::Narrow(program);
  records.push_back(ProgramRecord(path, "cvbig.exe", {storedHash, "2026-03-04"}));
  if (!WriteListFile(folder + L"\\midmo.ocx", records)) return false;

  Judging judging(folder, true);
  double answerMs = 0;
  double answeredAt = 0;
  judging.onAnswer = [&](double at, double ms) {
    answerMs += ms;
    answeredAt = at;
  };
  watch::AllowedFileChecks& fileChecks = judging.fileChecks;
  watch::WatchCycle& cycle = judging.cycle;
  // Everything else met and looked at first.
  judging.TickAndSettle();
  answerMs = 0;

  ChildProcess big;
  if (!big.Start(program, L"120") || !big.WaitUntilListed()) return false;
  const double cpuBefore = ProcessCpuMs();
  double start = Now();
  cycle.Tick();
  out.meetTick = Now() - start;
  Pump([&] { return fileChecks.pending() == 0; });
  out.lookCpu = ProcessCpuMs() - cpuBefore;
  out.hashWall = answeredAt - start;
  out.answer = answerMs;
  start = Now();
  cycle.Tick();
  out.askTick = Now() - start;
  out.alerts = judging.ui.alerts;
  out.changedLine = judging.ui.changed;
  return true;
}

struct ManyFigures {
  double longestTick = 0;
  double cpuPerStart = 0;
  int alerts = 0;
};

// 100 small allowed programs started within one second while the cycle ticks every 100 ms; without
// the file checks (check false) for the cycle's own cost of meeting them.
bool RunMany(const std::wstring& folder, const std::string& helperHash, bool check, ManyFigures& out) {
  constexpr int kPrograms = 100;
  std::vector<std::string> records = RunningProgramRecords();
  std::vector<std::wstring> programs;
  for (int i = 0; i < kPrograms; ++i) {
    const std::wstring name = L"cvsmall" + std::to_wstring(i) + L".exe";
    const std::wstring path = folder + L"\\" + name;
    if (!::CopyFileW(HelperPath(L"sleeper").c_str(), path.c_str(), FALSE)) return false;
    programs.push_back(path);
    records.push_back(ProgramRecord(corvane::win::Narrow(path), corvane::win::Narrow(name), {helperHash, "2026-03-04"}));
  }
  if (!WriteListFile(folder + L"\\midmo.ocx", records)) return false;
  Judging judging(folder, check);
  watch::AllowedFileChecks& fileChecks = judging.fileChecks;
  watch::WatchCycle& cycle = judging.cycle;
  judging.TickAndSettle();

  const double cpuBefore = ProcessCpuMs();
  std::vector<ChildProcess> started(kPrograms);
  const double begin = Now();
  double nextTick = begin;
  for (int i = 0; i < kPrograms; ++i) {
    if (!started[static_cast<std::size_t>(i)].Start(programs[static_cast<std::size_t>(i)], L"60")) return false;
    // Spread over one second, with the watch's ticks among them.
    while (Now() - begin < 10.0 * (i + 1)) {
      if (Now() >= nextTick) {
        const double tickStart = Now();
        cycle.Tick();
        out.longestTick = std::max(out.longestTick, Now() - tickStart);
        nextTick = tickStart + 100;
      }
      Pump([] { return false; }, 1);
    }
  }
  for (int i = 0; i < 5; ++i) {
    const double tickStart = Now();
    cycle.Tick();
    out.longestTick = std::max(out.longestTick, Now() - tickStart);
    Pump([&] { return fileChecks.pending() == 0; }, 100);
  }
  Pump([&] { return fileChecks.pending() == 0; });
  out.cpuPerStart = (ProcessCpuMs() - cpuBefore) / kPrograms;
  out.alerts = judging.ui.alerts;
  return true;
}

}  // namespace

int wmain() {
  ScratchFolder folder;
  if (folder.Path().empty()) return 1;
  const std::wstring program = folder.Path() + L"\\cvbig.exe";
  if (!MakeBigProgram(program)) {
    std::fprintf(stderr, "could not make the 200 MB program\n");
    return 1;
  }
  watch::win::Win32FileHasher hasher;
  const double start = Now();
  const std::string hash = hasher.LookAtFile(corvane::win::Narrow(program), {}, std::nullopt).sha256.value_or("");
  const double onCaller = Now() - start;
  if (hash.empty()) return 1;

  Figures same;
  Figures replaced;
  if (!Run(folder.Path(), program, hash, same)) return 1;
  if (!Run(folder.Path(), program, std::string(64, 'a'), replaced)) return 1;
  const double sameUi = same.meetTick + same.answer;
  const double replacedUi = replaced.meetTick + replaced.answer + replaced.askTick;
  ScratchFolder smallFolder;
  ManyFigures many;
  ManyFigures unchecked;
  if (smallFolder.Path().empty()) return 1;
  const std::string helperHash =
      hasher.LookAtFile(corvane::win::Narrow(HelperPath(L"sleeper")), {}, std::nullopt).sha256.value_or("");
  if (!RunMany(smallFolder.Path(), helperHash, false, unchecked)) return 1;
  if (!RunMany(smallFolder.Path(), helperHash, true, many)) return 1;
  std::printf("%-10s %12s %12s %12s %12s %14s %12s %7s\n", "file", "meet tick ms", "answer ms", "ask tick ms",
              "ui total ms", "look wall ms", "look cpu ms", "alerts");
  std::printf("%-10s %12.2f %12.2f %12.2f %12.2f %14.1f %12.1f %7d\n", "same", same.meetTick, same.answer,
              same.askTick, sameUi, same.hashWall, same.lookCpu, same.alerts);
  std::printf("%-10s %12.2f %12.2f %12.2f %12.2f %14.1f %12.1f %7d\n", "replaced", replaced.meetTick,
              replaced.answer, replaced.askTick, replacedUi, replaced.hashWall, replaced.lookCpu, replaced.alerts);
  std::printf("100 small allowed programs started in 1 s: longest tick %.2f ms (%.2f ms without the checks), "
              "processor time %.2f ms per start (%.2f without), %d alerts\n",
              many.longestTick, unchecked.longestTick, many.cpuPerStart, unchecked.cpuPerStart, many.alerts);
  // The checks' share of the longest tick: starting 100 programs at once costs the cycle itself time.
  const double checksTick = many.longestTick - unchecked.longestTick;
  const bool met = sameUi <= kTargetMs && replacedUi <= kTargetMs && checksTick <= kTargetMs &&
                   same.alerts == 0 && replaced.alerts == 1 && replaced.changedLine && many.alerts == 0;
  std::printf("filehash size_mb=200 hash_on_one_thread_ms=%.1f same_ui_ms=%.2f replaced_ui_ms=%.2f "
              "big_look_cpu_ms=%.1f small_longest_tick_ms=%.2f small_unchecked_tick_ms=%.2f "
              "small_cpu_per_start_ms=%.2f small_unchecked_cpu_per_start_ms=%.2f target_ms=%.0f result=%s\n",
              onCaller, sameUi, replacedUi, same.lookCpu, many.longestTick, unchecked.longestTick, many.cpuPerStart,
              unchecked.cpuPerStart, kTargetMs,
              met ? "MET" : "NOT MET");
  return met ? 0 : 3;
}
