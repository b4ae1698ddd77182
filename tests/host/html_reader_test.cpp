#include "web/html_reader.h"

#include <gtest/gtest.h>

namespace corvane::web {
namespace {

TEST(HtmlReader, ListTableRowsFromUntidyMarkup) {
  // Upper-case tags, no tbody, unclosed td and tr, a blank row, a comment and entities.
  const HtmlPage page = ReadHtml(
      "<HTML><BODY><p>Our offers<TABLE border=1>"
      "<TR><TD>http://a.example/one.htm"
      "<tr><td> http://a.example/two.htm?x=1&amp;y=2 </td></tr>"
      "<tr><td>  </td></tr>"
      "<!-- <tr><td>hidden</td></tr> -->"
      "<Tr><Td>C</Td><td>D</td>"
      "</TABLE><table><tr><td>second table</td></tr></table></body></html>");
  ASSERT_TRUE(page.hasTable);
  EXPECT_EQ(page.firstTableRows,
            (std::vector<std::string>{"http://a.example/one.htm", "http://a.example/two.htm?x=1&y=2", "", "C D"}));
}

TEST(HtmlReader, TenMegabytesOfMarkupWithNonAsciiTextAreReadWhole) {
  std::string html = "<html><body><table><tr><td>caf&eacute; &#x263A; \xE2\x82\xAC</td></tr></table><p>";
  const std::string chunk = "<b>x</b> &amp; <i>y</i> ";
  while (html.size() < 10u * 1024u * 1024u) html += chunk;
  html += "<a href='http://a.example/go'><img src=\"p.png\"></a>";
  const HtmlPage page = ReadHtml(html);
  ASSERT_EQ(page.firstTableRows.size(), 1u);
  EXPECT_EQ(page.firstTableRows[0], "caf\xC3\xA9 \xE2\x98\xBA \xE2\x82\xAC");
  ASSERT_TRUE(page.hasImage);
  EXPECT_EQ(page.firstImage.clickAddress, "http://a.example/go");
}

TEST(HtmlReader, NestedTablesBelongToTheirCell) {
  const HtmlPage page = ReadHtml(
      "<table><tbody><tr><td>outer <table><tr><td>inner1</td></tr><tr><td>inner2</td></tr></table></td></tr>"
      "<tr><td>last</td></tr></tbody></table>");
  EXPECT_EQ(page.firstTableRows, (std::vector<std::string>{"outer inner1 inner2", "last"}));
}

TEST(HtmlReader, NoTable) {
  const HtmlPage page = ReadHtml("<html><body>The page cannot be displayed</body></html>");
  EXPECT_FALSE(page.hasTable);
  EXPECT_TRUE(page.firstTableRows.empty());
  EXPECT_EQ(page.bodyText, "The page cannot be displayed");
}

TEST(HtmlReader, BodyTextSkipsHeadScriptStyleAndComments) {
  const HtmlPage page = ReadHtml(
      "<!DOCTYPE html><html><head><title>Title</title><style>p { color: red }</style></head>"
      "<BODY>Hello,\n   <b>world</b><script type='text/javascript'>var s = '</b>not text';</SCRIPT>"
      "<!-- a comment --><p>Second&nbsp;line &lt;ok&gt; &#65;&#x42; &copy; &unknown; AT&T</body></html>");
  EXPECT_EQ(page.bodyText, "Hello, world\nSecond line <ok> AB \xC2\xA9 &unknown; AT&T");
}

TEST(HtmlReader, PageWithoutBodyTagGivesAllItsText) {
  EXPECT_EQ(ReadHtml("just <i>text</i>").bodyText, "just text");
  EXPECT_EQ(ReadHtml("").bodyText, "");
  // A stray "<" is text.
  EXPECT_EQ(ReadHtml("1 < 2 <3").bodyText, "1 < 2 <3");
}

TEST(HtmlReader, FirstImageTakesTheHrefOfItsLink) {
  const HtmlPage page = ReadHtml(
      "<body><a href='http://shop.example/first'>text link</a>"
      "<A HREF=\"http://shop.example/buy?a=1&amp;b=2\"><IMG SRC=banner.gif alt='x'></A>"
      "<a href=http://shop.example/later><img src=second.gif></a></body>");
  ASSERT_TRUE(page.hasImage);
  EXPECT_EQ(page.firstImage.source, "banner.gif");
  EXPECT_EQ(page.firstImage.clickAddress, "http://shop.example/buy?a=1&b=2");
}

TEST(HtmlReader, ImageOutsideAnyLinkHasNoClickAddress) {
  const HtmlPage page = ReadHtml("<a href='http://x.example/'>x</a><img src='/i.png'/><a href=y><img src=z></a>");
  ASSERT_TRUE(page.hasImage);
  EXPECT_EQ(page.firstImage.source, "/i.png");
  EXPECT_EQ(page.firstImage.clickAddress, "");
  EXPECT_FALSE(ReadHtml("<p>no picture</p>").hasImage);
}

TEST(HtmlReader, TruncatedMarkupDoesNotFail) {
  // Every prefix of a page is read without error (the reader meets cut-off downloads).
  const std::string html =
      "<html><body><table><tr><td a=\"1\" b='2' c=3>x&#1234;&amp</td></tr></table><img src='i'><!-- c --></body>";
  for (std::size_t n = 0; n <= html.size(); ++n) {
    const HtmlPage page = ReadHtml(html.substr(0, n));
    EXPECT_LE(page.firstTableRows.size(), 1u);
  }
}

TEST(HtmlReader, CharacterReferences) {
  EXPECT_EQ(DecodeCharacterReferences("&#x20AC;&#8364;&euro;"), "\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC");
  EXPECT_EQ(DecodeCharacterReferences("&#0;&#xD800;"), "\xEF\xBF\xBD\xEF\xBF\xBD");  // invalid: replacement
  EXPECT_EQ(DecodeCharacterReferences("&#; &# &amp"), "&#; &# &");
}

}  // namespace
}  // namespace corvane::web
