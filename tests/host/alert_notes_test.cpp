#include "ui/alert_notes.h"
#include "ui/alert_texts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/fakes/fake_process_facts.h"

namespace corvane::ui {
namespace {

TEST(AlertNotes, AChangedFileAndAHeldProgramEachGetTheirLine) {
  watch::AlertRequest request{42, "tool.exe", "C:\\Apps\\tool.exe", 3, 1};
  // An ordinary new program that is not held: nothing extra.
  EXPECT_TRUE(AlertNoteLines(request).empty());
  // A hold that was refused is never called a pause.
  request.hold = watch::HoldState::CouldNotHold;
  EXPECT_EQ(AlertNoteLines(request), (std::vector<std::string>{std::string(kNotHeldNote)}));
  request.hold = watch::HoldState::Held;
  EXPECT_EQ(AlertNoteLines(request), (std::vector<std::string>{"This program is paused until you decide."}));
  // The change comes first; the day is written out so that day and month cannot be mistaken.
  request.fileChanged = true;
  request.allowedOn = "2026-03-04";
  EXPECT_EQ(AlertNoteLines(request), (std::vector<std::string>{"This file has changed since you allowed it on 4 March 2026.",
                                                                "This program is paused until you decide."}));
  EXPECT_EQ(FileChangedNote("2026-12-31"), "This file has changed since you allowed it on 31 December 2026.");
  // No day stored, or a damaged one: the sentence without it.
  for (const char* day : {"", "2026-02-30", "yesterday"}) {
    EXPECT_EQ(FileChangedNote(day), "This file has changed since you allowed it.") << day;
  }
}

TEST(AlertTexts, TheWindowShowsTheRecordedProcessAndItsDetailsReportThatProcess) {
  testing::FakeProcessFacts facts;
  facts.files["C:\\Apps\\tool.exe"].created = "09.12.2026 10:00";
  watch::AlertRequest request{42, "tool.exe", "C:\\Apps\\tool.exe", 3, 7};
  AlertTexts texts = BuildAlertTexts(request, facts);
  EXPECT_EQ(texts.processId, "42");
  EXPECT_EQ(texts.created, "09.12.2026 10:00");
  EXPECT_EQ(texts.notes, "");
  EXPECT_EQ(texts.noteLines, 0);
  // The notes one under the other, in their order.
  request.fileChanged = true;
  request.hold = watch::HoldState::Held;
  texts = BuildAlertTexts(request, facts);
  EXPECT_EQ(texts.notes, FileChangedNote("") + "\n" + std::string(kHeldNote));
  EXPECT_EQ(texts.noteLines, 2);
  // The details go by what was recorded at detection, the parent as its id.
  const ProcessReportInput input = AlertDetailsInput(request);
  EXPECT_EQ(input.path, request.path);
  EXPECT_EQ(input.processId, 42u);
  EXPECT_EQ(input.threads, 3u);
  EXPECT_EQ(input.parent, "7");
}

}  // namespace
}  // namespace corvane::ui
