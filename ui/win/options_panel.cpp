#include "ui/win/options_panel.h"

#include <string>

#include "base/dpi.h"
#include "base/palette.h"
#include "base/win/utf.h"
#include "gui/win/controls.h"
#include "gui/win/image_button.h"
#include "gui/win/paint.h"

namespace corvane::ui::win {

using gui::ButtonPalette;
using gui::MakeButtonPalette;
using gui::win::CreateChildControl;
using gui::win::ImageButton;
using gui::win::LabelColorsReply;

using corvane::Scale;

namespace {

// Layout in pixels at 96 DPI, from the panel's top-left corner.
constexpr int kIndent = 24;            // the boxes and buttons under their heading
constexpr int kBoxWidth = 14;          // a check box or option button shows its box only
constexpr int kCaptionGap = 6;         // between a box and its caption label
constexpr int kRowHeight = 20;
constexpr int kRowStep = 26;
constexpr int kHeadingHeight = 20;
constexpr int kGroupGap = 14;          // above each heading but the first
constexpr int kHotkeyBoxWidth = 215;
constexpr int kModifiersWidth = 100;
constexpr int kKeyListWidth = 56;
constexpr int kKeyListDropHeight = 220;
constexpr int kHotKeysButtonWidth = 120;
constexpr int kHotKeysButtonHeight = 32;

constexpr Color kHeadingText = palette::kBlue;

// The general group's boxes; the security group has one more, under the modes.
constexpr OptionBox kGeneralBoxes[] = {OptionBox::StartWithWindows, OptionBox::Beep, OptionBox::DontShow};
constexpr OptionBox kBoxes[] = {OptionBox::StartWithWindows, OptionBox::Beep, OptionBox::DontShow,
                                OptionBox::HoldWhileAsking};
constexpr SecurityMode kModes[] = {SecurityMode::Normal, SecurityMode::AllowAll};

int BoxIndex(OptionBox box) { return static_cast<int>(box); }
int ModeIndex(SecurityMode mode) { return static_cast<int>(mode); }

std::wstring Wide(std::string_view text) { return corvane::win::Widen(text); }

void SetChecked(HWND control, bool checked) {
  if (control == nullptr) return;
  const WPARAM state = checked ? BST_CHECKED : BST_UNCHECKED;
  if (static_cast<WPARAM>(::SendMessageW(control, BM_GETCHECK, 0, 0)) != state) {
    ::SendMessageW(control, BM_SETCHECK, state, 0);
  }
}

void SetPosition(HWND list, int position) {
  if (list != nullptr && ::SendMessageW(list, CB_GETCURSEL, 0, 0) != position) {
    ::SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
  }
}

HWND CreateKeyList(HWND parent, int id, int x, int y, int dpi, HFONT font) {
  HWND list = CreateChildControl(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, x, y,
                                 Scale(kKeyListWidth, dpi), Scale(kKeyListDropHeight, dpi), parent, id, font);
  if (list == nullptr) return nullptr;
  for (int position = 0; position < kHotkeyKeyCount; ++position) {
    const wchar_t letter[2] = {static_cast<wchar_t>(HotkeyKeyLetter(position)), L'\0'};
    ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(letter));
  }
  return list;
}

}  // namespace

