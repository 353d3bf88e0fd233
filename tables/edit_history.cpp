#include "tables/edit_history.h"

#include <algorithm>
#include <climits>
#include <stdexcept>
#include <utility>

namespace tarnwick {
namespace {

constexpr int kNoRow = INT_MAX;

}  // namespace

EditHistory::EditHistory(ChannelTable& file, ChannelTable& rig, HistoryLimits limits)
    : tables_{&file, &rig}, limits_(limits), appendedFrom_{kNoRow, kNoRow} {
  for (int t = 0; t < 2; ++t) {
    tables_[t]->setRecorder(this);
    tables_[t]->addObserver(this);
    cleanAt_[t] = tables_[t]->modified() ? std::nullopt : std::optional<std::int64_t>(0);
  }
}

EditHistory::~EditHistory() {
  for (ChannelTable* table : tables_) {
    if (table->recorder() == this) table->setRecorder(nullptr);
    table->removeObserver(this);
  }
}

// --- Undo and redo ------------------------------------------------------------

bool EditHistory::locked(const Step& step) const {
  for (int t = 0; t < 2; ++t) {
    if (step.touched[t] && tables_[t]->inputLocked()) return true;
  }
  return false;
}

bool EditHistory::canUndo() const {
  return depth_ == 0 && !undo_.empty() && !locked(undo_.back());
}

bool EditHistory::canRedo() const {
  return depth_ == 0 && !redo_.empty() && !locked(redo_.back());
}

std::string EditHistory::undoText() const {
  return undo_.empty() ? std::string() : "Undo " + undo_.back().name;
}

std::string EditHistory::redoText() const {
  return redo_.empty() ? std::string() : "Redo " + redo_.back().name;
}

bool EditHistory::undo() {
  return travel(/*backwards=*/true);
}

bool EditHistory::redo() {
  return travel(/*backwards=*/false);
}

bool EditHistory::travel(bool backwards) {
  if (!(backwards ? canUndo() : canRedo())) return false;
  Step step;
  if (backwards) {
    step = std::move(undo_.back());
    undo_.pop_back();
  } else {
    step = std::move(redo_.back());
    redo_.pop_back();
  }
  bytes_ -= step.bytes;
  for (int t = 0; t < 2; ++t) {
    if (step.dirty[t]) applied_[t] += backwards ? -1 : 1;
  }
  if (!replay(step, backwards)) {
    step.bytes = 0;
    release(step);
    clear();
    return true;
  }
  bytes_ += step.bytes;
  if (backwards) {
    redo_.push_back(std::move(step));
  } else {
    undo_.push_back(std::move(step));
  }
  enforceLimits();
  notifyChanged();
  return true;
}

bool EditHistory::replay(Step& step, bool backwards) {
  mode_ = Mode::Replaying;
  try {
    if (backwards) {
      for (auto it = step.changes.rbegin(); it != step.changes.rend(); ++it)
        applyChange(*it, tables_);
    } else {
      for (TableChange& change : step.changes) applyChange(change, tables_);
    }
  } catch (const std::exception&) {
    // Only a history that no longer matches its tables gets here. Neither
    // the half-applied step nor the rest can be trusted: keep what the
    // tables hold now, and never let it pass for saved.
    mode_ = Mode::Idle;
    for (int t = 0; t < 2; ++t) {
      if (step.touched[t]) tables_[t]->setModified(true);
    }
    return false;
  }
  if (step.touched[1] && step.storeGeneration != storeGeneration_) markStoredRows(step);
  // Back at the count of the last save: the table holds what its file holds.
  for (int t = 0; t < 2; ++t) {
    if (step.touched[t]) tables_[t]->setModified(cleanAt_[t] != applied_[t]);
  }
  mode_ = Mode::Idle;
  step.storeGeneration = storeGeneration_;
  step.bytes = stepBytes(step);
  appendedFrom_ = {kNoRow, kNoRow};
  return true;
}

// A store (or a save) since the step was last applied cleared the marks of
// rows whose channel the radio now holds. Taking the channel back makes the
// row differ from the radio again, so it is marked for the next store.
void EditHistory::markStoredRows(const Step& step) {
  ChannelTable& rig = *tables_[1];
  for (const TableChange& change : step.changes) {
    if (tableOf(change) != 1) continue;
    const RowSpan rows = channelRows(change, rig);
    for (int r = std::max(rows.first, 1); r <= rows.last && r < rig.rowCount(); ++r) {
      rig.setCell(colChanged, r, std::string(kChecked));
      rig.setCheckBoxes(r, true);
    }
  }
}

void EditHistory::clear() {
  for (const Step& step : undo_) release(step);
  for (const Step& step : redo_) release(step);
  undo_.clear();
  redo_.clear();
  for (int t = 0; t < 2; ++t) {
    cleanAt_[t] = tables_[t]->modified() ? std::nullopt : std::optional(applied_[t]);
  }
  notifyChanged();
}

// --- Steps --------------------------------------------------------------------

UndoStep::UndoStep(EditHistory* history, std::string_view name, std::uint64_t mergeKey)
    : history_(history) {
  if (history_) history_->begin(name, mergeKey);
}

UndoStep::~UndoStep() {
  if (history_) history_->end();
}

void EditHistory::begin(std::string_view name, std::uint64_t mergeKey) {
  if (depth_++ > 0 || mode_ != Mode::Idle) return;
  mode_ = Mode::Recording;
  open_ = Step{};
  open_.name = std::string(name);
  open_.mergeKey = mergeKey;
  openBytes_ = 0;
  openVoid_ = false;
  openTouched_ = {};
  modifiedAtOpen_ = {tables_[0]->modified(), tables_[1]->modified()};
  fresh_ = {};
  appendedFrom_ = {kNoRow, kNoRow};
}

void EditHistory::end() {
  if (--depth_ > 0 || mode_ != Mode::Recording) return;
  try {
    close();
  } catch (const std::bad_alloc&) {
    // The step's changes stand in the tables and cannot be undone.
    mode_ = Mode::Idle;
    clear();
  }
}

void EditHistory::close() {
  mode_ = Mode::Idle;
  Step step = std::exchange(open_, Step{});
  fresh_ = {};
  appendedFrom_ = {kNoRow, kNoRow};
  if (openVoid_) {
    openVoid_ = false;
    for (int t = 0; t < 2; ++t) {
      if (openTouched_[t]) forget(t);
    }
    notifyChanged();
    return;
  }
  // A table counts as touched when a change landed in it or its flag moved.
  step.touched = {};
  for (const TableChange& change : step.changes) step.touched[tableOf(change)] = true;
  for (int t = 0; t < 2; ++t) {
    if (modifiedAtOpen_[t] != tables_[t]->modified()) step.touched[t] = true;
    if (!step.touched[t]) step.dirty[t] = false;
  }
  if (!step.touched[0] && !step.touched[1]) return;
  step.storeGeneration = storeGeneration_;
  const bool joins = step.mergeKey != 0 && !undo_.empty() &&
                     undo_.back().mergeKey == step.mergeKey && redo_.empty();
  if (joins) {
    merge(std::move(step));
  } else {
    push(std::move(step));
  }
  enforceLimits();
  notifyChanged();
}

void EditHistory::push(Step step) {
  discardRedo();
  for (int t = 0; t < 2; ++t) {
    touchCount_[t] += step.touched[t] ? 1 : 0;
    applied_[t] += step.dirty[t] ? 1 : 0;
  }
  step.changes.shrink_to_fit();
  step.bytes = stepBytes(step);
  bytes_ += step.bytes;
  undo_.push_back(std::move(step));
}

void EditHistory::merge(Step step) {
  Step& top = undo_.back();
  bytes_ -= top.bytes;
  for (int t = 0; t < 2; ++t) {
    if (step.touched[t] && !top.touched[t]) {
      top.touched[t] = true;
      ++touchCount_[t];
    }
    if (step.dirty[t] && !top.dirty[t]) {
      top.dirty[t] = true;
      ++applied_[t];
    }
  }
  top.changes.insert(top.changes.end(), std::make_move_iterator(step.changes.begin()),
                     std::make_move_iterator(step.changes.end()));
  top.storeGeneration = step.storeGeneration;
  top.bytes = stepBytes(top);
  bytes_ += top.bytes;
}

void EditHistory::record(TableChange change) {
  openBytes_ += sizeof(TableChange) + heldBytes(change);
  if (openBytes_ > limits_.maxBytes) {
    // Larger than the whole history may be: kept by nobody.
    openVoid_ = true;
    open_.changes = std::vector<TableChange>();
    return;
  }
  open_.changes.push_back(std::move(change));
}

std::size_t EditHistory::stepBytes(const Step& step) const {
  std::size_t n =
      sizeof(Step) + step.name.capacity() + step.changes.capacity() * sizeof(TableChange);
  for (const TableChange& change : step.changes) n += heldBytes(change);
  return n;
}

// --- Dropping steps -----------------------------------------------------------

void EditHistory::release(const Step& step) {
  bytes_ -= step.bytes;
  for (int t = 0; t < 2; ++t) touchCount_[t] -= step.touched[t] ? 1 : 0;
}

void EditHistory::discardRedo() {
  if (redo_.empty()) return;
  for (const Step& step : redo_) release(step);
  redo_.clear();
  dropUnreachableClean();
}

// A saved state that lies beyond the redo steps left can no longer be
// reached: the table stays modified until the next save.
void EditHistory::dropUnreachableClean() {
  for (int t = 0; t < 2; ++t) {
    std::int64_t reachable = applied_[t];
    for (const Step& step : redo_) reachable += step.dirty[t] ? 1 : 0;
    if (cleanAt_[t] && *cleanAt_[t] > reachable) cleanAt_[t].reset();
  }
}

void EditHistory::enforceLimits() {
  const auto over = [&] {
    return undo_.size() + redo_.size() > limits_.maxSteps || bytes_ > limits_.maxBytes;
  };
  // The oldest first; they stay done for good.
  while (over() && !undo_.empty()) {
    release(undo_.front());
    undo_.pop_front();
  }
  bool droppedRedo = false;
  while (over() && !redo_.empty()) {
    release(redo_.front());
    redo_.erase(redo_.begin());
    droppedRedo = true;
  }
  if (droppedRedo) dropUnreachableClean();
}

void EditHistory::forget(int t) {
  if (mode_ == Mode::Recording && openTouched_[t]) {
    openVoid_ = true;
    open_.changes = std::vector<TableChange>();
  }
  cleanAt_[t] = tables_[t]->modified() ? std::nullopt : std::optional(applied_[t]);
  appendedFrom_[t] = kNoRow;
  fresh_[t] = {};
  if (touchCount_[t] == 0) return;
  const int u = 1 - t;
  const auto both = [&](const Step& s) { return s.touched[t] && s.touched[u]; };

  // A done step over both tables fixed the other table's state in place:
  // none of its older steps can be undone any more.
  std::size_t keepFrom = 0;
  for (std::size_t i = undo_.size(); i-- > 0;) {
    if (both(undo_[i])) {
      keepFrom = i + 1;
      break;
    }
  }
  std::deque<Step> keptUndo;
  for (std::size_t i = 0; i < undo_.size(); ++i) {
    if (i < keepFrom || undo_[i].touched[t]) {
      release(undo_[i]);
    } else {
      keptUndo.push_back(std::move(undo_[i]));
    }
  }
  undo_ = std::move(keptUndo);

  // An undone step over both tables is needed by every later step of the
  // other table.
  std::size_t keepRedoFrom = 0;
  for (std::size_t i = redo_.size(); i-- > 0;) {
    if (both(redo_[i])) {
      keepRedoFrom = i + 1;
      break;
    }
  }
  std::vector<Step> keptRedo;
  for (std::size_t i = 0; i < redo_.size(); ++i) {
    if (i < keepRedoFrom || redo_[i].touched[t]) {
      release(redo_[i]);
    } else {
      keptRedo.push_back(std::move(redo_[i]));
    }
  }
  redo_ = std::move(keptRedo);
  dropUnreachableClean();
  notifyChanged();
}

// --- What the tables report ---------------------------------------------------

bool EditHistory::recordsRow(int t, int row) const {
  return mode_ == Mode::Recording && !openVoid_ &&
         !(fresh_[t].first <= row && row <= fresh_[t].last);
}

void EditHistory::touch(int t) {
  openTouched_[t] = true;
}

bool EditHistory::wantsOldCells(const ChannelTable& table, int row) const {
  return recordsRow(indexOf(table), row);
}

void EditHistory::cellChanged(ChannelTable& table, int row, int col, std::string&& old) {
  const int t = indexOf(table);
  if (mode_ == Mode::Idle) return externalCells(t, row, row, col, col);
  if (mode_ != Mode::Recording) return;
  touch(t);
  if (recordsRow(t, row)) {
    record(CellChange{std::move(old), row, static_cast<std::uint8_t>(col),
                      static_cast<std::uint8_t>(t)});
  }
}

void EditHistory::cellsOverwritten(ChannelTable& table, int firstRow, int lastRow, int firstCol,
                                   int lastCol) {
  const int t = indexOf(table);
  if (mode_ == Mode::Idle) return externalCells(t, firstRow, lastRow, firstCol, lastCol);
  // While recording, only rows the step need not record get here.
  if (mode_ == Mode::Recording) touch(t);
}

void EditHistory::externalCells(int t, int firstRow, int lastRow, int firstCol, int lastCol) {
  firstRow = std::max(firstRow, 1);
  if (lastRow < firstRow) return;  // the header row
  if (tables_[t]->isRig() && firstCol <= colChanged && colChanged <= lastCol) ++storeGeneration_;
  // Labels and marks move on without the history; a channel overwritten
  // where a step may take it back does not.
  const bool channel = firstCol <= colToneSquelch && lastCol >= colFrequency;
  if (channel && firstRow < appendedFrom_[t]) forget(t);
}

void EditHistory::checkBoxesChanged(ChannelTable& table, int row, bool old) {
  const int t = indexOf(table);
  if (mode_ != Mode::Recording) return;
  touch(t);
  if (recordsRow(t, row)) record(CheckBoxChange{row, static_cast<std::uint8_t>(t), old});
}

void EditHistory::rowsInserted(ChannelTable& table, int at, int count) {
  const int t = indexOf(table);
  if (mode_ == Mode::Idle) {
    // Rows appended at the end (channels collected during a read) leave
    // every step's rows where they were.
    if (at + count == table.rowCount()) {
      appendedFrom_[t] = std::min(appendedFrom_[t], at);
    } else {
      forget(t);
    }
    return;
  }
  if (mode_ != Mode::Recording) return;
  touch(t);
  if (openVoid_) return;
  record(RowsChange{at, count, static_cast<std::uint8_t>(t), true, nullptr});
  fresh_[t] = {at, at + count - 1};
}

void EditHistory::rowsRemoving(ChannelTable& table, int at, std::span<const ChannelRecord> rows,
                               std::span<const char> checkBoxes) {
  const int t = indexOf(table);
  if (mode_ == Mode::Idle) return forget(t);
  if (mode_ != Mode::Recording) return;
  touch(t);
  fresh_[t] = {};
  if (openVoid_) return;
  auto block = std::make_unique<RowBlock>();
  block->records.assign(rows.begin(), rows.end());
  block->checkBoxes.assign(checkBoxes.begin(), checkBoxes.end());
  record(RowsChange{at, static_cast<std::int32_t>(rows.size()), static_cast<std::uint8_t>(t), false,
                    std::move(block)});
}

void EditHistory::rowMoved(ChannelTable& table, int from, int to) {
  const int t = indexOf(table);
  if (mode_ == Mode::Idle) return forget(t);
  if (mode_ != Mode::Recording) return;
  touch(t);
  fresh_[t] = {};
  if (!openVoid_) record(MoveChange{from, to, static_cast<std::uint8_t>(t)});
}

void EditHistory::rowsPermuted(ChannelTable& table, int first, std::span<const int> order) {
  const int t = indexOf(table);
  if (mode_ == Mode::Idle) return forget(t);
  if (mode_ != Mode::Recording) return;
  touch(t);
  fresh_[t] = {};
  if (!openVoid_) {
    record(PermuteChange{first, static_cast<std::uint8_t>(t), {order.begin(), order.end()}});
  }
}

void EditHistory::sortKeysChanged(ChannelTable& table, std::vector<SortKey>&& old) {
  const int t = indexOf(table);
  if (mode_ != Mode::Recording) return;
  touch(t);
  if (!openVoid_) record(SortKeysChange{static_cast<std::uint8_t>(t), std::move(old)});
}

void EditHistory::modifiedSet(ChannelTable& table, bool on) {
  const int t = indexOf(table);
  if (mode_ == Mode::Recording) {
    if (on) {
      touch(t);
      open_.dirty[t] = true;
    }
  } else if (mode_ == Mode::Idle) {
    // A save makes the present state the saved one; a change outside the
    // history (channels collected during a read) can be undone by no step.
    cleanAt_[t] = on ? std::nullopt : std::optional(applied_[t]);
  }
}

void EditHistory::tableReset(ChannelTable& table) {
  const int t = indexOf(table);
  if (mode_ == Mode::Replaying) return;
  if (mode_ == Mode::Recording) touch(t);
  forget(t);
}

void EditHistory::inputLockChanged(bool) {
  notifyChanged();
}

void EditHistory::addObserver(HistoryObserver* observer) {
  if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end()) {
    observers_.push_back(observer);
  }
}

void EditHistory::removeObserver(HistoryObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void EditHistory::notifyChanged() {
  for (HistoryObserver* o : observers_) o->historyChanged();
}

}  // namespace tarnwick
