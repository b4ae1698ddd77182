#include "ui/win/alert_window.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/win/message_boxes.h"
#include "tests/fakes/fake_process_facts.h"
#include "tests/support/modal_driver.h"
#include "ui/win/details_window.h"
#include "ui/win/window_decision_ui.h"

namespace corvane::ui::win {
namespace {

using corvane::testing::ChildByText;
using corvane::testing::IsTopMost;
using corvane::testing::ModalDriver;
using corvane::testing::PostClick;
using corvane::testing::PostKey;
using corvane::testing::TextOf;
using gui::win::FrmMessageBoxOK;
using gui::win::FrmMessageBoxYesAndNo;
using gui::win::kMessageLabelId;
using watch::AlertDecision;
using watch::AlertRequest;

constexpr const wchar_t* kAlert = FrmMessage::kCaption;
constexpr const wchar_t* kDetails = L"probe details";
constexpr const char* kPath = "C:\\Program Files\\Probe & Co\\probe.exe";

AlertRequest Request() {
  AlertRequest request;
  request.processId = 4321;
  request.name = "probe.exe";
  request.path = kPath;
  request.threadCount = 3;
  request.parentProcessId = 88;
  return request;
}

class AlertWindowTest : public ::testing::Test {
 protected:
  AlertWindowTest() { facts.files[kPath].created = "3/4/2021 10:15:00 AM"; }

  AlertDecision Answer(std::vector<ModalDriver::Step> steps, const AlertRequest& request = Request()) {
    ModalDriver driver(std::move(steps));
    const AlertDecision decision = FrmMessage::Show(nullptr, request, facts);
    EXPECT_TRUE(driver.acted());
    EXPECT_FALSE(driver.stuck());
    return decision;
  }
  AlertDecision Answer(std::function<void(HWND)> step) { return Answer({{kAlert, std::move(step)}}); }

