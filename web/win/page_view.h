#pragma once
// A small window that shows one page of ours: a picture, or else text. It runs nothing, opens no
// window of its own, has no context menu and nothing in it can be selected; a click is handed to
// the owner.
#include <windows.h>

#include <functional>
#include <string>

#include "base/win/handle.h"
#include "base/win/window_base.h"

namespace corvane::web::win {

class PageView final : public corvane::win::WindowBase<PageView> {
 public:
  static const wchar_t* ClassName() { return L"CorvanePageView"; }

  bool Create(HWND parent, int x, int y, int width, int height, int id);
  // Shows the picture centred (it is drawn as it is; shrink it first to fit).
  void ShowPicture(corvane::win::UniqueGdiObject picture, int width, int height);
  void ShowText(const std::string& text);
  // A banner drawn here, needing no file: the title in a framed panel. It is the window's text too,
  // so that screen readers and tests can tell it.
  void ShowBanner(const std::string& title);
  // A clickable view shows the hand cursor; clicks reach OnClick either way.
  void SetClickable(bool clickable) { clickable_ = clickable; }
  void SetOnClick(std::function<void()> onClick) { onClick_ = std::move(onClick); }

  bool ShowsPicture() const { return static_cast<bool>(picture_); }
  bool ShowsBanner() const { return banner_; }
  const std::wstring& Text() const { return text_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint();
  void PaintBanner(HDC dc, const RECT& client);

  corvane::win::UniqueGdiObject picture_;
  int pictureWidth_ = 0;
  int pictureHeight_ = 0;
  std::wstring text_;
  bool banner_ = false;
  bool clickable_ = false;
  std::function<void()> onClick_;
};

}  // namespace corvane::web::win
