#pragma once
// FrmMessage, "Corvane Alert": a program that nobody has judged yet has started; the user allows
// or blocks it, or first looks at its details. The window is modal, stays above every other window
// while it waits, and cannot be answered by a stray key: there is no default button, the Details
// button has the focus when it opens (so Enter or Space only open the details), and Escape does
// nothing (the alert takes the foreground, so an Escape meant for another window would reach it).
// Closing it on purpose (Alt+F4, the close box) blocks; a window that ends without the user (the
// program or the session ends) or cannot be shown decides nothing.
#include <windows.h>

#include <string>

#include "base/win/handle.h"
#include "gui/win/modal_window.h"
#include "ui/process_report.h"
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
inline constexpr int kAlertNotesId = 1118;  // present only when the request carries notes

class FrmMessage final : public gui::win::ModalWindow {
 public:
  static constexpr const wchar_t* kCaption = L"Corvane Alert";
  static const wchar_t* ClassName() { return L"CorvaneAlert"; }

  // Shows the alert over owner (disabled meanwhile; may be null) and waits for the answer: Allow or
  // Block as pressed, Block when the user closes the window; Undecided when the window cannot be
  // shown or ends without the user. ending (if given) is set when it ended because the program is
  // quitting or the session is ending. facts supply the creation date and the details report.
  static watch::AlertDecision Show(HWND owner, const watch::AlertRequest& request, ProcessFacts& facts,
                                   bool* ending = nullptr);

 private:
  FrmMessage(const watch::AlertRequest& request, ProcessFacts& facts);
  bool CreateControls() override;
  void Arrange(int dpi) override;
  HWND FirstFocus() const override { return details_; }
  void OnCommand(int id) override;
  void PaintOver(HDC dc) override;
  gui::win::LabelColors ColorsOf(HWND label) const override;
  int LocationHeight(int width);
  void OnDetails();
  void Decide(watch::AlertDecision decision);

  const watch::AlertRequest& request_;
  ProcessFacts& facts_;
  watch::AlertDecision decision_ = watch::AlertDecision::Undecided;
  bool showingDetails_ = false;

  HWND name_ = nullptr;
  HWND location_ = nullptr;
  std::string locationText_;
  HWND question_ = nullptr;
  HWND notes_ = nullptr;
  int noteLines_ = 0;
  HWND allow_ = nullptr;
  HWND block_ = nullptr;
  HWND details_ = nullptr;
  RECT banner_{};
  RECT iconRect_{};
  RECT separator_{};
  corvane::win::UniqueIcon programIcon_;
};

}  // namespace corvane::ui::win
