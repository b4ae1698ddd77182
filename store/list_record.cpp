#include "store/list_record.h"

#include "base/text.h"

namespace corvane {

namespace {

using list_files::kFieldSeparator;

constexpr std::size_t npos = std::string_view::npos;

bool IsCandidate(std::string_view plain, std::size_t at) {
  return plain.substr(at, kFieldSeparator.size()) == kFieldSeparator;
}

void SplitAtCandidate(std::string_view plain, std::size_t at, std::string& left, std::string& right) {
  left.assign(plain.substr(0, at));
  right.assign(plain.substr(at + kFieldSeparator.size()));
}

}  // namespace

std::string ProgramRecord(std::string_view path, std::string_view name) {
  std::string record(path);
  record += kFieldSeparator;
  record += name;
  return record;
}

std::string HotKeyRecord(std::string_view target, std::string_view keyLabel) { return ProgramRecord(target, keyLabel); }

bool SplitProgramRecord(std::string_view plain, std::string& path, std::string& name) {
  // One pass, so that a hostile line of a million carets or blanks costs about its length: the
  // last backslash and the first non-blank after it are followed as the scan goes, and the two
  // sides are compared only when their trimmed lengths agree.
  const std::size_t end = plain.find_last_not_of(' ') + 1;  // 0 for a blank record
  std::size_t candidates = 0;
  std::size_t onlyCandidate = npos;
  std::size_t componentFirst = npos;  // first non-blank after the last backslash, npos: none yet
  bool afterBackslash = true;
  for (std::size_t at = 0; at + kFieldSeparator.size() <= plain.size(); ++at) {
    if (IsCandidate(plain, at)) {
      ++candidates;
      onlyCandidate = at;
      // The last component of the left side, trimmed.
      std::string_view component;
      if (componentFirst != npos) {
        std::size_t componentEnd = at;
        while (componentEnd > componentFirst && plain[componentEnd - 1] == ' ') --componentEnd;
        component = plain.substr(componentFirst, componentEnd - componentFirst);
      }
      // The right side, trimmed.
      std::size_t rightFirst = at + kFieldSeparator.size();
      while (rightFirst < end && plain[rightFirst] == ' ') ++rightFirst;
      const std::string_view right = plain.substr(rightFirst, rightFirst < end ? end - rightFirst : 0);
      if (EqualsNoCase(component, right)) {  // compares only when the lengths agree
        SplitAtCandidate(plain, at, path, name);
        return true;
      }
    }
    const char c = plain[at];
    if (c == '\\') {
      componentFirst = npos;
      afterBackslash = true;
    } else if (afterBackslash && c != ' ') {
      componentFirst = at;
      afterBackslash = false;
    }
  }
  if (candidates != 1) return false;
  SplitAtCandidate(plain, onlyCandidate, path, name);
  return true;
}

bool SplitHotKeyRecord(std::string_view plain, std::string& target, std::string& keyLabel) {
  if (plain.size() < kFieldSeparator.size()) return false;
  for (std::size_t at = plain.size() - kFieldSeparator.size() + 1; at-- > 0;) {
    if (IsCandidate(plain, at)) {
      SplitAtCandidate(plain, at, target, keyLabel);
      return true;
    }
  }
  return false;
}

}  // namespace corvane
