#pragma once
// The advertisement area as one child window: it owns the cycle, its timers, its fetcher thread and
// the page view. The host creates it inside the running-process panel, calls Start when the main
// window has loaded, and gives it a sink for status texts (the main window's status line).
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "base/win/window_base.h"
#include "web/advert_cycle.h"
#include "web/win/http_fetcher.h"
#include "web/win/page_view.h"

namespace corvane::web::win {

// The message the fetcher posts its results with, to the panel's own window.
inline constexpr UINT kFetchResultMessage = WM_APP + 41;

struct AdvertPanelOptions {
  std::string listAddress = SiteAddress(kAdvertListPath);
  std::string placeholderAddress = SiteAddress(kOtherProductPath);
  // The heading of the drawn placeholder banner, which opens the other product's page.
  std::string placeholderText = "Our other products";
  HttpFetcherLimits limits;
};

class AdvertPanel final : public corvane::win::WindowBase<AdvertPanel>,
                          private AdvertView,
                          private AdvertClock,
                          private AdvertOpener {
 public:
  static const wchar_t* ClassName() { return L"CorvaneAdvertPanel"; }

  explicit AdvertPanel(AdvertPanelOptions options = {});
  ~AdvertPanel() override;

  bool Create(HWND parent, int x, int y, int width, int height);
  // Placeholder now, first cycle in ten seconds.
  void Start() { cycle_.Start(); }
  // Timers off and fetches cancelled; also done when the window goes.
  void Stop() { cycle_.Stop(); }

  // Status texts ("Opening page ...", "Done", " page can not be displayed ").
  void SetStatusSink(std::function<void(const std::string&)> sink) { statusSink_ = std::move(sink); }
  // How an address is opened; the default starts the user's browser (tests replace it).
  void SetOpener(std::function<void(const std::string&)> opener) { opener_ = std::move(opener); }

  const AdvertCycle& Cycle() const { return cycle_; }
  PageView& View() { return view_; }

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  // AdvertView
  void ShowPlaceholder() override;
  void ShowPage(const AdvertPage& page) override;
  void SetStatus(const std::string& text) override;
  // AdvertClock
  void Start(AdvertTimer timer, int milliseconds) override;
  void Stop(AdvertTimer timer) override;
  // AdvertOpener
  void Open(const std::string& address) override;

  void Shutdown();

  // Forwards to the fetcher once the window (its result target) exists.
  class FetcherSlot final : public AdvertFetcher {
   public:
    void Fetch(const FetchRequest& request) override {
      if (fetcher) fetcher->Fetch(request);
    }
    void CancelAll() override {
      if (fetcher) fetcher->CancelAll();
    }
    std::unique_ptr<HttpFetcher> fetcher;
  };

  AdvertPanelOptions options_;
  FetcherSlot fetcher_;
  PageView view_;
  AdvertCycle cycle_;
  bool showingPlaceholder_ = true;
  std::function<void(const std::string&)> statusSink_;
  std::function<void(const std::string&)> opener_;
};

}  // namespace corvane::web::win
