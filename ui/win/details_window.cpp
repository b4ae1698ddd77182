#include "ui/win/details_window.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <string>

#include "base/dpi.h"
#include "base/palette.h"
#include "base/win/utf.h"
#include "gui/win/controls.h"
#include "gui/win/file_icons.h"
#include "gui/win/paint.h"
#include "process/process_control.h"
#include "ui/win/process_facts_win.h"

namespace corvane::ui::win {

using gui::win::DrawIconIn;
using gui::win::LabelColors;
using gui::win::LoadFileIcon;
using gui::win::ModalLook;
using gui::win::ModalWindow;
using gui::win::Place;
using gui::win::PrimaryButtons;
using gui::win::ResizeClientArea;
using gui::win::SetFont;

namespace {

// Layout in pixels at 96 DPI.
constexpr int kClientWidth = 520;
constexpr int kClientHeight = 468;
constexpr int kBannerHeight = 80;
constexpr int kMargin = 16;
constexpr int kIconSize = 32;
constexpr int kTextLeft = 68;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 30;

ModalLook DetailsLook(const ProcessReport& report) {
  ModalLook look;
  look.className = FrmFullProcessDetails::ClassName();
  look.caption = corvane::win::Widen(report.caption);
  look.background = palette::kSurface;
  // Every label sits on the banner.
  look.labels = {palette::kPaleBlue, palette::kBlue};
  // OK, Enter, Escape and the close box all close the report.
  look.keys = {IDOK, IDOK, IDOK};
  return look;
}

HTREEITEM InsertItem(HWND tree, HTREEITEM parent, std::string_view text) {
  std::wstring wide = corvane::win::Widen(text);
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent != nullptr ? parent : TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = wide.data();
  return reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
}

}  // namespace

FrmFullProcessDetails::FrmFullProcessDetails(const ProcessReport& report, HICON icon)
    : ModalWindow(DetailsLook(report)), report_(report), icon_(icon) {}

void FrmFullProcessDetails::Show(HWND owner, const ProcessReport& report, HICON icon) {
  FrmFullProcessDetails window(report, icon);
  window.ShowModal(owner);
}

bool FrmFullProcessDetails::CreateControls() {
  if (icon_ == nullptr) {
    defaultIcon_ = LoadFileIcon("", false);
    icon_ = defaultIcon_.get();
  }
  // The end of a headline too long for the banner is replaced by an ellipsis.
  headline_ = AddLabel(report_.headline, kDetailsHeadlineId);
  version_ = AddLabel(kDetailsVersionText, kDetailsVersionId, SS_RIGHT);
  notRunning_ = AddLabel(kNotRunningText, kDetailsNotRunningId);
  if (notRunning_ != nullptr && !report_.notRunning) ::ShowWindow(notRunning_, SW_HIDE);
  tree_ = AddControl(WC_TREEVIEWW, "",
                     WS_VISIBLE | WS_TABSTOP | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                         TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP,
                     kDetailsTreeId);
  if (tree_ != nullptr) ::SetWindowTheme(tree_, L"Explorer", nullptr);
  ok_ = AddButton(IDOK, "OK", PrimaryButtons());
  if (headline_ == nullptr || tree_ == nullptr || ok_ == nullptr) return false;
  FillTree();
  return true;
}

void FrmFullProcessDetails::FillTree() {
  ::SendMessageW(tree_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
  for (const ReportLine& line : report_.lines) {
    const HTREEITEM item = InsertItem(tree_, nullptr, line.text);
    for (const std::string& child : line.children) InsertItem(tree_, item, child);
  }
  // The first line selected, so the keyboard has somewhere to start.
  const auto first = reinterpret_cast<HTREEITEM>(::SendMessageW(tree_, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  if (first != nullptr) ::SendMessageW(tree_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(first));
}

void FrmFullProcessDetails::Arrange(int dpi) {
  const auto s = [dpi](int pixels) { return Scale(pixels, dpi); };
  SetFont(headline_, Font(12, FW_BOLD));
  SetFont(notRunning_, Font(9));
  SetFont(version_, Font(8));
  SetFont(tree_, Font(9));
  SetFont(ok_, Font(9));

  const int width = s(kClientWidth);
  const int height = s(kClientHeight);
  banner_ = {0, 0, width, s(kBannerHeight)};
  iconRect_ = {s(20), s(24), s(20) + s(kIconSize), s(24) + s(kIconSize)};
  const int textWidth = width - s(kTextLeft) - s(96);
  Place(headline_, s(kTextLeft), s(20), textWidth, s(24));
  Place(notRunning_, s(kTextLeft), s(48), textWidth, s(18));
  Place(version_, width - s(88), s(8), s(88) - s(10), s(16));
  const int buttonTop = height - s(kMargin) - s(kButtonHeight);
  Place(tree_, s(kMargin), s(kBannerHeight) + s(kMargin), width - 2 * s(kMargin),
        buttonTop - s(kMargin) - s(kBannerHeight) - s(kMargin));
  Place(ok_, width - s(kMargin) - s(kButtonWidth), buttonTop, s(kButtonWidth), s(kButtonHeight));
  ResizeClientArea(Hwnd(), width, height);
}

void FrmFullProcessDetails::PaintOver(HDC dc) {
  ::FillRect(dc, &banner_, Brush(palette::kBlue));
  if (icon_ != nullptr) DrawIconIn(dc, icon_, iconRect_);
}

LabelColors FrmFullProcessDetails::ColorsOf(HWND label) const {
  if (label == headline_) return {palette::kWhite, palette::kBlue};
  return ModalWindow::ColorsOf(label);
}

void FrmFullProcessDetails::OnCommand(int id) {
  if (id == IDOK) Finish();
}

void ShowProcessDetails(HWND owner, std::string_view path, std::string_view name, ProcessTable& processes) {
  const HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  ProcessReportInput input;
  input.path = std::string(path);
  input.name = std::string(name);
  input.processId = GetProcessIdByName(processes, name);
  input.parent = std::to_string(GetThreadsOrParentId(processes, input.processId, false));
  input.threads = GetThreadsOrParentId(processes, input.processId, true);
  Win32ProcessFacts facts;
  const ProcessReport report = BuildProcessReport(input, facts);
  const corvane::win::UniqueIcon icon = LoadFileIcon(path, false);
  ::SetCursor(previous);
  FrmFullProcessDetails::Show(owner, report, icon.get());
}

}  // namespace corvane::ui::win
