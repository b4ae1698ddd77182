#pragma once
// The plain records of the list files and how both programs split them into their fields.
//
// Allow and block records are path + "^^^^" + name, hot-key records target + "^^^^" + key label.
// "^" is legal in file names, so a path or a name may itself hold "^^^^", and the first separator
// is not always the real one: "C:\^^^^x.exe^^^^\setup.exe^^^^setup.exe" must not read as the
// program "x.exe". The name a program writes is always the last component of its path, and that
// is what identifies the real separator.
//
// An allow record may go on with the file's fingerprint: "^^^^" + its SHA-256 as 64 lower-case hex
// digits, then optionally "^^^^" + the day that hash was stored, as YYYY-MM-DD. Path and name stay
// exactly as in a record without it, and every reader of allow or block records (both programs)
// takes either form. A build from before fingerprints skips a record that carries one.
#include <string>
#include <string_view>

namespace corvane {

namespace list_files {
inline constexpr std::string_view kFieldSeparator = "^^^^";
}  // namespace list_files

// What an allow record may carry after path and name. Empty texts: nothing known.
struct FileFingerprint {
  std::string sha256;    // 64 lower-case hex digits
  std::string storedOn;  // the day the hash was stored, YYYY-MM-DD
  bool operator==(const FileFingerprint&) const = default;
};

// text trimmed of blanks when it is 64 hex digits, in lower case; empty otherwise.
std::string NormalizedSha256(std::string_view text);
// text trimmed of blanks when it is a day of the years 1601 to 9999 as YYYY-MM-DD; empty otherwise.
std::string NormalizedFingerprintDay(std::string_view text);
// The day as YYYY-MM-DD; empty when there is no such day in the years 1601 to 9999.
std::string FingerprintDay(int year, int month, int day);

// The plain records the callers pass to AppendListLine.
std::string ProgramRecord(std::string_view path, std::string_view name);  // path^^^^name
// path^^^^name, then ^^^^hash and ^^^^day when the fingerprint holds a valid hash (and day); a
// fingerprint without a valid hash writes exactly ProgramRecord(path, name).
std::string ProgramRecord(std::string_view path, std::string_view name, const FileFingerprint& fingerprint);
std::string HotKeyRecord(std::string_view target, std::string_view keyLabel);

// Splits an allow or block record. Every position where "^^^^" starts is a candidate (overlapping
// ones too). The split is at the first candidate whose right side equals, by the comparison rule,
// the text after the last backslash of its left side. When none does but there is exactly one
// candidate, the record splits there (older records whose name is not the path's end, such as one
// with an empty path). Otherwise the record is ambiguous or has no separator: false, and it must be
// skipped, never guessed at.
//
// A record that does not split so is tried as one with a fingerprint: the text after the last
// candidate (and then the two last) is taken as the trailing fields when the rest splits with its
// name equal to its path's end, or when the fields are a valid hash (and day) and the rest splits by
// the rule above. Trailing fields that are no valid hash or day read as none: the record keeps its
// path and name, without a fingerprint, when that name holds no separator (else it is skipped).
bool SplitProgramRecord(std::string_view plain, std::string& path, std::string& name);
bool SplitProgramRecord(std::string_view plain, std::string& path, std::string& name, FileFingerprint& fingerprint);

// Splits a hot-key record at its last candidate: key labels never hold "^". False when it has none.
bool SplitHotKeyRecord(std::string_view plain, std::string& target, std::string& keyLabel);

}  // namespace corvane
