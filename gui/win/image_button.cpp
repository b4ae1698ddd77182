#include "gui/win/image_button.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "base/dpi.h"
#include "base/win/handle.h"
#include "base/win/ui_font.h"
#include "base/win/utf.h"
#include "gui/win/controls.h"

namespace corvane::gui::win {
namespace {

using corvane::win::UniqueGdiObject;

constexpr UINT_PTR kButtonHookId = 0x496D6742;  // "ImgB"
constexpr UINT_PTR kParentHookId = 0x496D6750;  // "ImgP"

struct ButtonState {
  ButtonPalette palette;
  HICON icon = nullptr;
  bool hot = false;
  bool trackingLeave = false;
};

// The button's state is also a window property, so any window can be asked whether it is an image
// button (GetWindowSubclass is exported by ordinal only from older comctl32 versions).
constexpr wchar_t kStateProperty[] = L"Corvane.ImageButton";

ButtonState* StateOf(HWND button) {
  if (button == nullptr) return nullptr;
  return static_cast<ButtonState*>(::GetPropW(button, kStateProperty));
}

void SetHot(HWND button, ButtonState& state, bool hot) {
  if (state.hot == hot) return;
  state.hot = hot;
  ::InvalidateRect(button, nullptr, FALSE);
}

// A memory DC and bitmap the size of the button, so a redraw never flickers.
class BufferedPaint {
 public:
  BufferedPaint(HDC target, const RECT& rect)
      : target_(target),
        rect_(rect),
        dc_(::CreateCompatibleDC(target)),
        bitmap_(dc_ ? ::CreateCompatibleBitmap(target, std::max<LONG>(1, rect.right - rect.left),
                                               std::max<LONG>(1, rect.bottom - rect.top))
                    : nullptr),
        selected_(dc_.get(), bitmap_.get()) {
    if (Buffered()) ::SetWindowOrgEx(dc_.get(), rect.left, rect.top, nullptr);
  }
  ~BufferedPaint() {
    if (Buffered()) {
      ::BitBlt(target_, rect_.left, rect_.top, rect_.right - rect_.left, rect_.bottom - rect_.top, dc_.get(),
               rect_.left, rect_.top, SRCCOPY);
    }
  }
  BufferedPaint(const BufferedPaint&) = delete;
  BufferedPaint& operator=(const BufferedPaint&) = delete;

  // Where to draw: the buffer, or the target itself when no buffer could be made.
  HDC Dc() const { return Buffered() ? dc_.get() : target_; }

 private:
  bool Buffered() const { return dc_ && bitmap_; }

  HDC target_;
  RECT rect_;
  // Released in reverse: the bitmap is taken out of the DC, then deleted, then the DC.
  corvane::win::UniqueMemoryDc dc_;
  UniqueGdiObject bitmap_;
  corvane::win::SelectedObject selected_;
};

void Draw(const DRAWITEMSTRUCT& item, const ButtonState& state) {
  const ButtonPalette& colors = state.palette;
  const int dpi = corvane::win::WindowDpi(item.hwndItem);
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool focused = (item.itemState & ODS_FOCUS) != 0;
  const bool hot = state.hot && !disabled;

  BufferedPaint paint(item.hDC, item.rcItem);
  HDC dc = paint.Dc();
  RECT rect = item.rcItem;

  // Around the rounded corners the parent's background shows.
  UniqueGdiObject background(::CreateSolidBrush(colors.background));
  ::FillRect(dc, &rect, static_cast<HBRUSH>(background.get()));

  // The focused button carries a heavier border: the user sees at once what Enter or Space presses.
  const int border = std::max(1, Scale(focused ? 2 : 1, dpi));
  const int radius = Scale(8, dpi);
  UniqueGdiObject fill(::CreateSolidBrush(pressed ? colors.pressedFill : hot ? colors.hotFill : colors.fill));
  UniqueGdiObject pen(
      ::CreatePen(PS_INSIDEFRAME, border, (hot || pressed || focused) ? colors.hotBorder : colors.border));
  {
    corvane::win::SelectedObject usePen(dc, pen.get());
    corvane::win::SelectedObject useBrush(dc, fill.get());
    ::RoundRect(dc, rect.left, rect.top, rect.right, rect.bottom, radius, radius);
  }

  // Caption and icon, centred together; pressed content moves by a pixel as a classic button's does.
  const std::wstring caption = WindowTextOf(item.hwndItem);
  auto font = reinterpret_cast<HFONT>(::SendMessageW(item.hwndItem, WM_GETFONT, 0, 0));
  corvane::win::SelectedObject useFont(dc, font);
  ::SetBkMode(dc, TRANSPARENT);
  ::SetTextColor(dc, disabled ? colors.disabledText : colors.text);

  RECT content = rect;
  const int padding = Scale(6, dpi);
  ::InflateRect(&content, -padding, -border);
  if (pressed) ::OffsetRect(&content, 1, 1);
  UINT format = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;
  if (item.itemState & ODS_NOACCEL) format |= DT_HIDEPREFIX;

  if (state.icon != nullptr) {
    const int iconSize = Scale(16, dpi);
    const int gap = Scale(5, dpi);
    RECT measure = content;
    ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &measure, format | DT_CALCRECT);
    const int textWidth = std::min<int>(measure.right - measure.left, content.right - content.left - iconSize - gap);
    const int total = iconSize + (caption.empty() ? 0 : gap + textWidth);
    const int left = content.left + std::max<int>(0, (content.right - content.left - total) / 2);
    const int top = content.top + (content.bottom - content.top - iconSize) / 2;
    ::DrawIconEx(dc, left, top, state.icon, iconSize, iconSize, 0, nullptr, DI_NORMAL);
    content.left = left + iconSize + gap;
    content.right = content.left + textWidth;
  } else {
    format |= DT_CENTER;
  }
  ::DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &content, format);