void OptionsPanel::CreateControls(int width, int /*height*/, const PanelSetup& setup) {
  const int dpi = setup.dpi;
  const HWND panel = Hwnd();
  const int margin = Scale(kPanelMargin, dpi);
  const int indent = Scale(kIndent, dpi);
  const int rowHeight = Scale(kRowHeight, dpi);
  const int captionLeft = indent + Scale(kBoxWidth + kCaptionGap, dpi);
  const int captionWidth = width - captionLeft - margin;
  brush_.reset(::CreateSolidBrush(kPanelColor));

  int y = Scale(12, dpi);
  // A group's heading with its separating line under it; y moves on to the group's first row.
  const auto heading = [&](int index, std::string_view text) {
    if (index > 0) y += Scale(kGroupGap, dpi);
    headings_[static_cast<size_t>(index)] =
        CreateChildControl(L"STATIC", Wide(text).c_str(), SS_LEFT | SS_NOPREFIX, margin, y, width - margin * 2,
                           Scale(kHeadingHeight, dpi), panel, -1, setup.boldFont);
    y += Scale(kHeadingHeight + 2, dpi);
    CreateChildControl(L"STATIC", L"", SS_ETCHEDHORZ, margin, y, width - margin * 2, 2, panel, -1, nullptr);
    y += Scale(10, dpi);
  };

  // A check box with its caption label; y moves on to the next row.
  const auto checkBoxRow = [&](OptionBox box, DWORD group) {
    const std::wstring caption = Wide(OptionBoxCaption(box));
    // The box first, then its label: the order in which the keyboard and screen readers meet them.
    boxes_[static_cast<size_t>(BoxIndex(box))] =
        CreateChildControl(L"BUTTON", caption.c_str(), BS_CHECKBOX | WS_TABSTOP | group, indent, y,
                           Scale(kBoxWidth, dpi), rowHeight, panel, kOptionBoxId + BoxIndex(box), setup.font);
    CreateChildControl(L"STATIC", caption.c_str(), SS_LEFT | SS_NOTIFY | SS_NOPREFIX | SS_CENTERIMAGE, captionLeft, y,
                       captionWidth, rowHeight, panel, kOptionCaptionId + BoxIndex(box), setup.font);
    y += Scale(kRowStep, dpi);
  };

  heading(0, kGeneralSettingsHeading);
  for (const OptionBox box : kGeneralBoxes) checkBoxRow(box, box == kGeneralBoxes[0] ? WS_GROUP : 0);

  heading(1, kSecuritySettingsHeading);
  for (const SecurityMode mode : kModes) {
    const std::wstring caption = Wide(SecurityModeCaption(mode));
    // One group: the arrow keys move between the two, Tab leaves it. The tab stop follows the
    // selection (ShowModel).
    const DWORD group = mode == kModes[0] ? WS_GROUP : 0;
    modeButtons_[static_cast<size_t>(ModeIndex(mode))] =
        CreateChildControl(L"BUTTON", caption.c_str(), BS_RADIOBUTTON | group, indent, y, Scale(kBoxWidth, dpi),
                           rowHeight, panel, kModeButtonId + ModeIndex(mode), setup.font);
    CreateChildControl(L"STATIC", caption.c_str(), SS_LEFT | SS_NOTIFY | SS_NOPREFIX | SS_CENTERIMAGE, captionLeft, y,
                       captionWidth, rowHeight, panel, kModeCaptionId + ModeIndex(mode), setup.font);
    y += Scale(kRowStep, dpi);
  }
  // Its own group, so that the arrow keys stay within the two modes.
  checkBoxRow(OptionBox::HoldWhileAsking, WS_GROUP);

  heading(2, kHotKeySettingHeading);
  const int modifiersLeft = indent + Scale(kHotkeyBoxWidth + 6, dpi);
  const int keyListLeft = modifiersLeft + Scale(kModifiersWidth + 4, dpi);
  const auto hotkeyRow = [&](std::string_view caption, int boxId, int listId, HWND& box, HWND& list,
                             HWND& modifiers) {
    box = CreateChildControl(L"BUTTON", Wide(caption).c_str(), BS_CHECKBOX | WS_TABSTOP | WS_GROUP, indent, y,
                             Scale(kHotkeyBoxWidth, dpi), Scale(22, dpi), panel, boxId, setup.font);
    modifiers = CreateChildControl(L"STATIC", Wide(kHotkeyModifiersLabel).c_str(),
                                   SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, modifiersLeft, y, Scale(kModifiersWidth, dpi),
                                   Scale(22, dpi), panel, -1, setup.font);
    list = CreateKeyList(panel, listId, keyListLeft, y, dpi, setup.font);
    y += Scale(32, dpi);
  };
  hotkeyRow(kShutDownHotkeyCaption, kShutDownHotkeyBoxId, kShutDownKeyListId, shutDownHotkeyBox_, shutDownKeys_,
            shutDownModifiers_);
  hotkeyRow(kRestartHotkeyCaption, kRestartHotkeyBoxId, kRestartKeyListId, restartHotkeyBox_, restartKeys_,
            restartModifiers_);

  const ButtonPalette buttons = MakeButtonPalette(kPanelColor, palette::kBlue, palette::kWhite);
  const RECT hotKeys{indent, y + Scale(4, dpi), indent + Scale(kHotKeysButtonWidth, dpi),
                     y + Scale(4 + kHotKeysButtonHeight, dpi)};
  ImageButton::Create(panel, kHotKeysButtonId, "Hot Keys", hotKeys, buttons, setup.boldFont,
                      WS_TABSTOP | WS_GROUP);
}

