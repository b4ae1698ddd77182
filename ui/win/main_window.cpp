#include "ui/win/main_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include "base/win/ui_font.h"
#include "base/win/utf.h"
#include "ui/dialog_layout.h"
#include "ui/main_menu.h"
#include "ui/win/app_icon.h"
#include "ui/win/image_button.h"
#include "ui/win/paint.h"
#include "ui/win/splash_window.h"

namespace corvane::ui::win {

using corvane::win::CreateUiFont;
using corvane::win::FontOf;
using corvane::win::Scale;
using corvane::win::WindowDpi;

namespace {

// Layout in pixels at 96 DPI.
constexpr int kClientWidth = 760;
constexpr int kClientHeight = 500;
constexpr int kNavWidth = 176;
constexpr int kHeaderHeight = 64;
constexpr int kMargin = 16;

constexpr Color kNavColor = MakeColor(0, 45, 110);
constexpr Color kNavButtonFill = MakeColor(1, 83, 173);
constexpr Color kHeaderColor = MakeColor(1, 83, 173);
constexpr Color kPanelColor = MakeColor(244, 247, 252);
constexpr Color kCaptionText = MakeColor(40, 50, 70);
constexpr Color kUnjudgedText = MakeColor(0, 0, 255);

constexpr std::array<const char*, kPanelCount> kCounterCaptions = {
    "Total Running Processes : ", "Total Blocked Processes : ", "Total Allowed Processes : ", "",
    "Total Trash Jar contents : "};

HWND CreateChild(const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int width, int height,
                 HWND parent, int id, HFONT font, DWORD exStyle = 0) {
  HWND hwnd = ::CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
  if (hwnd != nullptr && font != nullptr) ::SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return hwnd;
}

void SetText(HWND hwnd, std::string_view text) {
  if (hwnd != nullptr) ::SetWindowTextW(hwnd, corvane::win::Widen(text).c_str());
}

}  // namespace

// A panel: a plain surface for its controls that passes their notifications on to the main window.
class PanelWindow final : public corvane::win::WindowBase<PanelWindow> {
 public:
  static const wchar_t* ClassName() { return L"CorvanePanel"; }
  bool Create(HWND parent, const RECT& bounds) {
    brush_.reset(::CreateSolidBrush(kPanelColor));
    return CreateWindowOf(WS_EX_CONTROLPARENT, L"", WS_CHILD | WS_CLIPCHILDREN, bounds.left, bounds.top,
                          bounds.right - bounds.left, bounds.bottom - bounds.top, parent);
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_ERASEBKGND: {
        RECT client{};
        ::GetClientRect(Hwnd(), &client);
        ::FillRect(reinterpret_cast<HDC>(wParam), &client, static_cast<HBRUSH>(brush_.get()));
        return 1;
      }
      case WM_CTLCOLORSTATIC: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, kCaptionText);
        ::SetBkColor(dc, kPanelColor);
        return reinterpret_cast<LRESULT>(brush_.get());
      }
      case WM_MOUSEMOVE:
        // Over the background: every button of the panel shows its normal look again.
        ImageButton::ShowAllNormal(Hwnd());
        return 0;
      case WM_COMMAND:
      case WM_NOTIFY:
      case WM_CONTEXTMENU:
        return ::SendMessageW(::GetParent(Hwnd()), message, wParam, lParam);
      default:
        break;
    }
    return WindowBase::HandleMessage(message, wParam, lParam);
  }

 private:
  corvane::win::UniqueGdiObject brush_;
};

