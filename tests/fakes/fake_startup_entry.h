#pragma once
// The Run value in memory, for tests of the options: what is there, every write and delete asked
// for, and a registry that refuses.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/options_model.h"

namespace corvane::testing {

class FakeStartupEntry final : public ui::StartupEntry {
 public:
  bool WriteRunValue(std::string_view data) override {
    log.push_back("write " + std::string(data));
    if (failWrites) return false;
    value = std::string(data);
    return true;
  }
  bool DeleteRunValue() override {
    log.push_back("delete");
    if (failDeletes) return false;
    value.reset();
    return true;
  }

  std::optional<std::string> value;
  bool failWrites = false;
  bool failDeletes = false;
  std::vector<std::string> log;
};

}  // namespace corvane::testing
