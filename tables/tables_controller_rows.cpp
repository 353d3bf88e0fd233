// Insert, delete and drag and drop. The permanent file is a free list whose
// rows come and go; the rig table has one row per memory number, so its rows
// only move inside the block 1..99.

#include "rig/receive_ranges.h"
#include "tables/step_names.h"
#include "tables/table_ops.h"
#include "tables/tables_controller.h"

namespace tarnwick {
namespace {

// Drops onto the rig table reach the first two rows after the block (P1 and
// P2 or 1A and 1b), never the call channel.
constexpr int kLastRigDropRow = 101;

}  // namespace

bool TablesController::insertRow(ChannelTable& table, int row) {
  if (&table == &file_) return insertPermanentRow(row);
  if (&table == &rig_) return insertRigRow(row);
  return false;
}

bool TablesController::insertPermanentRow(int row) {
  if (!mayChange(file_) || !file_.isDataRow(row)) return false;
  UndoStep step(history_, kStepInsert);
  file_.insertRows(row, 1);
  file_.setCheckBoxes(row, true);
  file_.setModified(true);
  return true;
}

bool TablesController::insertRigRow(int row) {
  if (!mayChange(rig_)) return false;
  // An empty row already is the room an insert would make.
  if (!IsOccupied(rig_, row, sep())) return false;
  const int freeRow = FirstFreeRow(rig_, FirstUsedRow(rig_, row, sep()), sep());
  if (freeRow == -1) {
    messages_.showError(kTableFullMessage);
    return false;
  }
  // Opened after the message: the box runs events, and the engine's changes
  // meanwhile must not join the step.
  UndoStep step(history_, kStepInsert);
  moveRowsDown(rig_, row, freeRow);
  rig_.setModified(true);
  return true;
}

bool TablesController::deleteRow(ChannelTable& table, int row) {
  if (&table == &file_) return deletePermanentRow(row);
  if (&table == &rig_) return deleteRigRow(row);
  return false;
}

bool TablesController::deletePermanentRow(int row) {
  if (!mayChange(file_) || !file_.isDataRow(row)) return false;
  UndoStep step(history_, kStepDelete);
  // The permanent file always keeps one row.
  if (file_.dataRowCount() == 1) {
    putCells(file_, row, RowCells{});
  } else {
    file_.removeRows(row, 1);
  }
  file_.setModified(true);
  return true;
}

bool TablesController::deleteRigRow(int row) {
  if (!mayChange(rig_) || !rig_.isDataRow(row)) return false;
  UndoStep step(history_, kStepDelete);
  if (IsOccupied(rig_, row, sep())) {
    // The next store blanks the memory in the radio.
    RowCells cells;
    cells[colSelect - 1] = selectCellText(modelIndex_, kUnchecked);
    cells[colChanged - 1] = std::string(kChecked);
    putCells(rig_, row, cells);
    rig_.setCheckBoxes(row, true);
  } else if (const int used = FirstUsedRow(rig_, row, sep()); used != -1) {
    // Close the gap: the rows up to the next empty one move up by one. A
    // block that runs full to row 99 has no empty row to take the gap, and
    // stays where it is.
    if (const int bottom = FirstFreeRow(rig_, used, sep()); bottom != -1) {
      moveRowsUp(rig_, row, bottom);
    }
  }
  rig_.setModified(true);
  return true;
}

void TablesController::armDrag(const ChannelTable& table, int row, bool editorOpen) {
  dragRow_ = -1;
  dragSource_ = nullptr;
  if (editorOpen || !mayChange(table) || !table.isDataRow(row)) return;
  dragRow_ = row;
  dragSource_ = &table;
}

bool TablesController::acceptsDrop(const ChannelTable& target, const ChannelTable& source,
                                   int row) const {
  // A locked table neither gives nor takes rows: a drag out of the rig table
  // during a store would empty a row the store is writing.
  if (!mayChange(target) || !mayChange(source)) return false;
  if (&source != dragSource_ || !source.isDataRow(dragRow_)) return false;
  // A row dropped onto itself stays as it is.
  if (&source == &target && row == dragRow_) return false;
  if (&target == &file_) return file_.isDataRow(row);
  if (!rig_.isDataRow(row) || row > kLastRigDropRow) return false;
  if (!IsOccupied(rig_, row, sep())) return true;
  return FirstFreeRow(rig_, FirstUsedRow(rig_, row, sep()), sep()) != -1;
}

bool TablesController::drop(ChannelTable& target, ChannelTable& source, int row) {
  if (!acceptsDrop(target, source, row)) return false;
  const int sourceRow = dragRow_;
  dragRow_ = -1;
  dragSource_ = nullptr;
  // A row the radio cannot keep is refused before anything moves.
  FitReport report(modelIndex_);
  if (&target == &rig_) {
    ChannelRecord moved = source.record(sourceRow);
    if (const RowFit fit = fitRowToModel(moved, modelIndex_, receiveRanges(modelIndex_), sep());
        fit.refused()) {
      report.add(source.cell(colNumber, sourceRow), fit);
      tellFits(report);
      return false;
    }
  }
  bool dropped = true;
  {
    UndoStep step(history_, kStepDrag);
    if (IsOccupied(target, row, sep())) {
      dropped = &target == &rig_ ? rigDropOnOccupied(source, sourceRow, row)
                                 : fileDropOnOccupied(source, sourceRow, row);
    } else {
      CopyRowCells(source, sourceRow, row, target);
      markRow(target, row);
      // Within a table the channel moves: its old row is left empty (and in
      // the rig table blanked by the next store).
      if (&source == &target) EmptyRow(target, sourceRow);
    }
    // What the radio cannot keep is converted within the same step, so that
    // one undo takes the whole drop back.
    if (dropped && &target == &rig_) report.add(rig_.cell(colNumber, row), fitRigRow(row));
  }
  tellFits(report);
  return dropped;
}

bool TablesController::rigDropOnOccupied(ChannelTable& source, int sourceRow, int row) {
  const int freeRow = FirstFreeRow(rig_, FirstUsedRow(rig_, row, sep()), sep());
  if (freeRow == -1) return false;
  takeDragRow(source, sourceRow);
  if (&source == &rig_) EmptyRow(rig_, sourceRow);
  moveRowsDown(rig_, row, freeRow);
  putDragRow(rig_, row);
  rig_.setCheckBoxes(row, true);
  RenumberRows(rig_);
  rig_.setModified(true);
  return true;
}

bool TablesController::fileDropOnOccupied(ChannelTable& source, int sourceRow, int row) {
  if (&source == &file_) {
    // Taking the row out and inserting it at `row` of the shorter table puts
    // it at index `row`: one move. It stands there as a new row, without a
    // label, so that the renumbering marks it wherever it came from.
    file_.moveRow(sourceRow, row);
    file_.setCell(colNumber, row, {});
  } else {
    takeDragRow(source, sourceRow);
    file_.insertRows(row, 1);
    putDragRow(file_, row);
  }
  file_.setCheckBoxes(row, true);
  RenumberRows(file_);
  file_.setModified(true);
  return true;
}

}  // namespace tarnwick
