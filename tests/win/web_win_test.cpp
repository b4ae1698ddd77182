// The web layer against a small HTTP server of the test's own on 127.0.0.1: nothing leaves the machine.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cctype>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "base/win/utf.h"
#include "tests/support/message_pump.h"
#include "web/win/advert_panel.h"
#include "web/win/browser_shell_win.h"
#include "web/win/http_fetcher.h"
#include "web/win/image_decoder.h"

namespace corvane::web::win {
namespace {

// A 1x1 GIF and a 4x2 24-bit BMP, small enough to write out here.
const unsigned char kGif[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0xFF,
                              0xFF, 0xFF, 0x00, 0x00, 0x00, 0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00, 0x2C,
                              0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00,
                              0x3B};
std::string GifBytes() { return std::string(reinterpret_cast<const char*>(kGif), sizeof(kGif)); }

std::string BmpBytes(int width, int height) {
  const int stride = (width * 3 + 3) & ~3;
  const int pixels = stride * height;
  std::string bmp(54 + pixels, '\0');
  auto put32 = [&](int at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put32(2, static_cast<std::uint32_t>(bmp.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(width));
  put32(22, static_cast<std::uint32_t>(height));
  bmp[26] = 1;
  bmp[28] = 24;
  put32(34, static_cast<std::uint32_t>(pixels));
  for (int i = 54; i < static_cast<int>(bmp.size()); ++i) bmp[i] = static_cast<char>(0x80);
  return bmp;
}

// Headers that claim 20000 x 20000 pixels, followed by a few bytes of data.
std::string HugeClaimedBmp() {
  std::string bmp = BmpBytes(2, 2);
  for (const int at : {18, 22}) {
    bmp[at] = static_cast<char>(20000 & 0xFF);
    bmp[at + 1] = static_cast<char>(20000 >> 8);
  }
  return bmp;
}
std::string HugeClaimedPng() {
  const unsigned char header[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                                  0, 0, 0x4E, 0x20, 0, 0, 0x4E, 0x20, 8, 6, 0, 0, 0, 0x1B, 0x9B, 0x6E, 0x50,
                                  0, 0, 0, 4, 'I', 'D', 'A', 'T', 0x78, 0x9C, 0x63, 0x00};
  return std::string(reinterpret_cast<const char*>(header), sizeof(header));
}

// Answers GET requests on 127.0.0.1 from a table of paths. A path without an answer is held open
// without a reply until the server stops.
class LoopbackServer {
 public:
  struct Answer {
    int status = 200;
    std::string body;
    std::string location;
  };

  LoopbackServer() {
    WSADATA data;
    ::WSAStartup(MAKEWORD(2, 2), &data);
    listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    int length = sizeof(address);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    ::listen(listener_, 16);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackServer() {
    stopping_ = true;
    ::closesocket(listener_);
    thread_.join();
    std::lock_guard<std::mutex> lock(mutex_);
    for (SOCKET held : held_) ::closesocket(held);
    for (std::thread& t : workers_) t.join();
    ::WSACleanup();
  }

  void Set(const std::string& path, Answer answer) {
    std::lock_guard<std::mutex> lock(mutex_);
    answers_[path] = std::move(answer);
  }
  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(port_) + path; }
  int Requests() const { return requests_; }

 private:
  void Serve() {
    for (;;) {
      SOCKET client = ::accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) return;
      std::lock_guard<std::mutex> lock(mutex_);
      workers_.emplace_back([this, client] { Handle(client); });
    }
  }
  void Handle(SOCKET client) {
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
      const int got = ::recv(client, buffer, sizeof(buffer), 0);
      if (got <= 0) break;
      request.append(buffer, got);
    }
    ++requests_;
    const std::size_t start = request.find(' ') + 1;
    const std::string path = request.substr(start, request.find(' ', start) - start);
    Answer answer;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      const auto found = answers_.find(path);
      if (found == answers_.end()) {
        held_.push_back(client);  // never answered; closed when the server stops
        return;
      }
      answer = found->second;
    }
    std::string reply = "HTTP/1.1 " + std::to_string(answer.status) + " X\r\nContent-Length: " +
                        std::to_string(answer.body.size()) + "\r\nConnection: close\r\n";
    if (!answer.location.empty()) reply += "Location: " + answer.location + "\r\n";
    reply += "\r\n" + answer.body;
    for (std::size_t sent = 0; sent < reply.size();) {
      const int n = ::send(client, reply.data() + sent, static_cast<int>(reply.size() - sent), 0);
      if (n <= 0) break;
      sent += static_cast<std::size_t>(n);
    }
    ::shutdown(client, SD_SEND);
    ::closesocket(client);
  }

  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> requests_{0};
  std::mutex mutex_;
  std::map<std::string, Answer> answers_;
  std::vector<SOCKET> held_;
  std::vector<std::thread> workers_;
  std::thread thread_;
};

using corvane::testing::PumpUntil;

// A message-only window that keeps the fetch results posted to it.
class ResultWindow {
 public:
  static constexpr UINT kMessage = WM_APP + 7;
  ResultWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &ResultWindow::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CorvaneFetchResultTestWindow";
    ::RegisterClassW(&wc);
    hwnd_ = ::CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~ResultWindow() { ::DestroyWindow(hwnd_); }
  HWND hwnd() const { return hwnd_; }
  std::vector<FetchResult> results;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ResultWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr && message == kMessage) {
      self->results.push_back(*HttpFetcher::TakeResult(lParam));
      return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
  }
  HWND hwnd_ = nullptr;
};

