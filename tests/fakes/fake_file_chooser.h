#pragma once
// The file-open dialog for tests: answers from a script and records the titles it was shown with.
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/list_operations.h"

namespace corvane::testing {

class FakeFileChooser final : public ui::FileChooser {
 public:
  std::optional<std::string> ChooseFileToOpen(std::string_view title) override {
    titles.emplace_back(title);
    if (answers.empty()) return std::nullopt;
    std::optional<std::string> answer = answers.front();
    answers.pop_front();
    return answer;
  }

  // The next answers in order: a path, or nothing for Cancel. Once used up, Cancel.
  std::deque<std::optional<std::string>> answers;
  std::vector<std::string> titles;
};

}  // namespace corvane::testing
