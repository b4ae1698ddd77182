#include "watch/allowed_file_checks.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <utility>

#include "store/cipher.h"
#include "tests/fakes/fake_file_hasher.h"
#include "tests/fakes/program_fakes.h"
#include "watch/new_program_decision.h"

namespace corvane::watch {
namespace {

const std::string kAllowed(64, 'a');
const std::string kReplaced(64, 'b');
constexpr const char* kToday = "2026-12-09";
constexpr const char* kTool = "C:\\Apps\\tool.exe";
constexpr const char* kAllowFile = "C:\\Corvane\\midmo.ocx";

// Keeps requests until the test answers them, as the worker thread's messages would come later.
class QueuedHashing final : public HashRequests {
 public:
  void RequestHash(const std::string& path, const FileVersion& version) override { queue.emplace_back(path, version); }
  std::deque<std::pair<std::string, FileVersion>> queue;
  int asked = 0;
};

class AnswerUi final : public DecisionUi {
 public:
  AlertDecision ShowAlert(const AlertRequest& request) override {
    alerts.push_back(request);
    return answer;
  }
  ConfirmAnswer Confirm(std::string_view) override { return ConfirmAnswer::No; }
  void Inform(std::string_view) override {}
  AlertDecision answer = AlertDecision::Allow;
  std::vector<AlertRequest> alerts;
};

class AllowedFileChecksTest : public ::testing::Test, protected testing::ProgramFakes {
 protected:
  AllowedFileChecksTest() { inspector.AttachFileChecks(&checks); }

  void Allowed(const std::string& path, const std::string& sha256, const std::string& day = "2026-03-04") {
    const std::string name = path.substr(path.find_last_of('\\') + 1);
    lists.allowList().push_back({name, path, {sha256, day}});
  }
  void OnDisk(const std::string& path, const std::string& sha256, std::uint64_t time = 1, bool locked = false) {
    hasher.files[path] = {{4096, time}, sha256, locked};
  }
  // One tick's judging over the programs that run now, each under its own id.
  void Pass(std::initializer_list<const char*> paths) {
    RunningProcesses now;
    processes.processes.clear();
    std::uint32_t id = 100;
    for (const char* path : paths) {
      const std::string p(path);
      processes.Add(id, p.substr(p.find_last_of('\\') + 1), p, 1, 1);
      now.push_back({id++, p.substr(p.find_last_of('\\') + 1), p, 1, 1});
    }
    inspector.InspectNewPrograms(now);
  }
  // The worker's answers, as the owner's thread receives them.
  void AnswerAll() {
    while (!hashing.queue.empty()) {
      auto [path, version] = hashing.queue.front();
      hashing.queue.pop_front();
      ++hashing.asked;
      checks.OnHashed(path, version, HashUnchangedFile(hasher, path, version));
    }
  }
  FileFingerprint Stored(const std::string& path) {
    const ProgramListEntry* entry = lists.FindAllowEntry(path.substr(path.find_last_of('\\') + 1), path);
    return entry == nullptr ? FileFingerprint{} : entry->fingerprint;
  }

