#pragma once
// FrmMain: the navigation bar, the heading, the five panels, the tray icon and the timers. The
// window only creates its controls, shows what the controller decides, and forwards events.
#include <windows.h>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/win/handle.h"
#include "base/win/hidden_owner.h"
#include "store/list_files.h"
#include "ui/main_controller.h"
#include "ui/win/file_icons.h"
#include "ui/win/tray_icon.h"
#include "base/win/window_base.h"
#include "watch/running_program_list.h"

namespace corvane::ui::win {

class SplashWindow;

// Timer ids of the main window.
inline constexpr UINT_PTR kTimerProcesses = 1;
inline constexpr UINT_PTR kTimerHotKeys = 2;
inline constexpr UINT_PTR kTimerAdv = 3;
inline constexpr UINT_PTR kTimerRunAtOnce = 4;

// Control ids: navigation buttons, list views and counters of the panels.
inline constexpr int kNavigationButtonId = 100;  // + panel index
inline constexpr int kListViewId = 200;          // + panel index
inline constexpr int kCounterId = 300;           // + panel index
inline constexpr int kHelpLabelId = 400;

// The name that keeps the program to one running copy per user session.
inline constexpr wchar_t kMainInstanceName[] = L"Local\\Corvane.Main";

// Sent by a second start of the program to the running one's main window: show yourself.
UINT BringForwardMessage();
// Asks the main window of the running copy to come forward, shown and restored even from the tray.
// False when there is no such window (yet: the running copy may still be in its splash).
bool BringRunningInstanceForward();

class MainWindow final : public corvane::win::WindowBase<MainWindow>, public MainView {
 public:
  static const wchar_t* ClassName() { return L"CorvaneMain"; }
  static HICON ClassIcon(HINSTANCE);

  MainWindow(const ListFileStore& lists, const watch::RunningProgramList& running);
  ~MainWindow() override;

  // Creates the window hidden, centred on the screen, owned by a hidden window so that it never has a
  // taskbar button.
  bool Create();
  void SetController(MainController* controller) { controller_ = controller; }
  void SetSplash(SplashWindow* splash) { splash_ = splash; }

  // For tests and the program's own wiring.
  HWND Panel(ui::Panel panel) const { return panels_[static_cast<size_t>(panel)]; }
  HWND ListView(ui::Panel panel) const { return listViews_[static_cast<size_t>(panel)]; }
  HWND Counter(ui::Panel panel) const { return counters_[static_cast<size_t>(panel)]; }
  HWND Heading() const { return heading_; }
  HWND NavigationButton(ui::Panel panel) const { return navButtons_[static_cast<size_t>(panel)]; }
  const TrayIcon& Tray() const { return tray_; }
  bool TimerEnabled(MainTimer timer) const { return timersOn_[static_cast<size_t>(timer)]; }

  // MainView
  void SetTimerEnabled(MainTimer timer, bool on) override;
  void SetSplashText(std::string_view text) override;
  void ShowPanels(const MainWindowModel& model) override;
  void ResetNavigationButtons() override;
  void RefreshLists() override;
  void ShowMainWindow() override;
  void HideMainWindow() override;
  void CloseSplash() override;
  void TrayShowIcon(std::string_view tip) override;
  void TrayChangeTip(std::string_view tip) override;
  void TrayRemoveIcon() override;
  void PopUpTrayMenu() override;
  void After(int milliseconds, std::function<void()> then) override;
  void Quit() override;
  void ShowDetails(std::string_view path, std::string_view name) override;
  // How the details report is shown (the program's process table lives outside the window).
  std::function<void(HWND owner, std::string_view path, std::string_view name)> showDetails;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void CreateControls();
  void Paint();
  void OnTimer(UINT_PTR id);
  LRESULT OnNotify(const NMHDR& header);
  void FillProgramList(HWND listView, const std::vector<ProgramListEntry>& entries);
  void FillTrashList();
  void RefreshRunningList();
  std::string LocationOf(int listIndex, int item) const;

  const ListFileStore& lists_;
  const watch::RunningProgramList& running_;
  MainController* controller_ = nullptr;
  SplashWindow* splash_ = nullptr;
  corvane::win::HiddenOwnerWindow owner_;
  TrayIcon tray_;
  FileIconList icons_;
  int dpi_ = 96;

  std::array<HWND, kPanelCount> panels_{};
  std::array<HWND, kPanelCount> listViews_{};
  std::array<HWND, kPanelCount> counters_{};
  std::array<HWND, kPanelCount> navButtons_{};
  HWND heading_ = nullptr;
  HWND help_ = nullptr;
  std::array<bool, 4> timersOn_{};
  // What the running list view shows now, to redraw it only when it changed.
  std::vector<watch::RunningProgram> shownRunning_;

  std::map<UINT_PTR, std::function<void()>> continuations_;
  UINT_PTR nextContinuation_ = 1000;

  corvane::win::UniqueIcon bigIcon_;
  corvane::win::UniqueIcon smallIcon_;
  corvane::win::UniqueGdiObject font_;
  corvane::win::UniqueGdiObject boldFont_;
  corvane::win::UniqueGdiObject headingFont_;
  corvane::win::UniqueGdiObject titleFont_;
  corvane::win::UniqueGdiObject headerBrush_;
  std::vector<std::unique_ptr<class PanelWindow>> panelWindows_;
  std::unique_ptr<class HeadingLabel> headingLabel_;
};

}  // namespace corvane::ui::win
