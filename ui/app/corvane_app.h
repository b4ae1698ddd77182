#pragma once
// Corvane.exe as one object: the one-copy-per-session check and, in the first copy only, everything
// the program runs on (settings, list files, processes, the watch cycle and its judging, the
// decision windows, the controller, the main window and the splash), wired together once, when it
// is built.
#include <memory>
#include <string>
#include <string_view>

#include "base/win/single_instance.h"

namespace corvane::ui::win {

class CorvaneApp {
 public:
  // commandLine: the whole command line as the system gives it.
  explicit CorvaneApp(std::string_view commandLine);
  ~CorvaneApp();
  CorvaneApp(const CorvaneApp&) = delete;
  CorvaneApp& operator=(const CorvaneApp&) = delete;

  // Runs the program until it quits; returns its exit code. A second start in the same user session
  // (the Run entry's and the user's, say) brings the running copy forward instead, and ends before
  // it has touched anything.
  int Run();

 private:
  class Program;

  const corvane::win::SingleInstance instance_;
  const std::string argumentText_;
  std::unique_ptr<Program> program_;
};

}  // namespace corvane::ui::win
