#include "web/advert_cycle.h"

#include <initializer_list>
#include <utility>
#include <vector>

#include "base/text.h"
#include "web/html_reader.h"
#include "web/web_address.h"

namespace corvane::web {
namespace {

constexpr std::string_view kListSeparator = "^^^^";

bool ContainsAny(const std::string& text, std::initializer_list<std::string_view> markers) {
  const std::string upper = ToUpperAscii(text);
  for (const std::string_view marker : markers) {
    if (upper.find(ToUpperAscii(marker)) != std::string::npos) return true;
  }
  return false;
}

}  // namespace

bool HasWaitMarker(const std::string& bodyText) {
  return ContainsAny(bodyText, {"425 HTTP Error", "PPPshar Message", "The page cannot be displayed",
                                "Authenticating your login. Please wait "});
}

bool HasCycleMarker(const std::string& bodyText) {
  return ContainsAny(bodyText, {"page cannot be displayed", "bandwidth"});
}

AdvertCycle::AdvertCycle(AdvertFetcher& fetcher, AdvertView& view, AdvertClock& clock, AdvertOpener& opener,
                         std::string listAddress, std::string placeholderAddress)
    : fetcher_(fetcher),
      view_(view),
      clock_(clock),
      opener_(opener),
      listAddress_(std::move(listAddress)),
      placeholderAddress_(std::move(placeholderAddress)) {}

void AdvertCycle::Start() {
  Stop();
  adList_.clear();
  showingAdvert_ = false;
  view_.ShowPlaceholder();
  clock_.Start(AdvertTimer::Cycle, kAdvertCycleMs);
}

void AdvertCycle::Stop() {
  for (const AdvertTimer timer :
       {AdvertTimer::Cycle, AdvertTimer::ShowPause, AdvertTimer::ClickPause, AdvertTimer::WaitLimit}) {
    clock_.Stop(timer);
  }
  fetcher_.CancelAll();
  pendingRequest_ = 0;
  phase_ = Phase::Idle;
}

void AdvertCycle::OnTimer(AdvertTimer timer) {
  switch (timer) {
    case AdvertTimer::Cycle:
      if (phase_ == Phase::Idle) RunCycle();
      break;
    case AdvertTimer::ShowPause:
      clock_.Stop(AdvertTimer::ShowPause);
      if (phase_ == Phase::Pausing) PagePaused();
      break;
    case AdvertTimer::ClickPause:
      clock_.Stop(AdvertTimer::ClickPause);
      if (!pendingClick_.empty()) opener_.Open(std::exchange(pendingClick_, std::string()));
      break;
    case AdvertTimer::WaitLimit:
      clock_.Stop(AdvertTimer::WaitLimit);
      if (phase_ == Phase::FetchingList || phase_ == Phase::FetchingPage || phase_ == Phase::FetchingImage) {
        fetcher_.CancelAll();
        pendingRequest_ = 0;
        PageCannotBeShown();
      }
      break;
  }
}

void AdvertCycle::RunCycle() {
  clock_.Stop(AdvertTimer::Cycle);
  if (TrimSpaces(adList_).empty()) {
    phase_ = Phase::FetchingList;
    Navigate(listAddress_, FetchKind::Page);
    return;
  }
  ShowNext();
}

void AdvertCycle::Navigate(const std::string& address, FetchKind kind) {
  if (kind == FetchKind::Page) {
    pageLoaded_ = false;
    clock_.Start(AdvertTimer::WaitLimit, kAdvertWaitLimitMs);
  }
  view_.SetStatus("Opening page " + address + "...");
  pendingRequest_ = ++lastRequest_;
  fetcher_.Fetch(FetchRequest{pendingRequest_, address, kind});
}

void AdvertCycle::OnFetched(const FetchResult& result) {
  if (result.id == 0 || result.id != pendingRequest_) return;  // cancelled or superseded
  pendingRequest_ = 0;
  switch (phase_) {
    case Phase::FetchingList:
      OnListLoaded(result);
      break;
    case Phase::FetchingPage:
      OnPageLoaded(result);
      break;
    case Phase::FetchingImage:
      OnImageLoaded(result);
      break;
    default:
      break;
  }
}

void AdvertCycle::OnListLoaded(const FetchResult& result) {
  clock_.Stop(AdvertTimer::WaitLimit);
  if (!result.ok) return PageCannotBeShown();
  pageLoaded_ = true;
  const HtmlPage page = ReadHtml(result.body);
  if (HasWaitMarker(page.bodyText)) return PageCannotBeShown();
  view_.SetStatus("Done");
  // Loading the list replaces whatever page was current, so the next advertisement is loaded anew.
  currentAddress_ = listAddress_;
  if (HasCycleMarker(page.bodyText) || !page.hasTable) return ShowPlaceholder();
  adList_.clear();
  for (const std::string& row : page.firstTableRows) {
    if (!TrimSpaces(row).empty()) adList_ += std::string(kListSeparator) + row;
  }
  if (TrimSpaces(adList_).empty()) {
    ShowPlaceholder();
    return CompleteCycle();
  }
  ShowNext();
}

void AdvertCycle::ShowNext() {
  const std::vector<std::string> entries = SplitAt(adList_, kListSeparator);
  bool taken = false;
  for (int index = 0; index < static_cast<int>(entries.size()); ++index) {
    if (index <= cursor_) continue;
    cursor_ = index;
    taken = true;
    const std::string entry = TrimSpaces(entries[index]);
    // An entry that could not safely be fetched is passed over like a blank one.
    if (entry.empty() || entry == TrimSpaces(currentAddress_) || !IsSafeWebAddress(entry)) continue;
    loading_ = AdvertPage{entry, {}, {}, {}};
    phase_ = Phase::FetchingPage;
    Navigate(entry, FetchKind::Page);
    return;
  }
  if (!taken) cursor_ = 0;
  phase_ = Phase::Idle;
  CompleteCycle();
}

void AdvertCycle::OnPageLoaded(const FetchResult& result) {
  if (!result.ok) {
    clock_.Stop(AdvertTimer::WaitLimit);
    return PageCannotBeShown();
  }
  const HtmlPage page = ReadHtml(result.body);
  if (HasWaitMarker(page.bodyText)) {
    clock_.Stop(AdvertTimer::WaitLimit);
    return PageCannotBeShown();
  }
  if (HasCycleMarker(page.bodyText)) {
    clock_.Stop(AdvertTimer::WaitLimit);
    pageLoaded_ = true;
    currentAddress_ = loading_.address;
    return ShowPlaceholder();
  }
  const std::string base = result.finalAddress.empty() ? loading_.address : result.finalAddress;
  loading_.text = page.bodyText;
  if (page.hasImage && !page.firstImage.clickAddress.empty()) {
    loading_.clickAddress = ResolveWebAddress(base, page.firstImage.clickAddress);
  }
  const std::string image = page.hasImage ? ResolveWebAddress(base, page.firstImage.source) : std::string();
  if (IsSafeWebAddress(image)) {
    phase_ = Phase::FetchingImage;
    return Navigate(image, FetchKind::Image);
  }
  clock_.Stop(AdvertTimer::WaitLimit);
  PageComplete();
}

void AdvertCycle::OnImageLoaded(const FetchResult& result) {
  clock_.Stop(AdvertTimer::WaitLimit);
  if (result.ok) loading_.image = result.body;
  PageComplete();
}

// The page is complete: it becomes the current one, and is shown after a short pause.
void AdvertCycle::PageComplete() {
  pageLoaded_ = true;
  currentAddress_ = loading_.address;
  view_.SetStatus("Done");
  phase_ = Phase::Pausing;
  clock_.Start(AdvertTimer::ShowPause, kAdvertPauseMs);
}

void AdvertCycle::PagePaused() {
  phase_ = Phase::Idle;
  showingAdvert_ = true;
  clickAddress_ = IsSafeWebAddress(loading_.clickAddress) ? loading_.clickAddress : std::string();
  view_.ShowPage(loading_);
  CompleteCycle();
}

void AdvertCycle::PageCannotBeShown() {
  pageLoaded_ = true;
  currentAddress_.clear();
  view_.SetStatus(kPageNotShownStatus);
  ShowPlaceholder();
}

void AdvertCycle::ShowPlaceholder() {
  phase_ = Phase::Idle;
  showingAdvert_ = false;
  clock_.Start(AdvertTimer::Cycle, kAdvertCycleMs);
  view_.ShowPlaceholder();
}

void AdvertCycle::CompleteCycle() {
  if (++ticks_ >= kAdvertCyclesPerList) {
    ticks_ = 0;
    adList_.clear();
  }
  clock_.Start(AdvertTimer::Cycle, kAdvertCycleMs);
}

void AdvertCycle::OnAdvertClicked() {
  if (TrimSpaces(clickAddress_).empty()) return;
  pendingClick_ = clickAddress_;
  clock_.Start(AdvertTimer::ClickPause, kAdvertPauseMs);
}

void AdvertCycle::OnPlaceholderClicked() { opener_.Open(placeholderAddress_); }

}  // namespace corvane::web
