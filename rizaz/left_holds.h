#pragma once
// The blocker outlives a main program that was killed: the programs that one held while it asked
// about them would stay frozen. Once the main program no longer runs, the blocker resumes the ones
// it recorded and clears the record; never while it runs, since it lets its holds go itself.
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
