#pragma once
// The blocked-notification popup without its window: where it appears, how it slides up above the
// taskbar, how long it stays, and its "don't show again" check box.
//
// Positions are in twips, as the popup has always computed them: the screen and the taskbar are
// converted at 14.5 twips per pixel and the left edge at 14.7, so the popup starts around the top
// edge of the taskbar and stops a little short of the screen's right edge. Those figures are meant
// for pixels of a 96 DPI screen (15 twips each); a scaled screen's pixels are first counted as 96 DPI
// pixels, so the popup keeps its place at any scale. Where the place would leave part of the resting
// popup outside the work area (a taller taskbar than the figures allow for, a narrow screen), the
// popup moves inside it, the slide unchanged. The window layer converts twips to pixels at the
// screen's DPI (1440 / dpi twips per pixel) with TwipsToPixels of base/dpi.h.
#include <string>

#include "base/dpi.h"
#include "store/settings.h"

namespace corvane::rizaz {

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
long long RoundHalfEven(double value);

// A rectangle in screen pixels; right and bottom are outside it.
struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  bool IsEmpty() const { return right <= left || bottom <= top; }
};

// What the popup is placed by. Pixels are the screen's own, at dpi.
struct ScreenFacts {
  int screenWidthPx = 0;
  int screenHeightPx = 0;
  int taskbarHeightPx = 0;  // 0 when there is no taskbar window
  int popupClientWidthPx = 346;
  double popupOuterHeightTwips = 1575;  // 105 px at 15 twips per pixel
  int dpi = 96;
  ScreenRect workArea{};                // empty: the whole screen
  double popupOuterWidthTwips = 5220;   // 348 px at 15 twips per pixel
};

struct PopupPlacement {
  long long topTwips = 0;        // where the slide starts
  double leftTwips = 0;          // stays put
  long long targetTopTwips = 0;  // the slide ends at or just above it
};

PopupPlacement PlacePopup(const ScreenFacts& facts);

inline constexpr int kSlideStepTwips = 80;
inline constexpr unsigned kSlideIntervalMs = 1;
inline constexpr unsigned kHoldMs = 2000;

// Where a slide from topTwips stops: the first step at or above targetTopTwips.
long long RestingTopTwips(const PopupPlacement& placement);

enum class PopupState { Closed, Sliding, Holding };

// What the controller needs of the real window.
class PopupView {
 public:
  virtual ~PopupView() = default;
  virtual ScreenFacts MeasureScreen() = 0;
  // Creates the window at the placement's start, shown without taking the focus, check box clear.
  virtual void Open(const PopupPlacement& placement) = 0;
  virtual void SetName(const std::string& name) = 0;
  virtual void MoveTo(long long topTwips, double leftTwips) = 0;
  virtual void SetChecked(bool checked) = 0;
  virtual void StartSlideTimer() = 0;
  virtual void StopSlideTimer() = 0;
  virtual void StartHoldTimer() = 0;
  virtual void StopHoldTimer() = 0;
  virtual void Close() = 0;
};

class PopupController {
 public:
  PopupController(PopupView& view, SettingsStore& settings) : view_(view), settings_(settings) {}

  // A program was blocked: a closed popup opens and slides up; an open one only shows the new name,
  // its slide and hold go on unchanged.
  void Show(const std::string& name);
  void OnSlideTick();
  void OnHoldTick();
  // The window went away by other means (the session ends).
  void OnWindowGone();

  // Both write "ChkDontShow" at once. The label only ever checks the box.
  void OnCheckBoxClicked();
  void OnLabelClicked();

  PopupState state() const { return state_; }
  const PopupPlacement& placement() const { return placement_; }
  long long topTwips() const { return top_; }
  bool checked() const { return checked_; }

 private:
  void Open();

  PopupView& view_;
  SettingsStore& settings_;
  PopupState state_ = PopupState::Closed;
  PopupPlacement placement_;
  long long top_ = 0;
  bool checked_ = false;
};

}  // namespace corvane::rizaz
