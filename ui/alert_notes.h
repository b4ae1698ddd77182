#pragma once
// The alert's extra lines under its question: that the program's file has changed since it was
// allowed, and that the program is held until the user answers.
#include <string>
#include <string_view>
#include <vector>

#include "watch/new_program_decision.h"

namespace corvane::ui {

inline constexpr std::string_view kHeldNote = "This program is paused until you decide.";
inline constexpr std::string_view kNotHeldNote = "Corvane could not pause this program: it keeps running until you decide.";

// "This file has changed since you allowed it on 9 December 2026." for the stored day 2026-12-09;
// without a valid day the sentence ends after "allowed it". The day is written out with the month's
// English name, so that no reader takes the day for the month.
std::string FileChangedNote(std::string_view allowedOn);

// The lines the alert shows for the request, in order: the file's change, then the hold. None for
// an ordinary new program that is not held.
std::vector<std::string> AlertNoteLines(const watch::AlertRequest& request);

}  // namespace corvane::ui
