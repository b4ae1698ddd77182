#include "store/list_record.h"

#include <utility>

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

// The start of the last candidate that ends at or before end; npos when there is none.
std::size_t LastCandidateBefore(std::string_view plain, std::size_t end) {
  if (end < kFieldSeparator.size()) return npos;
  for (std::size_t at = end - kFieldSeparator.size() + 1; at-- > 0;) {
    if (IsCandidate(plain, at)) return at;
  }
  return npos;
}

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

bool IsDigits(std::string_view text) {
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// The two-field rule. matchOnly: only a split whose name is its path's end counts.
bool SplitTwoFields(std::string_view plain, std::string& path, std::string& name, bool matchOnly) {
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
  if (matchOnly || candidates != 1) return false;
  SplitAtCandidate(plain, onlyCandidate, path, name);
  return true;
}

}  // namespace

std::string ProgramRecord(std::string_view path, std::string_view name) {
  std::string record(path);
  record += kFieldSeparator;
  record += name;
  return record;
}

std::string ProgramRecord(std::string_view path, std::string_view name, const FileFingerprint& fingerprint) {
  std::string record = ProgramRecord(path, name);
  // Only fields that read back as written: a hash or day of any other form would make the reader
  // take the record for a different one, or skip it.
  const std::string hash = NormalizedSha256(fingerprint.sha256);
  if (hash.empty()) return record;
  record += kFieldSeparator;
  record += hash;
  const std::string day = NormalizedFingerprintDay(fingerprint.storedOn);
  if (!day.empty()) {
    record += kFieldSeparator;
    record += day;
  }
  return record;
}

std::string NormalizedSha256(std::string_view text) {
  std::string hash = TrimSpaces(text);
  if (hash.size() != 64) return {};
  for (const char c : hash) {
    if (!IsHexDigit(c)) return {};
  }
  return ToLowerAscii(hash);
}

std::string FingerprintDay(int year, int month, int day) {
  if (year < 1601 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return {};
  std::string text = std::to_string(year);
  text += month < 10 ? "-0" : "-";
  text += std::to_string(month);
  text += day < 10 ? "-0" : "-";
  text += std::to_string(day);
  return text;
}

std::string NormalizedFingerprintDay(std::string_view text) {
  const std::string day = TrimSpaces(text);
  if (day.size() != 10 || day[4] != '-' || day[7] != '-') return {};
  const std::string_view digits = day;
  if (!IsDigits(digits.substr(0, 4)) || !IsDigits(digits.substr(5, 2)) || !IsDigits(digits.substr(8, 2))) return {};
  return FingerprintDay(std::stoi(day.substr(0, 4)), std::stoi(day.substr(5, 2)), std::stoi(day.substr(8, 2)));
}

bool SplitProgramRecord(std::string_view plain, std::string& path, std::string& name) {
  FileFingerprint ignored;
  return SplitProgramRecord(plain, path, name, ignored);
}

bool SplitProgramRecord(std::string_view plain, std::string& path, std::string& name, FileFingerprint& fingerprint) {
  fingerprint = {};
  // A record without trailing fields reads exactly as it always has.
  if (SplitTwoFields(plain, path, name, /*matchOnly=*/false)) return true;
  // Hashes and days hold no caret, so the last candidates are their separators.
  const std::size_t last = LastCandidateBefore(plain, plain.size());
  if (last == npos) return false;
  const std::size_t beforeLast = LastCandidateBefore(plain, last);
  struct Trailing {
    std::size_t restEnd;
    std::string_view hash;
    std::string_view day;
  };
  Trailing tries[2] = {{last, plain.substr(last + kFieldSeparator.size()), {}}, {npos, {}, {}}};
  std::size_t tryCount = 1;
  if (beforeLast != npos) {
    const std::size_t hashStart = beforeLast + kFieldSeparator.size();
    tries[tryCount++] = {beforeLast, plain.substr(hashStart, last - hashStart), plain.substr(last + kFieldSeparator.size())};
  }
  // Fields of the fingerprint's own form vouch for the separator before them: the rest may then
  // split by either part of the two-field rule.
  for (std::size_t i = 0; i < tryCount; ++i) {
    const Trailing& t = tries[i];
    std::string hash = NormalizedSha256(t.hash);
    std::string day = i == 0 ? std::string() : NormalizedFingerprintDay(t.day);
    if (hash.empty() || (i == 1 && day.empty())) continue;
    if (SplitTwoFields(plain.substr(0, t.restEnd), path, name, /*matchOnly=*/false)) {
      fingerprint = {std::move(hash), std::move(day)};
      return true;
    }
  }
  // Anything else after a path and its own name is a damaged fingerprint: the program stays, the
  // fields that are not valid go. Only when the name holds no separator: otherwise where the name
  // ends and the damage begins is a guess.
  for (std::size_t i = 0; i < tryCount; ++i) {
    const Trailing& t = tries[i];
    std::string restPath;
    std::string restName;
    if (SplitTwoFields(plain.substr(0, t.restEnd), restPath, restName, /*matchOnly=*/true) &&
        restName.find(kFieldSeparator) == std::string::npos) {
      path = std::move(restPath);
      name = std::move(restName);
      fingerprint.sha256 = NormalizedSha256(t.hash);
      if (!fingerprint.sha256.empty()) fingerprint.storedOn = NormalizedFingerprintDay(t.day);
      return true;
    }
  }
  return false;
}

std::string HotKeyRecord(std::string_view target, std::string_view keyLabel) { return ProgramRecord(target, keyLabel); }

bool SplitHotKeyRecord(std::string_view plain, std::string& target, std::string& keyLabel) {
  const std::size_t at = LastCandidateBefore(plain, plain.size());
  if (at == npos) return false;
  SplitAtCandidate(plain, at, target, keyLabel);
  return true;
}

}  // namespace corvane
