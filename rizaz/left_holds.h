#pragma once
// The blocker outlives a main program that was killed. Earlier versions of the main program held
// programs by suspending their threads and recorded them, and such a hold outlived a killed main
// program; today's holds end with it by themselves and record nothing. So that a record left by an
// earlier version never leaves a program frozen, once the main program no longer runs the blocker
// resumes the ones it names and clears the record; never while it runs.
#include <cstddef>
#include <functional>

#include "process/held_processes.h"
#include "store/settings.h"

namespace corvane::rizaz {

// Resumes the recorded held processes that are still the same processes and clears the record,
// when there is a record and mainRunning says the main program is gone (asked only then). How
// many were resumed.
std::size_t ResumeHoldsOfEndedMain(SettingsStore& settings, ProcessHolder& holder,
                                   const std::function<bool()>& mainRunning);

}  // namespace corvane::rizaz
