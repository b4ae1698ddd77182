#include "hotkeys/win/countdown_window.h"

#include <commctrl.h>

#include <string>

#include "base/dpi.h"
#include "base/palette.h"
#include "base/win/utf.h"
#include "gui/win/controls.h"
#include "gui/win/paint.h"
#include "gui/win/window_ops.h"

namespace corvane::hotkeys::win {

using gui::win::LabelColors;
using gui::win::ModalLook;
using gui::win::Place;
using gui::win::SetFont;

namespace {

constexpr UINT_PTR kTickTimer = 1;
// Layout in pixels at 96 DPI.
constexpr int kClientWidth = 345;
constexpr int kClientHeight = 214;
// The band behind the white texts; the warning, the countdown and the bar stand on white below.
constexpr int kBandHeight = 110;
constexpr Color kWarningColor = MakeColor(13, 73, 128);
constexpr Color kCountdownColor = MakeColor(233, 58, 7);

ModalLook CountdownLook() {
  ModalLook look;
  look.className = FrmShutRestartConfermation::ClassName();
  look.caption = corvane::win::Widen(kCountdownCaption);
  look.background = palette::kWhite;
  look.labels = {palette::kWhite, palette::kBlue};
  // However it is closed but by the last tick, nothing happens.
  look.keys = {IDCANCEL, IDCANCEL, 0};
  look.taskbarButton = true;
  return look;
}

// The explanation's run of blanks stands for a line break; as blanks it would break the line only
// at one width of one font.
std::string ShownExplanation() {
  std::string text = CountdownExplanation();
  const std::size_t run = text.find("  ");
  if (run == std::string::npos) return text;
  const std::size_t end = text.find_first_not_of(' ', run);
  return text.substr(0, run) + "\n\n" + text.substr(end == std::string::npos ? text.size() : end);
}

}  // namespace

FrmShutRestartConfermation::FrmShutRestartConfermation(SystemHotkey hotkey, UINT tickMilliseconds)
    : ModalWindow(CountdownLook()), countdown_(hotkey), tickMilliseconds_(tickMilliseconds) {}

bool FrmShutRestartConfermation::Run(HWND owner, SystemHotkey hotkey, UINT tickMilliseconds) {
  FrmShutRestartConfermation window(hotkey, tickMilliseconds);
  const gui::win::ModalEnd end = window.ShowModal(owner);
  return end == gui::win::ModalEnd::Finished && window.countdown_.Completed();
}

bool FrmShutRestartConfermation::CreateControls() {
  heading_ = AddLabel(countdown_.Heading(), kCountdownHeadingId);
  explanation_ = AddLabel(ShownExplanation(), kCountdownExplanationId, SS_LEFT);
  warning_ = AddLabel(kCountdownWarning, kCountdownWarningId, SS_LEFT);
  remaining_ = AddLabel(countdown_.Remaining(), kCountdownRemainingId);
  bar_ = AddControl(PROGRESS_CLASSW, "", WS_VISIBLE, kCountdownBarId);
  cancel_ = AddButton(IDCANCEL, "Cancel", gui::win::PrimaryButtons());
  if (heading_ == nullptr || remaining_ == nullptr || bar_ == nullptr || cancel_ == nullptr) return false;
  gui::win::SetProgressBackColor(bar_, palette::kWhite);
  gui::win::SetProgressBarColor(bar_, kCountdownColor);
  ::SendMessageW(bar_, PBM_SETRANGE32, 0, kCountdownSeconds);
  ::SendMessageW(bar_, PBM_SETPOS, 0, 0);
  ::SetTimer(Hwnd(), kTickTimer, tickMilliseconds_, nullptr);
  return true;
}

void FrmShutRestartConfermation::Arrange(int dpi) {
  const auto s = [dpi](int pixels) { return Scale(pixels, dpi); };
  SetFont(heading_, Font(9, FW_BOLD));
  SetFont(explanation_, Font(8));
  SetFont(warning_, Font(7, FW_BOLD));
  SetFont(remaining_, Font(8, FW_BOLD));
  SetFont(cancel_, Font(9));
  Place(heading_, s(5), s(8), s(337), s(16));
  Place(explanation_, s(15), s(28), s(325), s(80));
  Place(warning_, s(8), s(114), s(335), s(15));
  Place(remaining_, s(10), s(134), s(324), s(16));
  Place(bar_, s(8), s(155), s(328), s(20));
  Place(cancel_, s(243), s(184), s(90), s(27));
  band_ = {0, 0, s(kClientWidth), s(kBandHeight)};
  gui::win::ResizeClientArea(Hwnd(), s(kClientWidth), s(kClientHeight));
}

void FrmShutRestartConfermation::PaintOver(HDC dc) { ::FillRect(dc, &band_, Brush(palette::kBlue)); }

LabelColors FrmShutRestartConfermation::ColorsOf(HWND label) const {
  if (label == warning_) return {kWarningColor, palette::kWhite};
  if (label == remaining_) return {kCountdownColor, palette::kWhite};
  return ModalWindow::ColorsOf(label);
}

void FrmShutRestartConfermation::OnCommand(int id) {
  if (id != IDCANCEL) return;
  ::KillTimer(Hwnd(), kTickTimer);
  countdown_.Cancel();
  Finish();
}

void FrmShutRestartConfermation::OnTick() {
  const bool last = countdown_.Tick();
  ::SendMessageW(bar_, PBM_SETPOS, static_cast<WPARAM>(countdown_.Progress()), 0);
  ::SetWindowTextW(remaining_, corvane::win::Widen(countdown_.Remaining()).c_str());
  if (!last) return;
  ::KillTimer(Hwnd(), kTickTimer);
  Finish();
}

LRESULT FrmShutRestartConfermation::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kTickTimer) {
    if (!IsFinished()) OnTick();
    return 0;
  }
  return ModalWindow::OnMessage(message, wParam, lParam);
}

}  // namespace corvane::hotkeys::win
