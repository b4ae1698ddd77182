#include "web/html_reader.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>

#include "base/text.h"

namespace corvane::web {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
         c == ':';
}

void AppendUtf8(std::string& out, std::uint32_t code) {
  if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

struct NamedReference {
  std::string_view name;
  std::uint32_t code;
};
// nbsp becomes a plain blank: the texts read here are compared and trimmed, never laid out.
constexpr NamedReference kNamed[] = {
    {"amp", '&'},     {"lt", '<'},       {"gt", '>'},       {"quot", '"'},     {"apos", '\''},
    {"nbsp", ' '},    {"copy", 0xA9},    {"reg", 0xAE},     {"trade", 0x2122}, {"hellip", 0x2026},
    {"mdash", 0x2014}, {"ndash", 0x2013}, {"laquo", 0xAB},   {"raquo", 0xBB},   {"euro", 0x20AC},
    {"pound", 0xA3},  {"yen", 0xA5},     {"cent", 0xA2},    {"deg", 0xB0},     {"middot", 0xB7},
    {"lsquo", 0x2018}, {"rsquo", 0x2019}, {"ldquo", 0x201C}, {"rdquo", 0x201D}, {"bull", 0x2022},
    // The accented letters of the Western European languages.
    {"agrave", 0xE0}, {"aacute", 0xE1},  {"acirc", 0xE2},   {"auml", 0xE4},    {"ccedil", 0xE7},
    {"egrave", 0xE8}, {"eacute", 0xE9},  {"ecirc", 0xEA},   {"euml", 0xEB},    {"iacute", 0xED},
    {"icirc", 0xEE},  {"ntilde", 0xF1},  {"oacute", 0xF3},  {"ocirc", 0xF4},   {"ouml", 0xF6},
    {"uacute", 0xFA}, {"ucirc", 0xFB},   {"uuml", 0xFC},    {"szlig", 0xDF},   {"Auml", 0xC4},
    {"Eacute", 0xC9}, {"Ouml", 0xD6},    {"Uuml", 0xDC},
};

// Reads one reference at text[at] == '&'; returns the characters consumed, 0 when it is none.
std::size_t ReadReference(std::string_view text, std::size_t at, std::string& out) {
  std::size_t i = at + 1;
  if (i < text.size() && text[i] == '#') {
    ++i;
    bool hex = false;
    if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
      hex = true;
      ++i;
    }
    std::uint32_t code = 0;
    const std::size_t digitsStart = i;
    while (i < text.size() && i - digitsStart < 8) {
      const char c = text[i];
      int digit = -1;
      if (c >= '0' && c <= '9') digit = c - '0';
      if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      if (digit < 0) break;
      code = code * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
      ++i;
    }
    if (i == digitsStart) return 0;
    if (i < text.size() && text[i] == ';') ++i;
    AppendUtf8(out, code);
    return i - at;
  }
  while (i < text.size() && IsNameChar(text[i]) && i - at <= 8) ++i;
  const std::string_view name = text.substr(at + 1, i - at - 1);
  for (const NamedReference& ref : kNamed) {
    if (name == ref.name) {
      if (i < text.size() && text[i] == ';') ++i;
      AppendUtf8(out, ref.code);
      return i - at;
    }
  }
  return 0;
}

struct Tag {
  std::string name;  // lower case
  bool closing = false;
  std::vector<std::pair<std::string, std::string>> attributes;  // names lower case, values decoded

  std::optional<std::string> Attribute(std::string_view wanted) const {
    for (const auto& [name, value] : attributes) {
      if (name == wanted) return value;
    }
    return std::nullopt;
  }
};

// Reads a tag starting at html[at] == '<'. Returns the position after it, or `at` when the '<' does
// not start a tag (it is then text).
std::size_t ReadTag(std::string_view html, std::size_t at, Tag& tag) {
  std::size_t i = at + 1;
  if (i < html.size() && html[i] == '/') {
    tag.closing = true;
    ++i;
  }
  const std::size_t nameStart = i;
  const bool letter = i < html.size() && ((html[i] >= 'a' && html[i] <= 'z') || (html[i] >= 'A' && html[i] <= 'Z'));
  if (!letter) return at;
  while (i < html.size() && IsNameChar(html[i])) ++i;
  tag.name = ToLowerAscii(html.substr(nameStart, i - nameStart));
  while (i < html.size()) {
    while (i < html.size() && (IsSpace(html[i]) || html[i] == '/')) ++i;
    if (i >= html.size()) break;
    if (html[i] == '>') return i + 1;
    const std::size_t attrStart = i;
    while (i < html.size() && !IsSpace(html[i]) && html[i] != '=' && html[i] != '>' && html[i] != '/') ++i;
    std::string name = ToLowerAscii(html.substr(attrStart, i - attrStart));
    while (i < html.size() && IsSpace(html[i])) ++i;
    std::string value;
    if (i < html.size() && html[i] == '=') {
      ++i;
      while (i < html.size() && IsSpace(html[i])) ++i;
      if (i < html.size() && (html[i] == '"' || html[i] == '\'')) {
        const char quote = html[i++];
        const std::size_t end = html.find(quote, i);
        const std::size_t stop = end == std::string_view::npos ? html.size() : end;
        value = DecodeCharacterReferences(html.substr(i, stop - i));
        i = end == std::string_view::npos ? html.size() : end + 1;
      } else {
        const std::size_t valueStart = i;
        while (i < html.size() && !IsSpace(html[i]) && html[i] != '>') ++i;
        value = DecodeCharacterReferences(html.substr(valueStart, i - valueStart));
      }
    }
    if (!name.empty()) tag.attributes.emplace_back(std::move(name), std::move(value));
  }
  return html.size();
}

