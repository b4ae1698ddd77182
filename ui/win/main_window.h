#pragma once
// FrmMain: the frame with the navigation bar and the heading, the tray icon and the timers; the five
// panels are windows of their own inside it. The window only creates its controls, shows what the
// controller decides, and forwards events.
#include <windows.h>

#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/win/handle.h"
#include "base/win/hidden_owner.h"
#include "base/win/single_instance.h"
#include "base/win/window_base.h"
#include "gui/win/dpi_scaling.h"
#include "gui/win/file_icons.h"
#include "ui/main_controller.h"
#include "ui/win/list_panel.h"
#include "ui/win/options_panel.h"
#include "ui/win/panel_window.h"
#include "ui/win/tray_icon.h"
#include "web/win/advert_panel.h"

namespace corvane::ui::win {

class SplashWindow;

// Timer ids of the main window.
inline constexpr UINT_PTR kTimerProcesses = 1;
inline constexpr UINT_PTR kTimerHotKeys = 2;
inline constexpr UINT_PTR kTimerAdv = 3;
inline constexpr UINT_PTR kTimerRunAtOnce = 4;

// Control ids of the frame (the panels' list views and counters: panel_window.h).
inline constexpr int kNavigationButtonId = 100;  // + panel index
inline constexpr int kHelpLabelId = 400;
inline constexpr int kStatusLabelId = 401;

// The name that keeps the program to one running copy per user session.
using corvane::win::kMainInstanceName;

// Sent by a second start of the program to the running one's main window: show yourself.
UINT BringForwardMessage();
// Asks the main window of the running copy to come forward, shown and restored even from the tray.
// False when there is no such window (yet: the running copy may still be in its splash).
bool BringRunningInstanceForward();

class MainWindow final : public corvane::win::WindowBase<MainWindow>,
                         public MainView,
                         private ListPanelHost,
                         private OptionsPanelHost {
 public:
  static const wchar_t* ClassName() { return L"CorvaneMain"; }
  static HICON ClassIcon(HINSTANCE);

  // How the details report is shown (the program's process table lives outside the window).
  using DetailsShower = std::function<void(HWND owner, std::string_view path, std::string_view name)>;

  // splash: the start-up window that the load reports its progress to, if any.
  explicit MainWindow(SplashWindow* splash = nullptr, DetailsShower showDetails = {});
  ~MainWindow() override;

  // Before Create: the running panel gets an advertisement area that fetches from where options
  // say. Without this call there is none, and nothing is fetched.
  void EnableAdverts(web::win::AdvertPanelOptions options) { adverts_ = std::move(options); }
  HWND StatusLine() const { return status_; }

  // Creates the window hidden, centred on the screen, owned by a hidden window so that it never has a
  // taskbar button. Its events go to controller from then on.
  bool Create(MainController& controller);

  // For tests and the program's own wiring.
  HWND Panel(ui::Panel panel) const;
  HWND ListView(ui::Panel panel) const;
  HWND Counter(ui::Panel panel) const;
  HWND Heading() const { return heading_; }
  HWND NavigationButton(ui::Panel panel) const { return navButtons_[static_cast<size_t>(panel)]; }
  const TrayIcon& Tray() const { return tray_; }
  bool TimerEnabled(MainTimer timer) const { return timersOn_[static_cast<size_t>(timer)]; }

  // MainView
  void SetTimerEnabled(MainTimer timer, bool on) override;
  void SetSplashText(std::string_view text) override;
  void ShowPanels(const MainWindowModel& model) override;
  void ResetNavigationButtons() override;
  void ApplyRowChanges(ui::Panel panel, const std::vector<RowChange>& changes) override;
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
  void ShowOptions(const OptionsModel& options) override;
  void ResetPanelButtons(ui::Panel panel) override;
  void SetBusyCursor(bool busy) override;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void CreateControls();
  void CreatePanels();
  void Paint();
  void OnTimer(UINT_PTR id);

  // ListPanelHost: the rows and the user's acts on them go to the controller.
  const ListPanelsModel* ListPanels() const override;
  void OnRowSelectionChanged(ui::Panel panel, std::size_t row, bool selected) override;
  void OnDetailsRequested(ui::Panel panel) override;

  // OptionsPanelHost: the controller's options model.
  OptionsModel* Options() override;
  hotkeys::SystemHotkeys* SystemHotkeys() override;
  void OnHotKeysButton() override;

  MainController* controller_ = nullptr;
  SplashWindow* splash_ = nullptr;
  DetailsShower showDetails_;
  corvane::win::HiddenOwnerWindow owner_;
  TrayIcon tray_;
  gui::win::FileIconList icons_;
  // The fonts and the DPI the window is laid out for; it follows its screen's.
  gui::win::DpiScaling scaling_;

  std::array<HWND, kPanelCount> navButtons_{};
  HWND heading_ = nullptr;
  HWND help_ = nullptr;
  HWND status_ = nullptr;
  std::optional<web::win::AdvertPanelOptions> adverts_;
  web::win::AdvertPanel* advertPanel_ = nullptr;  // owned by the running panel
  std::array<bool, 4> timersOn_{};
  bool busy_ = false;

  std::map<UINT_PTR, std::function<void()>> continuations_;
  UINT_PTR nextContinuation_ = 1000;

  corvane::win::UniqueIcon bigIcon_;
  corvane::win::UniqueIcon smallIcon_;
  corvane::win::UniqueGdiObject headerBrush_;
  corvane::win::UniqueGdiObject navBrush_;
  // After icons_: the panels' lists borrow its picture list.
  std::array<std::unique_ptr<PanelWindow>, kPanelCount> panels_;
  std::array<ListPanel*, kPanelCount> listPanels_{};  // the panels with a list; none for the options
  OptionsPanel* optionsPanel_ = nullptr;
  std::unique_ptr<class HeadingLabel> headingLabel_;
};

}  // namespace corvane::ui::win
