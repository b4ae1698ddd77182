#pragma once
// The blocked-notification popup: a small borderless window at the bottom right of the screen, on
// top of all others, that never takes the focus and has no taskbar button.
#include <windows.h>

#include <string>

#include "base/dpi.h"
#include "base/win/handle.h"
#include "base/win/window_base.h"
#include "gui/win/dpi_scaling.h"
#include "rizaz/popup.h"

namespace corvane::win {

// Stable names for tests that look for the popup from another process.
inline constexpr wchar_t kPopupClassName[] = L"RizazFrmMessage";
inline constexpr int kLblProcessnameId = 101;
inline constexpr int kLabel1Id = 102;
inline constexpr int kChkDontShowId = 103;
inline constexpr int kLabel2Id = 104;

class PopupWindow final : public rizaz::PopupView, public WindowBase<PopupWindow> {
 public:
  explicit PopupWindow(HWND owner) : owner_(owner) {}

  // Receives the timer ticks and clicks.
  void SetController(rizaz::PopupController* controller) { controller_ = controller; }
  static const wchar_t* ClassName() { return kPopupClassName; }
  static UINT ClassStyle() { return 0; }

  rizaz::ScreenFacts MeasureScreen() override;
  void Open(const rizaz::PopupPlacement& placement) override;
  void SetName(const std::string& name) override;
  void MoveTo(long long topTwips, double leftTwips) override;
  void SetChecked(bool checked) override;
  void StartSlideTimer() override;
  void StopSlideTimer() override;
  void StartHoldTimer() override;
  void StopHoldTimer() override;
  void Close() override;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void CreateControls();
  // The background at the popup's DPI, made again only when that has changed since.
  void CreateBackground();
  // The outer size of the popup at its DPI.
  SIZE OuterSize() const;
  HWND AddLabel(int id, const wchar_t* text, int x, int y, HFONT font, DWORD extraStyle);
  void FitLabel(HWND label);
  void OnDpiChanged(int dpi, const RECT& suggested);
  int Scale(int pixels) const { return scaling_.Scaled(pixels); }

  HWND owner_;
  rizaz::PopupController* controller_ = nullptr;
  int dpi_ = 96;  // the screen's, as last measured; the twips are converted at it
  gui::win::DpiScaling scaling_;  // the fonts, at the popup's DPI
  int backgroundDpi_ = 0;  // the DPI the background was made for
  UniqueGdiObject background_;  // the client area's picture, drawn once per popup
  UniqueGdiObject backgroundBrush_;
  HWND lblProcessname_ = nullptr;
  HWND chkDontShow_ = nullptr;
};

}  // namespace corvane::win
