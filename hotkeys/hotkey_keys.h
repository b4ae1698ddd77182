#pragma once
// The keys of the Ctrl + Shift hotkeys: the shutdown and restart key lists, the keys offered for
// launch hotkeys, and the labels the hot-key list stores ("Ctrl + Shift + " and one key).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::hotkeys {

// Windows virtual-key codes of the two modifiers. A letter's or a main-keyboard digit's code is its
// capital character code.
inline constexpr int kControlKey = 0x11;
inline constexpr int kShiftKey = 0x10;

inline constexpr std::string_view kKeyLabelPrefix = "Ctrl + Shift + ";

// The shutdown and restart lists hold the letters A to Z; position 0 is "A".
inline constexpr int kSystemKeyCount = 26;
// The letter at a list position; nothing outside 0..25.
std::optional<char> SystemKeyLetter(int position);

// "Ctrl + Shift + " followed by the key.
std::string KeyLabel(std::string_view key);
// The virtual-key code a stored label names: the text after the prefix, trimmed, its first
// character. A lower-case letter (a hand-edited file) names its letter's key. Nothing for a label
// without a key.
std::optional<int> KeyCodeOfLabel(std::string_view label);
// Labels and keys compare trimmed, letter case ignored.
bool SameKeyLabel(std::string_view a, std::string_view b);

// The keys the Add a Hot Key window offers: A to Z without the shutdown and restart letters (whether
// those hotkeys are on or not), then 0 to 9.
std::vector<std::string> OfferedLaunchKeys(std::string_view shutDownKey, std::string_view restartKey);

// The folder a launch hotkey's target is opened in: the target's own folder.
std::string TargetFolder(std::string_view target);

// Whether a key is held down now or was pressed since the previous query of that key.
class KeyboardState {
 public:
  virtual ~KeyboardState() = default;
  virtual bool IsKeyPressed(int virtualKey) = 0;
};

// Ctrl, then Shift, then the key, stopping at the first that is not pressed.
bool IsCombinationPressed(KeyboardState& keyboard, int keyCode);

}  // namespace corvane::hotkeys
