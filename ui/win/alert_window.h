#pragma once
// FrmMessage, "Corvane Alert": a program that nobody has judged yet has started; the user allows
// or blocks it, or first looks at its details. The window is modal, stays above every other window
// while it waits, and cannot be answered by a stray key: there is no default button, the Details
// button has the focus when it opens (so Enter or Space only open the details), and every way of
// closing it other than Allow (Escape, Alt+F4, the close box) blocks.
#include <windows.h>

#include "base/win/handle.h"
#include "ui/process_report.h"
#include "base/win/window_base.h"
#include "watch/new_program_decision.h"

namespace corvane::ui::win {

// Control ids of the alert window. None is IDOK or IDCANCEL: Enter without a focused button sends
// IDOK, which must not answer anything.
inline constexpr int kAlertAllowId = 1101;
inline constexpr int kAlertBlockId = 1102;
inline constexpr int kAlertDetailsId = 1103;
inline constexpr int kAlertNameId = 1110;
inline constexpr int kAlertProcessIdCaptionId = 1111;
inline constexpr int kAlertProcessIdId = 1112;
inline constexpr int kAlertCreatedCaptionId = 1113;
inline constexpr int kAlertCreatedId = 1114;
inline constexpr int kAlertLocationCaptionId = 1115;
inline constexpr int kAlertLocationId = 1116;
inline constexpr int kAlertQuestionId = 1117;

class FrmMessage final : public corvane::win::WindowBase<FrmMessage> {
 public:
  static constexpr const wchar_t* kCaption = L"Corvane Alert";
  static const wchar_t* ClassName() { return L"CorvaneAlert"; }

  // Shows the alert over owner (disabled meanwhile; may be null) and waits for the answer: Allow or
  // Block as pressed, Block for every other way of closing and when the window cannot be shown.
  // facts supply the creation date and the details report.
  static watch::AlertDecision Show(HWND owner, const watch::AlertRequest& request, ProcessFacts& facts);

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  FrmMessage(const watch::AlertRequest& request, ProcessFacts& facts);
  bool Create(HWND owner);
  void CreateControls();
  void Arrange(int dpi);
  int LocationHeight(int width) const;
  void Paint();
  void OnCommand(int id);
  void OnDetails();
  void Decide(watch::AlertDecision decision);

  const watch::AlertRequest& request_;
  ProcessFacts& facts_;
  watch::AlertDecision decision_ = watch::AlertDecision::Block;
  bool done_ = false;
  bool showingDetails_ = false;

  HWND name_ = nullptr;
  HWND location_ = nullptr;
  HWND question_ = nullptr;
  HWND allow_ = nullptr;
  HWND block_ = nullptr;
  HWND details_ = nullptr;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  RECT banner_{};
  RECT iconRect_{};
  RECT separator_{};
  corvane::win::UniqueIcon programIcon_;
  corvane::win::UniqueIcon bigAppIcon_;
  corvane::win::UniqueIcon smallAppIcon_;
  corvane::win::UniqueGdiObject font_;
  corvane::win::UniqueGdiObject nameFont_;
  corvane::win::UniqueGdiObject questionFont_;
  corvane::win::UniqueGdiObject bannerBrush_;
  corvane::win::UniqueGdiObject bodyBrush_;
  corvane::win::UniqueGdiObject separatorBrush_;
};

}  // namespace corvane::ui::win