  corvane::testing::FakeProcessFacts facts;
};

HWND Button(HWND alert, const wchar_t* text) {
  HWND button = ChildByText(alert, text);
  EXPECT_NE(button, nullptr) << "no button " << ::testing::PrintToString(std::wstring(text));
  return button;
}

void Click(HWND alert, const wchar_t* text) { PostClick(Button(alert, text)); }

// The texts come from the alert's model, tested on the host; here, that the window shows the
// recorded program in its place, over everything, with its note between the facts and the question.
TEST_F(AlertWindowTest, ShowsTheProgramOnTopOfEverything) {
  std::wstring name, id, location;
  bool topmost = false;
  bool hasAllTheButtons = false;
  AlertDecision decision = Answer([&](HWND alert) {
    name = TextOf(::GetDlgItem(alert, kAlertNameId));
    id = TextOf(::GetDlgItem(alert, kAlertProcessIdId));
    location = TextOf(::GetDlgItem(alert, kAlertLocationId));
    topmost = IsTopMost(alert);
    hasAllTheButtons = ::GetDlgItem(alert, kAlertAllowId) == ChildByText(alert, L"Allow") &&
                       ::GetDlgItem(alert, kAlertBlockId) == ChildByText(alert, L"Block") &&
                       ::GetDlgItem(alert, kAlertDetailsId) == ChildByText(alert, L"Details");
    Click(alert, L"Block");
  });
  EXPECT_EQ(decision, AlertDecision::Block);
  EXPECT_EQ(name, L"probe.exe");
  EXPECT_EQ(id, L"4321");
  EXPECT_EQ(location, L"\"C:\\Program Files\\Probe & Co\\probe.exe\"");
  EXPECT_TRUE(topmost);
  EXPECT_TRUE(hasAllTheButtons);

  AlertRequest held = Request();
  held.hold = watch::HoldState::Held;
  bool noteAboveQuestion = false;
  bool noNoteWithoutHold = false;
  Answer({{kAlert, [&](HWND alert) {
             RECT noteRect{};
             RECT questionRect{};
             ::GetWindowRect(::GetDlgItem(alert, kAlertNotesId), &noteRect);
             ::GetWindowRect(::GetDlgItem(alert, kAlertQuestionId), &questionRect);
             noteAboveQuestion = noteRect.bottom <= questionRect.top && noteRect.bottom > noteRect.top;
             Click(alert, L"Allow");
           }}},
         held);
  EXPECT_TRUE(noteAboveQuestion);
  Answer({{kAlert, [&](HWND alert) {
             noNoteWithoutHold = ::GetDlgItem(alert, kAlertNotesId) == nullptr;
             Click(alert, L"Allow");
           }}});
  EXPECT_TRUE(noNoteWithoutHold);
}

// The WM_QUIT a modal loop hands on to the program's own loop; false when there is none.
bool TakeQuitMessage() {
  MSG quit{};
  return ::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

TEST_F(AlertWindowTest, OnlyTheUserDecidesClosingBlocksEscapeAndQuittingDecideNothing) {
  EXPECT_EQ(Answer([](HWND a) { Click(a, L"Allow"); }), AlertDecision::Allow);
  EXPECT_EQ(Answer([](HWND a) { Click(a, L"Block"); }), AlertDecision::Block);
  // Closing it on purpose blocks: WM_CLOSE, Alt+F4 / the close box.
  EXPECT_EQ(Answer([](HWND a) { ::PostMessageW(a, WM_CLOSE, 0, 0); }), AlertDecision::Block);
  EXPECT_EQ(Answer([](HWND a) { ::PostMessageW(a, WM_SYSCOMMAND, SC_CLOSE, 0); }), AlertDecision::Block);
  // Escape does nothing: the question is still open afterwards.
  bool openAfterEscape = false;
  EXPECT_EQ(Answer({{kAlert, [](HWND) { PostKey(VK_ESCAPE); }},
                    {kAlert,
                     [&](HWND a) {
                       openAfterEscape = ::IsWindowVisible(a) != FALSE;
                       Click(a, L"Allow");
                     }}}),
            AlertDecision::Allow);
  EXPECT_TRUE(openAfterEscape);

  // The program quits while it waits: no decision, and the quit goes on to the program's loop.
  bool ending = false;
  {
    ModalDriver driver({{kAlert, [](HWND) { ::PostQuitMessage(0); }}});
    EXPECT_EQ(FrmMessage::Show(nullptr, Request(), facts, &ending), AlertDecision::Undecided);
    EXPECT_TRUE(driver.acted());
  }
  EXPECT_TRUE(ending);
  EXPECT_TRUE(TakeQuitMessage());
  EXPECT_EQ(ModalDriver::FindOwnWindow(kAlert), nullptr);

  // The session ends while it waits: no decision either.
  ending = false;
  {
    ModalDriver driver({{kAlert, [](HWND a) { ::SendMessageW(a, WM_ENDSESSION, TRUE, 0); }}});
    EXPECT_EQ(FrmMessage::Show(nullptr, Request(), facts, &ending), AlertDecision::Undecided);
    EXPECT_TRUE(driver.acted());
  }
  EXPECT_TRUE(ending);
  // A session end that was called off changes nothing.
  EXPECT_EQ(Answer([](HWND a) {
              ::SendMessageW(a, WM_ENDSESSION, FALSE, 0);
              Click(a, L"Block");
            }),
            AlertDecision::Block);
}

TEST_F(AlertWindowTest, AStrayEnterOrSpaceNeverAllows) {
  // Enter right after the alert appears only opens the details (Details has the focus); the
  // question is still open afterwards.
  HWND focusAtStart = nullptr;
  HWND detailsButton = nullptr;
  bool alertStillOpen = false;
  EXPECT_EQ(Answer({{kAlert,
                     [&](HWND alert) {
                       focusAtStart = ::GetFocus();
                       detailsButton = ::GetDlgItem(alert, kAlertDetailsId);
                       PostKey(VK_RETURN);
                     }},
                    {kDetails,
                     [&](HWND) {
                       alertStillOpen = ModalDriver::FindOwnWindow(kAlert) != nullptr;
                       PostKey(VK_RETURN);  // closes the details
                     }},
                    {kAlert, [](HWND alert) { ::PostMessageW(alert, WM_CLOSE, 0, 0); }}}),
            AlertDecision::Block);
  EXPECT_NE(detailsButton, nullptr);
  EXPECT_EQ(focusAtStart, detailsButton);
  EXPECT_TRUE(alertStillOpen);

  // Space on the focused Details does the same; it decides nothing.
  EXPECT_EQ(Answer({{kAlert, [](HWND) { PostKey(VK_SPACE); }},
                    {kDetails, [](HWND) { PostKey(VK_ESCAPE); }},
                    {kAlert, [](HWND alert) { ::PostMessageW(alert, WM_CLOSE, 0, 0); }}}),
            AlertDecision::Block);

  // A button the user moves to on purpose answers: Tab reaches Allow, then Block.
  EXPECT_EQ(Answer({{kAlert, [](HWND) { PostKey(VK_TAB); }}, {kAlert, [](HWND) { PostKey(VK_RETURN); }}}),
            AlertDecision::Allow);
  EXPECT_EQ(Answer({{kAlert, [](HWND) { PostKey(VK_TAB); }},
                    {kAlert, [](HWND) { PostKey(VK_TAB); }},
                    {kAlert, [](HWND) { PostKey(VK_RETURN); }}}),
            AlertDecision::Block);
}

TEST_F(AlertWindowTest, EnterWithNoButtonFocusedDoesNothing) {
  // With the focus taken off the buttons, Enter reaches the window as IDOK: no answer, no details.
  int detailsSeen = 0;
  bool openAfterEnter = false;
  EXPECT_EQ(Answer({{kAlert,
                     [](HWND alert) {
                       ::SetFocus(alert);
                       PostKey(VK_RETURN);
                     }},
                    {kAlert,
                     [&](HWND alert) {
                       openAfterEnter = ::IsWindowVisible(alert) != FALSE;
                       detailsSeen = ModalDriver::FindOwnWindow(kDetails) != nullptr;
                       Click(alert, L"Allow");
                     }}}),
            AlertDecision::Allow);
  EXPECT_TRUE(openAfterEnter);
  EXPECT_EQ(detailsSeen, 0);
}

TEST_F(AlertWindowTest, DetailsOpenOverTheAlertAndReturnToIt) {
  facts.processes[4321].modules = "ntdll.dll ^^ kernel32.dll";
  bool detailsTopmost = false, alertTopmostDuring = true, detailsButtonEnabledDuring = true;
  HWND detailsOwner = nullptr;
  HWND alertWindow = nullptr;
  std::wstring firstLine;
  bool alertTopmostAfter = false, detailsButtonEnabledAfter = false;
  const AlertDecision decision =
      Answer({{kAlert,
               [&](HWND alert) {
                 alertWindow = alert;
                 Click(alert, L"Details");
               }},
              {kDetails,
               [&](HWND details) {
                 detailsTopmost = IsTopMost(details);
                 alertTopmostDuring = IsTopMost(alertWindow);
                 detailsButtonEnabledDuring = ::IsWindowEnabled(::GetDlgItem(alertWindow, kAlertDetailsId)) != FALSE;
                 detailsOwner = ::GetWindow(details, GW_OWNER);
                 firstLine = TextOf(::GetDlgItem(details, kDetailsHeadlineId));
                 Click(details, L"OK");
               }},
              {kAlert, [&](HWND alert) {
                 alertTopmostAfter = IsTopMost(alert);
                 detailsButtonEnabledAfter = ::IsWindowEnabled(::GetDlgItem(alert, kAlertDetailsId)) != FALSE;
                 Click(alert, L"Allow");
               }}});
  EXPECT_EQ(decision, AlertDecision::Allow);
  EXPECT_TRUE(detailsTopmost);
  EXPECT_FALSE(alertTopmostDuring);
  EXPECT_FALSE(detailsButtonEnabledDuring);
  EXPECT_EQ(detailsOwner, alertWindow);
  EXPECT_EQ(firstLine, L"Detail for probe.exe");
  EXPECT_TRUE(alertTopmostAfter);
  EXPECT_TRUE(detailsButtonEnabledAfter);
  // The report used the facts the alert recorded.
  EXPECT_EQ(facts.makerQuestions, (std::vector<std::string>{"ntdll.dll ", " kernel32.dll"}));
}

TEST_F(AlertWindowTest, DecisionUiAsksThroughTheProgramsOwnWindows) {
  // The alert is modal over the main window, whose timers keep running while it waits.
  corvane::testing::TimedOwnerWindow owner;
  WindowDecisionUi ui(owner.hwnd(), facts);
  bool ownerEnabled = true;
  HWND alertOwner = nullptr;
  int ticksWhileOpen = 0;
  {
    ModalDriver driver({{kAlert,
                         [&](HWND a) {
                           ownerEnabled = ::IsWindowEnabled(owner.hwnd()) != FALSE;
                           alertOwner = ::GetWindow(a, GW_OWNER);
                           ticksWhileOpen = owner.ticks;
                           Click(a, L"Allow");
                         }}},
                       10);
    EXPECT_EQ(ui.ShowAlert(Request()), AlertDecision::Allow);
    EXPECT_TRUE(driver.acted());
  }
  EXPECT_FALSE(ownerEnabled);
  EXPECT_EQ(alertOwner, owner.hwnd());
  EXPECT_GE(ticksWhileOpen, 3);
  EXPECT_TRUE(::IsWindowEnabled(owner.hwnd()));

  std::wstring message;
  {
    ModalDriver driver({{FrmMessageBoxYesAndNo::kCaption, [&](HWND d) {
                           message = TextOf(::GetDlgItem(d, kMessageLabelId));
                           PostClick(ChildByText(d, L"Ok"));
                         }}});
    EXPECT_EQ(ui.Confirm("Block it?"), watch::ConfirmAnswer::Yes);
    EXPECT_TRUE(driver.acted());
  }
  EXPECT_EQ(message, L"Block it?");
  {
    ModalDriver driver({{FrmMessageBoxYesAndNo::kCaption, [](HWND d) { PostClick(ChildByText(d, L"Cancel")); }}});
    EXPECT_EQ(ui.Confirm("Block it?"), watch::ConfirmAnswer::No);
  }
  EXPECT_FALSE(ui.ProgramEnding());
  // The information dialog, for a block that could not be saved.
  {
    std::wstring told;
    ModalDriver driver({{FrmMessageBoxOK::kCaption, [&](HWND d) {
                           told = TextOf(::GetDlgItem(d, kMessageLabelId));
                           PostClick(ChildByText(d, L"Ok"));
                         }}});
    ui.Inform("Not saved.");
    EXPECT_TRUE(driver.acted());
    EXPECT_EQ(told, L"Not saved.");
  }

  // A quit while the confirmation waits is no Cancel: it decides nothing, and the program is ending.
  {
    ModalDriver driver({{FrmMessageBoxYesAndNo::kCaption, [](HWND) { ::PostQuitMessage(0); }}});
    EXPECT_EQ(ui.Confirm("Block it?"), watch::ConfirmAnswer::Undecided);
    EXPECT_TRUE(driver.acted());
  }
  EXPECT_TRUE(TakeQuitMessage());
  EXPECT_TRUE(ui.ProgramEnding());
}

}  // namespace
}  // namespace corvane::ui::win
