#include "watch/allowed_file_checks.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
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
  struct Request {
    std::string path;
    ProcessIdentity process;
    std::optional<KnownHash> known;
  };
  void RequestLook(const std::string& path, const ProcessIdentity& process,
                   const std::optional<KnownHash>& known) override {
    queue.push_back({path, process, known});
  }
  std::deque<Request> queue;
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
    lists.Allow(name, path);
    lists.SetAllowFingerprint(name, path, {sha256, day});
  }
  // proven: the file system keeps a change number for it (0: none, as under Wine).
  void OnDisk(const std::string& path, const std::string& sha256, std::uint64_t changeNumber = 1,
              bool locked = false) {
    hasher.files[path] = {{1, 0, 42, changeNumber}, sha256, locked};
  }
  // Starts the programs anew (new processes, each under an id and creation time of its own) and
  // judges them in one tick.
  void Run(std::initializer_list<std::string> paths) {
    processes.processes.clear();
    for (const std::string& p : paths) {
      processes.Add(nextId, p.substr(p.find_last_of('\\') + 1), p, 1, 1);
      created[nextId] = nextId * 10;
      ++nextId;
    }
    Pass();
  }
  // Another tick over the same processes.
  void Pass() {
    RunningProcesses now;
    for (const auto& p : processes.processes) now.push_back({p.id, p.exeFile, p.fullPath, 1, 1, created[p.id]});
    inspector.InspectNewPrograms(now);
  }
  // The worker's answers, as the owner's thread receives them.
  void AnswerAll() {
    while (!hashing.queue.empty()) {
      const QueuedHashing::Request request = hashing.queue.front();
      hashing.queue.pop_front();
      checks.OnLooked(request.path, request.process, hasher.LookAtFile(request.path, request.process, request.known));
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
  std::uint32_t nextId = 100;
  std::map<std::uint32_t, std::uint64_t> created;
  AllowedFileChecks checks{lists, running, hashing, [] { return std::string(kToday); },
                           [this] { ++listChanges; }};
  NewProgramInspector inspector{lists, running, settings, processes, speaker, ui, {}, {}};
};

TEST_F(AllowedFileChecksTest, AReplacedFileIsAskedAboutAtTheNextTickAndAllowStoresItsHash) {
  Allowed(kTool, kAllowed);
  OnDisk(kTool, kReplaced);
  // While the look is on its way the program passes as allowed, as it would without the check.
  Run({kTool});
  EXPECT_TRUE(ui.alerts.empty());
  EXPECT_TRUE(running.IsInRunningProgramList("tool.exe", kTool));
  AnswerAll();
  EXPECT_FALSE(running.IsInRunningProgramList("tool.exe", kTool));
  EXPECT_EQ(listChanges, 1);

  Pass();
  ASSERT_EQ(ui.alerts.size(), 1u);
  EXPECT_TRUE(ui.alerts[0].fileChanged);
  EXPECT_EQ(ui.alerts[0].allowedOn, "2026-03-04");
  AnswerAll();
  // Allowed again: still one entry, now with the new file and today; the proven version spared a
  // second reading.
  EXPECT_EQ(lists.allowList().size(), 1u);
  EXPECT_EQ(Stored(kTool), (FileFingerprint{kReplaced, kToday}));
  EXPECT_EQ(DecryptText(files.Content(kAllowFile).substr(0, files.Content(kAllowFile).size() - 2)),
            std::string(kTool) + "^^^^tool.exe^^^^" + kReplaced + "^^^^" + kToday);
  EXPECT_EQ(hasher.hashes, 1);
  // The answered process is not asked about again; a later start of the untouched file is looked
  // at and passes without a reading.
  Pass();
  Run({kTool});
  AnswerAll();
  Pass();
  EXPECT_EQ(ui.alerts.size(), 1u);
  EXPECT_EQ(hasher.hashes, 1);
}

TEST_F(AllowedFileChecksTest, ContentsPutBackUnderTheOldSizeAndTimesOrAnotherFileRunningAreAskedAbout) {
  Allowed(kTool, kAllowed);
  OnDisk(kTool, kAllowed, /*changeNumber=*/0);  // no proof of the version: every start is read
  Run({kTool});
  AnswerAll();
  // Rewritten in place, sizes and times put back: nothing on the outside tells, the reading does.
  OnDisk(kTool, kReplaced, 0);
  Run({kTool});
  AnswerAll();
  EXPECT_EQ(hasher.hashes, 2);
  Pass();
  ASSERT_EQ(ui.alerts.size(), 1u);
  EXPECT_TRUE(ui.alerts[0].fileChanged);

  // A second start while the first runs on: the second runs a file renamed away since, the path
  // holding the allowed one again. Only the second is asked about.
  ui.alerts.clear();
  OnDisk(kTool, kAllowed, 0);
  Run({kTool});
  AnswerAll();
  processes.Add(nextId, "tool.exe", kTool, 1, 1);
  created[nextId] = 5;
  hasher.runsOtherFile.insert(nextId++);
  Pass();
  AnswerAll();
  Pass();
  ASSERT_EQ(ui.alerts.size(), 1u);
  EXPECT_EQ(ui.alerts[0].processId, nextId - 1);
}

TEST_F(AllowedFileChecksTest, AReplacedFileThatIsBlockedOrLeftUnansweredIsJudgedLikeANewProgram) {
  Allowed(kTool, kAllowed, "");
  OnDisk(kTool, kReplaced);
  Run({kTool});
  AnswerAll();
  ui.answer = AlertDecision::Undecided;
  Pass();
  ASSERT_EQ(ui.alerts.size(), 1u);
  EXPECT_EQ(ui.alerts[0].allowedOn, "");  // an allowance without its day
  EXPECT_FALSE(running.IsInRunningProgramList("tool.exe", kTool));
  ui.answer = AlertDecision::Block;
  Pass();
  ASSERT_EQ(ui.alerts.size(), 2u);
  EXPECT_TRUE(ui.alerts[1].fileChanged);
  ASSERT_EQ(lists.blockList().size(), 1u);
  EXPECT_EQ(processes.terminated, (std::vector<std::uint32_t>{100}));
  // The allowance keeps what it had: the block list goes first from now on.
  EXPECT_EQ(Stored(kTool).sha256, kAllowed);
}

TEST_F(AllowedFileChecksTest, SameFilesPassUnreadableOrMissingOnesAreAskedAboutAndOldAllowancesTakeTheHash) {
  const std::string same = "C:\\Apps\\same.exe", old = "C:\\Apps\\old.exe", locked = "C:\\Apps\\locked.exe",
                    lockedOld = "C:\\Apps\\lockedold.exe", gone = "C:\\Apps\\gone.exe";
  Allowed(same, kAllowed);
  Allowed(old, "", "");
  Allowed(locked, kAllowed);
  Allowed(lockedOld, "", "");
  Allowed(gone, kAllowed);
  OnDisk(same, kAllowed);
  OnDisk(old, kReplaced);
  OnDisk(locked, kAllowed, 1, /*locked=*/true);
  OnDisk(lockedOld, kAllowed, 1, /*locked=*/true);
  Run({same, old, locked, lockedOld, gone});
  AnswerAll();
  EXPECT_EQ(Stored(old), (FileFingerprint{kReplaced, kToday}));
  EXPECT_EQ(Stored(same), (FileFingerprint{kAllowed, "2026-03-04"}));
  // What cannot be shown to be the allowed file is asked about: held open by someone, or nothing at
  // the path. An allowance without a hash has nothing to compare with: it passes.
  Pass();
  ASSERT_EQ(ui.alerts.size(), 2u);
  EXPECT_EQ(ui.alerts[0].path, locked);
  EXPECT_EQ(ui.alerts[1].path, gone);
  EXPECT_TRUE(running.IsInRunningProgramList("lockedold.exe", lockedOld));
}

TEST_F(AllowedFileChecksTest, AnAllowanceGivenNowRecordsItsFileOnceTheLookComes) {
  OnDisk(kTool, kAllowed);
  Run({kTool});
  ASSERT_EQ(ui.alerts.size(), 1u);
  EXPECT_FALSE(ui.alerts[0].fileChanged);
  EXPECT_EQ(Stored(kTool), FileFingerprint{});
  // Asked for again before the answer: one request.
  checks.RecordAllowed("tool.exe", kTool);
  EXPECT_EQ(hashing.queue.size(), 1u);
  AnswerAll();
  EXPECT_EQ(Stored(kTool), (FileFingerprint{kAllowed, kToday}));
  EXPECT_TRUE(running.IsInRunningProgramList("tool.exe", kTool));

  // A move to the allow list stores the hash too, once it comes.
  lists.Allow("tool2.exe", "C:\\Apps\\tool2.exe");
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
  Run({kTool});
  EXPECT_TRUE(hashing.queue.empty());
  EXPECT_TRUE(running.IsInRunningProgramList("tool.exe", kTool));
  EXPECT_FALSE(running.entries()[0].unjudged);
}

}  // namespace
}  // namespace corvane::watch