FetchResult FetchOne(const std::string& address, FetchKind kind = FetchKind::Page, HttpFetcherLimits limits = {}) {
  ResultWindow window;
  HttpFetcher fetcher(window.hwnd(), ResultWindow::kMessage, limits);
  fetcher.Fetch(FetchRequest{7, address, kind});
  EXPECT_TRUE(PumpUntil([&] { return !window.results.empty(); }));
  return window.results.empty() ? FetchResult{} : window.results.front();
}

TEST(HttpFetcher, FetchesFollowsRedirectsAndRefusesWhatItMayNot) {
  LoopbackServer server;
  server.Set("/page.htm", {200, "<p>hello</p>", {}});
  server.Set("/missing.htm", {404, "gone", {}});
  // A chain of redirects: /r1 -> /r2 -> ... -> /r6 -> /page.htm, relative and absolute.
  for (int i = 1; i <= 6; ++i) {
    const std::string next = i == 6 ? server.Url("/page.htm") : "/r" + std::to_string(i + 1);
    server.Set("/r" + std::to_string(i), {302, "", next});
  }
  server.Set("/to-file", {301, "", "file:///C:/windows/win.ini"});
  server.Set("/loop-a", {302, "", "/loop-b"});
  server.Set("/loop-b", {302, "", "/loop-a"});
  server.Set("/broken", {500, "<p>Internal error</p>", {}});

  const FetchResult page = FetchOne(server.Url("/page.htm"));
  EXPECT_TRUE(page.ok) << page.error;
  EXPECT_EQ(page.id, 7u);
  EXPECT_EQ(page.status, 200);
  EXPECT_EQ(page.body, "<p>hello</p>");
  // Five redirects are followed...
  const FetchResult five = FetchOne(server.Url("/r2"));
  EXPECT_TRUE(five.ok) << five.error;
  EXPECT_EQ(five.finalAddress, server.Url("/page.htm"));
  // ...a sixth is not.
  EXPECT_FALSE(FetchOne(server.Url("/r1")).ok);
  // Nothing but http and https, neither asked for nor redirected to.
  EXPECT_FALSE(FetchOne(server.Url("/to-file")).ok);
  EXPECT_FALSE(FetchOne("file:///C:/windows/win.ini").ok);
  // An error status is a failure that still says its status.
  const FetchResult missing = FetchOne(server.Url("/missing.htm"));
  EXPECT_FALSE(missing.ok);
  EXPECT_EQ(missing.status, 404);
  const FetchResult broken = FetchOne(server.Url("/broken"));
  EXPECT_FALSE(broken.ok);
  EXPECT_EQ(broken.status, 500);
  // A redirect loop ends at the redirect limit, after no more requests than that.
  const int before = server.Requests();
  const FetchResult loop = FetchOne(server.Url("/loop-a"));
  EXPECT_FALSE(loop.ok);
  EXPECT_EQ(server.Requests() - before, 6);
}

