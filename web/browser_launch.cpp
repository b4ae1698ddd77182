#include "web/browser_launch.h"

#include "base/text.h"
#include "web/web_address.h"

namespace corvane::web {

std::optional<std::string> BrowserProgramFrom(std::string_view association) {
  const std::size_t at = ToUpperAscii(association).find(".EXE");
  if (at == std::string::npos) return std::nullopt;
  std::string program = TrimSpaces(association.substr(0, at + 4));
  if (program.size() == 4) return std::nullopt;  // ".EXE" alone names no program
  return program;
}

void OpenInBrowser(BrowserShell& shell, std::string_view address, std::string_view extension) {
  const std::string trimmed = TrimSpaces(address);
  if (!IsSafeWebAddress(trimmed)) return;
  const std::optional<std::string> folder = shell.TemporaryFolder();
  if (!folder || folder->empty()) return;
  const std::string probe = *folder + "helphtm." + std::string(extension);
  if (shell.WriteProbeFile(probe)) {
    if (const std::optional<std::string> found = shell.FindAssociatedProgram(probe)) {
      if (const std::optional<std::string> program = BrowserProgramFrom(*found)) {
        shell.StartProgram(*program, "\"" + trimmed + "\"");
      } else if (!TrimSpaces(*found).empty()) {
        shell.OpenAddress(trimmed);
      }
    }
  }
  shell.DeleteProbeFile(probe);
}

}  // namespace corvane::web
