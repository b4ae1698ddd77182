#include "gui/win/dpi_scaling.h"

#include <commctrl.h>

#include <iterator>

#include "base/dpi.h"
#include "base/win/ui_font.h"
#include "gui/win/controls.h"

namespace corvane::gui::win {
namespace {

using corvane::win::UniqueGdiObject;

UniqueGdiObject MakeFont(const FontSpec& spec, int dpi) {
  if (spec.messageFont) {
    LOGFONTW font{};
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) {
      font = metrics.lfMessageFont;
    } else {
      ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    }
    // The system states its fonts for the screen's DPI, not for the window's.
    font.lfHeight = Rescale(font.lfHeight, corvane::win::WindowDpi(nullptr), dpi);
    return UniqueGdiObject(::CreateFontIndirectW(&font));
  }
  if (spec.face.empty()) return corvane::win::CreateUiFont(dpi, spec.points, spec.weight);
  return corvane::win::CreateUiFont(dpi, spec.points, spec.weight, {spec.face.data()});
}

bool IsClass(HWND hwnd, const wchar_t* name) {
  wchar_t className[64] = {};
  ::GetClassNameW(hwnd, className, static_cast<int>(std::size(className)));
  return ::lstrcmpiW(className, name) == 0;
}

void RescaleColumns(HWND list, int fromDpi, int toDpi) {
  const HWND header = ListView_GetHeader(list);
  const int count = header != nullptr ? Header_GetItemCount(header) : 0;
  for (int column = 0; column < count; ++column) {
    ListView_SetColumnWidth(list, column, Rescale(ListView_GetColumnWidth(list, column), fromDpi, toDpi));
  }
}

}  // namespace

int DpiScaling::Scaled(int pixelsAt96) const { return Scale(pixelsAt96, dpi_); }

HFONT DpiScaling::Font(const FontSpec& spec) {
  UniqueGdiObject& font = fonts_[spec];
  if (!font) font = MakeFont(spec, dpi_);
  return corvane::win::FontOf(font);
}

void DpiScaling::Reset(int dpi) {
  dpi_ = dpi > 0 ? dpi : kDesignDpi;
  fonts_.clear();
  retired_.clear();
  placements_.clear();
}

void DpiScaling::ChangeDpi(HWND window, int dpi, Children children) {
  if (dpi <= 0) dpi = kDesignDpi;
  const int fromDpi = dpi_;
  if (dpi == fromDpi) return;
  dpi_ = dpi;
  auto old = std::move(fonts_);
  fonts_.clear();
  std::map<HFONT, HFONT> successors;
  for (const auto& [spec, font] : old) successors[corvane::win::FontOf(font)] = Font(spec);
  std::map<HWND, DpiPlacement> placements;
  if (window != nullptr) Follow(window, fromDpi, children == Children::Rescale, successors, placements);
  // Only the controls still there are remembered.
  placements_ = std::move(placements);
  retired_ = std::move(old);
}

void DpiScaling::Follow(HWND parent, int fromDpi, bool rescale, const std::map<HFONT, HFONT>& successors,
                        std::map<HWND, DpiPlacement>& placements) {
  for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0));
    if (const auto successor = successors.find(font); successor != successors.end()) {
      SetFont(child, successor->second);
    }
    if (rescale) {
      RECT rect{};
      ::GetWindowRect(child, &rect);
      // A drop-down list's window is only its closed part; its height is the open one.
      const bool comboBox = IsClass(child, WC_COMBOBOXW);
      if (comboBox) ::SendMessageW(child, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&rect));
      ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
      DpiPlacement& memo = placements[child];
      if (const auto known = placements_.find(child); known != placements_.end()) memo = known->second;
      const PixelRect to = FollowDpi(memo, {rect.left, rect.top, rect.right, rect.bottom}, fromDpi, dpi_);
      ::MoveWindow(child, to.left, to.top, to.Width(), to.Height(), FALSE);
      if (IsClass(child, WC_LISTVIEWW)) RescaleColumns(child, fromDpi, dpi_);
    }
    // A common control lays out its own parts; a child that holds controls, as a panel does, does not.
    if ((::GetWindowLongPtrW(child, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) != 0) {
      Follow(child, fromDpi, rescale, successors, placements);
    }
  }
}

LRESULT DpiScaling::OnDpiChanged(HWND window, WPARAM wParam, LPARAM lParam) {
  ChangeDpi(window, HIWORD(wParam), Children::Rescale);
  if (const auto* suggested = reinterpret_cast<const RECT*>(lParam); suggested != nullptr) {
    ::SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  return 0;
}

}  // namespace corvane::gui::win
