#pragma once
// The advertisement area's cycle: every ten seconds the next page of the server's list is fetched
// and shown, or the placeholder when anything goes wrong. Event-driven: the cycle asks for fetches
// and timers and is called back with their results; it never waits.
#include <cstdint>
#include <string>

#include "web/site.h"

namespace corvane::web {

enum class FetchKind { Page, Image };

struct FetchRequest {
  std::uint64_t id = 0;
  std::string address;
  FetchKind kind = FetchKind::Page;
};

struct FetchResult {
  std::uint64_t id = 0;
  bool ok = false;      // transport worked and the server answered 2xx
  int status = 0;       // the final HTTP status, 0 when none came
  std::string finalAddress;  // after redirects
  std::string body;
  std::string error;    // why it failed, for diagnosis only
};

// Fetches in the background and later hands the result to AdvertCycle::OnFetched.
class AdvertFetcher {
 public:
  virtual ~AdvertFetcher() = default;
  virtual void Fetch(const FetchRequest& request) = 0;
  // Drops every fetch asked for; their results must not arrive any more (stale ones are ignored anyway).
  virtual void CancelAll() = 0;
};

struct AdvertPage {
  std::string address;
  std::string text;          // the body text, shown when there is no usable image
  std::string image;         // the first image's bytes; empty when the page has none or it failed
  std::string clickAddress;  // absolute; empty when a click opens nothing
};

class AdvertView {
 public:
  virtual ~AdvertView() = default;
  virtual void ShowPlaceholder() = 0;
  virtual void ShowPage(const AdvertPage& page) = 0;
  virtual void SetStatus(const std::string& text) = 0;
};

enum class AdvertTimer { Cycle, ShowPause, ClickPause, WaitLimit };

// Cycle repeats until stopped; the others are one-shot: the owner stops them before calling
// OnTimer, or the cycle does in OnTimer (stopping a stopped timer is harmless).
class AdvertClock {
 public:
  virtual ~AdvertClock() = default;
  virtual void Start(AdvertTimer timer, int milliseconds) = 0;
  virtual void Stop(AdvertTimer timer) = 0;
};

class AdvertOpener {
 public:
  virtual ~AdvertOpener() = default;
  virtual void Open(const std::string& address) = 0;
};

inline constexpr int kAdvertCycleMs = 10000;
// The short pause before a loaded page replaces what is shown, and before a click opens the browser.
inline constexpr int kAdvertPauseMs = 1000;
// How long one page (with its image) may take before the cycle gives up and shows the placeholder.
inline constexpr int kAdvertWaitLimitMs = 15000;
inline constexpr int kAdvertCyclesPerList = 12;
inline constexpr const char* kPageNotShownStatus = " page can not be displayed ";

class AdvertCycle {
 public:
  AdvertCycle(AdvertFetcher& fetcher, AdvertView& view, AdvertClock& clock, AdvertOpener& opener,
              std::string listAddress = SiteAddress(kAdvertListPath),
              std::string placeholderAddress = SiteAddress(kOtherProductPath));

  // The main window has loaded: placeholder in front, list to be fetched, first cycle in ten seconds.
  void Start();
  // The program closes: timers off, fetches cancelled.
  void Stop();

  void OnTimer(AdvertTimer timer);
  void OnFetched(const FetchResult& result);
  void OnAdvertClicked();
  void OnPlaceholderClicked();

  // For the host and its tests.
  bool PageLoaded() const { return pageLoaded_; }
  bool ShowingAdvert() const { return showingAdvert_; }
  int Cursor() const { return cursor_; }
  int TickCount() const { return ticks_; }
  const std::string& AdList() const { return adList_; }
  const std::string& ClickAddress() const { return clickAddress_; }
  const std::string& CurrentAddress() const { return currentAddress_; }

 private:
  enum class Phase { Idle, FetchingList, FetchingPage, FetchingImage, Pausing };

  void RunCycle();
  void ShowNext();
  void Navigate(const std::string& address, FetchKind kind);
  void OnListLoaded(const FetchResult& result);
  void OnPageLoaded(const FetchResult& result);
  void OnImageLoaded(const FetchResult& result);
  void PageComplete();
  void PagePaused();
  void PageCannotBeShown();
  void ShowPlaceholder();
  void CompleteCycle();

  AdvertFetcher& fetcher_;
  AdvertView& view_;
  AdvertClock& clock_;
  AdvertOpener& opener_;
  const std::string listAddress_;
  const std::string placeholderAddress_;

  Phase phase_ = Phase::Idle;
  std::uint64_t lastRequest_ = 0;
  std::uint64_t pendingRequest_ = 0;
  std::string adList_;
  int cursor_ = 0;
  int ticks_ = 0;
  std::string clickAddress_;
  std::string pendingClick_;
  bool pageLoaded_ = false;
  bool showingAdvert_ = false;
  std::string currentAddress_;
  AdvertPage loading_;
};

// Texts that show an error or interception page instead of the expected content (any case).
bool HasWaitMarker(const std::string& bodyText);
bool HasCycleMarker(const std::string& bodyText);

}  // namespace corvane::web
