#pragma once
// Launch hotkeys: Ctrl + Shift + a letter or digit opens a chosen file with its default action.
// Here without windows: the 20 ms poll of the bindings, and the two windows' models, the list of
// bindings ("Hot Keys") and the form that adds one ("Add a Hot Key").
//
// The program keeps one copy of the bindings for the poll (the store's hot-key list), loaded at
// start-up and changed by every add and remove; the Hot Keys window reads the file afresh each time
// it opens.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "hotkeys/hotkey_keys.h"
#include "store/list_file_system.h"
#include "store/list_files.h"
#include "ui/dialogs.h"

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

// The Hot Keys window: the bindings as stored, and removing one.
class HotKeysModel {
 public:
  // store: its hot-key list is the program's copy for the poll.
  HotKeysModel(ListFileStore& store, ui::Dialogs& dialogs);

  // Each opening: the rows from the file.
  void Load();
  const HotKeyList& Rows() const { return rows_; }
  void Select(std::optional<std::size_t> row) { selected_ = row; }
  std::optional<std::size_t> Selected() const { return selected_; }

  // Asks, then removes the selected binding from the rows, from the program's copy and from the
  // file (rewritten in one step; no file is left when the last one goes). False when nothing was
  // removed (no selection, or the user said no).
  bool RemoveSelected();
  // A binding the add form stored: a row, and the program's copy, so the key works from the next
  // poll on.
  void Added(const HotKeyEntry& binding);

 private:
  ListFileStore& store_;
  ui::Dialogs& dialogs_;
  HotKeyList rows_;
  std::optional<std::size_t> selected_;
};

// The Add a Hot Key form.
class AddHotKeyModel {
 public:
  // shutDownKey, restartKey: the letters the shutdown and restart lists show; they are not offered.
  AddHotKeyModel(ListFileStore& store, ListFileSystem& files, ui::Dialogs& dialogs, HotKeysModel& hotKeys,
                 std::string_view shutDownKey, std::string_view restartKey);

  const std::vector<std::string>& OfferedKeys() const { return keys_; }
  // Ok: checks the file, then that neither the file nor the key has a binding yet, with a message
  // for the first that fails; then stores the binding. True when stored (the form closes).
  bool Accept(std::string_view pathText, std::string_view key);

 private:
  ListFileStore& store_;
  ListFileSystem& files_;
  ui::Dialogs& dialogs_;
  HotKeysModel& hotKeys_;
  std::vector<std::string> keys_;
};

}  // namespace corvane::hotkeys
