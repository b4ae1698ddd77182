#include "ui/app/corvane_app.h"

#include <windows.h>
#include <commctrl.h>

#include "base/command_line.h"
#include "base/win/app_dir.h"
#include "hotkeys/launch_hotkeys.h"
#include "hotkeys/system_hotkeys.h"
#include "hotkeys/win/countdown_window.h"
#include "hotkeys/win/hot_keys_window.h"
#include "hotkeys/win/system_win.h"
#include "process/system_programs.h"
#include "process/win/file_facts_win.h"
#include "process/win/debug_holder_win.h"
#include "process/win/process_holder_win.h"
#include "process/win/process_table_win.h"
#include "process/win/speaker_win.h"
#include "process/win/system_folders.h"
#include "store/lists.h"
#include "store/win/registry_settings.h"
#include "store/win/win32_list_file_system.h"
#include "ui/main_controller.h"
#include "ui/win/details_window.h"
#include "ui/win/file_chooser_win.h"
#include "ui/win/main_window.h"
#include "gui/win/message_boxes.h"
#include "ui/win/process_facts_win.h"
#include "ui/win/shell_win.h"
#include "ui/win/splash_window.h"
#include "ui/win/startup_entry_win.h"
#include "ui/win/window_decision_ui.h"
#include "store/list_record.h"
#include "watch/allowed_file_checks.h"
#include "watch/new_program_decision.h"
#include "watch/program_holds.h"
#include "watch/watch_cycle.h"
#include "watch/win/hash_worker_win.h"
#include "web/site.h"
#include "web/win/browser_shell_win.h"

namespace corvane::ui::win {

namespace {
// A 64-bit program runs only on the NT family, where the watch cycle judges and terminates.
constexpr bool kNtFamily = true;

// The day an allowance records with its file's hash.
std::string Today() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  return FingerprintDay(now.wYear, now.wMonth, now.wDay);
}

// The launch-hotkey poll on the main window's timer, opening through the shell.
class LaunchOnMainWindow final : public hotkeys::LaunchHost {
 public:
  LaunchOnMainWindow(MainWindow& window, MainController& controller, Shell& shell)
      : window_(window), controller_(controller), shell_(shell) {}
  void SetPollTimer(bool on) override { window_.SetTimerEnabled(MainTimer::HotKeys, on && !controller_.closing()); }
  void After(int milliseconds, std::function<void()> then) override { window_.After(milliseconds, std::move(then)); }
  void OpenFile(std::string_view target, std::string_view workingDirectory) override {
    if (!controller_.closing()) shell_.Open(target, "", workingDirectory);
  }

 private:
  MainWindow& window_;
  MainController& controller_;
  Shell& shell_;
};
}  // namespace

// The parts in the order they need each other. The hooks reach parts declared further down; they
// run only once the message loop does, when every part is there.
class CorvaneApp::Program {
 public:
  Program() = default;
  // However the program ends its loop, nothing it held stays frozen.
  ~Program() { holds_.ReleaseAll(); }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  // Shows the splash, which hands over to the main window and the load. False when it cannot.
  bool Start(const std::string& argumentText) {
    // What a run that was killed left held goes again first.
    holds_.ResumeLeftOver();
    controller_.AttachOptions(options_);
    inspector_.AttachFileChecks(&fileChecks_);
    controller_.movedToAllowList = [this](std::string_view name, std::string_view path) {
      fileChecks_.RecordAllowed(std::string(name), std::string(path));
    };
    controller_.AttachSystemHotkeys(systemHotkeys_);
    controller_.hotKeysTick = [this] { launchPoll_.OnTick(); };
    controller_.openSitePage = [this](std::string_view path) { web::win::OpenSitePage(window_.Hwnd(), path); };
    const std::string server = web::AdvertServer(settings_.ReadSetting(web::kAdvertServerSetting, ""));
    web::win::AdvertPanelOptions adverts;
    adverts.listAddress = server + std::string(web::kAdvertListPath);
    adverts.placeholderAddress = server + std::string(web::kOtherProductPath);
    window_.EnableAdverts(std::move(adverts));
    controller_.showHotKeys = [this] {
      hotkeys::win::FrmHotKey::Show(window_.Hwnd(), lists_, files_, systemHotkeys_.Letter(hotkeys::SystemHotkey::ShutDown),
                                    systemHotkeys_.Letter(hotkeys::SystemHotkey::Restart));
    };
    return splash_.Create([this, argumentText] {
      if (!window_.Create(controller_)) {
        ::PostQuitMessage(1);
        return;
      }
      shell_.SetOwner(window_.Hwnd());
      decisionUi_.SetOwner(window_.Hwnd());
      dialogs_.SetOwner(window_.Hwnd());
      countdown_.SetOwner(window_.Hwnd());
      chooser_.SetOwner(window_.Hwnd());
      controller_.ConnectListOperations({dialogs_, chooser_, processes_, speaker_});
      controller_.Load();
      window_.ShowMainWindow();
      controller_.AfterLoad(argumentText);
    });
  }

