#include "rizaz/popup.h"

#include <cmath>

namespace corvane::rizaz {

long long RoundHalfEven(double value) {
  const double lower = std::floor(value);
  const double fraction = value - lower;
  long long result = static_cast<long long>(lower);
  if (fraction > 0.5 || (fraction == 0.5 && result % 2 != 0)) ++result;
  return result;
}

namespace {

// Moves the whole slide so that the resting popup lies inside area: bottom and right edges first,
// then top and left, which win on an area too small for the popup.
void KeepInside(PopupPlacement& placement, const ScreenFacts& facts, const ScreenRect& area, int dpi) {
  const double top = PixelsToTwips(area.top, dpi);
  const double bottom = PixelsToTwips(area.bottom, dpi);
  const double left = PixelsToTwips(area.left, dpi);
  const double right = PixelsToTwips(area.right, dpi);
  const long long rest = RestingTopTwips(placement);
  long long shift = 0;
  const double below = static_cast<double>(rest) + facts.popupOuterHeightTwips - bottom;
  if (below > 0) shift = -static_cast<long long>(std::ceil(below));
  if (static_cast<double>(rest + shift) < top) shift = static_cast<long long>(std::ceil(top)) - rest;
  placement.topTwips += shift;
  placement.targetTopTwips += shift;
  if (placement.leftTwips + facts.popupOuterWidthTwips > right) placement.leftTwips = right - facts.popupOuterWidthTwips;
  if (placement.leftTwips < left) placement.leftTwips = left;
}

}  // namespace

PopupPlacement PlacePopup(const ScreenFacts& facts) {
  const int dpi = facts.dpi > 0 ? facts.dpi : 96;
  const long long taskbarTwips = RoundHalfEven(PixelsAt96(facts.taskbarHeightPx, dpi) * 14.5);
  const long long screenTwips = RoundHalfEven(PixelsAt96(facts.screenHeightPx, dpi) * 14.5);
  PopupPlacement placement;
  placement.topTwips = screenTwips - taskbarTwips;
  placement.leftTwips = PixelsAt96(facts.screenWidthPx - facts.popupClientWidthPx, dpi) * 14.7;
  placement.targetTopTwips = RoundHalfEven(static_cast<double>(screenTwips) - (facts.popupOuterHeightTwips + 100));
  const ScreenRect area =
      facts.workArea.IsEmpty() ? ScreenRect{0, 0, facts.screenWidthPx, facts.screenHeightPx} : facts.workArea;
  if (!area.IsEmpty()) KeepInside(placement, facts, area, dpi);
  return placement;
}

long long RestingTopTwips(const PopupPlacement& placement) {
  const long long distance = placement.topTwips - placement.targetTopTwips;
  if (distance <= 0) return placement.topTwips;
  const long long steps = (distance + kSlideStepTwips - 1) / kSlideStepTwips;
  return placement.topTwips - steps * kSlideStepTwips;
}

void PopupController::Open() {
  view_.StopHoldTimer();
  placement_ = PlacePopup(view_.MeasureScreen());
  top_ = placement_.topTwips;
  checked_ = false;
  view_.Open(placement_);
  state_ = PopupState::Sliding;
  view_.StartSlideTimer();
}

void PopupController::Show(const std::string& name) {
  if (state_ == PopupState::Closed) Open();
  view_.SetName(name);
}

void PopupController::OnSlideTick() {
  if (state_ != PopupState::Sliding) return;
  if (top_ > placement_.targetTopTwips) {
    top_ -= kSlideStepTwips;
    view_.MoveTo(top_, placement_.leftTwips);
    return;
  }
  view_.StopSlideTimer();
  state_ = PopupState::Holding;
  view_.StartHoldTimer();
}

void PopupController::OnHoldTick() {
  if (state_ != PopupState::Holding) return;
  view_.StopHoldTimer();
  state_ = PopupState::Closed;
  view_.Close();
}

void PopupController::OnWindowGone() {
  if (state_ == PopupState::Closed) return;
  view_.StopSlideTimer();
  view_.StopHoldTimer();
  state_ = PopupState::Closed;
}

void PopupController::OnCheckBoxClicked() {
  if (state_ == PopupState::Closed) return;
  checked_ = !checked_;
  view_.SetChecked(checked_);
  WriteNumberSetting(settings_, settings::kChkDontShow, checked_ ? 1 : 0);
}

void PopupController::OnLabelClicked() {
  if (state_ == PopupState::Closed) return;
  checked_ = true;
  view_.SetChecked(true);
  WriteNumberSetting(settings_, settings::kChkDontShow, 1);
}

}  // namespace corvane::rizaz
