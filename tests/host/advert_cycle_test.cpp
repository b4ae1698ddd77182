#include "web/advert_cycle.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/fakes/web_fakes.h"

namespace corvane::web {
namespace {

constexpr const char* kList = "http://ads.example/adv/ver.htm";
constexpr const char* kOther = "http://ads.example/other.htm";

std::string ListPage(std::initializer_list<const char*> rows) {
  std::string html = "<html><body><table>";
  for (const char* row : rows) html += std::string("<tr><td>") + row + "</td></tr>";
  return html + "</table></body></html>";
}

class AdvertCycleTest : public ::testing::Test {
 protected:
  testing::FakeFetcher fetcher;
  testing::FakeAdvertView view;
  testing::FakeAdvertClock clock;
  testing::FakeOpener opener;
  AdvertCycle cycle{fetcher, view, clock, opener, kList, kOther};

  // Answers the latest fetch.
  void Answer(const std::string& body, bool ok = true) {
    ASSERT_FALSE(fetcher.requests.empty());
    const FetchRequest& request = fetcher.requests.back();
    cycle.OnFetched(FetchResult{request.id, ok, ok ? 200 : 0, request.address, body, {}});
  }
  std::string LastFetched() const { return fetcher.requests.empty() ? "" : fetcher.requests.back().address; }
  void Tick() {
    ASSERT_TRUE(clock.IsRunning(AdvertTimer::Cycle)) << "the cycle timer must be on between cycles";
    cycle.OnTimer(AdvertTimer::Cycle);
  }
  // Lets the pause before showing a loaded page run out.
  void EndPause() {
    ASSERT_TRUE(clock.IsRunning(AdvertTimer::ShowPause));
    cycle.OnTimer(AdvertTimer::ShowPause);
  }
  // One cycle that shows a plain page at `address`.
  void ShowsPage(const std::string& address) {
    ASSERT_EQ(LastFetched(), address);
    Answer("<body>advert " + address + "</body>");
    EndPause();
    ASSERT_FALSE(view.shown.empty());
    EXPECT_EQ(view.shown.back().address, address);
  }
};

TEST_F(AdvertCycleTest, StartShowsThePlaceholderAndArmsTheTimer) {
  cycle.Start();
  EXPECT_TRUE(view.showingPlaceholder);
  EXPECT_EQ(clock.running[AdvertTimer::Cycle], 10000);
  EXPECT_TRUE(fetcher.requests.empty());
}

TEST_F(AdvertCycleTest, RotatesThroughTheListThenRestsOneCycle) {
  cycle.Start();
  Tick();
  EXPECT_FALSE(clock.IsRunning(AdvertTimer::Cycle));  // off while the cycle runs
  ASSERT_EQ(LastFetched(), kList);
  Answer(ListPage({"http://ads.example/A", "http://ads.example/B", "http://ads.example/C"}));
  ShowsPage("http://ads.example/A");
  EXPECT_TRUE(clock.IsRunning(AdvertTimer::Cycle));
  Tick();
  ShowsPage("http://ads.example/B");
  Tick();
  ShowsPage("http://ads.example/C");
  // Cycle 4: nothing new, C stays.
  const std::size_t fetches = fetcher.requests.size();
  Tick();
  EXPECT_EQ(fetcher.requests.size(), fetches);
  EXPECT_EQ(cycle.Cursor(), 0);
  EXPECT_EQ(view.shown.size(), 3u);
  Tick();
  ShowsPage("http://ads.example/A");
  EXPECT_EQ(cycle.TickCount(), 5);
}

TEST_F(AdvertCycleTest, SingleAddressIsNotFetchedAgainUntilTheListIsReloaded) {
  cycle.Start();
  Tick();
  Answer(ListPage({"http://ads.example/only"}));
  ShowsPage("http://ads.example/only");
  for (int i = 2; i <= 11; ++i) Tick();  // cursor 0, then the entry is the current page, and so on
  EXPECT_EQ(view.shown.size(), 1u);
  EXPECT_EQ(fetcher.requests.size(), 2u);
  // The twelfth completed cycle empties the list...
  Tick();
  EXPECT_EQ(cycle.TickCount(), 0);
  EXPECT_EQ(cycle.AdList(), "");
  // ...the thirteenth fetches it again, and the address, no longer current, is loaded anew.
  Tick();
  EXPECT_EQ(LastFetched(), kList);
  Answer(ListPage({"http://ads.example/only"}));
  ShowsPage("http://ads.example/only");
}

TEST_F(AdvertCycleTest, MarkersOnTheListPageShowThePlaceholderWithoutCountingTheCycle) {
  cycle.Start();
  Tick();
  Answer("<body>You have exceeded your BANDWIDTH.<table><tr><td>http://ads.example/A</td></tr></table></body>");
  EXPECT_TRUE(view.showingPlaceholder);
  EXPECT_EQ(cycle.TickCount(), 0);
  EXPECT_EQ(cycle.AdList(), "");
  // Ten seconds later the list is fetched again; a page without a table fails the same way.
  Tick();
  EXPECT_EQ(LastFetched(), kList);
  Answer("<body>no table here</body>");
  EXPECT_TRUE(view.showingPlaceholder);
  EXPECT_EQ(cycle.TickCount(), 0);
  // A table without addresses completes the cycle on the placeholder.
  Tick();
  Answer("<table><tr><td> </td></tr></table>");
  EXPECT_TRUE(view.showingPlaceholder);
  EXPECT_EQ(cycle.TickCount(), 1);
  EXPECT_TRUE(clock.IsRunning(AdvertTimer::Cycle));
}

TEST_F(AdvertCycleTest, FailedAdvertKeepsTheCursorSoTheNextCycleTriesTheNextAddress) {
  cycle.Start();
  Tick();
  Answer(ListPage({"http://ads.example/A", "http://ads.example/B"}));
  ASSERT_EQ(LastFetched(), "http://ads.example/A");
  Answer("<h1>The page cannot be displayed</h1>");
  EXPECT_TRUE(view.showingPlaceholder);
  EXPECT_EQ(view.status, " page can not be displayed ");
  EXPECT_EQ(cycle.TickCount(), 0);
  Tick();
  ShowsPage("http://ads.example/B");
  EXPECT_FALSE(view.showingPlaceholder);
}

TEST(AdvertCycleFailures, EveryKindOfFailedPageLeadsToThePlaceholder) {
  const char* bodies[] = {"Error: 425 HTTP Error", "pppshar message", "Authenticating your login. Please wait ...",
                          "low bandwidth"};
  for (const char* body : bodies) {
    testing::FakeFetcher fetcher;
    testing::FakeAdvertView view;
    testing::FakeAdvertClock clock;
    testing::FakeOpener opener;
    AdvertCycle cycle{fetcher, view, clock, opener, kList, kOther};
    cycle.Start();
    cycle.OnTimer(AdvertTimer::Cycle);
    cycle.OnFetched({fetcher.requests.back().id, true, 200, kList, ListPage({"http://ads.example/A"}), {}});
    ASSERT_EQ(fetcher.requests.back().address, "http://ads.example/A");
    cycle.OnFetched({fetcher.requests.back().id, true, 200, "http://ads.example/A", body, {}});
    EXPECT_TRUE(view.showingPlaceholder) << body;
    EXPECT_FALSE(clock.IsRunning(AdvertTimer::ShowPause)) << body;
    EXPECT_TRUE(view.shown.empty()) << body;
    EXPECT_TRUE(clock.IsRunning(AdvertTimer::Cycle)) << body;
  }
}

TEST_F(AdvertCycleTest, TransportFailureAndTheWaitBoundLeadToThePlaceholder) {
  cycle.Start();
  Tick();
  Answer("", false);
  EXPECT_TRUE(view.showingPlaceholder);
  EXPECT_EQ(view.status, " page can not be displayed ");
  Tick();
  ASSERT_TRUE(clock.IsRunning(AdvertTimer::WaitLimit));
  const int cancels = fetcher.cancels;
  cycle.OnTimer(AdvertTimer::WaitLimit);
  EXPECT_EQ(fetcher.cancels, cancels + 1);
  EXPECT_TRUE(view.showingPlaceholder);
  EXPECT_TRUE(clock.IsRunning(AdvertTimer::Cycle));
  // The late answer is ignored.
  Answer(ListPage({"http://ads.example/A"}));
  EXPECT_EQ(cycle.AdList(), "");
}

TEST_F(AdvertCycleTest, PageLoadedFlagAndStatusFollowTheFetch) {
  cycle.Start();
  Tick();
  EXPECT_FALSE(cycle.PageLoaded());
  EXPECT_EQ(view.status, std::string("Opening page ") + kList + "...");
  Answer(ListPage({"http://ads.example/A"}));
  EXPECT_FALSE(cycle.PageLoaded());  // now loading A
  Answer("<body>A</body>");
  EXPECT_TRUE(cycle.PageLoaded());
  EXPECT_EQ(view.status, "Done");
  EXPECT_TRUE(view.showingPlaceholder);  // not before the pause
  EndPause();
  EXPECT_FALSE(view.showingPlaceholder);
}

TEST_F(AdvertCycleTest, ImageIsFetchedAndClickOpensItsLinkAfterAPause) {
  cycle.Start();
  Tick();
  Answer(ListPage({"http://ads.example/adv/A.htm"}));
  Answer("<body><a href='/buy.htm'><img src='pics/banner.gif'></a></body>");
  ASSERT_EQ(LastFetched(), "http://ads.example/adv/pics/banner.gif");
  EXPECT_EQ(fetcher.requests.back().kind, FetchKind::Image);
  Answer("GIF89a...");
  EndPause();
  ASSERT_EQ(view.shown.size(), 1u);
  EXPECT_EQ(view.shown[0].image, "GIF89a...");
  EXPECT_EQ(cycle.ClickAddress(), "http://ads.example/buy.htm");
  cycle.OnAdvertClicked();
  EXPECT_TRUE(opener.opened.empty());  // not at once: after the pause, without freezing
  cycle.OnTimer(AdvertTimer::ClickPause);
  EXPECT_EQ(opener.opened, std::vector<std::string>{"http://ads.example/buy.htm"});
  cycle.OnPlaceholderClicked();
  EXPECT_EQ(opener.opened.back(), kOther);
}

TEST_F(AdvertCycleTest, UnsafeOrMissingClickAddressOpensNothing) {
  cycle.Start();
  Tick();
  Answer(ListPage({"http://ads.example/A", "http://ads.example/B"}));
  Answer("<a href='javascript:run()'><img src='http://ads.example/i.png'></a>");
  Answer("", false);  // the image fails: the page is shown with its text
  EndPause();
  EXPECT_EQ(view.shown.back().image, "");
  EXPECT_EQ(cycle.ClickAddress(), "");
  Tick();
  Answer("<p>text only</p>");
  EndPause();
  EXPECT_EQ(view.shown.back().text, "text only");
  cycle.OnAdvertClicked();
  EXPECT_FALSE(clock.IsRunning(AdvertTimer::ClickPause));
  EXPECT_TRUE(opener.opened.empty());
}

TEST_F(AdvertCycleTest, UnsafeEntriesOfTheListAreSkipped) {
  cycle.Start();
  Tick();
  Answer(ListPage({"file:///C:/x.htm", "http://ads.example/ok"}));
  ShowsPage("http://ads.example/ok");
  EXPECT_EQ(cycle.Cursor(), 2);
}

TEST_F(AdvertCycleTest, StopCancelsEverything) {
  cycle.Start();
  Tick();
  cycle.Stop();
  EXPECT_TRUE(clock.running.empty());
  EXPECT_GE(fetcher.cancels, 1);
  Answer(ListPage({"http://ads.example/A"}));
  EXPECT_EQ(fetcher.requests.size(), 1u);
}

}  // namespace
}  // namespace corvane::web
