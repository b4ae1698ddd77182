#include "base/text.h"

#include <charconv>

namespace corvane {

std::string TrimSpaces(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

namespace {
char UpperChar(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
char LowerChar(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

std::string ToUpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperChar(c);
  return out;
}

std::string ToLowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = LowerChar(c);
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (UpperChar(a[i]) != UpperChar(b[i])) return false;
  }
  return true;
}

bool SameNameOrPath(std::string_view a, std::string_view b) {
  return EqualsNoCase(TrimSpaces(a), TrimSpaces(b));
}

std::string ComparisonKey(std::string_view text) { return ToUpperAscii(TrimSpaces(text)); }

std::vector<std::string> SplitAt(std::string_view text, std::string_view separator) {
  std::vector<std::string> fields;
  if (separator.empty()) {
    fields.emplace_back(text);
    return fields;
  }
  size_t start = 0;
  for (;;) {
    const size_t hit = text.find(separator, start);
    if (hit == std::string_view::npos) {
      fields.emplace_back(text.substr(start));
      return fields;
    }
    fields.emplace_back(text.substr(start, hit - start));
    start = hit + separator.size();
  }
}

bool ParseInt32(std::string_view text, int& value) {
  const std::string trimmed = TrimSpaces(text);
  std::string_view digits = trimmed;
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  if (digits.empty()) return false;
  int parsed = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), parsed);
  if (error != std::errc() || end != digits.data() + digits.size()) return false;
  value = parsed;
  return true;
}

}  // namespace corvane
