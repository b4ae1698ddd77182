#include "ui/alert_texts.h"

#include <vector>

#include "ui/alert_notes.h"

namespace corvane::ui {

AlertTexts BuildAlertTexts(const watch::AlertRequest& request, ProcessFacts& facts) {
  AlertTexts texts;
  texts.name = request.name;
  texts.processId = std::to_string(request.processId);
  texts.created = facts.FileCreated(request.path);
  texts.location = "\"" + request.path + "\"";
  const std::vector<std::string> notes = AlertNoteLines(request);
  for (const std::string& line : notes) texts.notes += (texts.notes.empty() ? "" : "\n") + line;
  texts.noteLines = static_cast<int>(notes.size());
  return texts;
}

ProcessReportInput AlertDetailsInput(const watch::AlertRequest& request) {
  ProcessReportInput input;
  input.path = request.path;
  input.name = request.name;
  input.parent = std::to_string(request.parentProcessId);
  input.processId = request.processId;
  input.threads = request.threadCount;
  return input;
}

}  // namespace corvane::ui
