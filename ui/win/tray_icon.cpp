#include "ui/win/tray_icon.h"

#include <shellapi.h>

#include <algorithm>

#include "base/win/utf.h"
#include "ui/main_window_model.h"

namespace corvane::ui::win {

NOTIFYICONDATAW TrayIcon::Record(UINT flags) const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof(data);
  data.hWnd = window_;
  data.uID = kIconId;
  data.uFlags = flags;
  data.uCallbackMessage = kCallbackMessage;
  data.hIcon = icon_;
  const std::wstring tip = corvane::win::Widen(tip_);
  const size_t count = std::min(tip.size(), std::size(data.szTip) - 1);
  std::copy_n(tip.begin(), count, data.szTip);
  data.szTip[count] = L'\0';
  return data;
}

void TrayIcon::ShowIcon(HWND window, HICON icon, std::string_view tip) {
  window_ = window;
  icon_ = icon;
  tip_ = TrayTipText(tip);
  NOTIFYICONDATAW data = Record(NIF_MESSAGE | NIF_ICON | NIF_TIP);
  ::Shell_NotifyIconW(NIM_ADD, &data);
  runningInTray_ = true;
}

void TrayIcon::RemoveIcon() {
  if (window_ == nullptr) return;
  NOTIFYICONDATAW data = Record(0);
  ::Shell_NotifyIconW(NIM_DELETE, &data);
  runningInTray_ = false;
}

void TrayIcon::ChangeToolTip(HWND window, std::string_view text) {
  if (!runningInTray_) return;
  window_ = window;
  tip_ = TrayTipText(text);
  NOTIFYICONDATAW data = Record(NIF_TIP);
  ::Shell_NotifyIconW(NIM_MODIFY, &data);
}

void TrayIcon::Restore() {
  if (!runningInTray_) return;
  NOTIFYICONDATAW data = Record(NIF_MESSAGE | NIF_ICON | NIF_TIP);
  ::Shell_NotifyIconW(NIM_ADD, &data);
}

UINT TaskbarCreatedMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

}  // namespace corvane::ui::win
