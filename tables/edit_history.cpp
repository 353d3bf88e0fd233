#include "tables/edit_history.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace tarnwick {

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