TEST(HttpFetcher, SizeCapsDependOnWhatIsFetched) {
  LoopbackServer server;
  server.Set("/big", {200, std::string((1u << 20) + 1, 'x'), {}});
  server.Set("/huge", {200, std::string((4u << 20) + 1, 'x'), {}});
  EXPECT_FALSE(FetchOne(server.Url("/big"), FetchKind::Page).ok);
  const FetchResult image = FetchOne(server.Url("/big"), FetchKind::Image);
  EXPECT_TRUE(image.ok) << image.error;
  EXPECT_EQ(image.body.size(), (1u << 20) + 1);
  EXPECT_FALSE(FetchOne(server.Url("/huge"), FetchKind::Image).ok);
}

TEST(HttpFetcher, SilentServerRunsIntoTheTimeLimit) {
  LoopbackServer server;  // "/silent" has no answer
  HttpFetcherLimits limits;
  limits.receiveTimeoutMs = 500;
  const FetchResult result = FetchOne(server.Url("/silent"), FetchKind::Page, limits);
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.id, 7u);
}

TEST(HttpFetcher, CancelledFetchPostsNothingAndTheWorkerEnds) {
  LoopbackServer server;
  ResultWindow window;
  {
    HttpFetcherLimits limits;
    limits.receiveTimeoutMs = 1000;  // under Wine a request blocked in a receive ends only at its limit
    HttpFetcher fetcher(window.hwnd(), ResultWindow::kMessage, limits);
    fetcher.Fetch(FetchRequest{1, server.Url("/silent"), FetchKind::Page});
    ASSERT_TRUE(PumpUntil([&] { return server.Requests() == 1; }));
    fetcher.CancelAll();
    // A fetch asked for after the cancellation still runs.
    server.Set("/after", {200, "after", {}});
    fetcher.Fetch(FetchRequest{2, server.Url("/after"), FetchKind::Page});
    ASSERT_TRUE(PumpUntil([&] { return !window.results.empty(); }));
    fetcher.Fetch(FetchRequest{3, server.Url("/silent"), FetchKind::Page});
    ASSERT_TRUE(PumpUntil([&] { return server.Requests() == 3; }));
  }  // closing joins the worker while a request hangs
  PumpUntil([] { return false; }, 200);
  ASSERT_EQ(window.results.size(), 1u);
  EXPECT_EQ(window.results[0].id, 2u);
  EXPECT_EQ(window.results[0].body, "after");
}

