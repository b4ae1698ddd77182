#include "hotkeys/hotkey_keys.h"

#include "base/text.h"

namespace corvane::hotkeys {

std::optional<char> SystemKeyLetter(int position) {
  if (position < 0 || position >= kSystemKeyCount) return std::nullopt;
  return static_cast<char>('A' + position);
}

std::string KeyLabel(std::string_view key) { return std::string(kKeyLabelPrefix) + std::string(key); }

std::optional<int> KeyCodeOfLabel(std::string_view label) {
  // The key follows the prefix; the blank that ends the prefix is trimmed away with the rest.
  const std::size_t start = kKeyLabelPrefix.size() - 1;
  if (label.size() <= start) return std::nullopt;
  const std::string key = TrimSpaces(label.substr(start));
  if (key.empty()) return std::nullopt;
  char first = key.front();
  if (first >= 'a' && first <= 'z') first = static_cast<char>(first - 'a' + 'A');
  return static_cast<unsigned char>(first);
}

bool SameKeyLabel(std::string_view a, std::string_view b) { return ComparisonKey(a) == ComparisonKey(b); }

std::vector<std::string> OfferedLaunchKeys(std::string_view shutDownKey, std::string_view restartKey) {
  std::vector<std::string> keys;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    const std::string key(1, letter);
    if (SameKeyLabel(key, shutDownKey) || SameKeyLabel(key, restartKey)) continue;
    keys.push_back(key);
  }
  for (char digit = '0'; digit <= '9'; ++digit) keys.emplace_back(1, digit);
  return keys;
}

std::string TargetFolder(std::string_view target) {
  const std::string path = TrimSpaces(target);
  const std::size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return {};
  // A file at the top of a drive opens in the drive's root, "C:\", not in "C:" (the drive's
  // current folder).
  if (slash == 2 && path.size() > 1 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, slash);
}

bool IsCombinationPressed(KeyboardState& keyboard, int keyCode) {
  return keyboard.IsKeyPressed(kControlKey) && keyboard.IsKeyPressed(kShiftKey) && keyboard.IsKeyPressed(keyCode);
}

}  // namespace corvane::hotkeys
