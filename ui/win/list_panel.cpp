#include "ui/win/list_panel.h"

#include <windowsx.h>

#include <algorithm>
#include <optional>
#include <span>
#include <string>

#include "base/win/handle.h"
#include "base/win/ui_font.h"
#include "base/win/utf.h"
#include "gui/win/controls.h"
#include "gui/win/image_button.h"

namespace corvane::ui::win {

using gui::ButtonPalette;
using gui::MakeButtonPalette;
using gui::win::CreateChildControl;
using gui::win::FileIconList;
using gui::win::ImageButton;

using corvane::Scale;

namespace {
// Widths at 96 DPI: the name column, the counter's caption and number, and the room left for the
// vertical scroll bar.
constexpr int kNameColumnWidth = 170;
constexpr int kCounterCaptionWidth = 170;
constexpr int kCounterWidth = 80;
constexpr int kScrollBarRoom = 24;
// The counter's row and the buttons' row under the list, and the space between the rows.
constexpr int kCounterHeight = 20;
constexpr int kButtonHeight = 30;
constexpr int kButtonGap = 8;
constexpr int kRowGap = 10;
// Room around a button's caption, and the narrowest button.
constexpr int kButtonPadding = 24;
constexpr int kButtonMinWidth = 72;

constexpr UINT_PTR kListHookId = 0x4C697374;  // "List"
}  // namespace

ListPanel::ListPanel(Panel panel, std::string_view counterCaption, FileIconList& icons, ListPanelHost& host)
    : panel_(panel), counterCaption_(counterCaption), icons_(icons), host_(host) {}

void ListPanel::CreateControls(int width, int height, const PanelSetup& setup) {
  const int dpi = setup.dpi;
  const int margin = Scale(kPanelMargin, dpi);
  const int listWidth = width - margin * 2;
  const bool hasButtons = !PanelButtons(panel_).empty();
  const int buttonsHeight = hasButtons ? Scale(kRowGap + kButtonHeight, dpi) : 0;
  const int listHeight = height - margin * 2 - Scale(kRowGap + kCounterHeight, dpi) - buttonsHeight;
  const int index = static_cast<int>(panel_);
  // The rows share one picture list, owned by the main window, not by each list.
  list_ = CreateChildControl(WC_LISTVIEWW, L"",
                             LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_SHAREIMAGELISTS | WS_TABSTOP |
                                 WS_BORDER,
                             margin, margin, listWidth, listHeight, Hwnd(), kListViewId + index, setup.font);
  if (list_ != nullptr) {
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP | LVS_EX_DOUBLEBUFFER);
    ListView_SetImageList(list_, icons_.Handle(), LVSIL_SMALL);
    AddColumns(listWidth, dpi);
    if (ListResetsButtons()) {
      ::SetWindowSubclass(list_, &ListPanel::ListHook, kListHookId, reinterpret_cast<DWORD_PTR>(this));
    }
  }

  const int counterTop = margin + listHeight + Scale(kRowGap, dpi);
  const std::wstring caption = corvane::win::Widen(counterCaption_);
  CreateChildControl(L"STATIC", caption.c_str(), SS_LEFT, margin, counterTop, Scale(kCounterCaptionWidth, dpi),
                     Scale(20, dpi), Hwnd(), -1, setup.font);
  counter_ = CreateChildControl(L"STATIC", L"0", SS_LEFT, margin + Scale(kCounterCaptionWidth, dpi), counterTop,
                                Scale(kCounterWidth, dpi), Scale(20, dpi), Hwnd(), kCounterId + index, setup.boldFont);
  if (hasButtons) CreateButtons(margin, counterTop + Scale(kCounterHeight + kRowGap, dpi), listWidth, setup);
}

void ListPanel::CreateButtons(int left, int top, int width, const PanelSetup& setup) {
  const int dpi = setup.dpi;
  const std::span<const PanelButton> buttons = PanelButtons(panel_);
  // Each button as wide as its caption needs; all narrower alike when the row would not fit.
  std::vector<int> widths;
  {
    const corvane::win::WindowDc dc(Hwnd());
    const corvane::win::SelectedObject font(dc.get(), setup.font);
    for (const PanelButton& button : buttons) {
      const std::wstring caption = corvane::win::Widen(button.caption);
      SIZE size{};
      if (!dc || !::GetTextExtentPoint32W(dc.get(), caption.c_str(), static_cast<int>(caption.size()), &size)) {
        size.cx = static_cast<LONG>(caption.size()) * Scale(7, dpi);
      }
      widths.push_back(std::max<int>(size.cx + Scale(kButtonPadding, dpi), Scale(kButtonMinWidth, dpi)));
    }
  }
  const int gap = Scale(kButtonGap, dpi);
  const int room = width - gap * static_cast<int>(buttons.size() - 1);
  int total = 0;
  for (const int w : widths) total += w;
  if (total > room && total > 0) {
    for (int& w : widths) w = ::MulDiv(w, room, total);
  }
  const ButtonPalette palette = MakeButtonPalette(kPanelColor, palette::kBlue, palette::kWhite);
  int x = left;
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    const RECT bounds{x, top, x + widths[i], top + Scale(kButtonHeight, dpi)};
    ImageButton::Create(Hwnd(), static_cast<int>(buttons[i].command), buttons[i].caption, bounds, palette,
                        setup.font);
    x += widths[i] + gap;
  }
}