TEST(PictureDecoder, DecodesAndShrinksToFit) {
  int width = 0;
  int height = 0;
  auto bmp = DecodePictureToFit(BmpBytes(4, 2), 2, 2, width, height);
  ASSERT_TRUE(bmp);
  EXPECT_EQ(width, 2);
  EXPECT_EQ(height, 1);
  auto gif = DecodePictureToFit(GifBytes(), 100, 100, width, height);
  ASSERT_TRUE(gif);
  EXPECT_EQ(width, 1);
  // What is no picture, or only the start of one, or claims a size no advertisement has, gives
  // nothing and leaves the size alone.
  width = height = -1;
  EXPECT_FALSE(DecodePictureToFit("<html>not a picture</html>", 100, 100, width, height));
  EXPECT_FALSE(DecodePictureToFit("", 100, 100, width, height));
  EXPECT_FALSE(DecodePictureToFit(BmpBytes(40, 20).substr(0, 60), 100, 100, width, height));
  EXPECT_FALSE(DecodePictureToFit(GifBytes().substr(0, 20), 100, 100, width, height));
  EXPECT_FALSE(DecodePictureToFit(HugeClaimedBmp(), 100, 100, width, height));
  EXPECT_FALSE(DecodePictureToFit(HugeClaimedPng(), 100, 100, width, height));
  EXPECT_EQ(width, -1);
  EXPECT_EQ(height, -1);
}

// Records what would be started instead of starting a browser.
class RecordingShell final : public Win32BrowserShell {
 public:
  RecordingShell() : Win32BrowserShell(nullptr) {}
  void StartProgram(const std::string& program, const std::string& parameters) override {
    started.push_back(program + "|" + parameters);
  }
  void OpenAddress(const std::string& address) override { started.push_back("shell|" + address); }
  std::vector<std::string> started;
};

