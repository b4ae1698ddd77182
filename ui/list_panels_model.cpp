#include "ui/list_panels_model.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace corvane::ui {

namespace {

constexpr std::string_view kLocationTip = "Location: ";
// The largest table the exact matching may use (cells of old rows x new rows in the part that
// differs). Lists change by a few entries at a time, which stays far below it; a change beyond it is
// matched greedily, which is still correct but may remove and re-add a few rows that could have stayed.
constexpr std::size_t kMaxMatchCells = std::size_t{1} << 20;

std::size_t Index(Panel panel) { return static_cast<std::size_t>(panel); }

std::string IdentityKey(const PanelEntry& entry) {
  std::string key = entry.name;
  key.push_back('\0');
  key += entry.path;
  return key;
}

// For rows old[0..n) and entries wanted[0..m): pairs (i, j) of rows kept, increasing in both,
// as many as possible (the longest common subsequence by identity).
template <typename Old>
std::vector<std::pair<std::size_t, std::size_t>> MatchExactly(const Old& old, const PanelEntry* wanted, std::size_t n,
                                                               std::size_t m) {
  // lengths[i * (m + 1) + j]: the longest match of old[i..n) with wanted[j..m).
  std::vector<std::uint32_t> lengths((n + 1) * (m + 1), 0);
  const auto at = [&](std::size_t i, std::size_t j) -> std::uint32_t& { return lengths[i * (m + 1) + j]; };
  for (std::size_t i = n; i-- > 0;) {
    for (std::size_t j = m; j-- > 0;) {
      at(i, j) = old(i).SameEntry(wanted[j]) ? at(i + 1, j + 1) + 1 : std::max(at(i + 1, j), at(i, j + 1));
    }
  }
  std::vector<std::pair<std::size_t, std::size_t>> pairs;
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < n && j < m) {
    if (old(i).SameEntry(wanted[j])) {
      pairs.emplace_back(i++, j++);
    } else if (at(i + 1, j) >= at(i, j + 1)) {
      ++i;
    } else {
      ++j;
    }
  }
  return pairs;
}

// The same in one pass: a row is kept when it meets its entry in turn; a row whose entry is not
// wanted any more goes, otherwise the wanted entry is added before it.
template <typename Old>
std::vector<std::pair<std::size_t, std::size_t>> MatchGreedily(const Old& old, const PanelEntry* wanted, std::size_t n,
                                                                std::size_t m) {
  std::unordered_map<std::string, std::size_t> stillWanted;
  for (std::size_t j = 0; j < m; ++j) ++stillWanted[IdentityKey(wanted[j])];
  std::vector<std::pair<std::size_t, std::size_t>> pairs;
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < n && j < m) {
    if (old(i).SameEntry(wanted[j])) {
      --stillWanted[IdentityKey(wanted[j])];
      pairs.emplace_back(i++, j++);
    } else if (stillWanted[IdentityKey(old(i))] == 0) {
      ++i;
    } else {
      --stillWanted[IdentityKey(wanted[j])];
      ++j;
    }
  }
  return pairs;
}

}  // namespace

bool IsListPanel(Panel panel) { return panel != Panel::Options && Index(panel) < kPanelCount; }

bool HasProgramRows(Panel panel) {
  return panel == Panel::Running || panel == Panel::Blocked || panel == Panel::Allowed;
}

std::optional<std::size_t> RowAfterChanges(const std::vector<RowChange>& changes, std::size_t oldRow) {
  std::size_t row = oldRow;
  for (const RowChange& change : changes) {
    if (change.kind == RowChangeKind::Remove) {
      if (change.row == row) return std::nullopt;
      if (change.row < row) --row;
    } else if (change.kind == RowChangeKind::Add) {
      if (change.row <= row) ++row;
    }
  }
  return row;
}

std::optional<ListKind> StoredListOf(Panel panel) {
  switch (panel) {
    case Panel::Blocked:
      return ListKind::Block;
    case Panel::Allowed:
      return ListKind::Allow;
    case Panel::TrashJar:
      return ListKind::TrashJar;
    case Panel::Running:
    case Panel::Options:
      break;
  }
  return std::nullopt;
}

ListPanelsModel::ListPanelsModel(PanelLists lists) : lists_(lists) {}

std::size_t ListPanelsModel::ListSize(Panel panel) const {
  switch (panel) {
    case Panel::Running:
      return lists_.running.size();
    case Panel::Blocked:
      return lists_.blocked.size();
    case Panel::Allowed:
      return lists_.allowed.size();
    case Panel::TrashJar:
      return lists_.trashJar.size();
    case Panel::Options:
      break;
  }
  return 0;
}

std::optional<PanelEntry> ListPanelsModel::ListEntryAt(Panel panel, std::size_t index) const {
  if (index >= ListSize(panel)) return std::nullopt;
  switch (panel) {
    case Panel::Running: {
      const watch::RunningProgram& program = lists_.running.entries()[index];
      return PanelEntry{program.name, program.path, program.unjudged};
    }
    case Panel::Blocked:
      return PanelEntry{lists_.blocked[index].name, lists_.blocked[index].path};
    case Panel::Allowed:
      return PanelEntry{lists_.allowed[index].name, lists_.allowed[index].path};
    case Panel::TrashJar:
      return PanelEntry{std::string(), lists_.trashJar[index]};
    case Panel::Options:
      break;
  }
  return std::nullopt;
}

std::vector<PanelEntry> ListPanelsModel::EntriesOf(Panel panel) const {
  std::vector<PanelEntry> entries;
  const std::size_t size = ListSize(panel);
  entries.reserve(size);
  for (std::size_t i = 0; i < size; ++i) entries.push_back(*ListEntryAt(panel, i));
  return entries;
}

