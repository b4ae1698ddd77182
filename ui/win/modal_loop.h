#pragma once
// What the program's own modal windows share: a message loop of their own that keeps the rest of
// the program alive, and a place on the screen.
#include <windows.h>

namespace corvane::ui::win {

// The window a modal window should be owned by: the top-level window of owner, or null.
HWND ModalOwner(HWND owner);

// Runs until done is true or window is gone. The owner (if any, and if it was enabled) is disabled
// meanwhile and enabled again before this returns, while window still exists, so the system hands
// the activation back to the owner. Every message of the thread is dispatched, so the program's
// timers keep running; Tab, arrow keys, Enter and Escape go through IsDialogMessage. A WM_QUIT ends
// the loop and is posted again for the program's own loop; false is returned then.
bool RunModalLoop(HWND window, HWND owner, const bool& done);

// The work area a new window is centred in: the owner's monitor when the owner is on the screen,
// else the monitor under the mouse (the program often lives in the tray).
RECT CentringArea(HWND owner);

// Centres window in CentringArea(owner).
void CentreOnWorkArea(HWND window, HWND owner);

}  // namespace corvane::ui::win
