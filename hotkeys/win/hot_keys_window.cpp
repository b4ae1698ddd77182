#include "hotkeys/win/hot_keys_window.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <array>
#include <vector>

#include "base/dpi.h"
#include "base/palette.h"
#include "base/text.h"
#include "base/win/utf.h"
#include "gui/win/controls.h"
#include "gui/win/file_dialog.h"
#include "gui/win/paint.h"

namespace corvane::hotkeys::win {

using gui::win::ModalLook;
using gui::win::Place;
using gui::win::SetFont;

namespace {

constexpr Color kLineColor = MakeColor(175, 200, 241);
constexpr Color kBannerColor = palette::kNavy;

constexpr std::string_view kHotKeysText =
    "This panel allows you to set Hot Keys for any application(s) or file(s) you want. This helps you to access the "
    "application(s) or file(s) with your pre-defined Hot Keys. Pressing the Hot Keys will start the application(s) or "
    "file(s) you want. For example If you had set CTRL (Control Key) + I for Internet Explorer, now whenever you "
    "press CTRL (Control Key) + I together, an Internet Explorer will open. You can set any Hot Key for any "
    "application(s) or file(s) you desire.";

std::string WindowText(HWND control) { return corvane::win::Narrow(gui::win::WindowTextOf(control)); }

void DrawBannerTitle(HDC dc, const RECT& banner, HFONT font, std::string_view title, int indent) {
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, palette::kWhite);
  const HGDIOBJ previous = ::SelectObject(dc, font);
  RECT text = banner;
  text.left += indent;
  const std::wstring wide = corvane::win::Widen(title);
  ::DrawTextW(dc, wide.c_str(), -1, &text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  ::SelectObject(dc, previous);
}

ModalLook HotKeysLook() {
  ModalLook look;
  look.className = FrmHotKey::ClassName();
  look.caption = corvane::win::Widen(kHotKeysCaption);
  look.background = palette::kBlue;
  look.labels = {palette::kWhite, palette::kBlue};
  look.keys = {IDCANCEL, IDCANCEL, 0};
  return look;
}

ModalLook AddLook() {
  ModalLook look;
  look.className = FrmAddHotKey::ClassName();
  look.caption = corvane::win::Widen(kAddHotKeyCaption);
  look.background = palette::kBlue;
  look.labels = {palette::kWhite, palette::kBlue};
  // Closing the form in any way but Ok stores nothing; Enter is Ok.
  look.keys = {IDCANCEL, IDCANCEL, IDOK};
  return look;
}

}  // namespace

std::string AddPathDesignText() {
  return std::string(43, ' ') + "Click on the button to select a file ------------->";
}

std::optional<std::string> ChooseHotKeyTarget(HWND owner) {
  std::wstring folder(MAX_PATH, L'\0');
  const DWORD length = ::GetEnvironmentVariableW(L"programfiles", folder.data(), static_cast<DWORD>(folder.size()));
  folder.resize(length < folder.size() ? length : 0);
  const std::optional<std::string> chosen =
      gui::win::ShowFileOpenDialog(owner, kChooserTitle, corvane::win::Narrow(folder));
  if (!chosen) return std::nullopt;
  std::string path = TrimSpaces(*chosen);
  if (path.empty()) return std::nullopt;
  return path;
}

// ---- Hot Keys -------------------------------------------------------------------------------------

FrmHotKey::FrmHotKey(Lists& lists, ListFileSystem& files, char shutDownKey, char restartKey)
    : ModalWindow(HotKeysLook()),
      lists_(lists),
      files_(files),
      shutDownKey_(shutDownKey),
      restartKey_(restartKey),
      model_(lists, dialogs_) {}

void FrmHotKey::Show(HWND owner, Lists& lists, ListFileSystem& files, char shutDownKey, char restartKey) {
  FrmHotKey window(lists, files, shutDownKey, restartKey);
  window.ShowModal(owner);
}

bool FrmHotKey::CreateControls() {
  dialogs_.SetOwner(Hwnd());
  text_ = AddLabel(kHotKeysText, -1, SS_LEFT);
  heading_ = AddLabel("Hot Keys Assigned", -1, SS_CENTER);
  list_ = AddControl(WC_LISTVIEWW, "",
                     WS_VISIBLE | WS_TABSTOP | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                         LVS_SHAREIMAGELISTS,
                     kHotKeysListId);
  add_ = AddButton(kHotKeysAddId, "Add", gui::win::ButtonsOnBlue());
  remove_ = AddButton(kHotKeysRemoveId, "Remove", gui::win::ButtonsOnBlue());
  if (list_ == nullptr || add_ == nullptr || remove_ == nullptr) return false;
  ::SetWindowTheme(list_, L"Explorer", nullptr);
  ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  ListView_SetImageList(list_, icons_.Handle(), LVSIL_SMALL);
  const std::array<const wchar_t*, 2> titles = {L"Application / File", L"Hot Key"};
  for (int i = 0; i < 2; ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = const_cast<wchar_t*>(titles[static_cast<std::size_t>(i)]);
    ListView_InsertColumn(list_, i, &column);
  }
  model_.Load();
  Fill();
  return true;
}

void FrmHotKey::Fill() {
  ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(list_);
  int row = 0;
  for (const HotKeyEntry& binding : model_.Rows()) {
    std::wstring target = corvane::win::Widen(binding.target);
    std::wstring label = corvane::win::Widen(binding.keyLabel);
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = row++;
    item.pszText = target.data();
    item.iImage = icons_.IndexFor(binding.target);
    const int inserted = ListView_InsertItem(list_, &item);
    if (inserted >= 0) ListView_SetItemText(list_, inserted, 1, label.data());
  }
  ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list_, nullptr, TRUE);
}

