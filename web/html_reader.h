#pragma once
// A tolerant reader of HTML pages: enough to take the text, the first table's rows and the first
// image from the pages of the advertisement server, whatever their markup quality. No script runs.
#include <string>
#include <string_view>
#include <vector>

namespace corvane::web {

struct HtmlImage {
  std::string source;        // the img's src, as written (relative or absolute)
  // Where a click on the image leads: the href of the link that wraps the image, as written; empty
  // when the image sits in no link. This is the common way a page makes an image clickable.
  std::string clickAddress;
};

struct HtmlPage {
  // The visible text of the body (the whole page when it has no body tag): runs of white space
  // collapsed to one blank, line breaks where blocks end, trimmed.
  std::string bodyText;
  bool hasTable = false;
  // The text of each row of the first table (cells joined by a blank, trimmed), in order. Rows of
  // tables nested in it are not rows of their own; their text belongs to the enclosing cell.
  std::vector<std::string> firstTableRows;
  bool hasImage = false;
  HtmlImage firstImage;
};

// Tags and attribute names in any case; attribute values double-quoted, single-quoted or bare;
// named (common ones) and numeric character references; comments; script and style contents
// skipped; td, tr and p may stay unclosed; tbody, thead and tfoot may be left out.
HtmlPage ReadHtml(std::string_view html);

// The text with its character references replaced (UTF-8 out). Unknown references stay as written.
std::string DecodeCharacterReferences(std::string_view text);

}  // namespace corvane::web