  testing::FakeFileHasher hasher;
  QueuedHashing hashing;
  RunningProgramList running;
  AnswerUi ui;
  int listChanges = 0;
  AllowedFileChecks checks{lists, running, hasher, hashing, [] { return std::string(kToday); },
                           [this] { ++listChanges; }};
  NewProgramInspector inspector{lists, running, settings, processes, speaker, ui, {}, {}};
};

TEST_F(AllowedFileChecksTest, AReplacedFileIsAskedAboutAtTheNextTickAndAllowStoresItsHash) {
  Allowed(kTool, kAllowed);
  OnDisk(kTool, kReplaced);
  // While the hash is on its way the program passes as allowed, as it would without the check.
  Pass({kTool});
  EXPECT_TRUE(ui.alerts.empty());
  EXPECT_TRUE(running.IsInRunningProgramList("tool.exe", kTool));
  AnswerAll();
  EXPECT_FALSE(running.IsInRunningProgramList("tool.exe", kTool));
  EXPECT_EQ(listChanges, 1);

  Pass({kTool});
  ASSERT_EQ(ui.alerts.size(), 1u);
  EXPECT_TRUE(ui.alerts[0].fileChanged);
  EXPECT_EQ(ui.alerts[0].allowedOn, "2026-03-04");
  // Allowed again: still one entry, now with the new file and today; no second hashing.
  EXPECT_EQ(lists.allowList().size(), 1u);
  EXPECT_EQ(Stored(kTool), (FileFingerprint{kReplaced, kToday}));
  EXPECT_EQ(DecryptText(files.Content(kAllowFile).substr(0, files.Content(kAllowFile).size() - 2)),
            std::string(kTool) + "^^^^tool.exe^^^^" + kReplaced + "^^^^" + kToday);
  EXPECT_TRUE(hashing.queue.empty());
  EXPECT_EQ(hasher.hashes, 1);

  // Started again later, the file untouched: it passes, from the cache.
  running.Clear();
  Pass({kTool});
  EXPECT_EQ(ui.alerts.size(), 1u);
  EXPECT_TRUE(hashing.queue.empty());
}

TEST_F(AllowedFileChecksTest, AReplacedFileThatIsBlockedOrLeftUnansweredIsJudgedLikeANewProgram) {
  Allowed(kTool, kAllowed, "");
  OnDisk(kTool, kReplaced);
  Pass({kTool});
  AnswerAll();
  ui.answer = AlertDecision::Undecided;
  Pass({kTool});
  ASSERT_EQ(ui.alerts.size(), 1u);
  EXPECT_EQ(ui.alerts[0].allowedOn, "");  // an allowance without its day
  EXPECT_FALSE(running.IsInRunningProgramList("tool.exe", kTool));
  ui.answer = AlertDecision::Block;
  Pass({kTool});
  ASSERT_EQ(ui.alerts.size(), 2u);
  EXPECT_TRUE(ui.alerts[1].fileChanged);
  ASSERT_EQ(lists.blockList().size(), 1u);
  EXPECT_EQ(processes.terminated, (std::vector<std::uint32_t>{100}));
  // The allowance keeps what it had: the block list goes first from now on.
  EXPECT_EQ(Stored(kTool).sha256, kAllowed);
}

TEST_F(AllowedFileChecksTest, SameFilesPassUnreadableOnesAreLookedAtAgainAndOldAllowancesTakeTheHash) {
  const std::string same = "C:\\Apps\\same.exe", old = "C:\\Apps\\old.exe", locked = "C:\\Apps\\locked.exe",
                    gone = "C:\\Apps\\gone.exe";
  Allowed(same, kAllowed);
  Allowed(old, "", "");
  Allowed(locked, kAllowed);
  Allowed(gone, kAllowed);
  OnDisk(same, kAllowed);
  OnDisk(old, kReplaced);
  OnDisk(locked, kReplaced, 1, /*locked=*/true);
  Pass({same.c_str(), old.c_str(), locked.c_str(), gone.c_str()});
  EXPECT_EQ(hashing.queue.size(), 3u);  // nothing to ask about a file that is not there
  AnswerAll();
  EXPECT_TRUE(ui.alerts.empty());
  EXPECT_EQ(running.size(), 4u);
  EXPECT_EQ(Stored(old), (FileFingerprint{kReplaced, kToday}));
  EXPECT_EQ(Stored(same), (FileFingerprint{kAllowed, "2026-03-04"}));
  EXPECT_EQ(Stored(locked).sha256, kAllowed);

  // Started again: the readable ones come from the cache; the unreadable one is read again, and
  // once it can be read its change is found.
  running.Clear();
  hasher.files[locked].locked = false;
  Pass({same.c_str(), old.c_str(), locked.c_str()});
  ASSERT_EQ(hashing.queue.size(), 1u);
  EXPECT_EQ(hashing.queue.front().first, locked);
  AnswerAll();
  Pass({locked.c_str()});
  ASSERT_EQ(ui.alerts.size(), 1u);
  EXPECT_EQ(ui.alerts[0].path, locked);
}

TEST_F(AllowedFileChecksTest, AnAllowanceGivenNowRecordsItsFileOnceTheHashComes) {
  OnDisk(kTool, kAllowed);
  Pass({kTool});
  ASSERT_EQ(ui.alerts.size(), 1u);
  EXPECT_FALSE(ui.alerts[0].fileChanged);
  EXPECT_EQ(Stored(kTool), FileFingerprint{});
  // The same program met by another look before the answer: one request.
  checks.LookAtAllowed("tool.exe", kTool);
  EXPECT_EQ(hashing.queue.size(), 1u);
  AnswerAll();
  EXPECT_EQ(Stored(kTool), (FileFingerprint{kAllowed, kToday}));
  EXPECT_TRUE(running.IsInRunningProgramList("tool.exe", kTool));

  // A move to the allow list stores the hash too, once it comes.
  lists.allowList().push_back({"tool2.exe", "C:\\Apps\\tool2.exe"});
  OnDisk("C:\\Apps\\tool2.exe", kReplaced);
  checks.RecordAllowed("tool2.exe", "C:\\Apps\\tool2.exe");
  EXPECT_EQ(Stored("C:\\Apps\\tool2.exe"), FileFingerprint{});
  AnswerAll();
  EXPECT_EQ(Stored("C:\\Apps\\tool2.exe"), (FileFingerprint{kReplaced, kToday}));
}

TEST_F(AllowedFileChecksTest, AllowAllLooksAtNoFile) {
  settings.values["mnuMainNormal"] = "False";
  Allowed(kTool, kAllowed);
  OnDisk(kTool, kReplaced);
  Pass({kTool});
  EXPECT_TRUE(hashing.queue.empty());
  EXPECT_TRUE(running.IsInRunningProgramList("tool.exe", kTool));
  EXPECT_FALSE(running.entries()[0].unjudged);
}

}  // namespace
}  // namespace corvane::watch
