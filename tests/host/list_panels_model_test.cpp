#include "ui/list_panels_model.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "store/list_files.h"

namespace corvane::ui {
namespace {

// Applies the steps to what a panel showed, as the panel's control does, checking that every step
// names the row it meets.
std::vector<PanelEntry> Apply(std::vector<PanelEntry> rows, const std::vector<RowChange>& changes) {
  for (const RowChange& change : changes) {
    switch (change.kind) {
      case RowChangeKind::Remove:
        EXPECT_LT(change.row, rows.size());
        if (change.row >= rows.size()) return rows;
        EXPECT_EQ(rows[change.row], change.entry);
        rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(change.row));
        break;
      case RowChangeKind::Add:
        EXPECT_LE(change.row, rows.size());
        if (change.row > rows.size()) return rows;
        rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(change.row), change.entry);
        break;
      case RowChangeKind::Recolour:
        EXPECT_LT(change.row, rows.size());
        if (change.row >= rows.size()) return rows;
        EXPECT_TRUE(rows[change.row].SameEntry(change.entry));
        rows[change.row] = change.entry;
        break;
    }
  }
  return rows;
}

std::vector<PanelEntry> Shown(const ListPanelsModel& model, Panel panel) {
  std::vector<PanelEntry> rows;
  for (std::size_t row = 0; row < model.RowCount(panel); ++row) rows.push_back(*model.EntryAt(panel, row));
  return rows;
}

std::vector<RowId> Ids(const ListPanelsModel& model, Panel panel) {
  std::vector<RowId> ids;
  for (std::size_t row = 0; row < model.RowCount(panel); ++row) ids.push_back(model.IdAt(panel, row));
  return ids;
}

watch::RunningProgram Program(const std::string& name, bool unjudged = false) {
  return {name, "C:\\apps\\" + name, unjudged};
}

class ListPanelsModelTest : public ::testing::Test {
 protected:
  // Updates the panel and checks that its steps turn what it showed into its list.
  std::vector<RowChange> Update(Panel panel) {
    const std::vector<PanelEntry> before = Shown(model, panel);
    const std::vector<RowChange> changes = model.Update(panel);
    EXPECT_EQ(Apply(before, changes), model.EntriesOf(panel));
    EXPECT_EQ(Shown(model, panel), model.EntriesOf(panel));
    return changes;
  }

  AllowList allowed;
  BlockList blocked;
  TrashJarList trashJar;
  watch::RunningProgramList running;
  ListPanelsModel model{{allowed, blocked, trashJar, running}};
};

TEST_F(ListPanelsModelTest, ARowStandsForItsEntry) {
  running.Add(Program("free.exe", /*unjudged=*/true));
  blocked.push_back({"bad.exe", "C:\\x\\bad.exe"});
  allowed.push_back({"ok.exe", "C:\\ok.exe"});
  trashJar.push_back("C:\\old.txt");
  // Program rows are name and path, the running rows with their flag; Trash Jar rows the path alone.
  EXPECT_EQ(model.EntriesOf(Panel::Running), (std::vector<PanelEntry>{{"free.exe", "C:\\apps\\free.exe", true}}));
  EXPECT_EQ(model.EntriesOf(Panel::Blocked), (std::vector<PanelEntry>{{"bad.exe", "C:\\x\\bad.exe"}}));
  EXPECT_EQ(model.EntriesOf(Panel::Allowed), (std::vector<PanelEntry>{{"ok.exe", "C:\\ok.exe"}}));
  EXPECT_EQ(model.EntriesOf(Panel::TrashJar), (std::vector<PanelEntry>{{"", "C:\\old.txt"}}));
  EXPECT_TRUE(model.EntriesOf(Panel::Options).empty());
  // The same entry whatever its colour; another entry when the name or the path differs at all.
  const PanelEntry entry{"a.exe", "C:\\a.exe"};
  EXPECT_TRUE(entry.SameEntry({"a.exe", "C:\\a.exe", true}));
  EXPECT_FALSE(entry.SameEntry({"A.EXE", "C:\\a.exe"}));
  EXPECT_FALSE(entry.SameEntry({"a.exe", "D:\\a.exe"}));

  for (const Panel panel : {Panel::Running, Panel::Blocked, Panel::Allowed, Panel::TrashJar, Panel::Options}) {
    Update(panel);
  }
  // Rows map to entries in one place, tooltips included; nothing past the last row.
  EXPECT_EQ(model.EntryAt(Panel::Blocked, 0)->path, "C:\\x\\bad.exe");
  EXPECT_EQ(model.EntryAt(Panel::Blocked, 1), nullptr);
  EXPECT_EQ(model.EntryAt(Panel::Options, 0), nullptr);
  EXPECT_EQ(model.TooltipAt(Panel::Running, 0), "Location: C:\\apps\\free.exe");
  EXPECT_EQ(model.TooltipAt(Panel::Allowed, 0), "Location: C:\\ok.exe");
  EXPECT_EQ(model.TooltipAt(Panel::TrashJar, 0), "");
  EXPECT_EQ(model.TooltipAt(Panel::Allowed, 3), "");
}

