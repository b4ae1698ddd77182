#pragma once
// FrmHotKey ("Hot Keys"): the launch hotkeys as stored, with Add and Remove; and FrmAddHotKey ("Add a
// Hot Key"), the form that binds a file to a key. Both modal, both showing the list owner's hot-key list.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "gui/win/file_icons.h"
#include "gui/win/message_boxes.h"
#include "gui/win/modal_window.h"
#include "hotkeys/launch_hotkeys.h"
#include "store/list_file_system.h"
#include "store/lists.h"

namespace corvane::hotkeys::win {

// Control ids. Hot Keys: the list and its two buttons; Add a Hot Key: the path box, "...", the key
// list, and Ok / Cancel as IDOK / IDCANCEL.
inline constexpr int kHotKeysListId = 1401;
inline constexpr int kHotKeysAddId = 1402;
inline constexpr int kHotKeysRemoveId = 1403;
inline constexpr int kAddPathId = 1411;
inline constexpr int kAddBrowseId = 1412;
inline constexpr int kAddKeyListId = 1413;

// The path box's text until a file is chosen.
std::string AddPathDesignText();

// The file-open dialog of the Add form: the chosen file's full path, or nothing.
std::optional<std::string> ChooseHotKeyTarget(HWND owner);

class FrmHotKey final : public gui::win::ModalWindow {
 public:
  static const wchar_t* ClassName() { return L"CorvaneHotKeys"; }

  // Opens the window over owner and returns when it is closed. lists: the owner of the hot-key list
  // the poll reads, changed by every add and remove. shutDownKey, restartKey:
  // the letters the shutdown and restart lists show now; the Add form does not offer them.
  static void Show(HWND owner, Lists& lists, ListFileSystem& files, char shutDownKey, char restartKey);

 private:
  FrmHotKey(Lists& lists, ListFileSystem& files, char shutDownKey, char restartKey);
  bool CreateControls() override;
  void Arrange(int dpi) override;
  HWND FirstFocus() const override { return list_; }
  void OnCommand(int id) override;
  void PaintOver(HDC dc) override;
  void Fill();
  void Add();
  void Remove();

  Lists& lists_;
  ListFileSystem& files_;
  char shutDownKey_;
  char restartKey_;
  gui::win::WindowDialogs dialogs_;
  HotKeysModel model_;
  gui::win::FileIconList icons_;
  HWND text_ = nullptr;
  HWND heading_ = nullptr;
  HWND list_ = nullptr;
  HWND add_ = nullptr;
  HWND remove_ = nullptr;
  RECT banner_{};
};

class FrmAddHotKey final : public gui::win::ModalWindow {
 public:
  static const wchar_t* ClassName() { return L"CorvaneAddHotKey"; }

  // True when a binding was stored (the model has it).
  static bool Show(HWND owner, AddHotKeyModel& model, gui::win::WindowDialogs& dialogs);

 private:
  FrmAddHotKey(AddHotKeyModel& model, gui::win::WindowDialogs& dialogs);
  bool CreateControls() override;
  void Arrange(int dpi) override;
  HWND FirstFocus() const override { return browse_; }
  void OnCommand(int id) override;
  void PaintOver(HDC dc) override;
  gui::win::LabelColors ColorsOf(HWND label) const override;
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  AddHotKeyModel& model_;
  gui::win::WindowDialogs& dialogs_;
  bool stored_ = false;
  HWND fileLabel_ = nullptr;
  HWND path_ = nullptr;
  HWND browse_ = nullptr;
  HWND keyLabel_ = nullptr;
  HWND prefix_ = nullptr;
  HWND keys_ = nullptr;
  HWND ok_ = nullptr;
  HWND cancel_ = nullptr;
  RECT banner_{};
  RECT line_{};
};

}  // namespace corvane::hotkeys::win
