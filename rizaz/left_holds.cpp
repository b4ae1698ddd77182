#include "rizaz/left_holds.h"

#include <string>

namespace corvane::rizaz {

std::size_t ResumeHoldsOfEndedMain(SettingsStore& settings, ProcessHolder& holder,
                                   const std::function<bool()>& mainRunning) {
  const std::string record = settings.ReadSetting(settings::kHeldProcesses, "");
  if (record.empty() || mainRunning()) return 0;
  const std::size_t resumed = ResumeRecordedProcesses(record, holder);
  // A main program started meanwhile writes its own record, which must stay.
  if (settings.ReadSetting(settings::kHeldProcesses, "") == record) settings.WriteSetting(settings::kHeldProcesses, "");
  return resumed;
}

}  // namespace corvane::rizaz
