#pragma once
// Launch hotkeys: Ctrl + Shift + a letter or digit opens a chosen file with its default action.
// Here without windows: the 20 ms poll of the bindings, and the two windows' models, the list of
// bindings ("Hot Keys") and the form that adds one ("Add a Hot Key").
//
// The bindings are the list owner's hot-key list (store/lists.h): the poll reads it, the Hot Keys
// window shows it, and every add and remove changes it and its file together.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "gui/dialogs.h"
#include "hotkeys/hotkey_keys.h"
#include "store/list_file_system.h"
#include "store/lists.h"

namespace corvane::hotkeys {

inline constexpr int kPollMilliseconds = 20;
// Between noticing a combination and opening its file: time for the user to let go of the keys.
inline constexpr int kOpenDelayMilliseconds = 1000;

inline constexpr std::string_view kHotKeysCaption = "Hot Keys";
inline constexpr std::string_view kAddHotKeyCaption = "Add a Hot Key";
inline constexpr std::string_view kChooserTitle = "Chosse a File for Hot Key";
inline constexpr std::string_view kNoFileMessage = "Please select a file for which you want to set Hot-Key.";
std::string TargetDefinedMessage(std::string_view target);
std::string KeySetMessage(std::string_view key);
std::string RemoveBindingQuestion(std::string_view target);

// What the poll needs from the program.
class LaunchHost {
 public:
  virtual ~LaunchHost() = default;
  virtual void SetPollTimer(bool on) = 0;
  // Runs then about milliseconds later, with the user interface responsive meanwhile.
  virtual void After(int milliseconds, std::function<void()> then) = 0;
  // Opens the file with its default action (a program starts), shown normally.
  virtual void OpenFile(std::string_view target, std::string_view workingDirectory) = 0;
};

// The index of the first binding whose combination is pressed: Ctrl, then Shift, then each
// binding's key in turn, stopping at the first modifier that is up; nothing when none is.
std::optional<std::size_t> FindPressedBinding(const HotKeyList& bindings, KeyboardState& keyboard);

class LaunchHotkeyPoll {
 public:
  LaunchHotkeyPoll(const HotKeyList& bindings, KeyboardState& keyboard, LaunchHost& host);
  // A tick of the poll timer. The timer is off during the tick and, when a binding is pressed, until
  // its file has been opened; at most one file opens per tick.
  void OnTick();
  // Nothing more opens once the program is ending.
  void Stop() { stopped_ = true; }

 private:
  const HotKeyList& bindings_;
  KeyboardState& keyboard_;
  LaunchHost& host_;
  bool stopped_ = false;
};

// The Hot Keys window: the bindings, and removing one.
class HotKeysModel {
 public:
  HotKeysModel(Lists& lists, gui::Dialogs& dialogs);

  // Each opening: nothing selected.
  void Load() { selected_.reset(); }
  const HotKeyList& Rows() const { return lists_.hotKeys(); }
  void Select(std::optional<std::size_t> row) { selected_ = row; }
  std::optional<std::size_t> Selected() const { return selected_; }

  // Asks, then removes the selected binding (its file rewritten in one step; no file is left when
  // the last one goes). False when nothing was removed (no selection, the user said no, or the file
  // refused, which the user is told).
  bool RemoveSelected();

 private:
  Lists& lists_;
  gui::Dialogs& dialogs_;
  std::optional<std::size_t> selected_;
};

// The Add a Hot Key form.
class AddHotKeyModel {
 public:
  // shutDownKey, restartKey: the letters the shutdown and restart lists show; they are not offered.
  AddHotKeyModel(Lists& lists, ListFileSystem& files, gui::Dialogs& dialogs, std::string_view shutDownKey,
                 std::string_view restartKey);

  const std::vector<std::string>& OfferedKeys() const { return keys_; }
  // Ok: checks the file, then that neither the file nor the key has a binding yet, with a message
  // for the first that fails; then stores the binding, which works from the next poll on. True when
  // stored (the form closes); a file that refuses it is told.
  bool Accept(std::string_view pathText, std::string_view key);

 private:
  Lists& lists_;
  ListFileSystem& files_;
  gui::Dialogs& dialogs_;
  std::vector<std::string> keys_;
};

}  // namespace corvane::hotkeys
