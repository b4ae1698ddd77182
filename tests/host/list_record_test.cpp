#include "store/list_record.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>
#include <string>

#include "base/text.h"
#include "process/paths.h"
#include "store/cipher.h"

namespace corvane {
namespace {

struct Split {
  bool ok = false;
  std::string first;
  std::string second;
  bool operator==(const Split&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Split& split) {
  return out << (split.ok ? "{" : "skipped {") << split.first << " | " << split.second << "}";
}

Split Program(std::string_view plain) {
  Split split;
  split.ok = SplitProgramRecord(plain, split.first, split.second);
  return split;
}

Split HotKey(std::string_view plain) {
  Split split;
  split.ok = SplitHotKeyRecord(plain, split.first, split.second);
  return split;
}

// The record the main program writes for a program at path, as it reads back from the file.
Split StoredAndRead(const std::string& path) {
  return Program(DecryptText(EncryptText(ProgramRecord(path, GetFileNameFromPath(path)))));
}

TEST(ProgramRecordSplit, APathOrNameCannotPassForAnotherProgram) {
  // A folder whose name carries the separator and another program's name.
  const std::string folder = "C:\\Users\\me\\Downloads\\^^^^Corvane.exe^^^^\\setup.exe";
  EXPECT_EQ(StoredAndRead(folder), (Split{true, folder, "setup.exe"}));
  // A file name that does.
  const std::string file = "C:\\Games\\x^^^^explorer.exe";
  EXPECT_EQ(StoredAndRead(file), (Split{true, file, "x^^^^explorer.exe"}));
  // Both at once, and the name repeated in the folder.
  const std::string both = "D:\\^^^^a.exe^^^^\\a.exe^^^^\\b^^^^a.exe";
  EXPECT_EQ(StoredAndRead(both), (Split{true, both, "b^^^^a.exe"}));
}

TEST(ProgramRecordSplit, CaretsNextToTheSeparatorOverlapIt) {
  // "a^" then the separator: five carets in a row, two candidates.
  EXPECT_EQ(StoredAndRead("C:\\d\\a^"), (Split{true, "C:\\d\\a^", "a^"}));
  // A name that starts with a caret.
  EXPECT_EQ(StoredAndRead("C:\\d\\^x.exe"), (Split{true, "C:\\d\\^x.exe", "^x.exe"}));
  // Carets only.
  EXPECT_EQ(StoredAndRead("C:\\^^^^^^^"), (Split{true, "C:\\^^^^^^^", "^^^^^^^"}));
  EXPECT_EQ(StoredAndRead("C:\\^^^^\\^"), (Split{true, "C:\\^^^^\\^", "^"}));
}

TEST(ProgramRecordSplit, EveryPathTheMainProgramWritesReadsBackExactly) {
  // Paths built from the characters that matter here: carets, backslashes, blanks, letters in both
  // cases, dots and a non-ASCII letter.
  static const char* const kPieces[] = {"^", "^^^^", "\\", " ", "a", "A", ".exe", "\xC3\xA9", "x"};
  std::mt19937 rng(99);
  std::uniform_int_distribution<size_t> piece(0, std::size(kPieces) - 1);
  for (int i = 0; i < 20000; ++i) {
    std::string path = "C:\\";
    const size_t length = rng() % 12;
    for (size_t j = 0; j < length; ++j) path += kPieces[piece(rng)];
    // Windows takes blanks off the end of a file name; the cipher trims the line's ends.
    while (!path.empty() && path.back() == ' ') path.pop_back();
    const std::string name = GetFileNameFromPath(path);
    ASSERT_EQ(StoredAndRead(path), (Split{true, path, name})) << path;
  }
}

TEST(ProgramRecordSplit, OlderRecordsReadAsBeforeAndDoubtfulOnesAreSkipped) {
  // One separator: split there, whatever the name (older lists, empty paths).
  EXPECT_EQ(Program("C:\\Tools\\a.exe^^^^a.exe"), (Split{true, "C:\\Tools\\a.exe", "a.exe"}));
  EXPECT_EQ(Program("p^^^^other.exe"), (Split{true, "p", "other.exe"}));
  EXPECT_EQ(Program("^^^^only-name.exe"), (Split{true, "", "only-name.exe"}));
  EXPECT_EQ(Program("C:\\p.exe^^^^"), (Split{true, "C:\\p.exe", ""}));
  // The name compares by the comparison rule: blanks around it and letter case do not matter.
  EXPECT_EQ(Program("C:\\^^^^\\Tool.exe^^^^  TOOL.EXE"), (Split{true, "C:\\^^^^\\Tool.exe", "  TOOL.EXE"}));
  // No separator, or several and none of them followed by the path's end: skipped, not guessed.
  EXPECT_FALSE(Program("C:\\no-separator.exe").ok);
  EXPECT_FALSE(Program("").ok);
  EXPECT_FALSE(Program("^^^").ok);
  EXPECT_FALSE(Program("C:\\a^^^^b^^^^c.exe").ok);
  EXPECT_FALSE(Program("p^^^^n.exe^^^^extra").ok);
}

// A hash in the form the allow record keeps.
const std::string kHash = "0123456789abcdef0123456789abcdef0123456789abcdef0123456789abcdef";

struct FingerprintedSplit {
  bool ok = false;
  std::string path;
  std::string name;
  FileFingerprint fingerprint{};
  bool operator==(const FingerprintedSplit&) const = default;
};

std::ostream& operator<<(std::ostream& out, const FingerprintedSplit& split) {
  return out << (split.ok ? "{" : "skipped {") << split.path << " | " << split.name << " | "
             << split.fingerprint.sha256 << " | " << split.fingerprint.storedOn << "}";
}

FingerprintedSplit Fingerprinted(std::string_view plain) {
  FingerprintedSplit split;
  split.ok = SplitProgramRecord(plain, split.path, split.name, split.fingerprint);
  // The reader without fingerprints agrees on path and name.
  Split twoFields = Program(plain);
  EXPECT_EQ(twoFields, (Split{split.ok, split.path, split.name})) << plain;
  return split;
}

TEST(ProgramRecordSplit, AFingerprintFollowsPathAndNameAndOnlyAValidOneIsWritten) {
  const std::string path = "C:\\Tools\\a.exe";
  // Path and name exactly as without it; the hash in lower case, the day after it.
  EXPECT_EQ(ProgramRecord(path, "a.exe", {ToUpperAscii(kHash), "2026-12-09"}),
            ProgramRecord(path, "a.exe") + "^^^^" + kHash + "^^^^2026-12-09");
  EXPECT_EQ(ProgramRecord(path, "a.exe", {kHash, ""}), ProgramRecord(path, "a.exe") + "^^^^" + kHash);
  // A day that is no day is left out; without a valid hash the record is the plain one, day or not.
  EXPECT_EQ(ProgramRecord(path, "a.exe", {kHash, "2026-02-30"}), ProgramRecord(path, "a.exe") + "^^^^" + kHash);
  EXPECT_EQ(ProgramRecord(path, "a.exe", {kHash.substr(1), "2026-12-09"}), ProgramRecord(path, "a.exe"));
  EXPECT_EQ(ProgramRecord(path, "a.exe", {"^^^^x.exe", ""}), ProgramRecord(path, "a.exe"));
  EXPECT_EQ(ProgramRecord(path, "a.exe", {}), ProgramRecord(path, "a.exe"));
}

TEST(ProgramRecordSplit, EveryPathWrittenWithAFingerprintReadsBackExactly) {
  static const char* const kPieces[] = {"^", "^^^^", "\\", " ", "a", "A", ".exe", "\xC3\xA9", "x", "2026-12-09", "0f"};
  std::mt19937 rng(7);
  std::uniform_int_distribution<size_t> piece(0, std::size(kPieces) - 1);
  for (int i = 0; i < 8000; ++i) {
    std::string path = "C:\\";
    const size_t length = rng() % 12;
    for (size_t j = 0; j < length; ++j) path += kPieces[piece(rng)];
    while (!path.empty() && path.back() == ' ') path.pop_back();
    const std::string name = GetFileNameFromPath(path);
    const FileFingerprint fingerprint{kHash, i % 2 == 0 ? "2024-02-29" : ""};
    const std::string stored = EncryptText(ProgramRecord(path, name, fingerprint));
    ASSERT_EQ(Fingerprinted(DecryptText(stored)), (FingerprintedSplit{true, path, name, fingerprint})) << path;
  }
}

TEST(ProgramRecordSplit, RecordsWithoutAFingerprintOrWithADamagedOneKeepTheirProgram) {
  const std::string program = "C:\\x\\a.exe^^^^a.exe";
  const FingerprintedSplit plain{true, "C:\\x\\a.exe", "a.exe", {}};
  // Two fields: no fingerprint, even when the name looks like a hash.
  EXPECT_EQ(Fingerprinted(program), plain);
  EXPECT_EQ(Fingerprinted("C:\\d\\" + kHash + "^^^^" + kHash), (FingerprintedSplit{true, "C:\\d\\" + kHash, kHash, {}}));
  EXPECT_EQ(Fingerprinted("p^^^^" + kHash), (FingerprintedSplit{true, "p", kHash, {}}));
  // Trailing fields that are no hash read as none: too short, too long, not hex, empty, a day alone,
  // a separator inside.
  for (const std::string& tail : {kHash.substr(1), kHash + "0", "g" + kHash.substr(1), std::string(),
                                 std::string("2026-12-09"), std::string("zz^^^^2026-12-09")}) {
    EXPECT_EQ(Fingerprinted(program + "^^^^" + tail), plain) << tail;
  }
  // A valid hash keeps its place when the day after it is damaged; blanks and upper case are a hand
  // edit's and still read.
  EXPECT_EQ(Fingerprinted(program + "^^^^" + kHash + "^^^^2026-13-01"),
            (FingerprintedSplit{true, "C:\\x\\a.exe", "a.exe", {kHash, ""}}));
  EXPECT_EQ(Fingerprinted(program + "^^^^ " + ToUpperAscii(kHash) + " ^^^^ 2026-12-09 "),
            (FingerprintedSplit{true, "C:\\x\\a.exe", "a.exe", {kHash, "2026-12-09"}}));
  // An older record whose name is not its path's end, with a valid fingerprint after it.
  EXPECT_EQ(Fingerprinted("p^^^^other.exe^^^^" + kHash), (FingerprintedSplit{true, "p", "other.exe", {kHash, ""}}));
  // Damaged fields after such a record make it doubtful: skipped, as before.
  EXPECT_FALSE(Fingerprinted("p^^^^other.exe^^^^" + kHash.substr(2)).ok);
  // A name that holds the separator itself, followed by damage: where the name ends is a guess, so
  // the record is skipped; with a sound fingerprint it reads.
  EXPECT_FALSE(Fingerprinted("C:\\d\\b^^^^c.exe^^^^b^^^^c.exe^^^^junk").ok);
  EXPECT_EQ(Fingerprinted("C:\\d\\b^^^^c.exe^^^^b^^^^c.exe^^^^" + kHash),
            (FingerprintedSplit{true, "C:\\d\\b^^^^c.exe", "b^^^^c.exe", {kHash, ""}}));
  // Fields after a program and its own name are its fingerprint, never another program's name.
  EXPECT_EQ(Fingerprinted("C:\\x\\setup.exe^^^^setup.exe^^^^Corvane.exe^^^^" + kHash),
            (FingerprintedSplit{true, "C:\\x\\setup.exe", "setup.exe", {}}));
}

TEST(FingerprintDay, OnlyRealDaysOfTheFileTimeYears) {
  EXPECT_EQ(FingerprintDay(2026, 12, 9), "2026-12-09");
  EXPECT_EQ(FingerprintDay(2024, 2, 29), "2024-02-29");
  EXPECT_EQ(FingerprintDay(2000, 2, 29), "2000-02-29");
  EXPECT_EQ(FingerprintDay(1601, 1, 1), "1601-01-01");
  EXPECT_EQ(FingerprintDay(9999, 12, 31), "9999-12-31");
  for (const auto& [y, m, d] : {std::tuple{2023, 2, 29}, {1900, 2, 29}, {2026, 4, 31}, {2026, 0, 1}, {2026, 13, 1},
                                {2026, 1, 0}, {1600, 12, 31}, {10000, 1, 1}, {-2026, 1, 1}}) {
    EXPECT_EQ(FingerprintDay(y, m, d), "") << y << "-" << m << "-" << d;
  }
  EXPECT_EQ(NormalizedFingerprintDay(" 2026-12-09 "), "2026-12-09");
  for (const char* text : {"2026-1-09", "2026/12/09", "+026-12-09", "2026-12-9 ", "20261209", "2026-12-09x", ""}) {
    EXPECT_EQ(NormalizedFingerprintDay(text), "") << text;
  }
  EXPECT_EQ(NormalizedSha256(" " + ToUpperAscii(kHash) + " "), kHash);
}

TEST(HotKeyRecordSplit, TheLabelFollowsTheLastSeparator) {
  EXPECT_EQ(HotKey(HotKeyRecord("C:\\doc.txt", "Ctrl + Shift + 7")), (Split{true, "C:\\doc.txt", "Ctrl + Shift + 7"}));
  // Carets in the target, also right before the separator.
  for (const std::string target : {"C:\\x^^^^", "C:\\^^^^Ctrl + Shift + Q^^^^\\a.txt", "C:\\a^", "^^^^"}) {
    EXPECT_EQ(HotKey(HotKeyRecord(target, "Ctrl + Shift + A")), (Split{true, target, "Ctrl + Shift + A"})) << target;
  }
  EXPECT_EQ(HotKey("^^^^Ctrl + Shift + B"), (Split{true, "", "Ctrl + Shift + B"}));
  EXPECT_FALSE(HotKey("C:\\no separator").ok);
  EXPECT_FALSE(HotKey("^^^").ok);
}

TEST(ProgramRecordSplit, HostileLinesCostAboutTheirLength) {
  // A million carets, and a long blank folder name before a long run of carets: a split that
  // compared every candidate in full would not finish.
  // (An odd count: with an even one, the middle candidate splits carets from equal carets.)
  EXPECT_FALSE(Program(std::string((1 << 20) + 1, '^')).ok);
  EXPECT_EQ(Program(std::string(12, '^')), (Split{true, "^^^^", "^^^^"}));
  EXPECT_FALSE(Program("C:\\" + std::string(1 << 19, ' ') + std::string(1 << 19, '^') + "x").ok);
  const std::string deep = "C:\\" + std::string(1 << 19, 'a') + std::string(1 << 19, '^');
  EXPECT_FALSE(Program(deep).ok);
  EXPECT_TRUE(HotKey(std::string(1 << 20, '^') + "Ctrl + Shift + A").ok);
}

}  // namespace
}  // namespace corvane
