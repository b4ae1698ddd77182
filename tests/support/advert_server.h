#pragma once
// What the advertisement area's end-to-end tests and benchmarks need around the real program: the
// small Python advertisement server on 127.0.0.1 (tests/e2e/advert_server.py), and a fake browser
// registered for .htm files in the test prefix. Wine only: the server is Debian's python3.
#include <windows.h>

#include <string>

namespace corvane::testing {

class LocalAdvertServer {
 public:
  LocalAdvertServer() = default;
  // Ends the server by its id.
  ~LocalAdvertServer() { Stop(); }
  LocalAdvertServer(const LocalAdvertServer&) = delete;
  LocalAdvertServer& operator=(const LocalAdvertServer&) = delete;

  // Starts the server with its state file in folder and waits until it listens.
  bool Start(const std::wstring& folder);
  void Stop();

  int Port() const { return port_; }
  // "http://127.0.0.1:port" followed by path.
  std::wstring Url(const std::wstring& path = L"") const;
  // How many requests under /stall/ have come in (none of them is ever answered).
  int StalledRequests() const;

 private:
  std::wstring stateFile_;
  int port_ = 0;
  unsigned long pid_ = 0;  // the server's Linux process id
};

// Registers program as the opener of .htm files for as long as it lives, and puts back what was
// there. Wine 8 answers FindExecutable from the machine's classes only (a per-user class is not
// seen), so the open command of the class that .htm names there is the one changed.
class FakeBrowserRegistration {
 public:
  explicit FakeBrowserRegistration(const std::wstring& program);
  ~FakeBrowserRegistration();
  FakeBrowserRegistration(const FakeBrowserRegistration&) = delete;
  FakeBrowserRegistration& operator=(const FakeBrowserRegistration&) = delete;
  bool Applied() const { return applied_; }

 private:
  std::wstring commandKey_;
  std::wstring previous_;
  bool hadPrevious_ = false;
  bool applied_ = false;
};

// The lines the fake browser (tests/helpers/fake_browser.cpp) logged: its command lines.
std::string FakeBrowserLog(const std::wstring& program);

}  // namespace corvane::testing