TEST_F(ListPanelsModelTest, AllowedRowsReadTheSameWithOrWithoutAFingerprint) {
  const std::string hash(64, 'b');
  allowed = {{"one.exe", "C:\\a\\one.exe"}, {"two.exe", "C:\\b\\two.exe", {hash, "2026-12-09"}}};
  Update(Panel::Allowed);
  EXPECT_EQ(Shown(model, Panel::Allowed),
            (std::vector<PanelEntry>{{"one.exe", "C:\\a\\one.exe"}, {"two.exe", "C:\\b\\two.exe"}}));
  EXPECT_EQ(model.TooltipAt(Panel::Allowed, 1), "Location: C:\\b\\two.exe");
  // Taking its fingerprint later changes nothing the panel shows.
  allowed[0].fingerprint = {hash, ""};
  EXPECT_TRUE(Update(Panel::Allowed).empty());
}

TEST_F(ListPanelsModelTest, UpdatesRowByRowAndLeavesUntouchedRowsAlone) {
  for (const char* name : {"a.exe", "b.exe", "c.exe", "d.exe", "e.exe"}) running.Add(Program(name));
  // First fill: every entry added, in list order.
  const auto first = Update(Panel::Running);
  ASSERT_EQ(first.size(), 5u);
  for (std::size_t i = 0; i < first.size(); ++i) {
    EXPECT_EQ(first[i].kind, RowChangeKind::Add);
    EXPECT_EQ(first[i].row, i);
  }
  // Nothing changed: no step at all.
  EXPECT_TRUE(Update(Panel::Running).empty());

  // A tick: b and d ended, f started. Exactly those three steps; the other rows keep their identity.
  const std::vector<RowId> before = Ids(model, Panel::Running);
  running.RemoveUnless([](const watch::RunningProgram& p) { return p.name != "b.exe" && p.name != "d.exe"; });
  running.Add(Program("f.exe"));
  const auto tick = Update(Panel::Running);
  EXPECT_EQ(tick, (std::vector<RowChange>{{RowChangeKind::Remove, 1, {"b.exe", "C:\\apps\\b.exe"}},
                                          {RowChangeKind::Remove, 2, {"d.exe", "C:\\apps\\d.exe"}},
                                          {RowChangeKind::Add, 3, {"f.exe", "C:\\apps\\f.exe"}}}));
  const std::vector<RowId> after = Ids(model, Panel::Running);
  EXPECT_EQ((std::vector<RowId>{after[0], after[1], after[2]}), (std::vector<RowId>{before[0], before[2], before[4]}));
  EXPECT_NE(after[3], before[1]);
  // Where the rows of the old view went: the first row in view stays first when the rows above go.
  EXPECT_EQ(RowAfterChanges(tick, 0), 0u);
  EXPECT_EQ(RowAfterChanges(tick, 1), std::nullopt);
  EXPECT_EQ(RowAfterChanges(tick, 2), 1u);
  EXPECT_EQ(RowAfterChanges(tick, 4), 2u);

  // An entry replaced in the middle of the list, and the list emptied.
  allowed = {{"a.exe", "C:\\a.exe"}, {"b.exe", "C:\\b.exe"}, {"c.exe", "C:\\c.exe"}};
  Update(Panel::Allowed);
  allowed[1] = {"b.exe", "D:\\b.exe"};
  const auto replaced = Update(Panel::Allowed);
  EXPECT_EQ(replaced, (std::vector<RowChange>{{RowChangeKind::Remove, 1, {"b.exe", "C:\\b.exe"}},
                                              {RowChangeKind::Add, 1, {"b.exe", "D:\\b.exe"}}}));
  // A row added where a kept row stood pushes that row down.
  EXPECT_EQ(RowAfterChanges(replaced, 2), 2u);
  allowed.clear();
  EXPECT_EQ(Update(Panel::Allowed).size(), 3u);
  EXPECT_EQ(model.RowCount(Panel::Allowed), 0u);
}

