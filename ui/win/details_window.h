#pragma once
// FrmFullProcessDetails: the details report of one program in a tree, shown modally above every
// other window until OK (or Escape, Enter, the close box) closes it.
#include <windows.h>

#include <string_view>

#include "gui/win/modal_window.h"
#include "process/process_table.h"
#include "ui/process_report.h"

namespace corvane::ui::win {

// Control ids of the details window; OK is IDOK.
inline constexpr int kDetailsHeadlineId = 1201;
inline constexpr int kDetailsVersionId = 1202;
inline constexpr int kDetailsNotRunningId = 1203;
inline constexpr int kDetailsTreeId = 1204;

class FrmFullProcessDetails final : public gui::win::ModalWindow {
 public:
  static const wchar_t* ClassName() { return L"CorvaneProcessDetails"; }

  // Shows the report over owner (disabled meanwhile; may be null) and returns when it is closed.
  // icon is the program's icon, borrowed for the call; null shows the default file icon.
  static void Show(HWND owner, const ProcessReport& report, HICON icon);

 private:
  FrmFullProcessDetails(const ProcessReport& report, HICON icon);
  bool CreateControls() override;
  void Arrange(int dpi) override;
  HWND FirstFocus() const override { return tree_; }
  void OnCommand(int id) override;
  void PaintOver(HDC dc) override;
  gui::win::LabelColors ColorsOf(HWND label) const override;
  void FillTree();

  const ProcessReport& report_;
  HICON icon_;
  corvane::win::UniqueIcon defaultIcon_;
  HWND headline_ = nullptr;
  HWND version_ = nullptr;
  HWND notRunning_ = nullptr;
  HWND tree_ = nullptr;
  HWND ok_ = nullptr;
  RECT banner_{};
  RECT iconRect_{};
};

// The details of a program from the main window's lists: its process is looked up afresh by file
// name (the first process of that name the system lists; none: id 0), the report built from the
// system's facts and shown over owner with the program file's own icon.
void ShowProcessDetails(HWND owner, std::string_view path, std::string_view name, ProcessTable& processes);

}  // namespace corvane::ui::win