bool IsBlockBreak(std::string_view name) {
  static constexpr std::string_view kBlocks[] = {"p",  "br", "div", "tr", "li", "h1", "h2",    "h3",    "h4",
                                                 "h5", "h6", "ul",  "ol", "table", "hr", "title", "center", "form",
                                                 "blockquote", "pre", "dl", "dt", "dd"};
  for (const std::string_view block : kBlocks) {
    if (name == block) return true;
  }
  return false;
}

// Collects text with white space collapsed: blanks between words, line breaks between blocks.
class TextSink {
 public:
  void Add(std::string_view text) {
    for (const char c : text) {
      if (IsSpace(c)) {
        pendingBlank_ = true;
      } else {
        Flush();
        text_ += c;
      }
    }
  }
  void Separate(bool lineBreak) {
    if (lineBreak) {
      pendingBreak_ = true;
    } else {
      pendingBlank_ = true;
    }
  }
  std::string Take() const { return TrimSpaces(text_); }

 private:
  void Flush() {
    if (!text_.empty()) {
      if (pendingBreak_) {
        if (text_.back() != '\n') text_ += '\n';
      } else if (pendingBlank_) {
        text_ += ' ';
      }
    }
    pendingBlank_ = pendingBreak_ = false;
  }
  std::string text_;
  bool pendingBlank_ = false;
  bool pendingBreak_ = false;
};

class Reader {
 public:
  HtmlPage Read(std::string_view html) {
    std::size_t i = 0;
    while (i < html.size()) {
      if (html[i] == '<') {
        if (html.compare(i, 4, "<!--") == 0) {
          const std::size_t end = html.find("-->", i + 4);
          i = end == std::string_view::npos ? html.size() : end + 3;
          continue;
        }
        if (i + 1 < html.size() && (html[i + 1] == '!' || html[i + 1] == '?')) {
          const std::size_t end = html.find('>', i);
          i = end == std::string_view::npos ? html.size() : end + 1;
          continue;
        }
        Tag tag;
        const std::size_t next = ReadTag(html, i, tag);
        if (next != i) {
          i = next;
          OnTag(tag);
          if (!tag.closing && (tag.name == "script" || tag.name == "style")) i = SkipRawText(html, i, tag.name);
          continue;
        }
      }
      const std::size_t end = std::min(html.find('<', i + 1), html.size());
      OnText(DecodeCharacterReferences(html.substr(i, end - i)));
      i = end;
    }
    CloseRow();
    page_.bodyText = sawBody_ ? body_.Take() : whole_.Take();
    return std::move(page_);
  }

 private:
  static std::size_t SkipRawText(std::string_view html, std::size_t from, const std::string& name) {
    for (std::size_t at = html.find("</", from); at != std::string_view::npos; at = html.find("</", at + 2)) {
      if (EqualsNoCase(html.substr(at + 2, name.size()), name)) {
        const std::size_t close = html.find('>', at);
        return close == std::string_view::npos ? html.size() : close + 1;
      }
    }
    return html.size();
  }

  void OnText(const std::string& text) {
    if (inHead_ || inTitle_) return;
    whole_.Add(text);
    if (sawBody_ && !bodyClosed_) body_.Add(text);
    if (rowOpen_) row_.Add(text);
  }

  void Separate(bool lineBreak) {
    whole_.Separate(lineBreak);
    body_.Separate(lineBreak);
    if (rowOpen_) row_.Separate(false);
  }

  void OnTag(const Tag& tag) {
    const std::string& name = tag.name;
    if (name == "head") inHead_ = !tag.closing;
    if (name == "title") inTitle_ = !tag.closing;
    if (name == "body") {
      if (!tag.closing) {
        sawBody_ = true;
        inHead_ = false;
      } else {
        bodyClosed_ = true;
      }
    }
    if (IsBlockBreak(name)) Separate(true);
    if (name == "td" || name == "th") Separate(false);

    if (name == "table") {
      if (!tag.closing) {
        if (!page_.hasTable) {
          page_.hasTable = true;
          tableDepth_ = 1;
        } else if (tableDepth_ > 0) {
          ++tableDepth_;
        }
      } else if (tableDepth_ > 0) {
        if (--tableDepth_ == 0) {
          CloseRow();
          tableDone_ = true;
        }
      }
    }
    if (name == "tr" && tableDepth_ == 1 && !tableDone_) {
      CloseRow();
      if (!tag.closing) rowOpen_ = true;
    }

    if (name == "a") link_ = tag.closing ? std::nullopt : tag.Attribute("href");
    if (name == "img" && !tag.closing && !page_.hasImage && !inHead_) {
      page_.hasImage = true;
      page_.firstImage.source = TrimSpaces(tag.Attribute("src").value_or(""));
      page_.firstImage.clickAddress = TrimSpaces(link_.value_or(""));
    }
  }

  void CloseRow() {
    if (!rowOpen_) return;
    page_.firstTableRows.push_back(row_.Take());
    row_ = TextSink();
    rowOpen_ = false;
  }

  HtmlPage page_;
  TextSink whole_;
  TextSink body_;
  TextSink row_;
  bool inHead_ = false;
  bool inTitle_ = false;
  bool sawBody_ = false;
  bool bodyClosed_ = false;
  int tableDepth_ = 0;  // nesting inside the first table; 0 outside it
  bool tableDone_ = false;
  bool rowOpen_ = false;
  std::optional<std::string> link_;
};

}  // namespace

std::string DecodeCharacterReferences(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == '&') {
      const std::size_t used = ReadReference(text, i, out);
      if (used != 0) {
        i += used;
        continue;
      }
    }
    out += text[i++];
  }
  return out;
}

HtmlPage ReadHtml(std::string_view html) { return Reader().Read(html); }

}  // namespace corvane::web
