#include "ui/win/main_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include "base/dpi.h"
#include "base/palette.h"
#include "base/win/ui_font.h"
#include "base/win/utf.h"
#include "corvane_version.h"
#include "gui/dialog_layout.h"
#include "gui/win/app_icon.h"
#include "gui/win/controls.h"
#include "gui/win/image_button.h"
#include "gui/win/paint.h"
#include "ui/main_menu.h"
#include "ui/win/allowed_panel.h"
#include "ui/win/blocked_panel.h"
#include "ui/win/heading_label.h"
#include "ui/win/options_panel.h"
#include "ui/win/running_panel.h"
#include "ui/win/splash_window.h"
#include "ui/win/trash_jar_panel.h"

namespace corvane::ui::win {

using gui::ButtonPalette;
using gui::CentreInArea;
using gui::MakeButtonPalette;
using gui::PixelPoint;
using gui::win::ClientRectOf;
using gui::win::CreateAppIcon;
using gui::win::CreateChildControl;
using gui::win::FillSolid;
using gui::win::ImageButton;
using gui::win::LabelColorsReply;

using corvane::win::WindowDpi;

namespace {

// Layout in pixels at 96 DPI.
constexpr int kClientWidth = 760;
constexpr int kClientHeight = 500;
constexpr int kNavWidth = 176;
constexpr int kHeaderHeight = 64;

constexpr Color kNavColor = palette::kNavy;
constexpr Color kNavButtonFill = palette::kBlue;
constexpr Color kHeaderColor = palette::kBlue;

constexpr gui::win::FontSpec kTextFont{9};
constexpr gui::win::FontSpec kBoldFont{9, FW_BOLD};
constexpr gui::win::FontSpec kHeadingFont{16, FW_BOLD};
constexpr gui::win::FontSpec kTitleFont{18, FW_BOLD};

void SetText(HWND hwnd, std::string_view text) {
  if (hwnd != nullptr) ::SetWindowTextW(hwnd, corvane::win::Widen(text).c_str());
}

}  // namespace

HICON MainWindow::ClassIcon(HINSTANCE) { return nullptr; }

MainWindow::MainWindow(SplashWindow* splash, DetailsShower showDetails)
    : splash_(splash), showDetails_(std::move(showDetails)) {}

MainWindow::~MainWindow() {
  if (tray_.RunningInTray()) tray_.RemoveIcon();
  // Before its owner goes, which would take it along while this object is half gone.
  if (Hwnd() != nullptr) ::DestroyWindow(Hwnd());
}

UINT BringForwardMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"Corvane.BringForward");
  return message;
}