TEST(OpenInBrowser, StartsTheHtmProgramWithTheQuotedAddressAndRemovesTheProbe) {
  RecordingShell shell;
  const std::optional<std::string> temp = shell.TemporaryFolder();
  ASSERT_TRUE(temp);
  web::OpenInBrowser(shell, "  http://127.0.0.1:1/help.htm ");
  ASSERT_EQ(shell.started.size(), 1u);
  const std::string& start = shell.started[0];
  const std::size_t bar = start.find('|');
  EXPECT_EQ(start.substr(bar + 1), "\"http://127.0.0.1:1/help.htm\"");
  std::string program = start.substr(0, bar);
  for (char& c : program) c = static_cast<char>(::toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(program.substr(program.size() - 4), ".EXE");
  const std::wstring probe = corvane::win::Widen(*temp + "helphtm.htm");
  EXPECT_EQ(::GetFileAttributesW(probe.c_str()), INVALID_FILE_ATTRIBUTES);
  // An address with a quote in it opens nothing.
  web::OpenInBrowser(shell, "http://127.0.0.1:1/\" -x");
  EXPECT_EQ(shell.started.size(), 1u);
}

TEST(AdvertPanel, ShowsTheListsAdvertOpensItsLinkAndFallsBackOnEveryBadPage) {
  LoopbackServer server;
  // One good advertisement, then pages that fail in every way a server can make them fail.
  std::string list = "<table>";
  for (const char* page : {"a", "error", "loop", "badpic", "hugepic"}) {
    list += "<tr><td>" + server.Url("/adv/" + std::string(page) + ".htm") + "</td></tr>";
  }
  server.Set("/adv/ver.htm", {200, list + "</table>", {}});
  server.Set("/adv/a.htm", {200, "<body><a href='/buy.htm'><img src='banner.bmp'></a></body>", {}});
  server.Set("/adv/banner.bmp", {200, BmpBytes(400, 100), {}});
  server.Set("/adv/error.htm", {500, "<a href='/error-click.htm'><img src='banner.bmp'></a>", {}});
  server.Set("/adv/loop.htm", {302, "", "/adv/loop2.htm"});
  server.Set("/adv/loop2.htm", {302, "", "/adv/loop.htm"});
  server.Set("/adv/badpic.htm", {200, "<body>Broken picture<img src='bad.bmp'></body>", {}});
  server.Set("/adv/bad.bmp", {200, BmpBytes(400, 100).substr(0, 70), {}});
  server.Set("/adv/hugepic.htm", {200, "<body>Huge picture<img src='huge.png'></body>", {}});
  server.Set("/adv/huge.png", {200, HugeClaimedPng(), {}});

  WNDCLASSW wc{};
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"CorvaneAdvertTestHost";
  ::RegisterClassW(&wc);
  HWND host = ::CreateWindowExW(0, wc.lpszClassName, L"advert test", WS_POPUP | WS_VISIBLE, 20, 20, 300, 120,
                                nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(host, nullptr);
  {
    AdvertPanelOptions options;
    options.listAddress = server.Url("/adv/ver.htm");
    options.placeholderAddress = server.Url("/other.htm");
    AdvertPanel panel(options);
    std::vector<std::string> opened;
    std::vector<std::string> statuses;
    panel.SetOpener([&](const std::string& address) { opened.push_back(address); });
    panel.SetStatusSink([&](const std::string& text) { statuses.push_back(text); });
    ASSERT_TRUE(panel.Create(host, 0, 0, 200, 100));
    panel.Start();
    // The placeholder is a banner drawn by the program, headed "Our other products".
    EXPECT_FALSE(panel.View().ShowsPicture());
    EXPECT_TRUE(panel.View().ShowsBanner());
    EXPECT_EQ(panel.View().Text(), L"Our other products");
    EXPECT_EQ(::GetWindowTextLengthW(panel.View().Hwnd()), 18);
    // The placeholder opens the other product's page.
    ::SendMessageW(panel.View().Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], server.Url("/other.htm"));

    // Run the cycle now rather than in ten seconds.
    ::PostMessageW(panel.Hwnd(), WM_TIMER, 1, 0);
    ASSERT_TRUE(PumpUntil([&] { return panel.Cycle().ShowingAdvert(); }));
    EXPECT_TRUE(panel.View().ShowsPicture());
    EXPECT_EQ(statuses.back(), "Done");
    EXPECT_EQ(panel.Cycle().ClickAddress(), server.Url("/buy.htm"));

    // No menu; a click opens the advertised page after the pause.
    EXPECT_EQ(::SendMessageW(panel.View().Hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(panel.View().Hwnd()),
                             MAKELPARAM(10, 10)),
              0);
    ::SendMessageW(panel.View().Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(opened.size(), 1u);
    ASSERT_TRUE(PumpUntil([&] { return opened.size() == 2; }));
    EXPECT_EQ(opened[1], server.Url("/buy.htm"));

    // A server error and a redirect loop each give way to the placeholder; a click on it then opens
    // only the other product's page.
    for (const char* failing : {"/adv/error.htm", "/adv/loop.htm"}) {
      statuses.clear();
      ::PostMessageW(panel.Hwnd(), WM_TIMER, 1, 0);
      ASSERT_TRUE(PumpUntil([&] { return !statuses.empty() && statuses.back() == kPageNotShownStatus; })) << failing;
      EXPECT_TRUE(panel.View().ShowsBanner()) << failing;
      ::SendMessageW(panel.View().Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
      ASSERT_EQ(opened.size(), 3u) << failing;
      EXPECT_EQ(opened.back(), server.Url("/other.htm")) << failing;
      opened.pop_back();
    }
    // A picture cut short, and one whose header claims 20000 x 20000 pixels, are not drawn: the
    // page's text shows instead, and as it has no link a click opens nothing.
    for (const wchar_t* text : {L"Broken picture", L"Huge picture"}) {
      ::PostMessageW(panel.Hwnd(), WM_TIMER, 1, 0);
      ASSERT_TRUE(PumpUntil([&] { 
        return panel.Cycle().ShowingAdvert() && panel.View().Text().find(text) != std::wstring::npos;
      }));
      EXPECT_FALSE(panel.View().ShowsPicture());
      EXPECT_FALSE(panel.View().ShowsBanner());
      ::SendMessageW(panel.View().Hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
      PumpUntil([] { return false; }, 1500);  // longer than the pause before a click opens
      EXPECT_EQ(opened.size(), 2u);
    }
  }
  ::DestroyWindow(host);
}

}  // namespace
}  // namespace corvane::web::win
