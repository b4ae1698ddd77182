#pragma once
// Starting the user's default browser with one address: the program that opens a probe .htm file
// is started directly, maximised, with the quoted address as its only argument.
#include <optional>
#include <string>
#include <string_view>

namespace corvane::web {

// What the routine needs of the system; one Win32 implementation, fakes in the tests.
class BrowserShell {
 public:
  virtual ~BrowserShell() = default;
  // The temporary folder, ending in a separator; nothing when the system cannot say.
  virtual std::optional<std::string> TemporaryFolder() = 0;
  // Creates or overwrites the probe file; its content does not matter.
  virtual bool WriteProbeFile(const std::string& path) = 0;
  // The program associated with the file; nothing when there is none.
  virtual std::optional<std::string> FindAssociatedProgram(const std::string& path) = 0;
  // Starts `program` with `parameters`, maximised.
  virtual void StartProgram(const std::string& program, const std::string& parameters) = 0;
  // Hands the address to the shell's own handling of web addresses, maximised.
  virtual void OpenAddress(const std::string& address) = 0;
  virtual void DeleteProbeFile(const std::string& path) = 0;
};

// The program part of an association: everything up to and including the first ".EXE" (any case),
// trimmed. Nothing when the association holds no ".EXE".
std::optional<std::string> BrowserProgramFrom(std::string_view association);

// Opens `address` (trimmed) in the default browser. `extension` names the probe file ("htm").
// Addresses that fail IsSafeWebAddress open nothing. When the association names no ".EXE" (a script
// or a command the shell runs), the address goes to the shell's own web handling instead, so that
// the user still gets a browser. The probe file is deleted in every case once it was made.
void OpenInBrowser(BrowserShell& shell, std::string_view address, std::string_view extension = "htm");

}  // namespace corvane::web
