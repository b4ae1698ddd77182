#pragma once
// Fetches web pages and images with WinHTTP on one worker thread of its own. The UI thread only
// queues requests and receives results as posted messages; it never waits on the network, and the
// worker never touches a window beyond posting to it.
#include <windows.h>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "web/advert_cycle.h"

namespace corvane::web::win {

struct HttpFetcherLimits {
  // A WinHTTP call blocked in a connect or a receive ends only at its limit: closing its handle from
  // another thread does not end it under Wine. The worker is joined when the program closes, so
  // these limits are also the longest a close can wait on a stalled server; they are short because
  // an advertisement that is that slow is given up anyway.
  int resolveTimeoutMs = 10000;
  int connectTimeoutMs = 3000;
  int sendTimeoutMs = 3000;
  int receiveTimeoutMs = 3000;
  // The whole request, redirects included; checked between reads.
  int totalTimeoutMs = 30000;
  std::size_t pageCapBytes = 1u << 20;
  std::size_t imageCapBytes = 4u << 20;
  int maxRedirects = 5;
};

class HttpFetcher final : public AdvertFetcher {
 public:
  // Every result is posted to `target` as `message` with the result in lParam (see TakeResult).
  HttpFetcher(HWND target, UINT message, HttpFetcherLimits limits = {});
  // Cancels what is queued or running and waits for the worker to end.
  ~HttpFetcher() override;
  HttpFetcher(const HttpFetcher&) = delete;
  HttpFetcher& operator=(const HttpFetcher&) = delete;

  void Fetch(const FetchRequest& request) override;
  void CancelAll() override;

  // Takes ownership of the result a posted message carries.
  static std::unique_ptr<FetchResult> TakeResult(LPARAM lParam) {
    return std::unique_ptr<FetchResult>(reinterpret_cast<FetchResult*>(lParam));
  }

 private:
  void Run();
  FetchResult Perform(const FetchRequest& request, std::uint64_t generation);
  bool Cancelled(std::uint64_t generation);

  const HWND target_;
  const UINT message_;
  const HttpFetcherLimits limits_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<FetchRequest> queue_;
  std::uint64_t generation_ = 0;  // raised by every cancellation
  bool stopping_ = false;
  void* request_ = nullptr;  // the running WinHTTP request; closed from outside to abort it
  std::thread worker_;
};

}  // namespace corvane::web::win