void FrmHotKey::Arrange(int dpi) {
  const auto s = [dpi](int pixels) { return Scale(pixels, dpi); };
  SetFont(text_, Font(8));
  SetFont(heading_, Font(12, FW_BOLD));
  SetFont(list_, Font(9));
  SetFont(add_, Font(9));
  SetFont(remove_, Font(9));
  banner_ = {0, 0, s(400), s(60)};
  Place(text_, s(12), s(68), s(382), s(108));
  Place(heading_, s(12), s(179), s(376), s(20));
  Place(list_, s(11), s(202), s(376), s(246));
  Place(add_, s(194), s(456), s(90), s(27));
  Place(remove_, s(295), s(456), s(90), s(27));
  ListView_SetColumnWidth(list_, 0, s(376 - 110 - 24));
  ListView_SetColumnWidth(list_, 1, s(110));
  gui::win::ResizeClientArea(Hwnd(), s(400), s(492));
}

void FrmHotKey::PaintOver(HDC dc) {
  ::FillRect(dc, &banner_, Brush(kBannerColor));
  DrawBannerTitle(dc, banner_, Font(18, FW_BOLD), kHotKeysCaption, Scaled(16));
}

void FrmHotKey::OnCommand(int id) {
  switch (id) {
    case kHotKeysAddId:
      Add();
      break;
    case kHotKeysRemoveId:
      Remove();
      break;
    case IDCANCEL:
      Finish();
      break;
    default:
      break;
  }
}

void FrmHotKey::Add() {
  // The form's messages stand over the form while it is open.
  gui::win::WindowDialogs formDialogs;
  AddHotKeyModel form(lists_, files_, formDialogs, std::string(1, shutDownKey_), std::string(1, restartKey_));
  if (FrmAddHotKey::Show(Hwnd(), form, formDialogs)) Fill();
}

void FrmHotKey::Remove() {
  const int selected = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
  model_.Select(selected >= 0 ? std::optional<std::size_t>(static_cast<std::size_t>(selected)) : std::nullopt);
  if (model_.RemoveSelected()) Fill();
}

// ---- Add a Hot Key --------------------------------------------------------------------------------

FrmAddHotKey::FrmAddHotKey(AddHotKeyModel& model, gui::win::WindowDialogs& dialogs)
    : ModalWindow(AddLook()), model_(model), dialogs_(dialogs) {}

bool FrmAddHotKey::Show(HWND owner, AddHotKeyModel& model, gui::win::WindowDialogs& dialogs) {
  FrmAddHotKey window(model, dialogs);
  const HWND previousOwner = dialogs.Owner();
  window.ShowModal(owner);
  dialogs.SetOwner(previousOwner);
  return window.stored_;
}

