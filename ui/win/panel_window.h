#pragma once
// The surface every panel of the main window is built on: a child window in the panel colour whose
// background resets its buttons to their normal look, and which passes the commands of its controls
// on to the main window. Exactly one panel is visible at a time.
#include <windows.h>

#include "base/palette.h"
#include "base/win/handle.h"
#include "base/win/window_base.h"
#include "gui/dialog_layout.h"

namespace corvane::ui::win {

// Control ids inside the panels: list views and counters, plus the panel's index. Stable: the
// end-to-end tests find the running list by its id.
inline constexpr int kListViewId = 200;
inline constexpr int kCounterId = 300;

// The space between a panel's edge and its controls, in pixels at 96 DPI.
inline constexpr int kPanelMargin = 16;

inline constexpr Color kPanelColor = palette::kSurface;
inline constexpr Color kPanelCaptionText = palette::kSurfaceText;

// What the main window lends its panels for their controls.
struct PanelSetup {
  HFONT font = nullptr;
  HFONT boldFont = nullptr;
  int dpi = 96;
};

class PanelWindow : public corvane::win::WindowBase<PanelWindow> {
 public:
  static const wchar_t* ClassName() { return L"CorvanePanel"; }

  // Creates the panel hidden at bounds (pixels of the parent's client area), then its controls.
  bool Create(HWND parent, const RECT& bounds, const PanelSetup& setup);

 protected:
  // The panel's own controls, created once the panel window exists.
  virtual void CreateControls(int /*width*/, int /*height*/, const PanelSetup& /*setup*/) {}
  // Notifications of the panel's controls; those not handled go on to the main window.
  virtual bool OnNotify(const NMHDR& /*header*/, LRESULT& /*result*/) { return false; }

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  corvane::win::UniqueGdiObject brush_;
};

}  // namespace corvane::ui::win
