#include "web/win/advert_panel.h"

#include <utility>

#include "web/web_address.h"
#include "web/win/browser_shell_win.h"
#include "web/win/image_decoder.h"

namespace corvane::web::win {
namespace {

constexpr int kPageViewId = 1;

UINT_PTR TimerId(AdvertTimer timer) { return static_cast<UINT_PTR>(timer) + 1; }

}  // namespace

AdvertPanel::AdvertPanel(AdvertPanelOptions options)
    : options_(std::move(options)),
      cycle_(fetcher_, *this, *this, *this, options_.listAddress, options_.placeholderAddress) {}

AdvertPanel::~AdvertPanel() { Shutdown(); }

bool AdvertPanel::Create(HWND parent, int x, int y, int width, int height) {
  if (!CreateWindowOf(0, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, x, y, width, height, parent)) return false;
  fetcher_.fetcher = std::make_unique<HttpFetcher>(Hwnd(), kFetchResultMessage, options_.limits);
  if (!view_.Create(Hwnd(), 0, 0, width, height, kPageViewId)) return false;
  view_.SetOnClick([this] {
    if (showingPlaceholder_) {
      cycle_.OnPlaceholderClicked();
    } else {
      cycle_.OnAdvertClicked();
    }
  });
  ShowPlaceholder();
  return true;
}

void AdvertPanel::Shutdown() {
  cycle_.Stop();
  fetcher_.fetcher.reset();  // joins the worker: nothing is posted after this
  if (Hwnd() == nullptr) return;
  // Results posted before the worker ended still own their memory.
  MSG msg;
  while (::PeekMessageW(&msg, Hwnd(), kFetchResultMessage, kFetchResultMessage, PM_REMOVE)) {
    HttpFetcher::TakeResult(msg.lParam);
  }
}

void AdvertPanel::ShowPlaceholder() {
  showingPlaceholder_ = true;
  view_.SetClickable(true);
  view_.ShowBanner(options_.placeholderText);
}

void AdvertPanel::ShowPage(const AdvertPage& page) {
  showingPlaceholder_ = false;
  view_.SetClickable(IsSafeWebAddress(page.clickAddress));
  RECT client{};
  ::GetClientRect(Hwnd(), &client);
  int width = 0;
  int height = 0;
  if (!page.image.empty()) {
    if (auto picture = DecodePictureToFit(page.image, client.right, client.bottom, width, height)) {
      view_.ShowPicture(std::move(picture), width, height);
      return;
    }
  }
  view_.ShowText(page.text);
}

void AdvertPanel::SetStatus(const std::string& text) {
  if (statusSink_) statusSink_(text);
}

void AdvertPanel::Start(AdvertTimer timer, int milliseconds) {
  if (Hwnd() != nullptr) ::SetTimer(Hwnd(), TimerId(timer), static_cast<UINT>(milliseconds), nullptr);
}

void AdvertPanel::Stop(AdvertTimer timer) {
  if (Hwnd() != nullptr) ::KillTimer(Hwnd(), TimerId(timer));
}

void AdvertPanel::Open(const std::string& address) {
  if (opener_) {
    opener_(address);
  } else {
    OpenInBrowser(::GetAncestor(Hwnd(), GA_ROOT), address);
  }
}

LRESULT AdvertPanel::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      for (const AdvertTimer timer :
           {AdvertTimer::Cycle, AdvertTimer::ShowPause, AdvertTimer::ClickPause, AdvertTimer::WaitLimit}) {
        if (wParam == TimerId(timer)) {
          if (timer != AdvertTimer::Cycle) ::KillTimer(Hwnd(), wParam);  // one-shot
          cycle_.OnTimer(timer);
          return 0;
        }
      }
      break;
    case kFetchResultMessage: {
      const std::unique_ptr<FetchResult> result = HttpFetcher::TakeResult(lParam);
      if (result) cycle_.OnFetched(*result);
      return 0;
    }
    case WM_SIZE:
      if (view_.Hwnd() != nullptr) {
        ::MoveWindow(view_.Hwnd(), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      }
      return 0;
    case WM_CONTEXTMENU:
      return 0;
    case WM_DESTROY:
      Shutdown();
      return 0;
    default:
      break;
  }
  return corvane::win::WindowBase<AdvertPanel>::HandleMessage(message, wParam, lParam);
}

}  // namespace corvane::web::win