void ListPanel::PopUpMenu(POINT at) {
  const std::span<const PanelMenuItem> items = PanelMenuItems(panel_);
  if (items.empty() || list_ == nullptr) return;
  corvane::win::UniqueMenu menu(::CreatePopupMenu());
  if (!menu) return;
  for (const PanelMenuItem& item : items) {
    if (item.command == PanelCommand::Separator) {
      ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    } else {
      ::AppendMenuW(menu.get(), MF_STRING, static_cast<UINT_PTR>(item.command),
                    corvane::win::Widen(item.caption).c_str());
    }
  }
  if (at.x == -1 && at.y == -1) {
    // From the keyboard: under the selected row, or at the list's corner.
    RECT place{};
    const int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
    if (row < 0 || !ListView_GetItemRect(list_, row, &place, LVIR_LABEL)) ::GetClientRect(list_, &place);
    at = {place.left, place.bottom};
    ::ClientToScreen(list_, &at);
  }
  const UINT chosen = static_cast<UINT>(
      ::TrackPopupMenuEx(menu.get(), TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, Hwnd(), nullptr));
  // Posted: the operation may open windows of its own, and runs once the menu is fully gone.
  if (chosen != 0) ::PostMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
}

LRESULT ListPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CONTEXTMENU && list_ != nullptr && reinterpret_cast<HWND>(wParam) == list_) {
    PopUpMenu({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    return 0;
  }
  return PanelWindow::HandleMessage(message, wParam, lParam);
}

LRESULT CALLBACK ListPanel::ListHook(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR data) {
  auto* self = reinterpret_cast<ListPanel*>(data);
  switch (message) {
    case WM_MOUSEMOVE:
      ImageButton::ShowAllNormal(self->Hwnd());
      break;
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(hwnd, &ListPanel::ListHook, id);
      break;
    default:
      break;
  }
  return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

void ListPanel::AddColumns(int width, int dpi) {
  AddColumn(0, L"Name", Scale(kNameColumnWidth, dpi));
  AddColumn(1, L"Location", width - Scale(kNameColumnWidth + kScrollBarRoom, dpi));
}

void ListPanel::AddColumn(int index, const wchar_t* title, int width) {
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = const_cast<wchar_t*>(title);
  column.cx = width;
  ListView_InsertColumn(list_, index, &column);
}

int ListPanel::InsertText(std::size_t row, std::string_view text, int icon) {
  std::wstring wide = corvane::win::Widen(text);
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE;
  item.iItem = static_cast<int>(row);
  item.pszText = wide.data();
  item.iImage = icon;
  return ListView_InsertItem(list_, &item);
}

void ListPanel::InsertRow(std::size_t row, const PanelEntry& entry) {
  // The icon is fetched when the row first comes into view (LVN_GETDISPINFOW): a list of thousands
  // would otherwise ask the shell for every file before the window shows.
  const int inserted = InsertText(row, entry.name, I_IMAGECALLBACK);
  if (inserted < 0) return;
  std::wstring path = corvane::win::Widen(entry.path);
  ListView_SetItemText(list_, inserted, 1, path.data());
}

void ListPanel::SetCount(std::size_t count) {
  if (counter_ == nullptr) return;
  const std::wstring text = std::to_wstring(count);
  wchar_t shown[32] = {};
  ::GetWindowTextW(counter_, shown, static_cast<int>(std::size(shown)));
  if (text != shown) ::SetWindowTextW(counter_, text.c_str());
}

const PanelEntry* ListPanel::EntryAt(std::size_t row) const {
  const ListPanelsModel* model = host_.ListPanels();
  return model == nullptr ? nullptr : model->EntryAt(panel_, row);
}

void ListPanel::ApplyRowChanges(const std::vector<RowChange>& changes) {
  if (list_ == nullptr || changes.empty()) return;
  // The first row in view that stays is to be the first in view afterwards.
  std::optional<std::size_t> top;
  const int count = ListView_GetItemCount(list_);
  // Only the rows in view: past them every row would cost a walk through all the steps (clearing
  // thousands of rows would take the square of their number).
  const int first = std::max(ListView_GetTopIndex(list_), 0);
  const int end = std::min(count, first + std::max(ListView_GetCountPerPage(list_), 1) + 1);
  for (int row = first; row < end && !top; ++row) {
    top = RowAfterChanges(changes, static_cast<std::size_t>(row));
  }
  applying_ = true;
  ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  // Room for the rows to come in one step, rather than growing with every one of thousands.
  const auto added = std::count_if(changes.begin(), changes.end(),
                                   [](const RowChange& change) { return change.kind == RowChangeKind::Add; });
  if (added > 64) ListView_SetItemCount(list_, count + static_cast<int>(added));
  for (const RowChange& change : changes) {
    const int row = static_cast<int>(change.row);
    switch (change.kind) {
      case RowChangeKind::Remove:
        ListView_DeleteItem(list_, row);
        break;
      case RowChangeKind::Add:
        InsertRow(change.row, change.entry);
        break;
      case RowChangeKind::Recolour:
        ListView_RedrawItems(list_, row, row);
        break;
    }
  }
  ShowModelSelection();
  ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list_, nullptr, FALSE);
  if (top) KeepAtTop(*top);
  applying_ = false;
}

void ListPanel::ShowModelSelection() {
  // The model is the record of the selection; the control follows it wherever it differs.
  const ListPanelsModel* model = host_.ListPanels();
  if (model == nullptr) return;
  const std::vector<std::size_t> wanted = model->SelectedRows(panel_);
  for (int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED); row >= 0;
       row = ListView_GetNextItem(list_, row, LVNI_SELECTED)) {
    if (std::find(wanted.begin(), wanted.end(), static_cast<std::size_t>(row)) == wanted.end()) {
      ListView_SetItemState(list_, row, 0, LVIS_SELECTED);
    }
  }
  for (const std::size_t row : wanted) {
    if (ListView_GetItemState(list_, static_cast<int>(row), LVIS_SELECTED) == 0) {
      ListView_SetItemState(list_, static_cast<int>(row), LVIS_SELECTED, LVIS_SELECTED);
    }
  }
}

