#include "hotkeys/launch_hotkeys.h"

#include <algorithm>

#include "base/text.h"
#include "store/list_record.h"

namespace corvane::hotkeys {

std::string TargetDefinedMessage(std::string_view target) {
  return "Hot Key for \"" + std::string(target) + "\" has already been defined. Please chosse another file.";
}

std::string KeySetMessage(std::string_view key) {
  return "Hot Key \"" + std::string(key) + "\" has already been set. Please chosse another Hot-Key.";
}

std::string RemoveBindingQuestion(std::string_view target) {
  return " Are you sure you want to remove the entry, \"" + std::string(target) + "\"?";
}

std::optional<std::size_t> FindPressedBinding(const HotKeyList& bindings, KeyboardState& keyboard) {
  if (bindings.empty()) return std::nullopt;
  // Every binding shares the modifiers: asked once a tick, so an idle poll asks about one key.
  if (!keyboard.IsKeyPressed(kControlKey) || !keyboard.IsKeyPressed(kShiftKey)) return std::nullopt;
  for (std::size_t i = 0; i < bindings.size(); ++i) {
    // A label that names no key (a damaged file) is passed over.
    const std::optional<int> code = KeyCodeOfLabel(bindings[i].keyLabel);
    if (code && keyboard.IsKeyPressed(*code)) return i;
  }
  return std::nullopt;
}

LaunchHotkeyPoll::LaunchHotkeyPoll(const HotKeyList& bindings, KeyboardState& keyboard, LaunchHost& host)
    : bindings_(bindings), keyboard_(keyboard), host_(host) {}

void LaunchHotkeyPoll::OnTick() {
  host_.SetPollTimer(false);
  if (stopped_) return;
  const std::optional<std::size_t> pressed = FindPressedBinding(bindings_, keyboard_);
  if (!pressed) {
    host_.SetPollTimer(true);
    return;
  }
  // The binding may be removed during the pause; what was pressed is what opens.
  const std::string target = TrimSpaces(bindings_[*pressed].target);
  host_.After(kOpenDelayMilliseconds, [this, target] {
    if (stopped_) return;
    host_.OpenFile(target, TargetFolder(target));
    host_.SetPollTimer(true);
  });
}

namespace {
void TellUnsaved(Lists& lists, const ListWrite& write, gui::Dialogs& dialogs) {
  const std::string notice = lists.UnsavedNotice(write);
  if (!notice.empty()) dialogs.Inform(notice);
}
}  // namespace

HotKeysModel::HotKeysModel(Lists& lists, gui::Dialogs& dialogs) : lists_(lists), dialogs_(dialogs) {}

bool HotKeysModel::RemoveSelected() {
  if (!selected_ || *selected_ >= Rows().size()) return false;
  const HotKeyEntry chosen = Rows()[*selected_];
  if (!dialogs_.Confirm(RemoveBindingQuestion(chosen.target))) return false;
  // Found again by the binding rather than the row number.
  selected_.reset();
  const ListWrite write = lists_.RemoveHotKey(chosen);
  TellUnsaved(lists_, write, dialogs_);
  return write.changed.Has(ListKind::HotKey);
}

AddHotKeyModel::AddHotKeyModel(Lists& lists, ListFileSystem& files, gui::Dialogs& dialogs, std::string_view shutDownKey,
                               std::string_view restartKey)
    : lists_(lists), files_(files), dialogs_(dialogs), keys_(OfferedLaunchKeys(shutDownKey, restartKey)) {}

bool AddHotKeyModel::Accept(std::string_view pathText, std::string_view key) {
  const std::string path = TrimSpaces(pathText);
  const std::string chosenKey = TrimSpaces(key);
  if (path.empty() || !files_.AnyFileExists(path)) {
    dialogs_.Inform(kNoFileMessage);
    return false;
  }
  for (const HotKeyEntry& row : lists_.hotKeys()) {
    if (SameNameOrPath(row.target, path)) {
      dialogs_.Inform(TargetDefinedMessage(path));
      return false;
    }
  }
  const std::string label = KeyLabel(chosenKey);
  for (const HotKeyEntry& row : lists_.hotKeys()) {
    if (SameKeyLabel(row.keyLabel, label)) {
      dialogs_.Inform(KeySetMessage(chosenKey));
      return false;
    }
  }
  // Only the keys offered can be stored: a key outside them would never be pressed, or would be the
  // shutdown or restart combination.
  if (std::find(keys_.begin(), keys_.end(), chosenKey) == keys_.end()) return false;
  const ListWrite write = lists_.AddHotKey({path, label});
  TellUnsaved(lists_, write, dialogs_);
  return write.saved();
}

}  // namespace corvane::hotkeys
