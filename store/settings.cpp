#include "store/settings.h"

#include "base/text.h"

namespace corvane {

bool ReadBoolSetting(SettingsStore& store, std::string_view key, bool defaultValue) {
  const std::string text = TrimSpaces(store.ReadSetting(key, defaultValue ? "True" : "False"));
  if (EqualsNoCase(text, "True")) return true;
  if (EqualsNoCase(text, "False")) return false;
  return defaultValue;
}

bool WriteBoolSetting(SettingsStore& store, std::string_view key, bool value) {
  return store.WriteSetting(key, value ? "True" : "False");
}

int ReadNumberSetting(SettingsStore& store, std::string_view key, int defaultValue) {
  const std::string text = store.ReadSetting(key, std::to_string(defaultValue));
  int value = 0;
  return ParseInt32(text, value) ? value : defaultValue;
}

bool WriteNumberSetting(SettingsStore& store, std::string_view key, int value) {
  return store.WriteSetting(key, std::to_string(value));
}

bool ReadCheckSetting(SettingsStore& store, std::string_view key, bool defaultChecked) {
  const std::string text = TrimSpaces(store.ReadSetting(key, defaultChecked ? "1" : "0"));
  if (text == "1") return true;
  if (text == "0") return false;
  return defaultChecked;
}

}  // namespace corvane
