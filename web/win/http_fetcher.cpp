#include "web/win/http_fetcher.h"

#include <winhttp.h>

#include <string>
#include <utility>
#include <vector>

#include "base/win/utf.h"
#include "web/web_address.h"

namespace corvane::web::win {
namespace {

using corvane::win::Narrow;
using corvane::win::Widen;

struct InternetHandle {
  HINTERNET handle = nullptr;
  InternetHandle() = default;
  explicit InternetHandle(HINTERNET h) : handle(h) {}
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  ~InternetHandle() {
    if (handle != nullptr) ::WinHttpCloseHandle(handle);
  }
};

bool IsRedirect(DWORD status) {
  return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

std::wstring QueryHeader(HINTERNET request, DWORD info) {
  DWORD bytes = 0;
  ::WinHttpQueryHeaders(request, info, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &bytes,
                        WINHTTP_NO_HEADER_INDEX);
  if (bytes == 0) return {};
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  DWORD size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (!::WinHttpQueryHeaders(request, info, WINHTTP_HEADER_NAME_BY_INDEX, value.data(), &size,
                             WINHTTP_NO_HEADER_INDEX)) {
    return {};
  }
  value.resize(size / sizeof(wchar_t));
  return value;
}

FetchResult Failure(const FetchRequest& request, std::string why) {
  FetchResult result;
  result.id = request.id;
  result.finalAddress = request.address;
  result.error = std::move(why);
  return result;
}

}  // namespace

HttpFetcher::HttpFetcher(HWND target, UINT message, HttpFetcherLimits limits)
    : target_(target), message_(message), limits_(limits), worker_([this] { Run(); }) {}

HttpFetcher::~HttpFetcher() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  CancelAll();
  wake_.notify_all();
  if (worker_.joinable()) worker_.join();
}

void HttpFetcher::Fetch(const FetchRequest& request) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(request);
  }
  wake_.notify_one();
}

void HttpFetcher::CancelAll() {
  std::lock_guard<std::mutex> lock(mutex_);
  queue_.clear();
  ++generation_;
  // Closing the handle makes a blocking call of the worker return with an error.
  if (request_ != nullptr) {
    ::WinHttpCloseHandle(static_cast<HINTERNET>(request_));
    request_ = nullptr;
  }
}

bool HttpFetcher::Cancelled(std::uint64_t generation) {
  std::lock_guard<std::mutex> lock(mutex_);
  return stopping_ || generation != generation_;
}

void HttpFetcher::Run() {
  for (;;) {
    FetchRequest request;
    std::uint64_t generation = 0;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
      if (stopping_) return;
      request = std::move(queue_.front());
      queue_.pop_front();
      generation = generation_;
    }
    auto result = std::make_unique<FetchResult>(Perform(request, generation));
    // The lock orders the post against a cancellation: once CancelAll has returned, no result of a
    // request it cancelled is posted any more.
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_ || generation != generation_) continue;
    if (::PostMessageW(target_, message_, 0, reinterpret_cast<LPARAM>(result.get()))) result.release();
  }
}

