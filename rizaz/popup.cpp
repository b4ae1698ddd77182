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

PopupPlacement PlacePopup(const ScreenFacts& facts) {
  const long long taskbarTwips = RoundHalfEven(facts.taskbarHeightPx * 14.5);
  const long long screenTwips = RoundHalfEven(facts.screenHeightPx * 14.5);
  PopupPlacement placement;
  placement.topTwips = screenTwips - taskbarTwips;
  placement.leftTwips = (facts.screenWidthPx - facts.popupClientWidthPx) * 14.7;
  placement.targetTopTwips = RoundHalfEven(static_cast<double>(screenTwips) - (facts.popupOuterHeightTwips + 100));
  return placement;
}

int TwipsToPixels(double twips, int dpi) {
  if (dpi <= 0) dpi = 96;
  return static_cast<int>(RoundHalfEven(twips * dpi / 1440.0));
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
