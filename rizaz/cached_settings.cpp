#include "rizaz/cached_settings.h"

namespace corvane::rizaz {

std::string CachedSettings::ReadSetting(std::string_view key, std::string_view defaultValue) {
  if (!caching_) return store_.ReadSetting(key, defaultValue);
  std::pair<std::string, std::string> id(key, defaultValue);
  const auto it = cache_.find(id);
  if (it != cache_.end()) return it->second;
  std::string value = store_.ReadSetting(key, defaultValue);
  cache_.emplace(std::move(id), value);
  return value;
}

bool CachedSettings::WriteSetting(std::string_view key, std::string_view value) {
  for (auto it = cache_.begin(); it != cache_.end();) {
    it = it->first.first == key ? cache_.erase(it) : std::next(it);
  }
  return store_.WriteSetting(key, value);
}

}  // namespace corvane::rizaz
