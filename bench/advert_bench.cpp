// The advertisement area of the real Corvane.exe against the local Python server, for
// scripts/bench.sh:
//   advert_bench idle server|closed seconds
//       Starts Corvane.exe with the area fetching from the local server (its first advertisement
//       shown) or from a closed local port, prints "ready" and keeps it running for the seconds
//       given while the script reads the CPU of Corvane.exe and the wineserver; then closes it.
//   advert_bench stall seconds
//       Starts it with every request of the area left unanswered by the server; once a request
//       hangs, sends WM_NULL to the main window for the seconds given and reports the longest and
//       the median answer; then closes it while a request hangs and reports how long the close took
//       (from the close command to the end of the process).
//   advert_bench fetcher
//       The fetcher alone: a request to the stalling server, and the time its owner's destruction
//       (cancel and join) takes once the request hangs, with the shipped limits and with 10 s ones.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/win/utf.h"
#include "bench/bench_clock.h"
#include "tests/support/advert_server.h"
#include "tests/support/child_process.h"
#include "tests/support/e2e_support.h"
#include "ui/main_menu.h"
#include "web/win/http_fetcher.h"

namespace {

using namespace corvane;
using namespace corvane::testing;
using corvane::bench::Now;

// Milliseconds the fetcher's destruction takes while its request hangs for about `hungMs`.
double CloseWhileHung(const LocalAdvertServer& server, const web::win::HttpFetcherLimits& limits, int hungMs) {
  HWND sink = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  double took = -1;
  {
    auto fetcher = std::make_unique<web::win::HttpFetcher>(sink, WM_APP + 1, limits);
    const int before = server.StalledRequests();
    fetcher->Fetch({1, corvane::win::Narrow(server.Url(L"/stall/page.htm")), web::FetchKind::Page});
    WaitFor([&] { return server.StalledRequests() > before; }, 10000);
    ::Sleep(static_cast<DWORD>(hungMs));
    const double start = Now();
    fetcher.reset();
    took = Now() - start;
  }
  // Results posted before the end own their memory.
  MSG msg;
  while (::PeekMessageW(&msg, sink, WM_APP + 1, WM_APP + 1, PM_REMOVE)) web::win::HttpFetcher::TakeResult(msg.lParam);
  ::DestroyWindow(sink);
  return took;
}

bool RunFetcher() {
  ScratchFolder folder;
  LocalAdvertServer server;
  if (!server.Start(folder.Path())) return false;
  web::win::HttpFetcherLimits shipped;
  web::win::HttpFetcherLimits slow;
  slow.connectTimeoutMs = slow.sendTimeoutMs = slow.receiveTimeoutMs = 10000;
  {
    // An idle fetcher, after one answered request.
    HWND sink = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    auto fetcher = std::make_unique<web::win::HttpFetcher>(sink, WM_APP + 1, shipped);
    fetcher->Fetch({1, corvane::win::Narrow(server.Url(L"/adv/ver.htm")), web::FetchKind::Page});
    MSG msg;
    WaitFor([&] { return ::PeekMessageW(&msg, sink, WM_APP + 1, WM_APP + 1, PM_REMOVE) != FALSE; }, 10000);
    web::win::HttpFetcher::TakeResult(msg.lParam);
    const double start = Now();
    fetcher.reset();
    std::printf("fetcher idle close=%.1f\n", Now() - start);
    ::DestroyWindow(sink);
  }
  for (const int hung : {200, 1500}) {
    std::printf("fetcher hung=%d shipped_limit=%d close=%.0f limit10s_close=%.0f\n", hung, shipped.receiveTimeoutMs,
                CloseWhileHung(server, shipped, hung), CloseWhileHung(server, slow, hung));
    std::fflush(stdout);
  }
  return true;
}

bool Run(const std::wstring& mode, const std::wstring& variant, int seconds) {
  ScratchFolder folder;
  const std::wstring corvane = folder.CopyIn(DistPath(L"Corvane.exe"), L"Corvane.exe");
  if (corvane.empty()) return false;
  WriteListFile(folder.Path() + L"\\midmo.ocx", RunningProgramRecords());
  LocalAdvertServer server;
  if (!server.Start(folder.Path())) return false;
  const bool stall = mode == L"stall";
  const std::wstring address =
      stall ? server.Url(L"/stall") : variant == L"server" ? server.Url() : L"http://127.0.0.1:9";
  WriteSettingValue(L"AdvServer", address.c_str());
  ChildProcess main;
  HWND window = StartCorvaneWindow(main, corvane);
  if (window == nullptr) return false;
  HWND view = FindChild(window, nullptr, L"CorvanePageView");

  if (!stall) {
    // With the server, the first advertisement is shown (the banner's text is gone) before measuring.
    if (variant == L"server" && !WaitFor([&] { return view != nullptr && WindowText(view).empty(); }, 60000)) {
      return false;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    ::Sleep(static_cast<DWORD>(seconds) * 1000);
  } else {
    if (!WaitFor([&] { return server.StalledRequests() >= 1; }, 60000)) return false;
    std::vector<double> answers;
    const double end = Now() + seconds * 1000.0;
    while (Now() < end) {
      const double start = Now();
      DWORD_PTR result = 0;
      ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
      answers.push_back(Now() - start);
      ::Sleep(5);
    }
    std::sort(answers.begin(), answers.end());
    const int stalled = server.StalledRequests();
    WaitFor([&] { return server.StalledRequests() > stalled; }, 30000);
    ::Sleep(200);  // the request is under way in the fetcher
    const double closeStart = Now();
    ::PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(ui::MenuCommand::Close), 0);
    main.HasEnded(30000);
    const double close = Now() - closeStart;
    std::printf("stall samples=%zu max=%.1f median=%.2f close=%.0f\n", answers.size(), answers.back(),
                answers[answers.size() / 2], close);
    std::fflush(stdout);
    return true;
  }
  // The same close without a stall, to compare with.
  const double closeStart = Now();
  ::PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(ui::MenuCommand::Close), 0);
  WaitFor([&] { return !::IsWindow(window); }, 30000);
  const double windowGone = Now() - closeStart;
  main.HasEnded(30000);
  std::printf("idle close=%.0f window_gone=%.0f\n", Now() - closeStart, windowGone);
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const std::wstring mode = argc > 1 ? argv[1] : L"idle";
  const std::wstring variant = argc > 2 && mode == L"idle" ? argv[2] : L"";
  const int seconds = std::max(5, _wtoi(argc > (mode == L"idle" ? 3 : 2) ? argv[mode == L"idle" ? 3 : 2] : L"20"));
  const bool ran = mode == L"fetcher" ? RunFetcher() : Run(mode, variant, seconds);
  DeleteSettingValues({L"AdvServer"});
  DeleteRunValue();
  std::printf(ran ? "done\n" : "failed\n");
  return ran ? 0 : 1;
}
