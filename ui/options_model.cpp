#include "ui/options_model.h"

#include <utility>

#include "base/text.h"
#include "ui/main_window_model.h"

namespace corvane::ui {

namespace {

// A check box's stored text: "0" or "1" (blanks around it allowed, as the settings readers allow);
// nothing for an absent key or any other value.
enum class StoredCheck { Absent, Off, On, Other };

StoredCheck ReadStoredCheck(SettingsStore& settings, std::string_view key) {
  // An absent key is told apart by a default no writer ever stores.
  constexpr std::string_view kAbsent = "absent";
  const std::string text = TrimSpaces(settings.ReadSetting(key, kAbsent));
  if (text == kAbsent) return StoredCheck::Absent;
  if (text == "0") return StoredCheck::Off;
  if (text == "1") return StoredCheck::On;
  return StoredCheck::Other;
}

bool CheckedOr(StoredCheck stored, bool defaultChecked) {
  if (stored == StoredCheck::On) return true;
  if (stored == StoredCheck::Off) return false;
  return defaultChecked;
}

// A key position; one outside the list reads as the default.
int ReadKeyPosition(SettingsStore& settings, std::string_view key, int defaultPosition) {
  const int position = ReadNumberSetting(settings, key, defaultPosition);
  return position >= 0 && position < kHotkeyKeyCount ? position : defaultPosition;
}

}  // namespace

std::string RunValueData(std::string_view programDirectory) {
  std::string data = "\"";
  data += programDirectory;
  // A drive's root comes with its backslash already.
  if (data.back() != '\\') data += '\\';
  data += kRunProgramFile;
  data += "\" ";
  data += kAutoStartArgument;
  return data;
}

std::string_view OptionBoxCaption(OptionBox box) {
  switch (box) {
    case OptionBox::StartWithWindows:
      return "Start protecting my system when windows starts.";
    case OptionBox::Beep:
      return "Beep when any software/program is blocked.";
    case OptionBox::DontShow:
      return "Don't show Notification Message when any file is blocked.";
    case OptionBox::HoldWhileAsking:
      return "Hold new programs while I decide";
  }
  return {};
}

std::string_view OptionBoxKey(OptionBox box) {
  switch (box) {
    case OptionBox::StartWithWindows:
      return settings::kChkStartWithWindows;
    case OptionBox::Beep:
      return settings::kChkBeep;
    case OptionBox::DontShow:
      return settings::kChkDontShow;
    case OptionBox::HoldWhileAsking:
      return settings::kOptHoldWhileAsking;
  }
  return {};
}

MenuCommand OptionBoxMenuItem(OptionBox box) {
  switch (box) {
    case OptionBox::StartWithWindows:
      return MenuCommand::StartWithWindows;
    case OptionBox::Beep:
      return MenuCommand::Beep;
    case OptionBox::DontShow:
      return MenuCommand::Notifications;
    case OptionBox::HoldWhileAsking:
      break;
  }
  return MenuCommand::None;
}

std::string_view SecurityModeCaption(SecurityMode mode) {
  return mode == SecurityMode::Normal ? "Normal (Recommended)" : "Allow All";
}

char HotkeyKeyLetter(int position) {
  return position >= 0 && position < kHotkeyKeyCount ? static_cast<char>('A' + position) : '\0';
}

OptionsModel::OptionsModel(SettingsStore& settings, watch::RunningProgramList& running, StartupEntry& startup,
                           std::string programDirectory)
    : settings_(settings), running_(running), startup_(startup), directory_(std::move(programDirectory)) {}

OptionsModel::Box& OptionsModel::BoxOf(OptionBox box) {
  switch (box) {
    case OptionBox::StartWithWindows:
      return startWithWindows_;
    case OptionBox::Beep:
      return beep_;
    case OptionBox::HoldWhileAsking:
      return holdWhileAsking_;
    case OptionBox::DontShow:
      break;
  }
  return dontShow_;
}

const OptionsModel::Box& OptionsModel::BoxOf(OptionBox box) const {
  return const_cast<OptionsModel*>(this)->BoxOf(box);
}

void OptionsModel::LoadOptions() {
  // The hotkey boxes and key lists; what they do is the hotkeys' business, which runs their handlers
  // from the hook. A stray stored value reads as the default.
  hotkeys_.shutDownEnabled =
      CheckedOr(ReadStoredCheck(settings_, settings::kChkEnableHotkeyShutDown), false);
  hotkeys_.restartEnabled = CheckedOr(ReadStoredCheck(settings_, settings::kChkEnableHotkeyRestart), false);
  if (hotkeyChecksLoaded) hotkeyChecksLoaded(hotkeys_);

  LoadCheckBox(OptionBox::DontShow, false);

  hotkeys_.shutDownKey = ReadKeyPosition(settings_, settings::kCmdShutDown, 0);
  hotkeys_.restartKey = ReadKeyPosition(settings_, settings::kCmdRestart, 1);

  allowAllTicked_ = ReadBoolSetting(settings_, settings::kMnuMainAllowAll, false);
  normalTicked_ = ReadBoolSetting(settings_, settings::kMnuMainNormal, true);

  // Each button is read after the other's handler may have written the keys again, so four keys
  // that agree load as they were stored, and Allow All wins when both buttons were stored selected.
  if (ReadBoolSetting(settings_, settings::kOptAllowAll, false)) Select(SecurityMode::AllowAll);
  if (ReadBoolSetting(settings_, settings::kOptNormal, true)) Select(SecurityMode::Normal);
  // Neither stored as selected: Normal, the mode a missing key means everywhere.
  if (!normalSelected_ && !allowAllSelected_) Select(SecurityMode::Normal);

  LoadCheckBox(OptionBox::Beep, false);
  // On unless the user turned it off: a program waiting for an answer does nothing meanwhile.
  LoadCheckBox(OptionBox::HoldWhileAsking, true);

  LoadCheckBox(OptionBox::StartWithWindows, true);
  // Once more in any case: the Run value is written or deleted at every start.
  RunCheckBoxHandler(OptionBox::StartWithWindows);
  Changed();
}

void OptionsModel::LoadCheckBox(OptionBox box, bool defaultChecked) {
  const StoredCheck stored = ReadStoredCheck(settings_, OptionBoxKey(box));
  Box& state = BoxOf(box);
  const bool wasChecked = state.checked;
  state.checked = CheckedOr(stored, defaultChecked);
  if (state.checked != wasChecked || stored == StoredCheck::Other) RunCheckBoxHandler(box);
  state.ticked = state.checked;
}

void OptionsModel::RunCheckBoxHandler(OptionBox box) {
  Box& state = BoxOf(box);
  WriteNumberSetting(settings_, OptionBoxKey(box), state.checked ? 1 : 0);
  state.ticked = state.checked;
  if (box != OptionBox::StartWithWindows) return;
  // A Run value that cannot be written or deleted leaves the registry as it was; the box and the
  // tick still show the user's choice.
  if (state.checked) {
    startup_.WriteRunValue(RunValueData(directory_));
  } else {
    startup_.DeleteRunValue();
  }
}

void OptionsModel::SetCheckBox(OptionBox box, bool checked) {
  Box& state = BoxOf(box);
  if (state.checked != checked) {
    state.checked = checked;
    RunCheckBoxHandler(box);
  }
  Changed();
}

void OptionsModel::ClickCaption(OptionBox box) {
  Box& state = BoxOf(box);
  state.checked = !state.checked;
  RunCheckBoxHandler(box);  // the change
  RunCheckBoxHandler(box);  // and once more, as the caption does
  Changed();
}

void OptionsModel::ClickTwin(OptionBox box) {
  Box& state = BoxOf(box);
  const bool check = !state.ticked;
  if (state.checked != check) {
    state.checked = check;
    RunCheckBoxHandler(box);
  }
  state.ticked = check;
  WriteNumberSetting(settings_, OptionBoxKey(box), state.checked ? 1 : 0);
}

void OptionsModel::Select(SecurityMode mode) {
  normalSelected_ = mode == SecurityMode::Normal;
  allowAllSelected_ = mode == SecurityMode::AllowAll;
  RunModeHandler(mode);
}

void OptionsModel::RunModeHandler(SecurityMode mode) {
  const bool allowAll = mode == SecurityMode::AllowAll;
  allowAllTicked_ = allowAll;
  normalTicked_ = !allowAll;
  if (changeTrayTip) changeTrayTip(SecurityModeTip(allowAll));
  WriteModeKeys();
  // Programs listed without a decision in Allow All are judged at the next watch tick.
  if (!allowAll) RemoveUnjudged();
}

void OptionsModel::WriteModeKeys() {
  WriteBoolSetting(settings_, settings::kMnuMainAllowAll, allowAllTicked_);
  WriteBoolSetting(settings_, settings::kMnuMainNormal, normalTicked_);
  WriteBoolSetting(settings_, settings::kOptAllowAll, allowAllSelected_);
  WriteBoolSetting(settings_, settings::kOptNormal, normalSelected_);
}

void OptionsModel::RemoveUnjudged() {
  const std::size_t before = running_.size();
  running_.RemoveUnjudged();
  if (running_.size() != before && runningListChanged) runningListChanged();
}

void OptionsModel::SelectMode(SecurityMode mode) {
  Select(mode);
  Changed();
}

void OptionsModel::ClickModeCaption(SecurityMode mode) {
  Select(mode);
  RunModeHandler(mode);
  Changed();
}

void OptionsModel::ClickModeMenuItem(SecurityMode item) {
  // Either item toggles: its tick shows the current mode, and choosing it switches to the other.
  const bool itemTicked = item == SecurityMode::AllowAll ? allowAllTicked_ : normalTicked_;
  const bool toNormal = (item == SecurityMode::AllowAll) == itemTicked;
  if (toNormal) {
    Select(SecurityMode::Normal);
    if (item == SecurityMode::Normal) RemoveUnjudged();
  } else {
    Select(SecurityMode::AllowAll);
  }
  WriteModeKeys();
}

bool OptionsModel::OnMenuCommand(MenuCommand command) {
  switch (command) {
    case MenuCommand::Normal:
      ClickModeMenuItem(SecurityMode::Normal);
      break;
    case MenuCommand::AllowAll:
      ClickModeMenuItem(SecurityMode::AllowAll);
      break;
    case MenuCommand::StartWithWindows:
      ClickTwin(OptionBox::StartWithWindows);
      break;
    case MenuCommand::Beep:
      ClickTwin(OptionBox::Beep);
      break;
    case MenuCommand::Notifications:
      ClickTwin(OptionBox::DontShow);
      break;
    default:
      return false;
  }
  Changed();
  return true;
}

bool OptionsModel::IsMenuTicked(MenuCommand command) const {
  switch (command) {
    case MenuCommand::Normal:
      return normalTicked_;
    case MenuCommand::AllowAll:
      return allowAllTicked_;
    case MenuCommand::StartWithWindows:
      return startWithWindows_.ticked;
    case MenuCommand::Beep:
      return beep_.ticked;
    case MenuCommand::Notifications:
      return dontShow_.ticked;
    default:
      return false;
  }
}

bool OptionsModel::IsChecked(OptionBox box) const { return BoxOf(box).checked; }

bool OptionsModel::IsModeSelected(SecurityMode mode) const {
  return mode == SecurityMode::Normal ? normalSelected_ : allowAllSelected_;
}

SecurityMode OptionsModel::Mode() const { return allowAllSelected_ ? SecurityMode::AllowAll : SecurityMode::Normal; }

void OptionsModel::Changed() {
  if (changed) changed();
}

}  // namespace corvane::ui
