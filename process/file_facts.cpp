#include "process/file_facts.h"

namespace corvane {
namespace {

constexpr std::string_view kThreeNuls("\0\0\0", 3);
// How far past the start of a value a control character is looked for when the value has no
// ordinary end.
constexpr std::size_t kValueScanLength = 255;

// Bytes 0 to 255 as the characters of the same codes, in UTF-8.
std::string Latin1ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) {
    const auto code = static_cast<unsigned char>(c);
    if (code < 0x80) {
      out.push_back(c);
    } else {
      out.push_back(static_cast<char>(0xC0 | (code >> 6)));
      out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }
  return out;
}

std::string ReplaceInOnePass(std::string_view text, std::string_view find, std::string_view replacement) {
  std::string out;
  std::size_t start = 0;
  for (std::size_t hit = text.find(find); hit != std::string_view::npos; hit = text.find(find, start)) {
    out.append(text.substr(start, hit - start));
    out.append(replacement);
    start = hit + find.size();
  }
  out.append(text.substr(start));
  return out;
}

}  // namespace

std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement) {
  if (find.empty() || text.find(find) == std::string_view::npos) return std::string(text);
  if (replacement.size() >= find.size()) return ReplaceInOnePass(text, find, replacement);
  if (find.size() == 1 && replacement.empty()) {
    // Removing a character never brings another one into being: a single pass is the same.
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
      if (c != find[0]) out.push_back(c);
    }
    return out;
  }

  // Scanning again from the start after each replacement, done in one pass: the text before a
  // replacement held no occurrence, so the next one found from the start is the first to end in
  // what follows. Characters move one by one into out, which never holds an occurrence; the moment
  // it ends in one, that occurrence is replaced and the replacement is read next. Every replacement
  // shortens the text, so this ends.
  std::string out;
  out.reserve(text.size());
  std::string pending;  // replacement characters still to read, the next one last
  std::size_t next = 0;
  while (!pending.empty() || next < text.size()) {
    if (!pending.empty()) {
      out.push_back(pending.back());
      pending.pop_back();
    } else {
      out.push_back(text[next++]);
    }
    if (out.back() == find.back() && out.size() >= find.size() &&
        std::string_view(out).substr(out.size() - find.size()) == find) {
      out.resize(out.size() - find.size());
      pending.append(replacement.rbegin(), replacement.rend());
    }
  }
  return out;
}

std::string MakeVersionKeyPattern(std::string_view key) {
  if (key.empty()) return {};
  std::string pattern(1, '\x01');
  for (const char c : key) {
    pattern.push_back('\0');
    pattern.push_back(c);
  }
  return pattern;
}

std::string GetCompanyNameFromBytes(std::string_view bytes) {
  constexpr auto npos = std::string_view::npos;
  // Every search below is a plain substring search with a pattern whose first byte occurs in it
  // only once, so none of them can be driven quadratic by near-matches.
  static const std::string wideTable = MakeVersionKeyPattern("StringFileInfo");
  static const std::string wideCompany = MakeVersionKeyPattern("CompanyName");
  static const std::string wideNextKey = MakeVersionKeyPattern("FileDescription");

  std::size_t table = bytes.find(wideTable);
  std::size_t company = npos;
  std::size_t valueOffset = 0;
  std::string_view nextKey;
  if (table == npos) {
    // No wide table: an old executable keeps its keys as 8-bit text, the value 12 bytes after the
    // key's first letter (its 11 letters and their terminator).
    table = bytes.find("StringFileInfo");
    if (table == npos) table = 0;
    company = bytes.find("CompanyName", table);
    valueOffset = 12;
    nextKey = "FileDescription";
  }
  if (company == npos) {
    // Wide entries: type, key, terminator and alignment put the value's two alignment zeros 26 bytes
    // after the type's low byte.
    company = bytes.find(wideCompany, table);
    valueOffset = 26;
    nextKey = wideNextKey;
  }
  if (company == npos) return {};

  const std::size_t start = company + valueOffset;
  std::string_view value;
  const std::size_t end = start <= bytes.size() ? bytes.find(kThreeNuls, start) : npos;
  if (end != npos) value = bytes.substr(start, end - start);
  // An empty wide value is followed directly by the next entry, and an 8-bit value need not be
  // followed by three NULs: then the value ends at the first control character after its start.
  if (end == npos || value.find(nextKey) != npos) {
    for (std::size_t at = start + 1; at <= start + kValueScanLength && at < bytes.size(); ++at) {
      if (static_cast<unsigned char>(bytes[at]) < 32) {
        value = bytes.substr(start, at - start);
        break;
      }
    }
  }
  // Past this the text cannot have come from a version resource; it would only flood the caller.
  if (value.size() > kVersionResourceLimit) value = value.substr(0, kVersionResourceLimit);
  return Latin1ToUtf8(ReplaceAll(value, std::string_view("\0", 1), ""));
}

std::string PriorityNameForClass(std::uint32_t priorityClass) {
  switch (priorityClass) {
    case 64:
      return "Idle";
    case 128:
      return "High";
    case 256:
      return "Real Time";
    default:
      return "Normal";
  }
}

std::string GeneralDateText(std::string_view shortDate, std::string_view longTime, bool midnight) {
  std::string text(shortDate);
  if (!midnight) {
    text += ' ';
    text += longTime;
  }
  return text;
}

}  // namespace corvane