TEST_F(ListPanelsModelTest, SelectionStaysWithItsEntryAcrossAWatchTick) {
  for (const char* name : {"a.exe", "b.exe", "c.exe"}) running.Add(Program(name));
  Update(Panel::Running);
  EXPECT_FALSE(model.FirstSelected(Panel::Running));
  model.SetSelected(Panel::Running, 1, true);
  const SelectedEntry chosen = *model.FirstSelected(Panel::Running);
  EXPECT_EQ(chosen.entry.name, "b.exe");

  // a ended and d started between the click and the operation: b is still the one, one row up.
  running.RemoveUnless([](const watch::RunningProgram& p) { return p.name != "a.exe"; });
  running.Add(Program("d.exe"));
  Update(Panel::Running);
  const auto now = model.FirstSelected(Panel::Running);
  ASSERT_TRUE(now);
  EXPECT_EQ(now->entry.name, "b.exe");
  EXPECT_EQ(now->row, 0u);
  EXPECT_EQ(now->id, chosen.id);
  EXPECT_EQ(model.RowOf(Panel::Running, chosen.id), 0u);
  // The row's position is its entry's index in the list.
  EXPECT_EQ(running.entries()[now->row].name, "b.exe");
  // The new row comes unselected.
  EXPECT_EQ(model.SelectedRows(Panel::Running), (std::vector<std::size_t>{0}));

  // The selected program ended: no selection is left, and no other entry takes its place.
  running.RemoveUnless([](const watch::RunningProgram& p) { return p.name != "b.exe"; });
  Update(Panel::Running);
  EXPECT_FALSE(model.FirstSelected(Panel::Running));
  EXPECT_EQ(model.RowOf(Panel::Running, chosen.id), std::nullopt);

  // Selections past the last row, or on the options panel, are ignored; each panel has its own.
  model.SetSelected(Panel::Running, 9, true);
  model.SetSelected(Panel::Options, 0, true);
  EXPECT_TRUE(model.SelectedRows(Panel::Running).empty());
  EXPECT_FALSE(model.FirstSelected(Panel::Options));
}

