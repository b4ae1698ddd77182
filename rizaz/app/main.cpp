#include <windows.h>

#include "base/win/single_instance.h"
#include "base/win/utf.h"
#include "rizaz/access_code.h"
#include "rizaz/win/blocker_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Without its access code the blocker ends at once: nothing written, nothing loaded, no window.
  if (!corvane::rizaz::IsAccessGranted(corvane::win::Narrow(::GetCommandLineW()))) return 0;
  // One blocker per user session: a second one ends at once, as silently.
  const corvane::win::SingleInstance single(corvane::win::kBlockerInstanceName);
  if (!single.IsFirst()) return 0;
  return corvane::win::RunBlocker();
}
