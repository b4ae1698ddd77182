#include "ui/process_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "process/module_list.h"
#include "tests/fakes/fake_process_facts.h"

namespace corvane {
namespace {

using testing::FakeProcessFacts;
using ui::BuildProcessReport;
using ui::ProcessReport;
using ui::ProcessReportInput;
using ui::ReportLine;

std::vector<std::string> Texts(const ProcessReport& report) {
  std::vector<std::string> texts;
  for (const ReportLine& line : report.lines) texts.push_back(line.text);
  return texts;
}

constexpr const char* kPath = "C:\\Tools\\sleeper.exe";

class ProcessReportTest : public ::testing::Test {
 protected:
  ProcessReportTest() {
    facts.files[kPath] = {"51200", "Corvane Test Makers", "3/4/2021 10:15:00 AM", "5/6/2022"};
    facts.makers["ntdll.dll"] = "Microsoft Corporation";
    facts.makers["kernel32.dll"] = "Microsoft Corporation";
  }
  FakeProcessFacts facts;
};

TEST_F(ProcessReportTest, RunningProcessWithThreeModules) {
  testing::FakeProcessFigures& figures = facts.processes[1234];
  figures.modules = JoinModuleList({"sleeper.exe", "ntdll.dll", "kernel32.dll", "helper.dll"});
  figures.priority = "High";
  figures.peakMemory = "12,352";
  figures.memory = "9,001";
  figures.pageFile = 2000;
  figures.peakPageFile = 2100;
  figures.pageFaults = 4711;

  const ProcessReport report = BuildProcessReport({kPath, "sleeper.exe", "88", 1234, 3}, facts);

  EXPECT_EQ(report.caption, "sleeper details");
  EXPECT_EQ(report.headline, "Detail for sleeper.exe");
  EXPECT_FALSE(report.notRunning);
  EXPECT_EQ(Texts(report), (std::vector<std::string>{
                               "Process ID: 1234",
                               "Location: C:\\Tools\\sleeper.exe",
                               "Size: 51200 bytes",
                               "Company Name: Corvane Test Makers",
                               "Created On: 3/4/2021 10:15:00 AM",
                               "Modified On: 5/6/2022",
                               "Total Dlls Used: 3",
                               "Parent Process ID: 88",
                               "Priority: High",
                               "Threads: 3",
                               "Peak Memory Usage: 12,352 K",
                               "Memory Usage: 9,001 K",
                               "Page File Usage: 2000 K",
                               "Peak Page File Usage: 2100 K",
                               // The raw count, with the unit all the same.
                               "Page Fault: 4711 K",
                           }));
  ASSERT_EQ(report.lines.size(), ui::kReportLineCount);
  // The module entries keep the blanks the split leaves them, followed by their maker.
  EXPECT_EQ(report.lines[ui::kModuleLineIndex].children,
            (std::vector<std::string>{"ntdll.dll , Created by: Microsoft Corporation",
                                      " kernel32.dll , Created by: Microsoft Corporation",
                                      " helper.dll, Created by: Not Available"}));
  for (std::size_t i = 0; i < report.lines.size(); ++i) {
    if (i != ui::kModuleLineIndex) {
      EXPECT_TRUE(report.lines[i].children.empty()) << report.lines[i].text;
    }
  }
}

TEST_F(ProcessReportTest, ProgramThatIsNotRunning) {
  // A listed program whose file is gone: every line stays, with empty or zero values.
  const ProcessReport report = BuildProcessReport({"C:\\Gone\\old.exe", "old.exe", "0", 0, 0}, facts);

  EXPECT_TRUE(report.notRunning);
  EXPECT_EQ(Texts(report), (std::vector<std::string>{
                               "Process ID: 0",
                               "Location: C:\\Gone\\old.exe",
                               "Size:  bytes",
                               "Company Name: ",
                               "Created On: ",
                               "Modified On: ",
                               "Total Dlls Used: 0",
                               "Parent Process ID: 0",
                               "Priority: Normal",
                               "Threads: 0",
                               "Peak Memory Usage: 0 K",
                               "Memory Usage: 0 K",
                               "Page File Usage: 0 K",
                               "Peak Page File Usage: 0 K",
                               "Page Fault: 0 K",
                           }));
  EXPECT_TRUE(report.lines[ui::kModuleLineIndex].children.empty());
  EXPECT_TRUE(facts.makerQuestions.empty());
}

TEST_F(ProcessReportTest, NotRunningNoteNeedsParentZeroAndNoProcess) {
  const auto note = [&](std::string parent, std::uint32_t id) {
    return BuildProcessReport({kPath, "sleeper.exe", std::move(parent), id, 0}, facts).notRunning;
  };
  EXPECT_TRUE(note("0", 0));
  EXPECT_TRUE(note("  0 ", 0));  // the parent text is trimmed
  EXPECT_FALSE(note("0", 1234));
  EXPECT_FALSE(note("4", 0));
  EXPECT_FALSE(note("", 0));
}

TEST_F(ProcessReportTest, BlankModuleEntriesAreCountedButNotShown) {
  facts.processes[50].modules = "a.dll ^^  ^^ b.dll ^^ ";
  const ReportLine line = BuildProcessReport({kPath, "sleeper.exe", "4", 50, 1}, facts).lines[ui::kModuleLineIndex];
  EXPECT_EQ(line.text, "Total Dlls Used: 4");
  EXPECT_EQ(line.children, (std::vector<std::string>{"a.dll , Created by: Not Available",
                                                     " b.dll , Created by: Not Available"}));

  // A list of blanks alone is no list.
  facts.processes[50].modules = "   ";
  const ReportLine none = BuildProcessReport({kPath, "sleeper.exe", "4", 50, 1}, facts).lines[ui::kModuleLineIndex];
  EXPECT_EQ(none.text, "Total Dlls Used: 0");
  EXPECT_TRUE(none.children.empty());
}

TEST(DetailsCaption, NameUpToItsLastDot) {
  EXPECT_EQ(ui::DetailsCaption("notepad.exe"), "notepad details");
  EXPECT_EQ(ui::DetailsCaption("setup.v2.exe"), "setup.v2 details");
  EXPECT_EQ(ui::DetailsCaption("trailing."), "trailing details");
  // Without a dot the window keeps its design caption.
  EXPECT_EQ(ui::DetailsCaption("notepad"), "Detail Information");
  EXPECT_EQ(ui::DetailsCaption(""), "Detail Information");
}

TEST(JoinModuleList, SkipsTheExecutableAndJoinsTheRest) {
  EXPECT_EQ(JoinModuleList({"app.exe", "ntdll.dll", "kernel32.dll"}), "ntdll.dll ^^ kernel32.dll");
  // Trailing blanks of a name go; only the executable, or nothing, is no list.
  EXPECT_EQ(JoinModuleList({"app.exe", "ntdll.dll  "}), "ntdll.dll");
  EXPECT_EQ(JoinModuleList({"app.exe"}), "");
  EXPECT_EQ(JoinModuleList({}), "");
}

TEST(JoinModuleList, UnreadableNamesLeaveBlankEntriesOnlyAfterTheFirstName) {
  // Before the first readable name the separator is left out, so nothing shows; after it each
  // unreadable name is an empty entry.
  EXPECT_EQ(JoinModuleList({"app.exe", "", "a.dll", "", "b.dll"}), "a.dll ^^  ^^ b.dll");
  EXPECT_EQ(JoinModuleList({"app.exe", "a.dll", ""}), "a.dll ^^ ");
  EXPECT_EQ(JoinModuleList({"app.exe", "", "  "}), "");
}

}  // namespace
}  // namespace corvane
