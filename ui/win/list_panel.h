#pragma once
// A panel that shows a list: its list control, its counter under it and its buttons at the bottom,
// and the list's right-click menu. Buttons and menu items send their commands (panel_commands.h) to
// the main window as WM_COMMAND, the way a button does. The rows follow the
// list-panels model one step at a time (added, removed, recoloured), so the selection, the focus and
// the scroll position stay with their rows; the model is the one place that says which entry a row
// stands for, for the tooltips, the details and the operations.
#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <string_view>
#include <vector>

#include "gui/win/file_icons.h"
#include "ui/list_panels_model.h"
#include "ui/main_window_model.h"
#include "ui/panel_commands.h"
#include "ui/win/panel_window.h"

namespace corvane::ui::win {

// What a list panel needs from the program: the rows it shows, and where the user's acts go.
class ListPanelHost {
 public:
  virtual ~ListPanelHost() = default;
  // Null until the program is wired up.
  virtual const ListPanelsModel* ListPanels() const = 0;
  virtual void OnRowSelectionChanged(Panel panel, std::size_t row, bool selected) = 0;
  // A double click or Enter on the panel's list.
  virtual void OnDetailsRequested(Panel panel) = 0;
};

class ListPanel : public PanelWindow {
 public:
  // The picture list of the rows and the host outlive the panel.
  ListPanel(Panel panel, std::string_view counterCaption, gui::win::FileIconList& icons, ListPanelHost& host);

  Panel Kind() const { return panel_; }
  HWND ListView() const { return list_; }
  HWND Counter() const { return counter_; }
  void SetCount(std::size_t count);
  // Applies the model's steps in order, then shows the model's selection and keeps the row that was
  // at the top of the view at the top.
  void ApplyRowChanges(const std::vector<RowChange>& changes);

 protected:
  void CreateControls(int width, int height, const PanelSetup& setup) override;
  bool OnNotify(const NMHDR& header, LRESULT& result) override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  // Whether the mouse over the list, like over the panel's background, puts the buttons back to
  // their normal look.
  virtual bool ListResetsButtons() const { return false; }

  // The columns of the list, for a list of the given width. Program lists: the name and the location.
  virtual void AddColumns(int width, int dpi);
  // The row's cells and icon. Program rows: the name, then the location, with the program's icon.
  virtual void InsertRow(std::size_t row, const PanelEntry& entry);
  virtual LRESULT OnCustomDraw(NMLVCUSTOMDRAW& /*draw*/) { return CDRF_DODEFAULT; }

  void AddColumn(int index, const wchar_t* title, int width);
  // Inserts a row with the given text in its first column.
  int InsertText(std::size_t row, std::string_view text, int icon);
  const PanelEntry* EntryAt(std::size_t row) const;
  gui::win::FileIconList& Icons() { return icons_; }

 private:
  void ShowModelSelection();
  void KeepAtTop(std::size_t row);
  void CreateButtons(int left, int top, int width, const PanelSetup& setup);
  // The right-click menu at screen point at (-1, -1: from the keyboard, at the selected row). The
  // chosen item's command is posted as a button's would be sent.
  void PopUpMenu(POINT at);
  static LRESULT CALLBACK ListHook(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id, DWORD_PTR data);

  Panel panel_;
  std::string_view counterCaption_;
  gui::win::FileIconList& icons_;
  ListPanelHost& host_;
  HWND list_ = nullptr;
  HWND counter_ = nullptr;
  // True while the panel itself changes the control: its notifications are not the user's.
  bool applying_ = false;
};

}  // namespace corvane::ui::win