  HWND MainWindowHandle() const { return window_.Hwnd(); }

 private:
  const std::string directory_ = corvane::win::ProgramDirectory();
  corvane::win::RegistrySettingsStore settings_;
  corvane::win::Win32ListFileSystem files_;
  Lists lists_{files_, settings_, directory_};
  corvane::win::Win32ProcessTable processes_;
  corvane::win::Win32Speaker speaker_;
  watch::WatchCycle watch_{processes_,
                           settings_,
                           speaker_,
                           lists_,
                           files_,
                           kNtFamily,
                           {[this](const watch::RunningProcesses& now) { inspector_.InspectNewPrograms(now); },
                            [this] { hotkeyStep_.Run(); },
                            [this] { controller_.OnListsChanged(); }}};
  Win32Shell shell_;
  SplashWindow splash_;
  MainWindow window_{&splash_, [this](HWND owner, std::string_view path, std::string_view name) {
                       ShowProcessDetails(owner, path, name, processes_);
                     }};
  MainController controller_{window_, settings_, lists_, files_, shell_, watch_, directory_};
  Win32StartupEntry startup_;
  OptionsModel options_{settings_, watch_.running(), startup_, directory_};
  // The messages and the file chooser of the list operations and the hotkeys, owned by the main
  // window once it exists.
  gui::win::WindowDialogs dialogs_;
  Win32FileChooser chooser_;
  // The shutdown and restart hotkeys, and the launch hotkeys' poll over the program's copy of them.
  hotkeys::SystemHotkeys systemHotkeys_{settings_, lists_.hotKeys(), dialogs_};
  hotkeys::win::Win32KeyboardState keyboard_;
  hotkeys::win::Win32PowerControl power_;
  hotkeys::win::WindowCountdown countdown_;
  hotkeys::HotkeyStep hotkeyStep_{settings_, systemHotkeys_, keyboard_, countdown_, power_,
                                  [this] { controller_.EndForPowerOff(); }};
  LaunchOnMainWindow launchHost_{window_, controller_, shell_};
  hotkeys::LaunchHotkeyPoll launchPoll_{lists_.hotKeys(), keyboard_, launchHost_};
  Win32ProcessFacts facts_;
  // Owned by the main window once it exists.
  WindowDecisionUi decisionUi_{nullptr, facts_};
  // A protected name passes without a question only from the folder it belongs in.
  const ProtectedFolders protectedFolders_{corvane::win::GetSystemFolder(), corvane::win::GetSystemWow64Folder(),
                                           corvane::win::GetWindowsFolder(), directory_};
  // Programs held while the user decides about them, as their debugger; what an earlier version
  // left suspended is resumed thread by thread.
  corvane::win::Win32DebugHolder holder_;
  corvane::win::Win32ProcessHolder leftovers_;
  watch::ProgramHolds holds_{settings_, holder_, leftovers_};
  watch::AlertHolds alertHolds_{holds_, settings_, processes_, ::GetCurrentProcessId(), protectedFolders_};
  watch::NewProgramInspector inspector_{
      lists_,
      watch_.running(),
      settings_,
      processes_,
      speaker_,
      decisionUi_,
      {[this](std::string_view, std::string_view path) { return IsWindowsProcessInPlace(path, protectedFolders_); },
       [](std::string_view path) { return corvane::win::IsMicrosoftFile(path); }},
      {[this](std::size_t listed) { controller_.ShowRunningCount(listed); },
       [this] { controller_.OnListsChanged(); },
       [this] { return controller_.closing() || decisionUi_.ProgramEnding(); },
       [this](std::uint32_t processId, std::string_view path, bool startedSinceLastLook) {
         return alertHolds_.Hold(processId, path, startedSinceLastLook);
       },
       [this](std::uint32_t processId, bool end) { alertHolds_.LetGo(processId, end); }}};
  // Allowed programs against the files that were allowed: hashed on the worker's thread, answered
  // on this one through its messages. Closing drops the answers not delivered, so nothing reaches
  // the checks once they are gone.
  watch::win::HashWorker hashWorker_{
      [this](const std::string& path, const watch::ProcessIdentity& process, const watch::FileLook& look) {
        fileChecks_.OnLooked(path, process, look);
      }};
  watch::AllowedFileChecks fileChecks_{lists_, watch_.running(), hashWorker_, &Today,
                                       [this] { controller_.OnListsChanged(); }};
};

CorvaneApp::CorvaneApp(std::string_view commandLine)
    : instance_(kMainInstanceName), argumentText_(ArgumentText(commandLine)) {}

CorvaneApp::~CorvaneApp() = default;

int CorvaneApp::Run() {
  if (!instance_.IsFirst()) {
    BringRunningInstanceForward();
    return 0;
  }
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES |
                                                      ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&controls);

  program_ = std::make_unique<Program>();
  if (!program_->Start(argumentText_)) return 1;

  MSG message{};
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    const HWND main = program_->MainWindowHandle();
    if (main != nullptr && ::IsDialogMessageW(main, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

}  // namespace corvane::ui::win
