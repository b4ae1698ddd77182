// Corvane.exe: splash, main window, tray icon and the watch cycle.
#include <windows.h>

#include "base/win/utf.h"
#include "ui/app/corvane_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  try {
    corvane::ui::win::CorvaneApp app(corvane::win::Narrow(::GetCommandLineW()));
    return app.Run();
  } catch (...) {
    return 1;
  }
}
