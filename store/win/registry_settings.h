#pragma once
// The shared settings kept as string values under HKEY_CURRENT_USER\Software\Corvane\Corvane
// (application name, then section name). A value written by one program is visible to the other at
// its next read: both go through the same registry key.
#include <windows.h>

#include <string>
#include <string_view>

#include "base/win/handle.h"
#include "store/settings.h"

namespace corvane::win {

inline constexpr wchar_t kSettingsKeyPath[] = L"Software\\Corvane\\Corvane";

class RegistrySettingsStore final : public SettingsStore {
 public:
  RegistrySettingsStore() = default;

  std::string ReadSetting(std::string_view key, std::string_view defaultValue) override;
  bool WriteSetting(std::string_view key, std::string_view value) override;

  // Asks the registry to signal event at the next change of any value in the settings key (one
  // shot: call again after each signal). The key is created if missing. False when it cannot watch.
  bool NotifyOnChange(HANDLE event);

 private:
  // The key stays open between calls: a settings read is then one registry call, not three.
  HKEY OpenForRead();
  HKEY OpenForWrite();

  UniqueHKey readKey_;
  UniqueHKey writeKey_;
};

}  // namespace corvane::win
