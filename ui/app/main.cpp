// Corvane.exe: splash, main window, tray icon and the watch cycle.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "base/command_line.h"
#include "base/win/app_dir.h"
#include "base/win/single_instance.h"
#include "base/win/utf.h"
#include "process/system_programs.h"
#include "process/win/file_facts_win.h"
#include "process/win/process_table_win.h"
#include "process/win/speaker_win.h"
#include "process/win/system_folders.h"
#include "store/list_files.h"
#include "store/win/registry_settings.h"
#include "store/win/win32_list_file_system.h"
#include "ui/main_controller.h"
#include "ui/win/details_window.h"
#include "ui/win/main_window.h"
#include "ui/win/shell_win.h"
#include "ui/win/process_facts_win.h"
#include "ui/win/splash_window.h"
#include "ui/win/window_decision_ui.h"
#include "watch/new_program_decision.h"
#include "watch/watch_cycle.h"

namespace {

// A 64-bit program runs only on the NT family, where the watch cycle judges and terminates.
constexpr bool kNtFamily = true;

int Run() {
  using namespace corvane;
  // One Corvane per user session: a second start (the Run entry's and the user's, say) shows the
  // running one's window instead, and ends before it has touched anything.
  const win::SingleInstance instance(ui::win::kMainInstanceName);
  if (!instance.IsFirst()) {
    ui::win::BringRunningInstanceForward();
    return 0;
  }
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                                                      ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&controls);

  const std::string argumentText(ArgumentText(win::Narrow(::GetCommandLineW())));
  const std::string directory = win::ProgramDirectory();

  win::RegistrySettingsStore settings;
  win::Win32ListFileSystem files;
  ListFileStore lists(files, settings, directory);
  win::Win32ProcessTable processes;
  win::Win32Speaker speaker;
  watch::WatchCycle watch(processes, settings, speaker, lists, files, kNtFamily);
  ui::win::Win32Shell shell;
  ui::win::MainWindow window;
  ui::MainController controller(window, settings, lists, files, shell, watch, directory);
  window.SetController(&controller);
  window.showDetails = [&](HWND owner, std::string_view path, std::string_view name) {
    ui::win::ShowProcessDetails(owner, path, name, processes);
  };

  ui::win::Win32ProcessFacts facts;
  ui::win::WindowDecisionUi decisionUi(nullptr, facts);
  // A protected name passes without a question only from the folder it belongs in.
  const ProtectedFolders protectedFolders{win::GetSystemFolder(), win::GetSystemWow64Folder(),
                                          win::GetWindowsFolder(), directory};
  watch::NewProgramInspector inspector(
      lists, watch.running(), settings, processes, speaker, decisionUi,
      {[&](std::string_view, std::string_view path) { return IsWindowsProcessInPlace(path, protectedFolders); },
       [](std::string_view path) { return win::IsMicrosoftFile(path); }});
  inspector.showRunningCount = [&](int lastIndex) { controller.ShowRunningCount(lastIndex); };
  inspector.listsChanged = [&] { controller.OnListsChanged(); };
  inspector.closing = [&] { return controller.closing() || decisionUi.ProgramEnding(); };
  watch.inspectNewPrograms = [&](const watch::RunningProcesses& now, int lastIndex) {
    inspector.InspectNewPrograms(now, lastIndex);
  };
  watch.runningListChanged = [&] { controller.OnListsChanged(); };

  ui::win::SplashWindow splash;
  window.SetSplash(&splash);
  const bool started = splash.Create([&] {
    if (!window.Create()) {
      ::PostQuitMessage(1);
      return;
    }
    shell.SetOwner(window.Hwnd());
    decisionUi.SetOwner(window.Hwnd());
    controller.Load();
    window.ShowMainWindow();
    controller.AfterLoad(argumentText);
  });
  if (!started) return 1;

  MSG message{};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (window.Hwnd() != nullptr && ::IsDialogMessageW(window.Hwnd(), &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  try {
    return Run();
  } catch (...) {
    return 1;
  }
}
