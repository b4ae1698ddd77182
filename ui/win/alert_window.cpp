#include "ui/win/alert_window.h"

#include <algorithm>
#include <string>
#include <vector>

#include "base/dpi.h"
#include "base/palette.h"
#include "base/win/utf.h"
#include "gui/win/controls.h"
#include "gui/win/file_icons.h"
#include "gui/win/image_button.h"
#include "gui/win/paint.h"
#include "gui/win/window_ops.h"
#include "ui/alert_texts.h"
#include "ui/win/details_window.h"

namespace corvane::ui::win {

using gui::win::DrawIconIn;
using gui::win::ImageButton;
using gui::win::LabelColors;
using gui::win::LoadFileIcon;
using gui::win::MeasureWrappedText;
using gui::win::ModalEnd;
using gui::win::ModalLook;
using gui::win::ModalWindow;
using gui::win::Place;
using gui::win::PrimaryButtons;
using gui::win::ProgramEnding;
using gui::win::ResizeClientArea;
using gui::win::SecondaryButtons;
using gui::win::SetFont;
using gui::win::SetTopMost;
using gui::win::WrappedText;

namespace {

using watch::AlertDecision;

// Layout in pixels at 96 DPI.
constexpr int kClientWidth = 460;
constexpr int kBannerHeight = 72;
constexpr int kMargin = 20;
constexpr int kIconSize = 32;
constexpr int kCaptionWidth = 92;
constexpr int kRowHeight = 20;
constexpr int kRowGap = 4;
constexpr int kLocationMaxLines = 5;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 30;
constexpr int kButtonGap = 10;

ModalLook AlertLook() {
  ModalLook look;
  look.className = FrmMessage::ClassName();
  look.caption = FrmMessage::kCaption;
  look.background = palette::kSurface;
  look.labels = {palette::kValueText, palette::kSurface};
  // Closing the window on purpose blocks; Escape and a stray Enter do nothing.
  look.keys.closeBox = kAlertBlockId;
  look.taskbarButton = true;
  return look;
}

}  // namespace

FrmMessage::FrmMessage(const watch::AlertRequest& request, ProcessFacts& facts)
    : ModalWindow(AlertLook()), request_(request), facts_(facts) {}

AlertDecision FrmMessage::Show(HWND owner, const watch::AlertRequest& request, ProcessFacts& facts, bool* ending) {
  FrmMessage window(request, facts);
  const ModalEnd end = window.ShowModal(owner);
  if (ending != nullptr) *ending = ProgramEnding(end);
  // A question that could not be put, or that nobody answered, decides nothing: the program is
  // asked about again.
  return end == ModalEnd::Finished ? window.decision_ : AlertDecision::Undecided;
}

bool FrmMessage::CreateControls() {
  const AlertTexts texts = BuildAlertTexts(request_, facts_);
  programIcon_ = LoadFileIcon(request_.path, false);
  name_ = AddLabel(texts.name, kAlertNameId);
  AddLabel(kAlertProcessIdCaption, kAlertProcessIdCaptionId);
  AddLabel(texts.processId, kAlertProcessIdId);
  AddLabel(kAlertCreatedCaption, kAlertCreatedCaptionId);
  AddLabel(texts.created, kAlertCreatedId);
  AddLabel(kAlertLocationCaption, kAlertLocationCaptionId);
  // SS_EDITCONTROL: a path has few blanks, so it is wrapped anywhere rather than cut off.
  location_ = AddLabel(texts.location, kAlertLocationId, SS_EDITCONTROL);
  locationText_ = texts.location;
  // The notes (the program is held, its file has changed) stand between the facts and the question.
  if (!texts.notes.empty()) {
    noteLines_ = texts.noteLines;
    notes_ = AddLabel(texts.notes, kAlertNotesId, 0);
  }
  question_ = AddLabel(kAlertQuestion, kAlertQuestionId);
  // Created in the order Tab visits them, left to right. Allow and Block carry the decision and look
  // alike, so neither invites the click; Details is the quieter one.
  details_ = AddButton(kAlertDetailsId, kAlertDetails, SecondaryButtons());
  allow_ = AddButton(kAlertAllowId, kAlertAllow, PrimaryButtons());
  block_ = AddButton(kAlertBlockId, kAlertBlock, PrimaryButtons());
  return name_ != nullptr && location_ != nullptr && allow_ != nullptr && block_ != nullptr && details_ != nullptr;
}

// The height the quoted path needs, wrapped at width, between one line and kLocationMaxLines.
int FrmMessage::LocationHeight(int width) {
  const int line = Scaled(kRowHeight);
  const WrappedText text = MeasureWrappedText(location_, Font(9), corvane::win::Widen(locationText_), width);
  if (text.lineHeight <= 0) return line;
  const int needed = text.height + text.lineHeight / 4;
  return std::clamp(needed, line, kLocationMaxLines * text.lineHeight + text.lineHeight / 4);
}

void FrmMessage::Arrange(int dpi) {
  const auto s = [dpi](int pixels) { return Scale(pixels, dpi); };
  for (HWND child = ::GetWindow(Hwnd(), GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT)) {
    const HFONT font = child == name_ ? Font(15, FW_BOLD) : child == question_ ? Font(10, FW_BOLD) : Font(9);
    SetFont(child, font);
  }

  const int width = s(kClientWidth);
  const int margin = s(kMargin);
  banner_ = {0, 0, width, s(kBannerHeight)};
  const int iconTop = (s(kBannerHeight) - s(kIconSize)) / 2;
  iconRect_ = {margin, iconTop, margin + s(kIconSize), iconTop + s(kIconSize)};
  const int nameLeft = iconRect_.right + s(14);
  Place(name_, nameLeft, (s(kBannerHeight) - s(32)) / 2, width - nameLeft - margin, s(32));

  const int valueLeft = margin + s(kCaptionWidth);
  const int valueWidth = width - valueLeft - margin;
  int top = s(kBannerHeight) + s(16);
  const auto row = [&](int captionId, int valueId, int height) {
    Place(::GetDlgItem(Hwnd(), captionId), margin, top, s(kCaptionWidth), s(kRowHeight));
    Place(::GetDlgItem(Hwnd(), valueId), valueLeft, top, valueWidth, height);
    top += height + s(kRowGap);
  };
  row(kAlertProcessIdCaptionId, kAlertProcessIdId, s(kRowHeight));
  row(kAlertCreatedCaptionId, kAlertCreatedId, s(kRowHeight));
  row(kAlertLocationCaptionId, kAlertLocationId, LocationHeight(valueWidth));

  top += s(8);
  separator_ = {margin, top, width - margin, top + std::max(1, s(1))};
  top = separator_.bottom + s(12);
  if (notes_ != nullptr) {
    Place(notes_, margin, top, width - 2 * margin, noteLines_ * s(kRowHeight));
    top += noteLines_ * s(kRowHeight) + s(8);
  }
  Place(question_, margin, top, width - 2 * margin, s(24));
  top += s(24) + s(14);

  Place(details_, margin, top, s(kButtonWidth), s(kButtonHeight));
  const int blockLeft = width - margin - s(kButtonWidth);
  Place(block_, blockLeft, top, s(kButtonWidth), s(kButtonHeight));
  Place(allow_, blockLeft - s(kButtonGap) - s(kButtonWidth), top, s(kButtonWidth), s(kButtonHeight));
  ResizeClientArea(Hwnd(), width, top + s(kButtonHeight) + margin);
}

void FrmMessage::PaintOver(HDC dc) {
  ::FillRect(dc, &banner_, Brush(palette::kBlue));
  ::FillRect(dc, &separator_, Brush(palette::kSeparator));
  if (programIcon_) DrawIconIn(dc, programIcon_.get(), iconRect_);
}

LabelColors FrmMessage::ColorsOf(HWND label) const {
  switch (::GetDlgCtrlID(label)) {
    case kAlertNameId:
      return {palette::kWhite, palette::kBlue};
    case kAlertProcessIdCaptionId:
    case kAlertCreatedCaptionId:
    case kAlertLocationCaptionId:
      return {palette::kCaptionText, palette::kSurface};
    case kAlertQuestionId:
    case kAlertNotesId:
      return {palette::kNavy, palette::kSurface};
    default:
      return {palette::kValueText, palette::kSurface};
  }
}

void FrmMessage::Decide(AlertDecision decision) {
  decision_ = decision;
  Finish();
}

void FrmMessage::OnCommand(int id) {
  switch (id) {
    case kAlertAllowId:
      Decide(AlertDecision::Allow);
      break;
    case kAlertBlockId:
      Decide(AlertDecision::Block);
      break;
    case kAlertDetailsId:
      OnDetails();
      break;
    default:
      break;
  }
}

void FrmMessage::OnDetails() {
  if (showingDetails_ || IsFinished()) return;
  showingDetails_ = true;
  ImageButton::ShowAllNormal(Hwnd());
  ::EnableWindow(details_, FALSE);
  const HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
  const ProcessReport report = BuildProcessReport(AlertDetailsInput(request_), facts_);
  ::SetCursor(previous);
  // The details go above the alert while they are open; the alert comes back on top after.
  SetTopMost(Hwnd(), false);
  FrmFullProcessDetails::Show(Hwnd(), report, programIcon_.get());
  if (Hwnd() == nullptr) return;  // destroyed meanwhile
  if (!IsFinished()) SetTopMost(Hwnd(), true);
  ::EnableWindow(details_, TRUE);
  ::SetFocus(details_);
  showingDetails_ = false;
}

}  // namespace corvane::ui::win
