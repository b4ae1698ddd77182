#include "rizaz/win/blocker_app.h"

#include <chrono>
#include <memory>

#include "base/win/app_dir.h"
#include "base/win/handle.h"
#include "base/win/single_instance.h"
#include "base/win/utf.h"
#include "base/win/window_base.h"
#include "process/speaker.h"
#include "process/win/gated_process_table.h"
#include "process/win/process_holder_win.h"
#include "process/win/process_table_win.h"
#include "process/win/speaker_win.h"
#include "rizaz/block_cycle.h"
#include "rizaz/cached_settings.h"
#include "rizaz/left_holds.h"
#include "rizaz/popup.h"
#include "rizaz/win/list_file_win.h"
#include "rizaz/win/popup_window.h"
#include "store/win/registry_settings.h"

namespace corvane::win {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kBlockInterval{10};
// Values are re-read at least this often even without a change signal, in case the settings key
// was deleted and made anew under the watch.
constexpr milliseconds kSettingsRefresh{1000};
// How soon programs held by a main program that was killed go again.
constexpr milliseconds kHoldsCheck{250};

// The hidden main window. It is never shown and has no title, so it appears in no task list; it is
// top-level (not message-only) because only top-level windows hear that the session is ending.
class MainWindow final : public WindowBase<MainWindow> {
 public:
  static const wchar_t* ClassName() { return kBlockerMainClassName; }
  static UINT ClassStyle() { return 0; }

  bool Create() { return CreateWindowOf(WS_EX_TOOLWINDOW, L"", WS_POPUP, 0, 0, 6, 6, nullptr); }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_ENDSESSION:
        if (wParam) ::DestroyWindow(Hwnd());
        return 0;
      case WM_CLOSE:
        ::DestroyWindow(Hwnd());
        return 0;
      case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
      default:
        return WindowBase::HandleMessage(message, wParam, lParam);
    }
  }
};

class Notifier final : public rizaz::BlockNotifier {
 public:
  explicit Notifier(rizaz::PopupController& popup) : popup_(popup) {}
  void Beep() override { speaker_.Beep(kTerminationBeepHz, kTerminationBeepMs); }
  void ShowBlocked(const std::string& name) override { popup_.Show(name); }

 private:
  rizaz::PopupController& popup_;
  Win32Speaker speaker_;
};

class Blocker {
 public:
  explicit Blocker(HWND owner)
      : listFile_(Widen(ProgramDirectory()) + L"\\" + kBlockListFileName),
        popupWindow_(owner),
        popup_(popupWindow_, settings_),
        notifier_(popup_),
        cycle_(gatedProcesses_, settings_, listFile_, notifier_) {
    popupWindow_.SetController(&popup_);
  }
  ~Blocker() { popupWindow_.SetController(nullptr); }

  int Run();

 private:
  // Arms the one-shot change signal; without it every read goes to the registry.
  void Watch() {
    watching_ = changed_ && registry_.NotifyOnChange(changed_.get());
    settings_.SetCaching(watching_);
  }
  void Refresh(Clock::time_point now) {
    settings_.Invalidate();
    nextRefresh_ = now + kSettingsRefresh;
  }
  // Runs the window messages waiting; false once the hidden window has been closed.
  bool PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return false;
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
    return true;
  }

  // Resumes what a main program that no longer runs left held.
  void ResumeLeftHolds() {
    rizaz::ResumeHoldsOfEndedMain(settings_, holder_, [] { return IsInstanceRunning(kMainInstanceName); });
  }

  Win32ProcessTable processes_;
  Win32ProcessHolder holder_;
  ChangeGatedProcessTable gatedProcesses_{processes_};
  RegistrySettingsStore registry_;
  rizaz::CachedSettings settings_{registry_};
  Win32ListFileReader listFile_;
  PopupWindow popupWindow_;
  rizaz::PopupController popup_;
  Notifier notifier_;
  rizaz::BlockCycle cycle_;
  UniqueHandle changed_{::CreateEventW(nullptr, FALSE, FALSE, nullptr)};
  bool watching_ = false;
  Clock::time_point nextRefresh_{};
  Clock::time_point nextHoldsCheck_{};
};

int Blocker::Run() {
  // Watch first, so that no change made from here on can be missed.
  Watch();
  Refresh(Clock::now());
  cycle_.Start();
  // The block timer: the next tick comes 10 ms after the previous one has finished its work.
  Clock::time_point nextTick = Clock::now() + kBlockInterval;
  for (;;) {
    const auto now = Clock::now();
    const auto wait = std::chrono::ceil<milliseconds>(std::max(nextTick - now, Clock::duration::zero()));
    HANDLE handles[1] = {changed_.get()};
    const DWORD count = changed_ ? 1 : 0;
    const DWORD woke = ::MsgWaitForMultipleObjectsEx(count, handles, static_cast<DWORD>(wait.count()), QS_ALLINPUT,
                                                     MWMO_INPUTAVAILABLE);
    // A signalled event wins over waiting input and over the time-out, and waking on it resets it:
    // a change is honoured before the next tick reads anything. The watch is armed again before
    // the values are dropped, so a change in between is not lost.
    if (count == 1 && woke == WAIT_OBJECT_0) {
      Watch();
      Refresh(Clock::now());
    } else if (Clock::now() >= nextRefresh_) {
      if (!watching_) Watch();
      Refresh(Clock::now());
    }
    // Looking into an empty queue is a server call under Wine: only when there is something.
    if (woke == WAIT_OBJECT_0 + count && !PumpMessages()) return 0;
    if (Clock::now() >= nextTick) {
      if (!cycle_.Tick()) {
        ResumeLeftHolds();
        return 0;
      }
      nextTick = Clock::now() + kBlockInterval;
    }
    if (Clock::now() >= nextHoldsCheck_) {
      ResumeLeftHolds();
      nextHoldsCheck_ = Clock::now() + kHoldsCheck;
    }
  }
}

}  // namespace

int RunBlocker() {
  MainWindow window;
  if (!window.Create()) return 1;
  auto blocker = std::make_unique<Blocker>(window.Hwnd());
  const int code = blocker->Run();
  // Ending is immediate: the popup goes with its owner.
  blocker.reset();
  return code;
}

}  // namespace corvane::win
