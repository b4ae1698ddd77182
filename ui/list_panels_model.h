#pragma once
// The rows of the four list panels (running, blocked, allowed, Trash Jar), kept in line with the
// lists behind them one row at a time. A row stands for its entry, not for its position: when a list
// changes, the rows whose entries are still listed stay where they are, with their selection; the
// others are removed and the new entries added, in the list's order. The Win32 panels apply the same
// steps to their list controls, so nothing is rebuilt and a watch tick between the user's click and
// an operation cannot move the selection to another entry.
//
// After Update, row i of a panel stands for entry i of its list: the selection answers "which entry"
// for the operations that act on the first selected one.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/list_files.h"
#include "ui/main_window_model.h"
#include "watch/running_program_list.h"

namespace corvane::ui {

// What a row shows: its entry.
struct PanelEntry {
  std::string name;       // program rows: the file name with extension; Trash Jar rows: empty
  std::string path;       // the full path; the Trash Jar row's text
  bool unjudged = false;  // a running program seen in Allow All mode: drawn in blue

  // The entry's identity: name and path, exactly. The unjudged flag only colours the row.
  bool SameEntry(const PanelEntry& other) const { return name == other.name && path == other.path; }
  bool operator==(const PanelEntry&) const = default;
};

// Given to a row when it is added and kept while the row lives; never given twice in one model.
using RowId = std::uint64_t;

enum class RowChangeKind { Remove, Add, Recolour };

// One step that brings a panel's rows in line with its list. Steps apply in order; row is the
// position at the moment the step applies.
struct RowChange {
  RowChangeKind kind = RowChangeKind::Add;
  std::size_t row = 0;
  PanelEntry entry;  // Add, Recolour: the row as it is now; Remove: the row that goes
  bool operator==(const RowChange&) const = default;
};

struct SelectedEntry {
  std::size_t row = 0;  // where it stands now, which is also its index in the list
  RowId id = 0;         // to find the row again once events have run (RowOf)
  PanelEntry entry;
};

// The lists behind the panels, read only.
struct PanelLists {
  const AllowList& allowed;
  const BlockList& blocked;
  const TrashJarList& trashJar;
  const watch::RunningProgramList& running;
};

// The panels with rows: all but the options panel.
bool IsListPanel(Panel panel);
// The stored list behind a panel; none for the running and options panels.
std::optional<ListKind> StoredListOf(Panel panel);
// Panels whose rows are programs with a details report.
bool HasProgramRows(Panel panel);

// Where the row that stood at oldRow before the changes stands after them; nothing when it was removed.
std::optional<std::size_t> RowAfterChanges(const std::vector<RowChange>& changes, std::size_t oldRow);

class ListPanelsModel {
 public:
  explicit ListPanelsModel(PanelLists lists);

  // The entries of the list behind panel, in list order; empty for the options panel.
  std::vector<PanelEntry> EntriesOf(Panel panel) const;
  // The number of entries of the list behind panel, and the one at index (nothing past the last).
  std::size_t ListSize(Panel panel) const;
  std::optional<PanelEntry> ListEntryAt(Panel panel, std::size_t index) const;

  // Brings panel's rows in line with its list and returns the steps, for the panel's control: the
  // fewest removals and additions that keep the list's order, then a recolour for every kept running
  // row whose unjudged flag changed. Rows kept keep their id and selection; rows added are unselected.
  std::vector<RowChange> Update(Panel panel);

  std::size_t RowCount(Panel panel) const;
  // The one place that maps a row to its entry: null past the last row.
  const PanelEntry* EntryAt(Panel panel, std::size_t row) const;
  // "Location: " and the path for a program row; empty for a Trash Jar row, a row without a path and
  // past the last row.
  std::string TooltipAt(Panel panel, std::size_t row) const;

  // The user selected or deselected a row; rows past the last are ignored.
  void SetSelected(Panel panel, std::size_t row, bool selected);
  bool IsSelected(Panel panel, std::size_t row) const;
  std::vector<std::size_t> SelectedRows(Panel panel) const;
  // The first selected row in list order: the entry a list operation acts on.
  std::optional<SelectedEntry> FirstSelected(Panel panel) const;
  // The id of the row; 0 past the last row.
  RowId IdAt(Panel panel, std::size_t row) const;
  // Where the row with this id stands now; nothing once it has been removed.
  std::optional<std::size_t> RowOf(Panel panel, RowId id) const;

 private:
  struct Row {
    PanelEntry entry;
    RowId id = 0;
    bool selected = false;
  };
  const std::vector<Row>* RowsOf(Panel panel) const;

  PanelLists lists_;
  std::array<std::vector<Row>, kPanelCount> rows_;
  RowId nextId_ = 1;
};

}  // namespace corvane::ui