TEST_F(ListPanelsModelTest, DuplicateEntriesOfTheBlockListKeepTheSelectedRow) {
  const ProgramListEntry a{"a.exe", "C:\\a.exe"};
  const ProgramListEntry b{"b.exe", "C:\\b.exe"};
  blocked = {a, b, a};
  Update(Panel::Blocked);
  EXPECT_EQ(model.RowCount(Panel::Blocked), 3u);
  model.SetSelected(Panel::Blocked, 2, true);
  const RowId second = model.FirstSelected(Panel::Blocked)->id;

  // The first copy goes: the selected second copy stays selected, one of two rows now.
  blocked = {b, a};
  EXPECT_EQ(Update(Panel::Blocked), (std::vector<RowChange>{{RowChangeKind::Remove, 0, {"a.exe", "C:\\a.exe"}}}));
  ASSERT_TRUE(model.FirstSelected(Panel::Blocked));
  EXPECT_EQ(model.FirstSelected(Panel::Blocked)->id, second);
  EXPECT_EQ(model.FirstSelected(Panel::Blocked)->row, 1u);

  // The same entry blocked once more: one new row at the end; the selection does not move to it.
  blocked.push_back(a);
  EXPECT_EQ(Update(Panel::Blocked), (std::vector<RowChange>{{RowChangeKind::Add, 2, {"a.exe", "C:\\a.exe"}}}));
  EXPECT_EQ(model.SelectedRows(Panel::Blocked), (std::vector<std::size_t>{1}));
  EXPECT_EQ(model.FirstSelected(Panel::Blocked)->id, second);
}

TEST_F(ListPanelsModelTest, AnUnjudgedRowThatBecomesJudgedIsRecolouredInPlace) {
  running.Add(Program("y.exe"));
  running.Add(Program("x.exe", /*unjudged=*/true));
  Update(Panel::Running);
  EXPECT_TRUE(model.EntryAt(Panel::Running, 1)->unjudged);
  model.SetSelected(Panel::Running, 1, true);
  const RowId id = model.FirstSelected(Panel::Running)->id;

  // Back in Normal mode the program was forgotten and judged again: the same entry, now judged.
  running.RemoveUnjudged();
  running.Add(Program("x.exe"));
  EXPECT_EQ(Update(Panel::Running),
            (std::vector<RowChange>{{RowChangeKind::Recolour, 1, {"x.exe", "C:\\apps\\x.exe", false}}}));
  EXPECT_FALSE(model.EntryAt(Panel::Running, 1)->unjudged);
  EXPECT_EQ(model.FirstSelected(Panel::Running)->id, id);
  // Recoloured once only.
  EXPECT_TRUE(Update(Panel::Running).empty());
}

TEST_F(ListPanelsModelTest, StepsAlwaysTurnTheRowsIntoTheList) {
  // Random edits of small lists with repeated entries, and one large list changed at both ends.
  std::mt19937 random(20240611);
  const auto entry = [&random] {
    const std::string name = std::string(1, static_cast<char>('a' + random() % 6)) + ".exe";
    return ProgramListEntry{name, "C:\\" + name};
  };
  for (int round = 0; round < 300; ++round) {
    auto& list = blocked;
    const int edits = static_cast<int>(random() % 4);
    for (int e = 0; e < edits; ++e) {
      if (!list.empty() && random() % 2 == 0) {
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(random() % list.size()));
      } else {
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(random() % (list.size() + 1)), entry());
      }
    }
    const std::size_t before = model.RowCount(Panel::Blocked);
    const auto changes = Update(Panel::Blocked);
    // Never more steps than rebuilding would take.
    EXPECT_LE(changes.size(), before + list.size()) << round;
  }

  std::vector<ProgramListEntry> large;
  for (int i = 0; i < 1500; ++i) large.push_back({std::to_string(i) + ".exe", "C:\\" + std::to_string(i) + ".exe"});
  allowed = large;
  Update(Panel::Allowed);
  model.SetSelected(Panel::Allowed, 700, true);
  allowed.front() = {"first.exe", "C:\\first.exe"};
  allowed.back() = {"last.exe", "C:\\last.exe"};
  const auto changes = Update(Panel::Allowed);
  EXPECT_LE(changes.size(), 4u);
  ASSERT_TRUE(model.FirstSelected(Panel::Allowed));
  EXPECT_EQ(model.FirstSelected(Panel::Allowed)->entry.name, "700.exe");
}

}  // namespace
}  // namespace corvane::ui