bool FrmAddHotKey::CreateControls() {
  dialogs_.SetOwner(Hwnd());
  fileLabel_ = AddLabel("Select a File", -1);
  path_ = AddControl(L"EDIT", AddPathDesignText(), WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, kAddPathId);
  browse_ = AddControl(L"BUTTON", "...", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, kAddBrowseId);
  keyLabel_ = AddLabel("Select Hot-Key", -1);
  // Its trailing blanks are clipped, not shown as an ellipsis.
  prefix_ = AddLabel("CTRL + SHIFT +   ", -1, SS_LEFTNOWORDWRAP);
  keys_ = AddControl(WC_COMBOBOXW, "", WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, kAddKeyListId);
  ok_ = AddButton(IDOK, "Ok", gui::win::ButtonsOnBlue());
  cancel_ = AddButton(IDCANCEL, "Cancel", gui::win::ButtonsOnBlue());
  if (path_ == nullptr || browse_ == nullptr || keys_ == nullptr || ok_ == nullptr || cancel_ == nullptr) return false;
  for (const std::string& key : model_.OfferedKeys()) {
    ::SendMessageW(keys_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(corvane::win::Widen(key).c_str()));
  }
  ::SendMessageW(keys_, CB_SETCURSEL, 0, 0);
  return true;
}

void FrmAddHotKey::Arrange(int dpi) {
  const auto s = [dpi](int pixels) { return Scale(pixels, dpi); };
  const HFONT bold = Font(8, FW_BOLD);
  SetFont(fileLabel_, bold);
  SetFont(keyLabel_, bold);
  SetFont(prefix_, Font(8));
  SetFont(path_, Font(8));
  SetFont(browse_, Font(8));
  SetFont(keys_, Font(8));
  SetFont(ok_, Font(9));
  SetFont(cancel_, Font(9));
  banner_ = {0, 0, s(396), s(64)};
  line_ = {0, s(185), s(396), s(186)};
  Place(fileLabel_, s(17), s(69), s(120), s(16));
  Place(path_, s(17), s(91), s(347), s(20));
  Place(browse_, s(367), s(91), s(21), s(20));
  // The design text's blanks lead the eye to the button: its start is what shows.
  ::SendMessageW(path_, EM_SETSEL, 0, 0);
  ::SendMessageW(path_, EM_SCROLLCARET, 0, 0);
  Place(keyLabel_, s(16), s(129), s(120), s(16));
  Place(prefix_, s(24), s(159), s(92), s(14));
  Place(keys_, s(116), s(156), s(51), s(200));
  Place(ok_, s(199), s(195), s(90), s(27));
  Place(cancel_, s(297), s(195), s(90), s(27));
  gui::win::ResizeClientArea(Hwnd(), s(396), s(228));
}

void FrmAddHotKey::PaintOver(HDC dc) {
  ::FillRect(dc, &banner_, Brush(palette::kNavy));
  DrawBannerTitle(dc, banner_, Font(16, FW_BOLD), kAddHotKeyCaption, Scaled(17));
  ::FillRect(dc, &line_, Brush(kLineColor));
}

gui::win::LabelColors FrmAddHotKey::ColorsOf(HWND label) const {
  if (label == keys_) return {palette::kWhite, palette::kBlue};
  return ModalWindow::ColorsOf(label);
}

LRESULT FrmAddHotKey::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // The key list in the form's blue with white text.
  if (message == WM_CTLCOLORLISTBOX ||
      (message == WM_CTLCOLOREDIT && ::GetParent(reinterpret_cast<HWND>(lParam)) == keys_)) {
    const HDC dc = reinterpret_cast<HDC>(wParam);
    ::SetTextColor(dc, palette::kWhite);
    ::SetBkColor(dc, palette::kBlue);
    return reinterpret_cast<LRESULT>(Brush(palette::kBlue));
  }
  return ModalWindow::OnMessage(message, wParam, lParam);
}

void FrmAddHotKey::OnCommand(int id) {
  switch (id) {
    case kAddBrowseId:
      if (const std::optional<std::string> chosen = ChooseHotKeyTarget(Hwnd())) {
        ::SetWindowTextW(path_, corvane::win::Widen(*chosen).c_str());
      }
      break;
    case IDOK:
      if (model_.Accept(WindowText(path_), WindowText(keys_))) {
        stored_ = true;
        Finish();
      }
      break;
    case IDCANCEL:
      Finish();
      break;
    default:
      break;
  }
}

}  // namespace corvane::hotkeys::win
