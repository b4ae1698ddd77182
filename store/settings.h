#pragma once
// The per-user key-value area both programs share. Values are texts: Booleans "True"/"False",
// check boxes "0"/"1", key choices as 0-based positions. Every read names its own default.
#include <string>
#include <string_view>

namespace corvane {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored text, or defaultValue when the key is absent or cannot be read.
  virtual std::string ReadSetting(std::string_view key, std::string_view defaultValue) = 0;
  // Replaces the key's value. False when the write failed (the earlier value then stays).
  virtual bool WriteSetting(std::string_view key, std::string_view value) = 0;
};

namespace settings {
// Signals between the two programs.
inline constexpr std::string_view kSupport = "Support";
inline constexpr std::string_view kRead = "Read";
// Security mode, stored four times; every change writes all four.
inline constexpr std::string_view kOptAllowAll = "OptAllowAll";
inline constexpr std::string_view kOptNormal = "OptNormal";
inline constexpr std::string_view kMnuMainAllowAll = "mnuMainAllowAll";
inline constexpr std::string_view kMnuMainNormal = "mnuMainNormal";
// Check boxes ("0"/"1").
inline constexpr std::string_view kChkBeep = "ChkBeep";
inline constexpr std::string_view kChkDontShow = "ChkDontShow";
inline constexpr std::string_view kChkEnableHotkeyShutDown = "ChkEnableHotkeyShutDown";
inline constexpr std::string_view kChkEnableHotkeyRestart = "ChkEnableHotkeyRestart";
inline constexpr std::string_view kChkStartWithWindows = "chkStartwithWindows";
inline constexpr std::string_view kOptHoldWhileAsking = "OptHoldWhileAsking";
// The processes held while the user decides about them (process/held_processes.h).
inline constexpr std::string_view kHeldProcesses = "HeldProcesses";
// Key positions.
inline constexpr std::string_view kCmdShutDown = "cmdShutDown";
inline constexpr std::string_view kCmdRestart = "CmdRestart";
}  // namespace settings

// Reads a Boolean key. "True"/"False" in any letter case, surrounded by spaces or not; anything else
// (absent, empty, a number, a word) reads as the default. Neither program writes other values, so a
// stray value is treated as if the key had never been written.
bool ReadBoolSetting(SettingsStore& store, std::string_view key, bool defaultValue);
bool WriteBoolSetting(SettingsStore& store, std::string_view key, bool value);

// Reads a number key (check box or list position): a whole decimal number, spaces allowed around
// it. Anything else reads as the default, for the same reason.
int ReadNumberSetting(SettingsStore& store, std::string_view key, int defaultValue);
bool WriteNumberSetting(SettingsStore& store, std::string_view key, int value);

// Reads a check box: "1" checked, "0" not, blanks allowed around either; anything else reads as the
// default.
bool ReadCheckSetting(SettingsStore& store, std::string_view key, bool defaultChecked);

}  // namespace corvane
