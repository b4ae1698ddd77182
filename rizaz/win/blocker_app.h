#pragma once
// The blocker program after its access check: the hidden main window, the block cycle on a 10 ms
// tick and the popup, all on one thread.
#include <windows.h>

namespace corvane::win {

// Stable class name of the hidden main window, for tests that close it as the session's end would.
inline constexpr wchar_t kBlockerMainClassName[] = L"RizazFrmMain";

// The name that keeps the blocker to one running copy per user session.
inline constexpr wchar_t kBlockerInstanceName[] = L"Local\\Corvane.rizaz";

// Runs until the main program signals its end ("Support" = "False") or the hidden window is closed.
// Returns the process exit code.
int RunBlocker();

}  // namespace corvane::win
