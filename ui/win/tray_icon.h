#pragma once
// The notification-area icon of the main window. It reports mouse events through a private
// message: the mouse message of the icon arrives in lParam. A private message, not WM_MOUSEMOVE,
// so that ordinary mouse moves over the window can never be taken for icon clicks.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <string_view>

namespace corvane::ui::win {

class TrayIcon {
 public:
  static constexpr UINT kCallbackMessage = WM_APP + 1;
  static constexpr UINT kIconId = 1;

  // Adds the icon with the given tip. RunningInTray() is true afterwards even when the shell
  // refused, so that later tip changes are still attempted.
  void ShowIcon(HWND window, HICON icon, std::string_view tip);
  void RemoveIcon();
  // Only while the icon is in the tray; the tip is cut to 64 characters.
  void ChangeToolTip(HWND window, std::string_view text);
  // After the taskbar was recreated (explorer restarted) the icon must be added again.
  void Restore();

  bool RunningInTray() const { return runningInTray_; }
  const std::string& Tip() const { return tip_; }

 private:
  NOTIFYICONDATAW Record(UINT flags) const;

  HWND window_ = nullptr;
  HICON icon_ = nullptr;
  std::string tip_;
  bool runningInTray_ = false;
};

// The message the shell broadcasts when the taskbar is created.
UINT TaskbarCreatedMessage();

}  // namespace corvane::ui::win
