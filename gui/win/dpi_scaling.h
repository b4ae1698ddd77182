#pragma once
// A window's DPI, the fonts made for it, and what a change of DPI does to them. The programs are
// per-monitor aware: a window that moves to a screen of another scale, or whose screen changes scale,
// gets WM_DPICHANGED and must follow by itself. Every window of both programs keeps one DpiScaling
// and hands it that message.
#include <windows.h>

#include <compare>
#include <map>
#include <string_view>

#include "base/win/handle.h"
#include "gui/dpi_rescale.h"

namespace corvane::gui::win {

struct FontSpec {
  // face: the only face to try (a string that outlives the window); empty: the programs' UI faces.
  constexpr FontSpec(int points = 9, int weight = FW_NORMAL, std::wstring_view face = {})
      : points(points), weight(weight), face(face) {}
  // The system's message font at its own size.
  static constexpr FontSpec MessageFont() {
    FontSpec spec;
    spec.messageFont = true;
    return spec;
  }
  auto operator<=>(const FontSpec&) const = default;

  int points;
  int weight;
  std::wstring_view face;
  bool messageFont = false;  // points and face are not asked
};

class DpiScaling {
 public:
  explicit DpiScaling(int dpi = 96) : dpi_(dpi) {}
  DpiScaling(const DpiScaling&) = delete;
  DpiScaling& operator=(const DpiScaling&) = delete;

  int Dpi() const { return dpi_; }
  // A size designed in pixels at 96 DPI, at the window's DPI.
  int Scaled(int pixelsAt96) const;
  // The font at the window's DPI, owned here. One of an earlier DPI stays alive until the change after
  // the one that replaced it, so a window may still hold it while it re-lays itself out.
  HFONT Font(const FontSpec& spec);
  HFONT Font(int points, int weight = FW_NORMAL) { return Font(FontSpec(points, weight)); }

  // For a window made anew (none of the fonts is in use): starts over at dpi.
  void Reset(int dpi);

  enum class Children { Rescale, Keep };
  // The window shows at dpi from now on: its fonts are made anew and every control that had one of the
  // old gets its successor. With Rescale, every child control moves and grows with the scale (list
  // columns and drop-down heights too), and so do the controls inside a child that holds controls of
  // its own (WS_EX_CONTROLPARENT); the window itself is left where it is.
  void ChangeDpi(HWND window, int dpi, Children children);
  // WM_DPICHANGED in full: ChangeDpi with the children rescaled, the window to the rectangle the
  // system suggests, everything repainted.
  LRESULT OnDpiChanged(HWND window, WPARAM wParam, LPARAM lParam);

 private:
  void Follow(HWND parent, int fromDpi, bool rescale, const std::map<HFONT, HFONT>& successors,
              std::map<HWND, DpiPlacement>& placements);

  int dpi_;
  std::map<FontSpec, corvane::win::UniqueGdiObject> fonts_;
  std::map<FontSpec, corvane::win::UniqueGdiObject> retired_;
  std::map<HWND, DpiPlacement> placements_;
};

}  // namespace corvane::gui::win
