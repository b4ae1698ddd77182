#include <gtest/gtest.h>

#include "tests/fakes/web_fakes.h"
#include "web/browser_launch.h"
#include "web/image_fit.h"
#include "web/site.h"
#include "web/web_address.h"

namespace corvane::web {
namespace {

using testing::FakeBrowserShell;

TEST(WebAddress, OnlyPlainWebAddressesPass) {
  EXPECT_TRUE(IsSafeWebAddress("http://ads.example/a.htm"));
  EXPECT_TRUE(IsSafeWebAddress("HTTPS://ads.example"));
  EXPECT_TRUE(IsSafeWebAddress("https://ads.example:8080/x?y=1&z=%20"));
  // Other schemes and schemeless addresses.
  EXPECT_FALSE(IsSafeWebAddress("file:///C:/x.exe"));
  EXPECT_FALSE(IsSafeWebAddress("javascript:alert(1)"));
  EXPECT_FALSE(IsSafeWebAddress("ads.example/a.htm"));
  EXPECT_FALSE(IsSafeWebAddress("http://"));
  EXPECT_FALSE(IsSafeWebAddress("http:///path"));
  // Anything that could end the quoted argument or add another one.
  EXPECT_FALSE(IsSafeWebAddress("http://a.example/\" -new-window file:///c:/"));
  EXPECT_FALSE(IsSafeWebAddress("http://a.example/a b"));
  EXPECT_FALSE(IsSafeWebAddress("http://a.example/a\tb"));
  EXPECT_FALSE(IsSafeWebAddress("http://a.example/a\r\nb"));
  EXPECT_FALSE(IsSafeWebAddress(std::string("http://a.example/\0x", 19)));
  EXPECT_FALSE(IsSafeWebAddress("http://a.example/\x7f"));
  EXPECT_FALSE(IsSafeWebAddress("http://a.example/\xC3\xA9"));
  EXPECT_FALSE(IsSafeWebAddress("http://user@a.example/"));
}

TEST(WebAddress, AnAddressLongerThanTwoKilobytesNeverPasses) {
  const std::string base = "http://a.example/";
  EXPECT_TRUE(IsSafeWebAddress(base + std::string(kMaxWebAddressLength - base.size(), 'x')));
  EXPECT_FALSE(IsSafeWebAddress(base + std::string(kMaxWebAddressLength - base.size() + 1, 'x')));
}

TEST(WebAddress, RelativeAddressesReadAgainstTheirPage) {
  const std::string page = "http://ads.example/adv/one/page.htm?x=1#top";
  EXPECT_EQ(ResolveWebAddress(page, "https://other.example/p"), "https://other.example/p");
  EXPECT_EQ(ResolveWebAddress(page, "//cdn.example/i.png"), "http://cdn.example/i.png");
  EXPECT_EQ(ResolveWebAddress(page, "/root.png"), "http://ads.example/root.png");
  EXPECT_EQ(ResolveWebAddress(page, "pic.gif"), "http://ads.example/adv/one/pic.gif");
  EXPECT_EQ(ResolveWebAddress(page, "../two/./pic.gif?s=2#f"), "http://ads.example/adv/two/pic.gif?s=2");
  EXPECT_EQ(ResolveWebAddress(page, "../../../../x"), "http://ads.example/x");
  EXPECT_EQ(ResolveWebAddress(page, "?q=2"), "http://ads.example/adv/one/page.htm?q=2");
  EXPECT_EQ(ResolveWebAddress("http://ads.example", "a.htm"), "http://ads.example/a.htm");
  EXPECT_EQ(ResolveWebAddress("http://ads.example/a/", ".."), "http://ads.example/");
  // Other schemes stay as written, to be refused by the check.
  EXPECT_EQ(ResolveWebAddress(page, "javascript:go()"), "javascript:go()");
}

TEST(BrowserLaunch, ProgramIsCutAfterTheFirstExe) {
  EXPECT_EQ(BrowserProgramFrom("C:\\Program Files\\Browser\\browser.exe"), "C:\\Program Files\\Browser\\browser.exe");
  // Whatever follows the first ".EXE" goes, whatever its case, and blanks around are trimmed.
  EXPECT_EQ(BrowserProgramFrom("  C:\\B\\Browser.ExE -nohome %1"), "C:\\B\\Browser.ExE");
  EXPECT_EQ(BrowserProgramFrom(std::string("C:\\b.exe\0garbage.exe", 20)), "C:\\b.exe");
  EXPECT_EQ(BrowserProgramFrom("C:\\my.exes\\run.exe"), "C:\\my.exe");
  EXPECT_EQ(BrowserProgramFrom("C:\\Tools\\open.cmd"), std::nullopt);
  EXPECT_EQ(BrowserProgramFrom(".exe"), std::nullopt);
}

TEST(BrowserLaunch, StartsTheAssociatedProgramWithTheQuotedTrimmedAddress) {
  FakeBrowserShell shell;
  shell.association = "C:\\Program Files\\Browser\\browser.exe";
  OpenInBrowser(shell, "  https://www.corvane.example/corvane/help.htm  ", "htm");
  EXPECT_EQ(shell.askedAbout, "C:\\Temp\\helphtm.htm");
  ASSERT_EQ(shell.started.size(), 1u);
  EXPECT_EQ(shell.started[0].program, "C:\\Program Files\\Browser\\browser.exe");
  EXPECT_EQ(shell.started[0].parameters, "\"https://www.corvane.example/corvane/help.htm\"");
  EXPECT_TRUE(shell.files.empty());  // the probe is gone
}

TEST(BrowserLaunch, FailuresOpenNothingAndLeaveNoProbe) {
  // No association.
  FakeBrowserShell none;
  OpenInBrowser(none, "http://a.example/");
  EXPECT_TRUE(none.started.empty());
  EXPECT_TRUE(none.openedThroughShell.empty());
  EXPECT_TRUE(none.files.empty());
  // No temporary folder: no probe, nothing asked.
  FakeBrowserShell noTemp;
  noTemp.temporaryFolder.reset();
  noTemp.association = "C:\\b.exe";
  OpenInBrowser(noTemp, "http://a.example/");
  EXPECT_TRUE(noTemp.started.empty());
  EXPECT_TRUE(noTemp.askedAbout.empty());
  // An address from outside that would break out of its quotes, or is no web address at all.
  FakeBrowserShell unsafe;
  unsafe.association = "C:\\b.exe";
  for (const char* address : {"http://a.example/\" --load-extension=x", "file:///C:/windows/system32/calc.exe",
                              "C:\\evil.exe", ""}) {
    OpenInBrowser(unsafe, address);
  }
  EXPECT_TRUE(unsafe.started.empty());
  EXPECT_TRUE(unsafe.askedAbout.empty());
}

TEST(BrowserLaunch, AssociationWithoutExeGoesThroughTheShell) {
  FakeBrowserShell shell;
  shell.association = "C:\\Tools\\browse.cmd";
  OpenInBrowser(shell, "http://a.example/x");
  EXPECT_TRUE(shell.started.empty());
  EXPECT_EQ(shell.openedThroughShell, std::vector<std::string>{"http://a.example/x"});
  EXPECT_TRUE(shell.files.empty());
}

TEST(HelpPages, FirstVisiblePanelDecides) {
  EXPECT_EQ(HelpPathFor({}), "/corvane.htm");
  EXPECT_EQ(HelpPathFor({.running = true, .blocked = true}), "/corvane/running.htm");
  EXPECT_EQ(HelpPathFor({.blocked = true, .options = true}), "/corvane/block.htm");
  EXPECT_EQ(HelpPathFor({.allowed = true, .trashJar = true}), "/corvane/allow.htm");
  EXPECT_EQ(HelpPathFor({.trashJar = true, .options = true}), "/corvane/trash.htm");
  EXPECT_EQ(HelpPathFor({.options = true}), "/corvane/options.htm");
  // Every page is on the one site, and a plain address the launch accepts.
  EXPECT_TRUE(IsSafeWebAddress(SiteAddress(kTrayHelpPath)));
  EXPECT_EQ(SiteAddress(kAdvertListPath), std::string(kMakerSite) + "/adv/ver.htm");
}

TEST(HelpPages, TheAdvertServerSettingOnlyReplacesTheSiteWithAnotherPlainServer) {
  EXPECT_EQ(AdvertServer(""), kMakerSite);
  EXPECT_EQ(AdvertServer(" http://127.0.0.1:9/ "), "http://127.0.0.1:9");
  EXPECT_EQ(AdvertServer("https://mirror.example"), "https://mirror.example");
  EXPECT_EQ(AdvertServer("file:///C:/x"), kMakerSite);
  EXPECT_EQ(AdvertServer("http://a b"), kMakerSite);
  EXPECT_EQ(AdvertServer("\"http://x\""), kMakerSite);
}

TEST(ImageFit, ShrinksKeepingProportionsAndCentres) {
  EXPECT_EQ(FitInside(100, 50, 200, 100).width, 100);  // fits already: kept
  const FitRect wide = FitInside(400, 100, 200, 100);
  EXPECT_EQ(wide.width, 200);
  EXPECT_EQ(wide.height, 50);
  EXPECT_EQ(wide.y, 25);
  const FitRect tall = FitInside(100, 400, 200, 100);
  EXPECT_EQ(tall.width, 25);
  EXPECT_EQ(tall.height, 100);
  EXPECT_EQ(tall.x, 87);
  // Large pictures do not overflow the arithmetic; degenerate sizes give nothing.
  const FitRect huge = FitInside(1000000, 1000000, 300, 100);
  EXPECT_EQ(huge.width, 100);
  EXPECT_EQ(FitInside(0, 10, 10, 10).width, 0);
  EXPECT_EQ(FitInside(10000, 1, 10, 10).height, 1);
}

}  // namespace
}  // namespace corvane::web
