#include "gui/win/controls.h"

#include <algorithm>

#include "base/win/handle.h"

namespace corvane::gui::win {

HWND CreateChildControl(const wchar_t* className, const wchar_t* text, DWORD style, int x, int y, int width,
                        int height, HWND parent, int id, HFONT font) {
  HWND hwnd = ::CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                                nullptr);
  if (font != nullptr) SetFont(hwnd, font);
  return hwnd;
}

void SetFont(HWND control, HFONT font) {
  if (control != nullptr) ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

std::wstring WindowTextOf(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(std::max(0, ::GetWindowTextLengthW(hwnd))) + 1, L'\0');
  text.resize(static_cast<std::size_t>(::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

SIZE TextExtent(HWND window, HFONT font, std::wstring_view text) {
  const corvane::win::WindowDc dc(window);
  if (!dc) return {};
  const corvane::win::SelectedObject useFont(dc.get(), font);
  SIZE size{};
  if (!::GetTextExtentPoint32W(dc.get(), text.data(), static_cast<int>(text.size()), &size)) return {};
  return size;
}

}  // namespace corvane::gui::win
