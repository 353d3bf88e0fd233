// What the tables report: recorded into the open step, ignored while a step
// is replayed, and otherwise judged as a change made outside the history.

#include <algorithm>
#include <memory>

#include "tables/edit_history.h"

namespace tarnwick {

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

}  // namespace tarnwick
