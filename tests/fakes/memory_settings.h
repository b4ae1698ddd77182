#pragma once
// In-memory SettingsStore for host tests; counts reads and writes so tests can see traffic.
#include <map>
#include <string>
#include <string_view>

#include "store/settings.h"

namespace corvane::testing {

class MemorySettings final : public SettingsStore {
 public:
  std::string ReadSetting(std::string_view key, std::string_view defaultValue) override {
    ++reads;
    const auto it = values.find(std::string(key));
    return it == values.end() ? std::string(defaultValue) : it->second;
  }
  bool WriteSetting(std::string_view key, std::string_view value) override {
    ++writes;
    if (failWrites) return false;
    values[std::string(key)] = std::string(value);
    return true;
  }
  bool Has(std::string_view key) const { return values.count(std::string(key)) != 0; }
  std::string Get(std::string_view key) const {
    const auto it = values.find(std::string(key));
    return it == values.end() ? std::string() : it->second;
  }

  std::map<std::string, std::string> values;
  int reads = 0;
  int writes = 0;
  bool failWrites = false;
};

}  // namespace corvane::testing