FetchResult HttpFetcher::Perform(const FetchRequest& request, std::uint64_t generation) {
  const ULONGLONG started = ::GetTickCount64();
  const std::size_t cap = request.kind == FetchKind::Image ? limits_.imageCapBytes : limits_.pageCapBytes;
  InternetHandle session(::WinHttpOpen(L"Corvane", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                       WINHTTP_NO_PROXY_BYPASS, 0));
  if (session.handle == nullptr) return Failure(request, "no session");
  ::WinHttpSetTimeouts(session.handle, limits_.resolveTimeoutMs, limits_.connectTimeoutMs, limits_.sendTimeoutMs,
                       limits_.receiveTimeoutMs);

  std::string address = request.address;
  // A fragment names a place on the page; it is never sent to the server.
  if (const std::size_t hash = address.find('#'); hash != std::string::npos) address.erase(hash);
  for (int hop = 0;; ++hop) {
    if (!IsSafeWebAddress(address)) return Failure(request, "refused address " + address);
    if (::GetTickCount64() - started > static_cast<ULONGLONG>(limits_.totalTimeoutMs)) {
      return Failure(request, "time limit");
    }
    const std::wstring wide = Widen(address);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof(parts);
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!::WinHttpCrackUrl(wide.c_str(), static_cast<DWORD>(wide.size()), 0, &parts)) {
      return Failure(request, "bad address " + address);
    }
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
    path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty()) path = L"/";
    const bool secure = parts.nScheme == INTERNET_SCHEME_HTTPS;

    InternetHandle connection(::WinHttpConnect(session.handle, host.c_str(), parts.nPort, 0));
    if (connection.handle == nullptr) return Failure(request, "no connection");
    HINTERNET raw = ::WinHttpOpenRequest(connection.handle, L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                                         WINHTTP_DEFAULT_ACCEPT_TYPES, secure ? WINHTTP_FLAG_SECURE : 0);
    if (raw == nullptr) return Failure(request, "no request");
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (stopping_ || generation != generation_) {
        ::WinHttpCloseHandle(raw);
        return Failure(request, "cancelled");
      }
      request_ = raw;
    }
    // Whoever clears request_ closes the handle: the worker here, or CancelAll to abort.
    struct Release {
      HttpFetcher& self;
      HINTERNET handle;
      ~Release() {
        std::lock_guard<std::mutex> lock(self.mutex_);
        if (self.request_ == handle) {
          ::WinHttpCloseHandle(handle);
          self.request_ = nullptr;
        }
      }
    } release{*this, raw};

    // Wine waits for the response headers without limit unless told so on the request itself.
    DWORD responseTimeout = static_cast<DWORD>(limits_.receiveTimeoutMs);
    ::WinHttpSetOption(raw, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &responseTimeout, sizeof(responseTimeout));
    // Redirects are followed here, so that every hop is checked for its scheme and counted.
    DWORD disable = WINHTTP_DISABLE_REDIRECTS;
    ::WinHttpSetOption(raw, WINHTTP_OPTION_DISABLE_FEATURE, &disable, sizeof(disable));
    if (!::WinHttpSendRequest(raw, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !::WinHttpReceiveResponse(raw, nullptr)) {
      return Failure(request, Cancelled(generation) ? "cancelled" : "no response (" + std::to_string(::GetLastError()) + ")");
    }
    DWORD status = 0;
    DWORD statusSize = sizeof(status);
    ::WinHttpQueryHeaders(raw, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                          &status, &statusSize, WINHTTP_NO_HEADER_INDEX);
    if (IsRedirect(status)) {
      if (hop >= limits_.maxRedirects) return Failure(request, "too many redirects");
      const std::string location = Narrow(QueryHeader(raw, WINHTTP_QUERY_LOCATION));
      if (location.empty()) return Failure(request, "redirect without location");
      address = ResolveWebAddress(address, location);
      continue;
    }

    FetchResult result;
    result.id = request.id;
    result.status = static_cast<int>(status);
    result.finalAddress = address;
    std::vector<char> chunk(64 * 1024);
    for (;;) {
      if (Cancelled(generation)) return Failure(request, "cancelled");
      if (::GetTickCount64() - started > static_cast<ULONGLONG>(limits_.totalTimeoutMs)) {
        return Failure(request, "time limit");
      }
      DWORD read = 0;
      if (!::WinHttpReadData(raw, chunk.data(), static_cast<DWORD>(chunk.size()), &read)) {
        return Failure(request, "read failed");
      }
      if (read == 0) break;
      if (result.body.size() + read > cap) return Failure(request, "too large");
      result.body.append(chunk.data(), read);
    }
    result.ok = status >= 200 && status < 300;
    if (!result.ok) result.error = "status " + std::to_string(status);
    return result;
  }
}

}  // namespace corvane::web::win
