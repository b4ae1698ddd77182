#pragma once
// The start-up window: six progress blocks fill in one per second, then it hands over to the main
// window, whose load writes its progress texts here and closes it.
#include <windows.h>

#include <functional>
#include <string_view>

#include "base/win/handle.h"
#include "base/win/window_base.h"
#include "gui/win/dpi_scaling.h"
#include "ui/main_window_model.h"

namespace corvane::ui::win {

class SplashWindow final : public corvane::win::WindowBase<SplashWindow> {
 public:
  static const wchar_t* ClassName() { return L"CorvaneSplash"; }
  static constexpr UINT_PTR kProgressTimer = 2;

  // Creates and shows the window and starts its timer; handOver runs on the seventh tick.
  bool Create(std::function<void()> handOver);
  void SetStatusText(std::string_view text);
  // Hides at once; the window itself goes when the current message is done.
  void Close();

  int VisibleBlocks() const { return progress_.VisibleBlocks(); }
  HWND StatusLabel() const { return label_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint();

  std::function<void()> handOver_;
  SplashProgress progress_;
  HWND label_ = nullptr;
  gui::win::DpiScaling scaling_;
  corvane::win::UniqueGdiObject labelBrush_;
};

}  // namespace corvane::ui::win
