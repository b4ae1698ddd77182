#pragma once
// A SettingsStore in front of another that remembers what it read until told that the store has
// changed. The blocker reads the same few values every 10 ms while they change a few times a day;
// the owner watches the real store and calls Invalidate on every change, so every read still sees
// the latest value.
#include <map>
#include <string>
#include <string_view>

#include "store/settings.h"

namespace corvane::rizaz {

class CachedSettings final : public SettingsStore {
 public:
  explicit CachedSettings(SettingsStore& store) : store_(store) {}

  std::string ReadSetting(std::string_view key, std::string_view defaultValue) override;
  // Written through; the key is read afresh next time, so a failed write shows the value kept.
  bool WriteSetting(std::string_view key, std::string_view value) override;

  // Forget everything: the next read of every key goes to the store.
  void Invalidate() { cache_.clear(); }
  // With caching off every read goes to the store (when the store cannot be watched).
  void SetCaching(bool on) {
    caching_ = on;
    if (!on) cache_.clear();
  }

 private:
  SettingsStore& store_;
  bool caching_ = true;
  // Keyed by key and default together: the text returned for an absent key is the default.
  std::map<std::pair<std::string, std::string>, std::string, std::less<>> cache_;
};

}  // namespace corvane::rizaz