// The panel heading: white text over a black copy of itself, 3 pixels to the left and 5 below, so
// that it shows a shadow. The window text is the heading.
class HeadingLabel final : public corvane::win::WindowBase<HeadingLabel> {
 public:
  static const wchar_t* ClassName() { return L"CorvaneHeading"; }
  bool Create(HWND parent, const RECT& bounds, HFONT font, int dpi) {
    font_ = font;
    dpi_ = dpi;
    return CreateWindowOf(0, L"", WS_CHILD | WS_VISIBLE, bounds.left, bounds.top, bounds.right - bounds.left,
                          bounds.bottom - bounds.top, parent);
  }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_SETTEXT: {
        const LRESULT result = WindowBase::HandleMessage(message, wParam, lParam);
        ::InvalidateRect(Hwnd(), nullptr, TRUE);
        return result;
      }
      case WM_ERASEBKGND:
        return 1;
      case WM_PAINT: {
        PAINTSTRUCT ps{};
        HDC dc = ::BeginPaint(Hwnd(), &ps);
        RECT client{};
        ::GetClientRect(Hwnd(), &client);
        FillSolid(dc, client, kHeaderColor);
        wchar_t text[128] = {};
        ::GetWindowTextW(Hwnd(), text, static_cast<int>(std::size(text)));
        HGDIOBJ old = ::SelectObject(dc, font_);
        ::SetBkMode(dc, TRANSPARENT);
        const int shift = Scale(3, dpi_);
        RECT shadow{client.left, client.top + Scale(5, dpi_), client.right, client.bottom};
        ::SetTextColor(dc, kBlack);
        ::DrawTextW(dc, text, -1, &shadow, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
        RECT face{client.left + shift, client.top, client.right, client.bottom};
        ::SetTextColor(dc, kWhite);
        ::DrawTextW(dc, text, -1, &face, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
        ::SelectObject(dc, old);
        ::EndPaint(Hwnd(), &ps);
        return 0;
      }
      default:
        break;
    }
    return WindowBase::HandleMessage(message, wParam, lParam);
  }

 private:
  HFONT font_ = nullptr;
  int dpi_ = 96;
};

HICON MainWindow::ClassIcon(HINSTANCE) { return nullptr; }

MainWindow::MainWindow(const ListFileStore& lists, const watch::RunningProgramList& running)
    : lists_(lists), running_(running) {}

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

