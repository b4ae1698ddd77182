#include "gui/win/message_boxes.h"

#include <string>

#include "base/palette.h"
#include "base/win/utf.h"
#include "gui/dialog_layout.h"
#include "gui/win/controls.h"
#include "gui/win/modal_window.h"
#include "gui/win/paint.h"

namespace corvane::gui::win {
namespace {

constexpr int kFontPoints = 9;
// The separator: a lighter blue than the background, calm against the white text.
constexpr Color kLineColor = Blend(palette::kBlue, palette::kWhite, 30);

RECT ToRect(const PixelRect& r) { return {r.left, r.top, r.right, r.bottom}; }

ModalLook MessageLook(MessageBoxKind kind) {
  const bool confirmation = kind == MessageBoxKind::Confirmation;
  ModalLook look;
  look.className = L"CorvaneMessageBox";
  look.caption = confirmation ? FrmMessageBoxYesAndNo::kCaption : FrmMessageBoxOK::kCaption;
  look.background = palette::kBlue;
  look.labels = {palette::kWhite, palette::kBlue};
  // Closing the confirmation in any way but Ok is a Cancel, and so is Enter before the user has
  // moved to Ok: a stray key never confirms. The information window ends however it is closed.
  const int safe = confirmation ? IDCANCEL : IDOK;
  look.keys = {safe, safe, safe};
  return look;
}

class MessageWindow final : public ModalWindow {
 public:
  MessageWindow(MessageBoxKind kind, std::string_view message)
      : ModalWindow(MessageLook(kind)), kind_(kind), message_(message) {}

  // Shows the window modally and tells how it ended; ending is set when the program or the session
  // ended it.
  ConfirmOutcome Run(HWND owner, bool& ending) {
    const ModalEnd end = ShowModal(owner);
    ending = ProgramEnding(end);
    if (end != ModalEnd::Finished) return ConfirmOutcome::Unanswered;
    return confirmed_ ? ConfirmOutcome::Confirmed : ConfirmOutcome::Declined;
  }

 private:
  bool Confirmation() const { return kind_ == MessageBoxKind::Confirmation; }

  bool CreateControls() override {
    // SS_EDITCONTROL: long words such as paths wrap inside the label instead of running out of it.
    label_ = AddLabel(message_, kMessageLabelId, SS_EDITCONTROL);
    ok_ = AddButton(IDOK, "Ok", ButtonsOnBlue());
    if (Confirmation()) cancel_ = AddButton(IDCANCEL, "Cancel", ButtonsOnBlue());
    return label_ != nullptr && ok_ != nullptr && (!Confirmation() || cancel_ != nullptr);
  }

  // Cancel has the focus in the confirmation, so a stray Enter never confirms.
  HWND FirstFocus() const override { return Confirmation() ? cancel_ : ok_; }

  // The design layout at dpi; a message that needs more lines makes the window taller, as far as
  // the work area allows.
  void Arrange(int dpi) override {
    const HFONT font = Font(kFontPoints);
    for (HWND control : {label_, ok_, cancel_}) SetFont(control, font);
    const int unwrapped = LayoutMessageBox(kind_, dpi).message.Width();
    const int textHeight = MeasureWrappedText(label_, font, corvane::win::Widen(message_), unwrapped).height;
    layout_ = LayoutMessageBox(kind_, dpi, textHeight, MaxClientHeight());
    const auto place = [](HWND control, const PixelRect& r) { Place(control, r.left, r.top, r.Width(), r.Height()); };
    place(label_, layout_.message);
    place(ok_, layout_.ok);
    place(cancel_, layout_.cancel);
    ResizeClientArea(Hwnd(), layout_.clientWidth, layout_.clientHeight);
  }

  void PaintOver(HDC dc) override {
    const RECT line = ToRect(layout_.line);
    ::FillRect(dc, &line, Brush(kLineColor));
  }

  void OnCommand(int id) override {
    // Ok in the confirmation is the only way to a true answer (the program's bConfirmed).
    if (id == IDOK) confirmed_ = Confirmation();
    if (id == IDOK || id == IDCANCEL) Finish();
  }

  MessageBoxKind kind_;
  std::string message_;
  HWND label_ = nullptr;
  HWND ok_ = nullptr;
  HWND cancel_ = nullptr;
  MessageBoxLayout layout_;
  bool confirmed_ = false;
};

}  // namespace

bool FrmMessageBoxYesAndNo::Show(HWND owner, std::string_view message) {
  return Ask(owner, message) == ConfirmOutcome::Confirmed;
}

ConfirmOutcome FrmMessageBoxYesAndNo::Ask(HWND owner, std::string_view message, bool* ending) {
  MessageWindow window(MessageBoxKind::Confirmation, message);
  bool ended = false;
  const ConfirmOutcome outcome = window.Run(owner, ended);
  if (ending != nullptr) *ending = ended;
  return outcome;
}

void FrmMessageBoxOK::Show(HWND owner, std::string_view message) {
  MessageWindow window(MessageBoxKind::Information, message);
  bool ended = false;
  window.Run(owner, ended);
}

bool WindowDialogs::Confirm(std::string_view message) { return FrmMessageBoxYesAndNo::Show(owner_, message); }

void WindowDialogs::Inform(std::string_view message) { FrmMessageBoxOK::Show(owner_, message); }

}  // namespace corvane::gui::win