void OptionsPanel::ShowModel(const OptionsModel& model) {
  for (const OptionBox box : kBoxes) SetChecked(boxes_[static_cast<size_t>(BoxIndex(box))], model.IsChecked(box));
  for (const SecurityMode mode : kModes) {
    HWND button = modeButtons_[static_cast<size_t>(ModeIndex(mode))];
    if (button == nullptr) continue;
    const bool selected = model.IsModeSelected(mode);
    SetChecked(button, selected);
    // Tab enters the group at the selected button: an option button that gets the focus clicks
    // itself, so a tab stop on the other one would switch the mode.
    const LONG_PTR style = ::GetWindowLongPtrW(button, GWL_STYLE);
    const LONG_PTR wanted = selected ? (style | WS_TABSTOP) : (style & ~static_cast<LONG_PTR>(WS_TABSTOP));
    if (wanted != style) ::SetWindowLongPtrW(button, GWL_STYLE, wanted);
  }
  const hotkeys::SystemHotkeys* hotkeys = host_.SystemHotkeys();
  if (hotkeys == nullptr) return;
  using hotkeys::SystemHotkey;
  const auto showHotkey = [hotkeys](SystemHotkey hotkey, HWND box, HWND modifiers, HWND list) {
    SetChecked(box, hotkeys->IsEnabled(hotkey));
    const BOOL usable = hotkeys->ControlsEnabled(hotkey) ? TRUE : FALSE;
    for (HWND control : {modifiers, list}) {
      if (control != nullptr && (::IsWindowEnabled(control) != FALSE) != (usable != FALSE)) {
        ::EnableWindow(control, usable);
      }
    }
    SetPosition(list, hotkeys->Position(hotkey));
  };
  showHotkey(SystemHotkey::ShutDown, shutDownHotkeyBox_, shutDownModifiers_, shutDownKeys_);
  showHotkey(SystemHotkey::Restart, restartHotkeyBox_, restartModifiers_, restartKeys_);
}

bool OptionsPanel::OnCommand(int id, int code) {
  if (id == kHotKeysButtonId) {
    if (code == BN_CLICKED) {
      ImageButton::ShowAllNormal(Hwnd());
      host_.OnHotKeysButton();
    }
    return true;
  }
  OptionsModel* model = host_.Options();
  for (const OptionBox box : kBoxes) {
    if (id == kOptionBoxId + BoxIndex(box)) {
      if (code == BN_CLICKED && model != nullptr) model->SetCheckBox(box, !model->IsChecked(box));
      return true;
    }
    if (id == kOptionCaptionId + BoxIndex(box)) {
      if (code == STN_CLICKED && model != nullptr) model->ClickCaption(box);
      return true;
    }
  }
  for (const SecurityMode mode : kModes) {
    if (id == kModeButtonId + ModeIndex(mode)) {
      if (code == BN_CLICKED && model != nullptr) model->SelectMode(mode);
      return true;
    }
    if (id == kModeCaptionId + ModeIndex(mode)) {
      if (code == STN_CLICKED && model != nullptr) model->ClickModeCaption(mode);
      return true;
    }
  }
  hotkeys::SystemHotkeys* hotkeys = host_.SystemHotkeys();
  using hotkeys::SystemHotkey;
  const bool shutDown = id == kShutDownHotkeyBoxId || id == kShutDownKeyListId;
  const SystemHotkey hotkey = shutDown ? SystemHotkey::ShutDown : SystemHotkey::Restart;
  if (id == kShutDownHotkeyBoxId || id == kRestartHotkeyBoxId) {
    if (code == BN_CLICKED && hotkeys != nullptr) hotkeys->SetEnabled(hotkey, !hotkeys->IsEnabled(hotkey));
    return true;
  }
  if (id == kShutDownKeyListId || id == kRestartKeyListId) {
    if (code == CBN_SELCHANGE && hotkeys != nullptr) {
      const auto position = static_cast<int>(::SendMessageW(shutDown ? shutDownKeys_ : restartKeys_, CB_GETCURSEL, 0, 0));
      hotkeys->ChooseKey(hotkey, position);
    }
    return true;
  }
  return false;
}

LRESULT OptionsPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (lParam != 0 && OnCommand(LOWORD(wParam), HIWORD(wParam))) return 0;
      break;
    case WM_CTLCOLORSTATIC:
      for (HWND heading : headings_) {
        if (heading != nullptr && reinterpret_cast<HWND>(lParam) == heading) {
          return LabelColorsReply(wParam, kHeadingText, kPanelColor, static_cast<HBRUSH>(brush_.get()));
        }
      }
      break;
    default:
      break;
  }
  return PanelWindow::HandleMessage(message, wParam, lParam);
}

}  // namespace corvane::ui::win
