#pragma once
// What the alert window ("Corvane Alert") says about a program nobody has judged yet: its facts,
// the notes under them and the question, and what its Details button reports. The window only
// shows these.
#include <string>
#include <string_view>

#include "ui/process_report.h"
#include "watch/new_program_decision.h"

namespace corvane::ui {

inline constexpr std::string_view kAlertProcessIdCaption = "Process ID:";
inline constexpr std::string_view kAlertCreatedCaption = "Created on :";
inline constexpr std::string_view kAlertLocationCaption = "Location:";
inline constexpr std::string_view kAlertQuestion = "What you would like to do ?";
inline constexpr std::string_view kAlertAllow = "Allow";
inline constexpr std::string_view kAlertBlock = "Block";
inline constexpr std::string_view kAlertDetails = "Details";

struct AlertTexts {
  std::string name;
  std::string processId;
  std::string created;   // the file's creation time, as the facts give it
  std::string location;  // the path in quotes
  // The note lines (alert_notes.h) one under the other; empty when there are none.
  std::string notes;
  int noteLines = 0;
};

AlertTexts BuildAlertTexts(const watch::AlertRequest& request, ProcessFacts& facts);

// The details report's program: the facts recorded when the program was detected, not looked up
// again by name.
ProcessReportInput AlertDetailsInput(const watch::AlertRequest& request);

}  // namespace corvane::ui