bool BringRunningInstanceForward() {
  if (BringForwardMessage() == 0) return false;
  bool found = false;
  ::EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        wchar_t name[64] = {};
        ::GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
        if (::lstrcmpW(name, MainWindow::ClassName()) != 0) return TRUE;
        DWORD processId = 0;
        ::GetWindowThreadProcessId(hwnd, &processId);
        if (processId == ::GetCurrentProcessId()) return TRUE;
        // This process was just started by the user and may hand its right to the foreground on.
        ::AllowSetForegroundWindow(processId);
        if (::PostMessageW(hwnd, BringForwardMessage(), 0, 0)) *reinterpret_cast<bool*>(param) = true;
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

bool MainWindow::Create(MainController& controller) {
  controller_ = &controller;
  scaling_.Reset(WindowDpi(nullptr));
  const int dpi = scaling_.Dpi();
  RECT frame{0, 0, Scale(kClientWidth, dpi), Scale(kClientHeight, dpi)};
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
  ::AdjustWindowRectEx(&frame, style, FALSE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  RECT work{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  // On a small screen at a high scale the window may not fit: its caption stays on the screen.
  const PixelPoint place = CentreInArea({work.left, work.top, work.right, work.bottom}, width, height);
  // No taskbar button: the program lives in the tray, not in the task list. An owned window never
  // gets one, and keeps its ordinary caption.
  if (!owner_.Hwnd() && !owner_.Create()) return false;
  const std::wstring caption = corvane::win::Widen(kMainWindowCaption);
  if (!CreateWindowOf(WS_EX_CONTROLPARENT, caption.c_str(), style, place.x, place.y, width, height, owner_.Hwnd())) {
    return false;
  }
  bigIcon_ = CreateAppIcon(::GetSystemMetrics(SM_CXICON));
  smallIcon_ = CreateAppIcon(::GetSystemMetrics(SM_CXSMICON));
  ::SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
  ::SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  CreateControls();
  return true;
}

void MainWindow::CreateControls() {
  const int dpi = scaling_.Dpi();

  // Navigation bar.
  const ButtonPalette navPalette = MakeButtonPalette(kNavColor, kNavButtonFill, palette::kWhite);
  for (size_t i = 0; i < kPanelCount; ++i) {
    const int top = Scale(96 + static_cast<int>(i) * 52, dpi);
    const RECT bounds{Scale(14, dpi), top, Scale(kNavWidth - 14, dpi), top + Scale(40, dpi)};
    navButtons_[i] = ImageButton::Create(Hwnd(), kNavigationButtonId + static_cast<int>(i),
                                         NavigationCaption(static_cast<ui::Panel>(i)), bounds, navPalette,
                                         scaling_.Font(kBoldFont));
  }

  // Heading and help link in the header band.
  headingLabel_ = std::make_unique<HeadingLabel>();
  const RECT headingBounds{Scale(kNavWidth + kPanelMargin + 4, dpi), Scale(14, dpi), Scale(kClientWidth - 80, dpi),
                           Scale(kHeaderHeight - 8, dpi)};
  headingLabel_->Create(Hwnd(), headingBounds, scaling_.Font(kHeadingFont), kHeaderColor);
  heading_ = headingLabel_->Hwnd();
  help_ = CreateChildControl(L"STATIC", L"Help", SS_NOTIFY | SS_RIGHT, Scale(kClientWidth - 72, dpi),
                             Scale(24, dpi), Scale(56, dpi), Scale(20, dpi), Hwnd(), kHelpLabelId,
                             scaling_.Font(kBoldFont));
  // The status line of the advertisement area, at the foot of the navigation bar.
  status_ = CreateChildControl(L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, Scale(14, dpi),
                               Scale(kClientHeight - 30, dpi), Scale(kNavWidth - 28, dpi), Scale(18, dpi), Hwnd(),
                               kStatusLabelId, scaling_.Font(kTextFont));

  CreatePanels();
  if (advertPanel_ != nullptr) {
    advertPanel_->SetStatusSink([this](const std::string& text) { SetText(status_, text); });
  }
}

void MainWindow::CreatePanels() {
  // The five panels below the header, right of the navigation bar, all at the same place.
  const int dpi = scaling_.Dpi();
  const RECT bounds{Scale(kNavWidth, dpi), Scale(kHeaderHeight, dpi), Scale(kClientWidth, dpi),
                    Scale(kClientHeight, dpi)};
  ListPanelHost& host = *this;
  const auto place = [this](std::unique_ptr<ListPanel> list) {
    const auto index = static_cast<size_t>(list->Kind());
    listPanels_[index] = list.get();
    panels_[index] = std::move(list);
  };
  auto running = std::make_unique<RunningPanel>(icons_, host, adverts_);
  RunningPanel* runningPanel = running.get();
  place(std::move(running));
  place(std::make_unique<BlockedPanel>(icons_, host));
  place(std::make_unique<AllowedPanel>(icons_, host));
  place(std::make_unique<TrashJarPanel>(icons_, host));
  OptionsPanelHost& optionsHost = *this;
  auto options = std::make_unique<OptionsPanel>(optionsHost);
  optionsPanel_ = options.get();
  panels_[static_cast<size_t>(ui::Panel::Options)] = std::move(options);
  const PanelSetup setup{scaling_.Font(kTextFont), scaling_.Font(kBoldFont), dpi};
  for (const auto& panel : panels_) panel->Create(Hwnd(), bounds, setup);
  advertPanel_ = runningPanel->Adverts();
}

HWND MainWindow::Panel(ui::Panel panel) const {
  const auto& window = panels_[static_cast<size_t>(panel)];
  return window ? window->Hwnd() : nullptr;
}

HWND MainWindow::ListView(ui::Panel panel) const {
  const ListPanel* list = listPanels_[static_cast<size_t>(panel)];
  return list != nullptr ? list->ListView() : nullptr;
}

HWND MainWindow::Counter(ui::Panel panel) const {
  const ListPanel* list = listPanels_[static_cast<size_t>(panel)];
  return list != nullptr ? list->Counter() : nullptr;
}

void MainWindow::Paint() {
  const corvane::win::PaintDc paint(Hwnd());
  if (!paint) return;
  const HDC dc = paint.get();
  const int dpi = scaling_.Dpi();
  const RECT client = ClientRectOf(Hwnd());
  RECT nav{0, 0, Scale(kNavWidth, dpi), client.bottom};
  FillSolid(dc, nav, kNavColor);
  RECT header{nav.right, 0, client.right, Scale(kHeaderHeight, dpi)};
  FillSolid(dc, header, kHeaderColor);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, palette::kWhite);
  {
    const corvane::win::SelectedObject font(dc, scaling_.Font(kTitleFont));
    RECT title{Scale(16, dpi), Scale(18, dpi), nav.right, Scale(52, dpi)};
    ::DrawTextW(dc, L"Corvane", -1, &title, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
  }
  const corvane::win::SelectedObject font(dc, scaling_.Font(kTextFont));
  ::SetTextColor(dc, palette::kPaleBlue);
  RECT subtitle{Scale(17, dpi), Scale(52, dpi), nav.right, Scale(72, dpi)};
  ::DrawTextW(dc, L"Protection v " CORVANE_VERSION_TEXT, -1, &subtitle, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
}

void MainWindow::SetTimerEnabled(MainTimer timer, bool on) {
  timersOn_[static_cast<size_t>(timer)] = on;
  UINT_PTR id = 0;
  UINT interval = 0;
  switch (timer) {
    case MainTimer::Processes:
      id = kTimerProcesses;
      interval = 1000;
      break;
    case MainTimer::RunAtOnce:
      id = kTimerRunAtOnce;
      interval = 60000;
      break;
    case MainTimer::HotKeys:
      id = kTimerHotKeys;
      interval = 20;
      break;
    case MainTimer::Adv:
      // The advertisement area keeps its own timers: on starts its cycle (placeholder first), off
      // stops it and cancels its fetches.
      if (advertPanel_ != nullptr) {
        if (on) {
          advertPanel_->Start();
        } else {
          advertPanel_->Stop();
        }
      }
      return;
  }
  if (Hwnd() == nullptr) return;
  if (on) {
    ::SetTimer(Hwnd(), id, interval, nullptr);
  } else {
    ::KillTimer(Hwnd(), id);
  }
}

void MainWindow::SetSplashText(std::string_view text) {
  if (splash_ != nullptr) splash_->SetStatusText(text);
}

void MainWindow::ShowPanels(const MainWindowModel& model) {
  for (size_t i = 0; i < kPanelCount; ++i) {
    const bool visible = model.IsVisible(static_cast<ui::Panel>(i));
    HWND panel = Panel(static_cast<ui::Panel>(i));
    if (panel != nullptr && (::IsWindowVisible(panel) != FALSE) != visible) {
      ::ShowWindow(panel, visible ? SW_SHOW : SW_HIDE);
    }
    if (listPanels_[i] != nullptr) listPanels_[i]->SetCount(model.Count(static_cast<ui::Panel>(i)));
  }
  SetText(heading_, model.Heading());
}

void MainWindow::ResetNavigationButtons() { ImageButton::ShowAllNormal(Hwnd()); }

void MainWindow::ApplyRowChanges(ui::Panel panel, const std::vector<RowChange>& changes) {
  if (ListPanel* list = listPanels_[static_cast<size_t>(panel)]; list != nullptr) list->ApplyRowChanges(changes);
}

const ListPanelsModel* MainWindow::ListPanels() const {
  return controller_ != nullptr ? &controller_->listPanels() : nullptr;
}

void MainWindow::OnRowSelectionChanged(ui::Panel panel, std::size_t row, bool selected) {
  if (controller_ != nullptr) controller_->SelectRow(panel, row, selected);
}

void MainWindow::OnDetailsRequested(ui::Panel panel) {
  if (controller_ != nullptr) controller_->ShowDetails(panel);
}

OptionsModel* MainWindow::Options() { return controller_ != nullptr ? controller_->options() : nullptr; }

hotkeys::SystemHotkeys* MainWindow::SystemHotkeys() {
  return controller_ != nullptr ? controller_->systemHotkeys() : nullptr;
}

void MainWindow::OnHotKeysButton() {
  // As the tray menu's Hot Keys item: the launch-hotkey window.
  if (controller_ != nullptr) controller_->OnMenuCommand(MenuCommand::HotKeys);
}

void MainWindow::ShowOptions(const OptionsModel& options) {
  if (optionsPanel_ != nullptr) optionsPanel_->ShowModel(options);
}

void MainWindow::ShowMainWindow() {
  if (Hwnd() == nullptr) return;
  if (::IsIconic(Hwnd())) ::ShowWindow(Hwnd(), SW_RESTORE);
  ::ShowWindow(Hwnd(), SW_SHOW);
  ::SetForegroundWindow(Hwnd());
}

void MainWindow::HideMainWindow() {
  if (Hwnd() != nullptr) ::ShowWindow(Hwnd(), SW_HIDE);
}

void MainWindow::CloseSplash() {
  if (splash_ != nullptr) splash_->Close();
}

void MainWindow::TrayShowIcon(std::string_view tip) { tray_.ShowIcon(Hwnd(), smallIcon_.get(), tip); }
void MainWindow::TrayChangeTip(std::string_view tip) { tray_.ChangeToolTip(Hwnd(), tip); }
void MainWindow::TrayRemoveIcon() { tray_.RemoveIcon(); }

void MainWindow::PopUpTrayMenu() {
  corvane::win::UniqueMenu menu(::CreatePopupMenu());
  if (!menu) return;
  // Sub-menus belong to the top menu once appended; only the top one is destroyed here.
  std::map<MenuCommand, HMENU> subMenus;
  for (const TrayMenuItem& item : TrayMenuItems()) {
    HMENU target = menu.get();
    if (item.parent != MenuCommand::None) {
      const auto found = subMenus.find(item.parent);
      if (found == subMenus.end()) continue;
      target = found->second;
    }
    if (item.command == MenuCommand::Separator) {
      ::AppendMenuW(target, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    const std::wstring caption = corvane::win::Widen(item.caption);
    const bool hasChildren = std::any_of(TrayMenuItems().begin(), TrayMenuItems().end(),
                                         [&](const TrayMenuItem& other) { return other.parent == item.command; });
    if (hasChildren) {
      HMENU sub = ::CreatePopupMenu();
      subMenus[item.command] = sub;
      ::AppendMenuW(target, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), caption.c_str());
    } else {
      const bool ticked = controller_ != nullptr && controller_->IsMenuTicked(item.command);
      ::AppendMenuW(target, MF_STRING | (ticked ? MF_CHECKED : MF_UNCHECKED), static_cast<UINT_PTR>(item.command),
                    caption.c_str());
    }
  }
  POINT cursor{};
  ::GetCursorPos(&cursor);
  // Without the foreground the menu would not close when the user clicks elsewhere.
  ::SetForegroundWindow(Hwnd());
  ::TrackPopupMenuEx(menu.get(), TPM_RIGHTBUTTON, cursor.x, cursor.y, Hwnd(), nullptr);
  ::PostMessageW(Hwnd(), WM_NULL, 0, 0);
}

void MainWindow::After(int milliseconds, std::function<void()> then) {
  if (Hwnd() == nullptr) return;
  const UINT_PTR id = nextContinuation_++;
  continuations_[id] = std::move(then);
  ::SetTimer(Hwnd(), id, static_cast<UINT>(milliseconds), nullptr);
}

void MainWindow::Quit() {
  if (tray_.RunningInTray()) tray_.RemoveIcon();
  ::PostQuitMessage(0);
}

void MainWindow::ShowDetails(std::string_view path, std::string_view name) {
  if (showDetails_) showDetails_(Hwnd(), path, name);
}

void MainWindow::ResetPanelButtons(ui::Panel panel) { ImageButton::ShowAllNormal(Panel(panel)); }

void MainWindow::SetBusyCursor(bool busy) {
  busy_ = busy;
  ::SetCursor(::LoadCursorW(nullptr, busy ? IDC_WAIT : IDC_ARROW));
}

void MainWindow::OnTimer(UINT_PTR id) {
  if (controller_ == nullptr) return;
  switch (id) {
    case kTimerProcesses:
      controller_->OnProcessesTick();
      return;
    case kTimerRunAtOnce:
      controller_->OnRunAtOnceTick();
      return;
    case kTimerHotKeys:
      controller_->OnHotKeysTick();
      return;
    default:
      break;
  }
  const auto found = continuations_.find(id);
  if (found == continuations_.end()) return;
  ::KillTimer(Hwnd(), id);
  auto then = std::move(found->second);
  continuations_.erase(found);
  then();
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == TrayIcon::kCallbackMessage) {
    if (controller_ != nullptr && LOWORD(wParam) == TrayIcon::kIconId) controller_->OnTrayMouse(LOWORD(lParam));
    return 0;
  }
  if (message == BringForwardMessage() && message != 0) {
    // A second start of the program: as the tray menu's "Corvane" item does.
    if (controller_ != nullptr) controller_->OnMenuCommand(MenuCommand::ShowCorvane);
    return 0;
  }
  if (message == TaskbarCreatedMessage() && message != 0) {
    tray_.Restore();
    return 0;
  }
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) == status_) {
        if (!navBrush_) navBrush_.reset(::CreateSolidBrush(kNavColor));
        return LabelColorsReply(wParam, palette::kPaleBlue, kNavColor, static_cast<HBRUSH>(navBrush_.get()));
      }
      // The help link sits on the header band.
      if (!headerBrush_) headerBrush_.reset(::CreateSolidBrush(kHeaderColor));
      return LabelColorsReply(wParam, palette::kWhite, kHeaderColor, static_cast<HBRUSH>(headerBrush_.get()));
    case WM_MOUSEMOVE:
      // Over the navigation bar's background: every navigation button shows its normal look.
      ResetNavigationButtons();
      return 0;
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case WM_DPICHANGED:
      return scaling_.OnDpiChanged(Hwnd(), wParam, lParam);
    case WM_SETCURSOR:
      // Over every child too: their default handling asks this window first.
      if (busy_) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      }
      break;
    case WM_COMMAND: {
      if (controller_ == nullptr) return 0;
      const int id = LOWORD(wParam);
      // A panel's button (BN_CLICKED is 0) or an item of a panel's menu.
      if (HIWORD(wParam) == 0 && IsPanelCommand(static_cast<unsigned>(id))) {
        controller_->OnPanelCommand(static_cast<PanelCommand>(id));
        return 0;
      }
      if (lParam == 0 && HIWORD(wParam) == 0) {
        controller_->OnMenuCommand(static_cast<MenuCommand>(id));
        return 0;
      }
      if (id == kHelpLabelId && HIWORD(wParam) == STN_CLICKED) {
        controller_->OnHelpClicked();
        return 0;
      }
      if (HIWORD(wParam) == BN_CLICKED && id >= kNavigationButtonId &&
          id < kNavigationButtonId + static_cast<int>(kPanelCount)) {
        controller_->Navigate(static_cast<ui::Panel>(id - kNavigationButtonId));
        return 0;
      }
      return 0;
    }
    case WM_SYSCOMMAND:
      // Minimising sends the program to the tray, like closing.
      if ((wParam & 0xFFF0) == SC_MINIMIZE) {
        if (controller_ != nullptr) controller_->OnCloseRequested();
        return 0;
      }
      break;
    case WM_CLOSE:
      if (controller_ != nullptr) controller_->OnCloseRequested();
      return 0;
    case WM_DESTROY:
      if (tray_.RunningInTray()) tray_.RemoveIcon();
      return 0;
    default:
      break;
  }
  return WindowBase::HandleMessage(message, wParam, lParam);
}

}  // namespace corvane::ui::win
