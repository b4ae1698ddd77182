#pragma once
// Dialogs for tests: records every message and answers confirmations from a script.
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "gui/dialogs.h"

namespace corvane::testing {

class FakeDialogs final : public gui::Dialogs {
 public:
  bool Confirm(std::string_view message) override {
    confirmations.emplace_back(message);
    shown.push_back("confirm: " + std::string(message));
    if (answers.empty()) return unscriptedAnswer;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void Inform(std::string_view message) override {
    informations.emplace_back(message);
    shown.push_back("inform: " + std::string(message));
  }

  // Answers for the next confirmations, in order; once used up, unscriptedAnswer.
  std::deque<bool> answers;
  bool unscriptedAnswer = false;
  std::vector<std::string> confirmations;
  std::vector<std::string> informations;
  // Both kinds in the order they were shown, prefixed "confirm: " or "inform: ".
  std::vector<std::string> shown;
};

}  // namespace corvane::testing
