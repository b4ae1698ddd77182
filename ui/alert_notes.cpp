#include "ui/alert_notes.h"

#include "store/list_record.h"

namespace corvane::ui {

std::string FileChangedNote(std::string_view allowedOn) {
  static constexpr std::string_view kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                                  "July",    "August",   "September", "October", "November", "December"};
  std::string note = "This file has changed since you allowed it";
  const std::string day = NormalizedFingerprintDay(allowedOn);
  if (!day.empty()) {
    // Checked as YYYY-MM-DD above.
    const int month = std::stoi(day.substr(5, 2));
    note += " on ";
    note += std::to_string(std::stoi(day.substr(8, 2)));
    note += ' ';
    note += kMonths[month - 1];
    note += ' ';
    note += day.substr(0, 4);
  }
  note += '.';
  return note;
}

std::vector<std::string> AlertNoteLines(const watch::AlertRequest& request) {
  std::vector<std::string> lines;
  if (request.fileChanged) lines.push_back(FileChangedNote(request.allowedOn));
  if (request.hold == watch::HoldState::Held) lines.emplace_back(kHeldNote);
  if (request.hold == watch::HoldState::CouldNotHold) lines.emplace_back(kNotHeldNote);
  return lines;
}

}  // namespace corvane::ui