  if (focused && !(item.itemState & ODS_NOFOCUSRECT)) {
    RECT focus = rect;
    const int inset = border + Scale(2, dpi);
    ::InflateRect(&focus, -inset, -inset);
    LOGBRUSH stroke{BS_SOLID, colors.text, 0};
    UniqueGdiObject dotted(::ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &stroke, 0, nullptr));
    corvane::win::SelectedObject usePen(dc, dotted.get());
    corvane::win::SelectedObject useBrush(dc, ::GetStockObject(NULL_BRUSH));
    ::RoundRect(dc, focus.left, focus.top, focus.right, focus.bottom, std::max<int>(0, radius - inset),
                std::max<int>(0, radius - inset));
  }
}

LRESULT CALLBACK ButtonHook(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data) {
  auto* state = reinterpret_cast<ButtonState*>(data);
  switch (message) {
    case WM_MOUSEMOVE:
      SetHot(hwnd, *state, true);
      if (!state->trackingLeave) {
        TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd, 0};
        state->trackingLeave = ::TrackMouseEvent(&track) != FALSE;
      }
      break;
    case WM_MOUSELEAVE:
      state->trackingLeave = false;
      SetHot(hwnd, *state, false);
      break;
    case WM_ENABLE:
      if (!wParam) SetHot(hwnd, *state, false);
      ::InvalidateRect(hwnd, nullptr, FALSE);
      break;
    case WM_ERASEBKGND:
      return 1;  // the drawing covers every pixel
    case BM_SETSTYLE:
      // Dialogs set BS_DEFPUSHBUTTON / BS_PUSHBUTTON on buttons that gain or lose the default; the
      // button must stay owner-drawn.
      wParam = (wParam & ~static_cast<WPARAM>(BS_TYPEMASK)) | BS_OWNERDRAW;
      break;
    case WM_NCDESTROY: {
      ::RemoveWindowSubclass(hwnd, &ButtonHook, id);
      ::RemovePropW(hwnd, kStateProperty);
      delete state;
      return ::DefSubclassProc(hwnd, message, wParam, lParam);
    }
    default:
      break;
  }
  return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK ParentHook(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR) {
  switch (message) {
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item != nullptr && item->CtlType == ODT_BUTTON) {
        if (const ButtonState* state = StateOf(item->hwndItem)) {
          try {
            Draw(*item, *state);
          } catch (...) {
            // Nothing may leave a window procedure; the button stays as it was drawn last.
          }
          return TRUE;
        }
      }
      break;
    }
    case WM_MOUSEMOVE:
      // The mouse is over the background: no button of this window is under it.
      ImageButton::ShowAllNormal(hwnd);
      break;
    case WM_NCDESTROY:
      ::RemoveWindowSubclass(hwnd, &ParentHook, id);
      break;
    default:
      break;
  }
  return ::DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

HWND ImageButton::Create(HWND parent, int id, std::string_view caption, const RECT& bounds,
                         const ButtonPalette& palette, HFONT font, DWORD extraStyle) {
  if (parent == nullptr || !::IsWindow(parent)) return nullptr;
  // Installing the same hook twice only replaces its data, so every button may ask for it.
  if (!::SetWindowSubclass(parent, &ParentHook, kParentHookId, 0)) return nullptr;
  HWND button = ::CreateWindowExW(
      0, WC_BUTTONW, corvane::win::Widen(caption).c_str(), WS_CHILD | WS_VISIBLE | BS_OWNERDRAW | extraStyle,
      bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
  if (button == nullptr) return nullptr;
  auto* state = new ButtonState{palette};
  if (!::SetPropW(button, kStateProperty, state)) {
    delete state;
    ::DestroyWindow(button);
    return nullptr;
  }
  if (!::SetWindowSubclass(button, &ButtonHook, kButtonHookId, reinterpret_cast<DWORD_PTR>(state))) {
    ::RemovePropW(button, kStateProperty);
    delete state;
    ::DestroyWindow(button);
    return nullptr;
  }
  if (font != nullptr) SetFont(button, font);
  ::InvalidateRect(button, nullptr, FALSE);
  return button;
}

bool ImageButton::IsImageButton(HWND button) { return StateOf(button) != nullptr; }

bool ImageButton::IsHot(HWND button) {
  const ButtonState* state = StateOf(button);
  return state != nullptr && state->hot;
}

void ImageButton::ShowNormal(HWND button) {
  if (ButtonState* state = StateOf(button)) SetHot(button, *state, false);
}

void ImageButton::ShowAllNormal(HWND parent) {
  if (parent == nullptr) return;
  for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    ShowNormal(child);
  }
}

void ImageButton::SetPalette(HWND button, const ButtonPalette& palette) {
  if (ButtonState* state = StateOf(button)) {
    state->palette = palette;
    ::InvalidateRect(button, nullptr, FALSE);
  }
}

void ImageButton::SetIcon(HWND button, HICON icon) {
  if (ButtonState* state = StateOf(button)) {
    state->icon = icon;
    ::InvalidateRect(button, nullptr, FALSE);
  }
}

}  // namespace corvane::gui::win
