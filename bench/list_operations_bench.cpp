// Times the list operations of the main window on long lists: 5,000 allowed and 5,000 blocked
// programs, 500 Trash Jar paths, the list files on the disk. Each operation runs synchronously on the
// calling thread, so its wall time is the user-interface thread's time (the list controls' own row
// updates are not included). Prints one line per operation and whether the slowest run stays
// under the target.
//   list_operations_bench [runs]        (default 15 runs per operation)
// Portable apart from the file layer: the program's own Win32 file layer where it is built for
// Windows, standard file streams elsewhere.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "store/list_files.h"
#include "store/lists.h"
#include "tests/fakes/fake_process_table.h"
#include "tests/fakes/fake_speaker.h"
#include "tests/fakes/memory_settings.h"
#include "ui/list_operations.h"
#include "watch/watch_cycle.h"

#ifdef _WIN32
#include "store/win/win32_list_file_system.h"
using BenchFileSystem = corvane::win::Win32ListFileSystem;
#else
// Paths come as Windows paths from the store ("dir\file"); this layer maps the backslash.
class BenchFileSystem final : public corvane::ListFileSystem {
 public:
  bool VisibleFileExists(std::string_view path) override { return std::filesystem::is_regular_file(Local(path)); }
  bool AnyFileExists(std::string_view path) override { return VisibleFileExists(path); }
  bool ReadWholeFile(std::string_view path, std::size_t maxBytes, std::string& content) override {
    std::ifstream in(Local(path), std::ios::binary);
    content.assign(std::istreambuf_iterator<char>(in), {});
    if (content.size() > maxBytes) content.resize(maxBytes);
    return static_cast<bool>(in) || in.eof();
  }
  bool AppendLine(std::string_view path, std::string_view line) override {
    std::ofstream out(Local(path), std::ios::binary | std::ios::app);
    out << line << "\r\n";
    return static_cast<bool>(out);
  }
  bool ReplaceContent(std::string_view path, std::string_view content) override {
    const std::string temp = Local(path) + ".tmp";
    {
      std::ofstream out(temp, std::ios::binary | std::ios::trunc);
      out << content;
      out.flush();
      if (!out) return false;
    }
    std::error_code error;
    std::filesystem::rename(temp, Local(path), error);
    return !error;
  }
  bool RemoveFile(std::string_view path) override {
    std::error_code error;
    std::filesystem::remove(Local(path), error);
    return !VisibleFileExists(path);
  }
  bool RemoveFileEvenIfReadOnly(std::string_view path) override { return RemoveFile(path); }

 private:
  static std::string Local(std::string_view path) {
    std::string local(path);
    std::replace(local.begin(), local.end(), '\\', '/');
    return local;
  }
};
#endif

namespace {

using namespace corvane;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kProgramEntries = 5000;
constexpr std::size_t kTrashJarEntries = 500;
constexpr std::size_t kRunningEntries = 100;
constexpr double kTargetMs = 200.0;

class AlwaysOk final : public gui::Dialogs {
 public:
  bool Confirm(std::string_view) override { return true; }
  void Inform(std::string_view) override {}
};

class NextFile final : public ui::FileChooser {
 public:
  std::optional<std::string> ChooseFileToOpen(std::string_view) override {
    return "C:\\bench\\added" + std::to_string(count++) + ".txt";
  }
  int count = 0;
};

// The main window's side: keeps the rows in line, selects the entry the next run acts on.
class BenchHost final : public ui::ListOperationsHost {
 public:
  BenchHost(ui::ListPanelsModel& panels, watch::WatchCycle& watch) : panels_(panels), watch_(watch) {}
  void TerminateProgramByName(std::string_view) override {}
  void EmptyTrashJar() override { watch_.EmptyTrashJar(); }
  void ListsChanged() override {
    for (const ui::Panel panel : {ui::Panel::Running, ui::Panel::Blocked, ui::Panel::Allowed, ui::Panel::TrashJar}) {
      panels_.Update(panel);
    }
  }
  void SetCounter(ui::Panel, std::size_t) override {}
  void ResetPanelButtons(ui::Panel) override {}
  void SetWatchTimer(bool) override {}
  void SetBusyCursor(bool) override {}
  void ShowDetails(std::string_view, std::string_view) override {}
  bool Closing() const override { return false; }