std::vector<RowChange> ListPanelsModel::Update(Panel panel) {
  if (!IsListPanel(panel)) return {};
  std::vector<Row>& rows = rows_[Index(panel)];
  const std::vector<PanelEntry> wanted = EntriesOf(panel);

  // The rows that already match at the start and at the end need no matching.
  std::size_t head = 0;
  while (head < rows.size() && head < wanted.size() && rows[head].entry.SameEntry(wanted[head])) ++head;
  std::size_t tail = 0;
  while (tail < rows.size() - head && tail < wanted.size() - head &&
         rows[rows.size() - 1 - tail].entry.SameEntry(wanted[wanted.size() - 1 - tail])) {
    ++tail;
  }
  const std::size_t oldMiddle = rows.size() - head - tail;
  const std::size_t newMiddle = wanted.size() - head - tail;
  const auto oldRow = [&rows, head](std::size_t i) -> const PanelEntry& { return rows[head + i].entry; };
  std::vector<std::pair<std::size_t, std::size_t>> kept;
  if (oldMiddle != 0 && newMiddle != 0) {
    kept = (oldMiddle + 1) * (newMiddle + 1) <= kMaxMatchCells
               ? MatchExactly(oldRow, wanted.data() + head, oldMiddle, newMiddle)
               : MatchGreedily(oldRow, wanted.data() + head, oldMiddle, newMiddle);
  }
  kept.emplace_back(oldMiddle, newMiddle);  // the end of the middle, where the tail begins

  std::vector<RowChange> changes;
  std::vector<Row> next;
  next.reserve(wanted.size());
  const auto keep = [&](Row& row, const PanelEntry& entry) {
    if (row.entry.unjudged != entry.unjudged) {
      row.entry.unjudged = entry.unjudged;
      changes.push_back({RowChangeKind::Recolour, next.size(), row.entry});
    }
    next.push_back(std::move(row));
  };
  for (std::size_t k = 0; k < head; ++k) keep(rows[k], wanted[k]);
  std::size_t i = 0;
  std::size_t j = 0;
  for (const auto& [keptOld, keptNew] : kept) {
    for (; i < keptOld; ++i) changes.push_back({RowChangeKind::Remove, next.size(), rows[head + i].entry});
    for (; j < keptNew; ++j) {
      const PanelEntry& entry = wanted[head + j];
      changes.push_back({RowChangeKind::Add, next.size(), entry});
      next.push_back({entry, nextId_++, false});
    }
    if (keptOld == oldMiddle) break;
    keep(rows[head + i], wanted[head + j]);
    ++i;
    ++j;
  }
  for (std::size_t k = 0; k < tail; ++k) keep(rows[head + oldMiddle + k], wanted[head + newMiddle + k]);
  rows = std::move(next);
  return changes;
}

const std::vector<ListPanelsModel::Row>* ListPanelsModel::RowsOf(Panel panel) const {
  return IsListPanel(panel) ? &rows_[Index(panel)] : nullptr;
}

std::size_t ListPanelsModel::RowCount(Panel panel) const {
  const auto* rows = RowsOf(panel);
  return rows == nullptr ? 0 : rows->size();
}

const PanelEntry* ListPanelsModel::EntryAt(Panel panel, std::size_t row) const {
  const auto* rows = RowsOf(panel);
  return rows == nullptr || row >= rows->size() ? nullptr : &(*rows)[row].entry;
}

std::string ListPanelsModel::TooltipAt(Panel panel, std::size_t row) const {
  const PanelEntry* entry = EntryAt(panel, row);
  if (entry == nullptr || !HasProgramRows(panel) || entry->path.empty()) return {};
  return std::string(kLocationTip) + entry->path;
}

void ListPanelsModel::SetSelected(Panel panel, std::size_t row, bool selected) {
  if (!IsListPanel(panel)) return;
  std::vector<Row>& rows = rows_[Index(panel)];
  if (row < rows.size()) rows[row].selected = selected;
}

bool ListPanelsModel::IsSelected(Panel panel, std::size_t row) const {
  const auto* rows = RowsOf(panel);
  return rows != nullptr && row < rows->size() && (*rows)[row].selected;
}

std::vector<std::size_t> ListPanelsModel::SelectedRows(Panel panel) const {
  std::vector<std::size_t> selected;
  const auto* rows = RowsOf(panel);
  if (rows == nullptr) return selected;
  for (std::size_t row = 0; row < rows->size(); ++row) {
    if ((*rows)[row].selected) selected.push_back(row);
  }
  return selected;
}

std::optional<SelectedEntry> ListPanelsModel::FirstSelected(Panel panel) const {
  const auto* rows = RowsOf(panel);
  if (rows == nullptr) return std::nullopt;
  for (std::size_t row = 0; row < rows->size(); ++row) {
    if ((*rows)[row].selected) return SelectedEntry{row, (*rows)[row].id, (*rows)[row].entry};
  }
  return std::nullopt;
}

RowId ListPanelsModel::IdAt(Panel panel, std::size_t row) const {
  const auto* rows = RowsOf(panel);
  return rows == nullptr || row >= rows->size() ? 0 : (*rows)[row].id;
}

std::optional<std::size_t> ListPanelsModel::RowOf(Panel panel, RowId id) const {
  const auto* rows = RowsOf(panel);
  if (rows == nullptr) return std::nullopt;
  for (std::size_t row = 0; row < rows->size(); ++row) {
    if ((*rows)[row].id == id) return row;
  }
  return std::nullopt;
}

}  // namespace corvane::ui
