#pragma once
// The main program around the list operations, for tests: keeps the list-panels model in line as
// the main window does, and records what it was asked.
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ui/list_operations.h"

namespace corvane::testing {

class FakeListOperationsHost final : public ui::ListOperationsHost {
 public:
  explicit FakeListOperationsHost(ui::ListPanelsModel& panels) : panels_(panels) {}

  void TerminateProgramByName(std::string_view name) override { terminated.emplace_back(name); }
  void EmptyTrashJar() override {
    ++emptyings;
    if (emptyTrashJar) emptyTrashJar();
  }
  void ListsChanged() override {
    if (!keepRowsInLine) return;
    for (const ui::Panel panel : {ui::Panel::Running, ui::Panel::Blocked, ui::Panel::Allowed, ui::Panel::TrashJar}) {
      panels_.Update(panel);
    }
  }
  void SetCounter(ui::Panel panel, std::size_t count) override {
    counters[panel] = count;
    log.push_back("counter " + std::to_string(count));
  }
  void ResetPanelButtons(ui::Panel panel) override { ++resets[panel]; }
  void SetWatchTimer(bool on) override { log.push_back(on ? "timer on" : "timer off"); }
  void SetBusyCursor(bool busy) override { log.push_back(busy ? "hourglass" : "arrow"); }
  void ShowDetails(std::string_view path, std::string_view name) override {
    details.push_back(std::string(name) + " " + std::string(path));
  }
  bool Closing() const override { return closing; }
  void MovedToAllowList(std::string_view name, std::string_view path) override {
    movedToAllow.push_back(std::string(name) + " " + std::string(path));
  }

  std::vector<std::string> terminated;
  std::vector<std::string> movedToAllow;
  int emptyings = 0;
  std::function<void()> emptyTrashJar;
  std::map<ui::Panel, std::size_t> counters;
  std::map<ui::Panel, int> resets;
  std::vector<std::string> details;
  std::vector<std::string> log;
  bool closing = false;
  bool keepRowsInLine = true;

 private:
  ui::ListPanelsModel& panels_;
};

}  // namespace corvane::testing
