#include "ui/win/file_chooser_win.h"

#include "gui/win/file_dialog.h"

namespace corvane::ui::win {

std::optional<std::string> Win32FileChooser::ChooseFileToOpen(std::string_view title) {
  return gui::win::ShowFileOpenDialog(owner_, title, {});
}

}  // namespace corvane::ui::win