void ListPanel::KeepAtTop(std::size_t row) {
  const int now = ListView_GetTopIndex(list_);
  if (now < 0 || static_cast<std::size_t>(now) == row) return;
  RECT bounds{};
  if (!ListView_GetItemRect(list_, 0, &bounds, LVIR_BOUNDS)) return;
  // In report view the list scrolls by pixels, rounded to whole rows.
  ListView_Scroll(list_, 0, (static_cast<int>(row) - now) * (bounds.bottom - bounds.top));
}

bool ListPanel::OnNotify(const NMHDR& header, LRESULT& result) {
  if (list_ == nullptr || header.hwndFrom != list_) return false;
  result = 0;
  switch (header.code) {
    case LVN_GETINFOTIPW: {
      auto& tip = *reinterpret_cast<NMLVGETINFOTIPW*>(const_cast<NMHDR*>(&header));
      const ListPanelsModel* model = host_.ListPanels();
      if (model == nullptr || tip.iItem < 0 || tip.pszText == nullptr || tip.cchTextMax <= 0) return true;
      const std::string text = model->TooltipAt(panel_, static_cast<std::size_t>(tip.iItem));
      if (text.empty()) return true;
      const std::wstring wide = corvane::win::Widen(text);
      const std::size_t count = std::min(wide.size(), static_cast<std::size_t>(tip.cchTextMax - 1));
      wide.copy(tip.pszText, count);
      tip.pszText[count] = L'\0';
      return true;
    }
    case LVN_GETDISPINFOW: {
      auto& info = *reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(&header));
      if ((info.item.mask & LVIF_IMAGE) == 0 || info.item.iItem < 0) return true;
      const PanelEntry* entry = EntryAt(static_cast<std::size_t>(info.item.iItem));
      info.item.iImage = entry != nullptr ? icons_.IndexFor(entry->path) : -1;
      // Rows keep their entry for life, so the control may keep the answer; not while rows are
      // being added and removed, when the model is already ahead of the control.
      if (entry != nullptr && !applying_) info.item.mask |= LVIF_DI_SETITEM;
      return true;
    }
    case LVN_INSERTITEM:
    case LVN_DELETEITEM:
      // Only the panel adds and removes rows; sent on to the main window, each of thousands of rows
      // of a first fill cost about a tenth of a millisecond under Wine.
      return true;
    case NM_DBLCLK:
      // A double click (or Enter) on a program row opens the details of the selected entry.
      if (HasProgramRows(panel_)) host_.OnDetailsRequested(panel_);
      return true;
    case LVN_KEYDOWN:
      if (reinterpret_cast<const NMLVKEYDOWN*>(&header)->wVKey == VK_RETURN && HasProgramRows(panel_)) {
        host_.OnDetailsRequested(panel_);
      }
      return true;
    case LVN_ITEMCHANGED: {
      const auto& change = *reinterpret_cast<const NMLISTVIEW*>(&header);
      if (applying_ || (change.uChanged & LVIF_STATE) == 0) return true;
      const bool was = (change.uOldState & LVIS_SELECTED) != 0;
      const bool now = (change.uNewState & LVIS_SELECTED) != 0;
      if (was == now) return true;
      if (change.iItem >= 0) {
        host_.OnRowSelectionChanged(panel_, static_cast<std::size_t>(change.iItem), now);
      } else {
        // Item -1: the change applies to every row.
        const int count = ListView_GetItemCount(list_);
        for (int row = 0; row < count; ++row) host_.OnRowSelectionChanged(panel_, static_cast<std::size_t>(row), now);
      }
      return true;
    }
    case NM_CUSTOMDRAW:
      result = OnCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(&header)));
      return true;
    default:
      return false;
  }
}

}  // namespace corvane::ui::win
