#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "web/browser_launch.h"

namespace corvane::web::win {

// The system side of opening a page in the default browser. Starting the program and handing an
// address to the shell are virtual so that a test can see what would be started without a browser.
class Win32BrowserShell : public BrowserShell {
 public:
  explicit Win32BrowserShell(HWND owner) : owner_(owner) {}
  std::optional<std::string> TemporaryFolder() override;
  bool WriteProbeFile(const std::string& path) override;
  std::optional<std::string> FindAssociatedProgram(const std::string& path) override;
  void StartProgram(const std::string& program, const std::string& parameters) override;
  void OpenAddress(const std::string& address) override;
  void DeleteProbeFile(const std::string& path) override;

 private:
  HWND owner_;
};

// Opens the address in the user's default browser, maximised; `owner` owns the launch.
void OpenInBrowser(HWND owner, std::string_view address);
// Opens a page of the maker's site by its path ("/corvane/help.htm", HelpPathFor(...)).
void OpenSitePage(HWND owner, std::string_view path);

}  // namespace corvane::web::win