bool MainWindow::Create() {
  dpi_ = WindowDpi(nullptr);
  RECT frame{0, 0, Scale(kClientWidth, dpi_), Scale(kClientHeight, dpi_)};
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
  font_ = CreateUiFont(dpi_, 9);
  boldFont_ = CreateUiFont(dpi_, 9, FW_BOLD);
  headingFont_ = CreateUiFont(dpi_, 16, FW_BOLD);
  titleFont_ = CreateUiFont(dpi_, 18, FW_BOLD);
  const HFONT font = FontOf(font_);

  // Navigation bar.
  const ButtonPalette navPalette = MakeButtonPalette(kNavColor, kNavButtonFill, kWhite);
  for (size_t i = 0; i < kPanelCount; ++i) {
    const int top = Scale(96 + static_cast<int>(i) * 52, dpi_);
    const RECT bounds{Scale(14, dpi_), top, Scale(kNavWidth - 14, dpi_), top + Scale(40, dpi_)};
    navButtons_[i] = ImageButton::Create(Hwnd(), kNavigationButtonId + static_cast<int>(i),
                                         NavigationCaption(static_cast<ui::Panel>(i)), bounds, navPalette,
                                         FontOf(boldFont_));
  }

  // Heading and help link in the header band.
  headingLabel_ = std::make_unique<HeadingLabel>();
  const RECT headingBounds{Scale(kNavWidth + kMargin + 4, dpi_), Scale(14, dpi_), Scale(kClientWidth - 80, dpi_),
                           Scale(kHeaderHeight - 8, dpi_)};
  headingLabel_->Create(Hwnd(), headingBounds, FontOf(headingFont_), dpi_);
  heading_ = headingLabel_->Hwnd();
  help_ = CreateChild(L"STATIC", L"Help", SS_NOTIFY | SS_RIGHT, Scale(kClientWidth - 72, dpi_), Scale(24, dpi_),
                      Scale(56, dpi_), Scale(20, dpi_), Hwnd(), kHelpLabelId, FontOf(boldFont_));

  // The five panels below the header, right of the navigation bar.
  const RECT panelBounds{Scale(kNavWidth, dpi_), Scale(kHeaderHeight, dpi_), Scale(kClientWidth, dpi_),
                         Scale(kClientHeight, dpi_)};
  const int panelWidth = panelBounds.right - panelBounds.left;
  const int panelHeight = panelBounds.bottom - panelBounds.top;
  const int margin = Scale(kMargin, dpi_);
  for (size_t i = 0; i < kPanelCount; ++i) {
    auto panel = std::make_unique<PanelWindow>();
    panel->Create(Hwnd(), panelBounds);
    panels_[i] = panel->Hwnd();
    panelWindows_.push_back(std::move(panel));
    if (static_cast<ui::Panel>(i) == ui::Panel::Options) continue;

    const int listHeight = panelHeight - margin * 2 - Scale(36, dpi_);
    // The rows share one picture list, owned by the window, not by each list.
    HWND list = CreateChild(WC_LISTVIEWW, L"",
                            LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | WS_TABSTOP | WS_BORDER,
                            margin, margin,
                            panelWidth - margin * 2, listHeight, panels_[i], kListViewId + static_cast<int>(i), font);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP | LVS_EX_DOUBLEBUFFER);
    ListView_SetImageList(list, icons_.Handle(), LVSIL_SMALL);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    if (static_cast<ui::Panel>(i) == ui::Panel::TrashJar) {
      column.pszText = const_cast<wchar_t*>(L"File");
      column.cx = panelWidth - margin * 2 - Scale(24, dpi_);
      ListView_InsertColumn(list, 0, &column);
    } else {
      column.pszText = const_cast<wchar_t*>(L"Name");
      column.cx = Scale(170, dpi_);
      ListView_InsertColumn(list, 0, &column);
      column.pszText = const_cast<wchar_t*>(L"Location");
      column.cx = panelWidth - margin * 2 - Scale(170 + 24, dpi_);
      ListView_InsertColumn(list, 1, &column);
    }
    listViews_[i] = list;

    const int counterTop = margin + listHeight + Scale(10, dpi_);
    const std::wstring caption = corvane::win::Widen(kCounterCaptions[i]);
    CreateChild(L"STATIC", caption.c_str(), SS_LEFT, margin, counterTop, Scale(170, dpi_), Scale(20, dpi_), panels_[i],
                -1, font);
    counters_[i] = CreateChild(L"STATIC", L"0", SS_LEFT, margin + Scale(170, dpi_), counterTop, Scale(80, dpi_),
                               Scale(20, dpi_), panels_[i], kCounterId + static_cast<int>(i), FontOf(boldFont_));
  }
}

void MainWindow::Paint() {
  PAINTSTRUCT ps{};
  HDC dc = ::BeginPaint(Hwnd(), &ps);
  RECT client{};
  ::GetClientRect(Hwnd(), &client);
  RECT nav{0, 0, Scale(kNavWidth, dpi_), client.bottom};
  FillSolid(dc, nav, kNavColor);
  RECT header{nav.right, 0, client.right, Scale(kHeaderHeight, dpi_)};
  FillSolid(dc, header, kHeaderColor);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, kWhite);
  HGDIOBJ old = ::SelectObject(dc, titleFont_.get());
  RECT title{Scale(16, dpi_), Scale(18, dpi_), nav.right, Scale(52, dpi_)};
  ::DrawTextW(dc, L"Corvane", -1, &title, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
  ::SelectObject(dc, font_.get());
  ::SetTextColor(dc, MakeColor(196, 223, 253));
  RECT subtitle{Scale(17, dpi_), Scale(52, dpi_), nav.right, Scale(72, dpi_)};
  ::DrawTextW(dc, L"Protection v 6.0.1", -1, &subtitle, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
  ::SelectObject(dc, old);
  ::EndPaint(Hwnd(), &ps);
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
    case MainTimer::Adv:
      // Nothing runs on these yet; their state is kept, but no system timer wakes the program for them.
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
    if (panels_[i] != nullptr && (::IsWindowVisible(panels_[i]) != FALSE) != visible) {
      ::ShowWindow(panels_[i], visible ? SW_SHOW : SW_HIDE);
    }
    if (counters_[i] != nullptr) {
      const std::wstring count = std::to_wstring(model.Count(static_cast<ui::Panel>(i)));
      wchar_t shown[32] = {};
      ::GetWindowTextW(counters_[i], shown, static_cast<int>(std::size(shown)));
      if (count != shown) ::SetWindowTextW(counters_[i], count.c_str());
    }
  }
  SetText(heading_, model.Heading());
  RefreshRunningList();
}