 private:
  ui::ListPanelsModel& panels_;
  watch::WatchCycle& watch_;
};

std::string NameOf(const std::string& path) { return path.substr(path.rfind('\\') + 1); }

struct Figures {
  double median = 0;
  double max = 0;
};

Figures Summarise(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return {times[times.size() / 2], times.back()};
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "corvane_operations_bench";
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  std::filesystem::create_directories(folder / "apps");
  std::string directory = folder.string();
#ifndef _WIN32
  std::replace(directory.begin(), directory.end(), '/', '\\');
#endif
  const auto program = [&directory](const char* kind, std::size_t i) {
    return directory + "\\apps\\" + kind + std::to_string(i) + ".exe";
  };

  BenchFileSystem files;
  testing::MemorySettings settings;
  testing::FakeProcessTable processes;
  testing::FakeSpeaker speaker;
  {
    // The files as years of use left them.
    ListFileStore earlier(files, settings, directory);
    for (std::size_t i = 0; i < kProgramEntries; ++i) {
      const std::string allowed = program("allowed", i);
      const std::string blocked = program("blocked", i);
      earlier.allowList().push_back({NameOf(allowed), allowed});
      earlier.blockList().push_back({NameOf(blocked), blocked});
    }
    // Files that are gone already: the emptying looks for every one of them.
    for (std::size_t i = 0; i < kTrashJarEntries; ++i) earlier.trashJar().push_back(program("gone", i));
    earlier.RewriteListFile(ListKind::Allow);
    earlier.RewriteListFile(ListKind::Block);
    earlier.RewriteListFile(ListKind::TrashJar);
  }
  Lists lists(files, settings, directory);
  lists.Load();
  watch::WatchCycle watch(processes, settings, speaker, lists, files, true);
  for (std::size_t i = 0; i < kRunningEntries; ++i) {
    const std::string path = program("running", i);
    watch.running().Add({NameOf(path), path});
  }

  ui::ListPanelsModel panels({lists.allowList(), lists.blockList(), lists.trashJar(), watch.running()});
  BenchHost host(panels, watch);
  // As the main window's controller: the panels follow every change of the lists.
  lists.AddListener([&host](ListSet) { host.ListsChanged(); });
  AlwaysOk dialogs;
  NextFile chooser;
  ui::ListOperations ops(lists, watch.running(), panels, dialogs, chooser, host);

  // Selects the row in the middle of the panel (or the given one), as the user would.
  const auto select = [&](ui::Panel panel, std::size_t row) {
    host.ListsChanged();
    for (const std::size_t selected : panels.SelectedRows(panel)) panels.SetSelected(panel, selected, false);
    panels.SetSelected(panel, row, true);
  };
  const auto middle = [&](ui::Panel panel) { return panels.RowCount(panel) / 2; };
  std::size_t extra = 0;
  // A program that runs now, for the moves from the running panel.
  const auto newRunning = [&] {
    const std::string path = program("started", extra++);
    watch.running().Add({NameOf(path), path});
    files.AppendLine(path, "MZ");
    select(ui::Panel::Running, watch.running().size() - 1);
  };

  bool met = true;
  const auto measure = [&](const char* name, int count, const std::function<void()>& prepare,
                           const std::function<void()>& operation) {
    std::vector<double> times;
    for (int run = 0; run < count; ++run) {
      prepare();
      const auto start = Clock::now();
      operation();
      times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    const Figures figures = Summarise(times);
    met = met && figures.max < kTargetMs;
    std::printf("operation %-22s runs=%d median=%.2f max=%.2f ms allowed=%zu blocked=%zu trash=%zu\n", name, count,
                figures.median, figures.max, lists.allowList().size(), lists.blockList().size(),
                lists.trashJar().size());
  };

  measure("allowed->block", runs, [&] { select(ui::Panel::Allowed, middle(ui::Panel::Allowed)); },
          [&] { ops.Run(ui::PanelCommand::AllowedToBlockList); });
  measure("blocked->allow", runs, [&] { select(ui::Panel::Blocked, middle(ui::Panel::Blocked)); },
          [&] { ops.Run(ui::PanelCommand::BlockedToAllowList); });
  measure("remove-allowed", runs, [&] { select(ui::Panel::Allowed, middle(ui::Panel::Allowed)); },
          [&] { ops.Run(ui::PanelCommand::RemoveAllowed); });
  measure("remove-blocked", runs, [&] { select(ui::Panel::Blocked, middle(ui::Panel::Blocked)); },
          [&] { ops.Run(ui::PanelCommand::RemoveBlocked); });
  measure("allowed->trash", runs,
          [&] {
            const std::size_t row = middle(ui::Panel::Allowed);
            files.AppendLine(lists.allowList()[row].path, "MZ");
            select(ui::Panel::Allowed, row);
          },
          [&] { ops.Run(ui::PanelCommand::AllowedToTrashJar); });
  measure("blocked->trash", runs,
          [&] {
            const std::size_t row = middle(ui::Panel::Blocked);
            files.AppendLine(lists.blockList()[row].path, "MZ");
            select(ui::Panel::Blocked, row);
          },
          [&] { ops.Run(ui::PanelCommand::BlockedToTrashJar); });
  measure("running->block", runs, newRunning, [&] { ops.Run(ui::PanelCommand::RunningToBlockList); });
  measure("running->trash", runs, newRunning, [&] { ops.Run(ui::PanelCommand::RunningToTrashJar); });
  measure("trash-add", runs, [] {}, [&] { ops.Run(ui::PanelCommand::AddToTrashJar); });
  measure("remove-trash", runs, [&] { select(ui::Panel::TrashJar, middle(ui::Panel::TrashJar)); },
          [&] { ops.Run(ui::PanelCommand::RemoveFromTrashJar); });
  measure("clear-allowed", 1, [] {}, [&] { ops.Run(ui::PanelCommand::ClearAllowed); });
  measure("clear-blocked", 1, [] {}, [&] { ops.Run(ui::PanelCommand::ClearBlocked); });
  measure("clear-trash", 1, [] {}, [&] { ops.Run(ui::PanelCommand::ClearTrashJar); });

  std::printf("target every operation under %.0f ms: %s\n", kTargetMs, met ? "met" : "MISSED");
  std::filesystem::remove_all(folder, ignored);
  return met ? 0 : 1;
}
