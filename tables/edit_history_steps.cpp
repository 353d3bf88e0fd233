// Opening and closing steps, and dropping them: past the bounds, and when a
// table's history ends.

#include <new>
#include <type_traits>
#include <utility>

#include "tables/edit_history.h"

namespace tarnwick {

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

  // Drops the table's steps and every step before the last one over both
  // tables. A done step over both fixed the other table's state in place:
  // none of its older steps can be undone any more. An undone step over both
  // is needed by every later step of the other table.
  const auto prune = [&](auto& steps) {
    std::size_t keepFrom = 0;
    for (std::size_t i = steps.size(); i-- > 0;) {
      if (both(steps[i])) {
        keepFrom = i + 1;
        break;
      }
    }
    std::remove_reference_t<decltype(steps)> kept;
    for (std::size_t i = 0; i < steps.size(); ++i) {
      if (i < keepFrom || steps[i].touched[t]) {
        release(steps[i]);
      } else {
        kept.push_back(std::move(steps[i]));
      }
    }
    steps = std::move(kept);
  };
  prune(undo_);
  prune(redo_);
  dropUnreachableClean();
  notifyChanged();
}

}  // namespace tarnwick