void MainWindow::ResetNavigationButtons() { ImageButton::ShowAllNormal(Hwnd()); }

void MainWindow::FillProgramList(HWND listView, const std::vector<ProgramListEntry>& entries) {
  if (listView == nullptr) return;
  ::SendMessageW(listView, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(listView);
  for (size_t i = 0; i < entries.size(); ++i) {
    std::wstring name = corvane::win::Widen(entries[i].name);
    std::wstring path = corvane::win::Widen(entries[i].path);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = static_cast<int>(i);
    item.pszText = name.data();
    item.iImage = icons_.IndexFor(entries[i].path);
    const int row = ListView_InsertItem(listView, &item);
    ListView_SetItemText(listView, row, 1, path.data());
  }
  ::SendMessageW(listView, WM_SETREDRAW, TRUE, 0);
}

void MainWindow::FillTrashList() {
  HWND listView = ListView(ui::Panel::TrashJar);
  if (listView == nullptr) return;
  ::SendMessageW(listView, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(listView);
  const auto& trash = lists_.trashJar();
  for (size_t i = 0; i < trash.size(); ++i) {
    std::wstring path = corvane::win::Widen(trash[i]);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = static_cast<int>(i);
    item.pszText = path.data();
    // Every Trash Jar row shows the default file icon: the file is on its way out.
    item.iImage = icons_.IndexFor("");
    ListView_InsertItem(listView, &item);
  }
  ::SendMessageW(listView, WM_SETREDRAW, TRUE, 0);
}

void MainWindow::RefreshLists() {
  FillProgramList(ListView(ui::Panel::Blocked), lists_.blockList());
  FillProgramList(ListView(ui::Panel::Allowed), lists_.allowList());
  FillTrashList();
  shownRunning_.clear();
  RefreshRunningList();
}

void MainWindow::RefreshRunningList() {
  HWND listView = ListView(ui::Panel::Running);
  if (listView == nullptr) return;
  const auto& entries = running_.entries();
  const bool same = entries.size() == shownRunning_.size() &&
                    std::equal(entries.begin(), entries.end(), shownRunning_.begin(), [](const auto& a, const auto& b) {
                      return a.name == b.name && a.path == b.path && a.unjudged == b.unjudged;
                    });
  if (same && ListView_GetItemCount(listView) == static_cast<int>(entries.size())) return;
  std::vector<ProgramListEntry> rows;
  rows.reserve(entries.size());
  for (const auto& entry : entries) rows.push_back({entry.name, entry.path});
  FillProgramList(listView, rows);
  shownRunning_ = entries;
}

std::string MainWindow::LocationOf(int listIndex, int item) const {
  if (item < 0) return {};
  const auto index = static_cast<size_t>(item);
  switch (static_cast<ui::Panel>(listIndex)) {
    case ui::Panel::Running:
      return index < shownRunning_.size() ? shownRunning_[index].path : std::string();
    case ui::Panel::Blocked:
      return index < lists_.blockList().size() ? lists_.blockList()[index].path : std::string();
    case ui::Panel::Allowed:
      return index < lists_.allowList().size() ? lists_.allowList()[index].path : std::string();
    default:
      return {};
  }
}

LRESULT MainWindow::OnNotify(const NMHDR& header) {
  const int listIndex = static_cast<int>(header.idFrom) - kListViewId;
  if (listIndex < 0 || listIndex >= static_cast<int>(kPanelCount)) return 0;
  if (header.code == LVN_GETINFOTIPW) {
    auto& tip = *reinterpret_cast<NMLVGETINFOTIPW*>(const_cast<NMHDR*>(&header));
    const std::string location = LocationOf(listIndex, tip.iItem);
    if (location.empty() || tip.pszText == nullptr || tip.cchTextMax <= 0) return 0;
    const std::wstring text = corvane::win::Widen("Location: " + location);
    const size_t count = std::min(text.size(), static_cast<size_t>(tip.cchTextMax - 1));
    text.copy(tip.pszText, count);
    tip.pszText[count] = L'\0';
    return 0;
  }
  if (header.code == NM_DBLCLK || (header.code == LVN_KEYDOWN &&
                                   reinterpret_cast<const NMLVKEYDOWN*>(&header)->wVKey == VK_RETURN)) {
    // A double click (or Enter) on a program row opens its details.
    const int row = ListView_GetNextItem(header.hwndFrom, -1, LVNI_SELECTED);
    if (row >= 0 && controller_ != nullptr && static_cast<ui::Panel>(listIndex) != ui::Panel::TrashJar) {
      controller_->ShowDetails(static_cast<ui::Panel>(listIndex), static_cast<size_t>(row));
    }
    return 0;
  }
  if (header.code == NM_CUSTOMDRAW && static_cast<ui::Panel>(listIndex) == ui::Panel::Running) {
    auto& draw = *reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header));
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
      const auto index = static_cast<size_t>(draw.nmcd.dwItemSpec);
      // Programs seen in Allow All mode were never judged: they stand out in pure blue.
      if (index < shownRunning_.size() && shownRunning_[index].unjudged) draw.clrText = kUnjudgedText;
      return CDRF_DODEFAULT;
    }
  }
  return 0;
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
  for (const MenuItemSpec& item : TrayMenuItems()) {
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
                                         [&](const MenuItemSpec& other) { return other.parent == item.command; });
    if (hasChildren) {
      HMENU sub = ::CreatePopupMenu();
      subMenus[item.command] = sub;
      ::AppendMenuW(target, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), caption.c_str());
    } else {
      ::AppendMenuW(target, MF_STRING, static_cast<UINT_PTR>(item.command), caption.c_str());
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
  if (showDetails) showDetails(Hwnd(), path, name);
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
    case WM_CTLCOLORSTATIC: {
      // The help link sits on the header band.
      HDC dc = reinterpret_cast<HDC>(wParam);
      ::SetTextColor(dc, kWhite);
      ::SetBkColor(dc, kHeaderColor);
      if (!headerBrush_) headerBrush_.reset(::CreateSolidBrush(kHeaderColor));
      return reinterpret_cast<LRESULT>(headerBrush_.get());
    }
    case WM_MOUSEMOVE:
      // Over the navigation bar's background: every navigation button shows its normal look.
      ResetNavigationButtons();
      return 0;
    case WM_TIMER:
      OnTimer(wParam);
      return 0;
    case WM_COMMAND: {
      if (controller_ == nullptr) return 0;
      const int id = LOWORD(wParam);
      if (lParam == 0 && HIWORD(wParam) == 0) {
        controller_->OnMenuCommand(static_cast<MenuCommand>(id));
        return 0;
      }
      if (HIWORD(wParam) == BN_CLICKED && id >= kNavigationButtonId &&
          id < kNavigationButtonId + static_cast<int>(kPanelCount)) {
        controller_->Navigate(static_cast<ui::Panel>(id - kNavigationButtonId));
        return 0;
      }
      return 0;
    }
    case WM_NOTIFY:
      return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
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
