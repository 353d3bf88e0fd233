#pragma once
// A channel table: a header row (row 0), a label column (column 0) and data
// rows 1..N of eleven texts, with the unsaved-changes flag `Modified`. Both
// the permanent file and the rig table are instances; the widget is only a
// view over it. Every change is reported to the observers, and to the
// recorder (an edit history) with what undoes it.

#include <algorithm>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rig/channel_record.h"
#include "tables/name_list.h"
#include "tables/sort_key.h"
#include "tables/table_observer.h"
#include "tables/table_recorder.h"

namespace tarnwick {

enum class TableKind { PermanentFile, Rig };

// Whole rows with their check-box flags, as taken out of a table and put back.
struct RowBlock {
  std::vector<ChannelRecord> records;
  std::vector<char> checkBoxes;
};

class ChannelTable {
 public:
  explicit ChannelTable(TableKind kind);

  TableKind kind() const { return kind_; }
  bool isRig() const { return kind_ == TableKind::Rig; }

  // Rows including the header row (at least 1).
  int rowCount() const { return static_cast<int>(rows_.size()); }
  int dataRowCount() const { return rowCount() - 1; }
  bool isDataRow(int row) const { return row >= 1 && row < rowCount(); }
  // Cuts or extends the table; new rows are empty and have no check boxes.
  void setRowCount(int rows);
  // Empties every cell, the header row included; the row count stays.
  void clearCells();

  // Cell access by (column, row). Reading outside the table gives "".
  const std::string& cell(int col, int row) const;
  void setCell(int col, int row, std::string text);
  const ChannelRecord& record(int row) const { return rows_.at(static_cast<std::size_t>(row)); }
  void setRecord(int row, ChannelRecord record);

  // Lets `edit(row, record)` change rows first..last in place, touching only
  // columns firstCol..lastCol, and return whether it changed the row. Each
  // run of consecutive changed rows is reported as one cellsChanged, so a
  // pass over a long table sends few notifications. A recorder that wants
  // the old texts gets those of the cells the edit changed.
  template <typename F>
  void editRows(int first, int last, int firstCol, int lastCol, F&& edit) {
    first = std::max(first, 0);
    last = std::min(last, rowCount() - 1);
    int runStart = -1;
    for (int r = first; r <= last; ++r) {
      ChannelRecord& rec = rows_[static_cast<std::size_t>(r)];
      bool changed = false;
      if (recorder_ == nullptr) {
        changed = edit(r, rec);
      } else if (recorder_->wantsOldCells(*this, r)) {
        ChannelRecord old;
        for (int c = firstCol; c <= lastCol; ++c) old[idx(c)] = rec[idx(c)];
        changed = edit(r, rec);
        if (changed) reportOldCells(r, firstCol, lastCol, old);
      } else {
        changed = edit(r, rec);
        if (changed) recorder_->cellsOverwritten(*this, r, r, firstCol, lastCol);
      }
      if (changed) {
        if (runStart < 0) runStart = r;
      } else if (runStart >= 0) {
        notifyCells(runStart, r - 1, firstCol, lastCol);
        runStart = -1;
      }
    }
    if (runStart >= 0) notifyCells(runStart, last, firstCol, lastCol);
  }

  // Whether the row shows its Select and Changed check boxes.
  bool hasCheckBoxes(int row) const;
  void setCheckBoxes(int row, bool on);

  // Structural changes.
  void insertRows(int at, int count);  // empty rows without check boxes
  void insertRows(int at, RowBlock block);
  void removeRows(int at, int count);
  // Removes the rows and hands them back.
  RowBlock takeRows(int at, int count);
  // Moves row `from` so that it stands at index `to` afterwards; the rows in
  // between shift by one.
  void moveRow(int from, int to);
  // Reorders data rows first..last: new row first+i is old row order[i].
  void permuteRows(int first, std::span<const int> order);

  // Replaces the whole content (rows[0] is the header row).
  void assign(std::vector<ChannelRecord> rows, bool checkBoxes);

  bool modified() const { return modified_; }
  void setModified(bool on);

  // Header sorting is offered only while the sort indication is on; turning
  // it off also forgets the keys, so the header shows no direction.
  bool sortIndication() const { return sortIndication_; }
  void setSortIndication(bool on);
  const std::vector<SortKey>& sortKeys() const { return sortKeys_; }
  void setSortKeys(std::vector<SortKey> keys);

  // While locked, the user's operations (TablesController) refuse to change
  // the table; the transfer engine still fills it. The rig table is locked
  // while a read or a store runs and until the first read has finished.
  bool inputLocked() const { return inputLocked_; }
  void setInputLocked(bool on);

  // Known names that complete the user's typing in this table.
  NameList& names() { return names_; }
  const NameList& names() const { return names_; }

  void addObserver(TableObserver* observer);
  void removeObserver(TableObserver* observer);

  // At most one recorder (an edit history); nullptr removes it.
  void setRecorder(TableRecorder* recorder) { recorder_ = recorder; }
  TableRecorder* recorder() const { return recorder_; }

 private:
  static std::size_t idx(int i) { return static_cast<std::size_t>(i); }
  template <typename F>
  void notify(F&& f) {
    for (TableObserver* o : observers_) f(*o);
  }
  void notifyCells(int firstRow, int lastRow, int firstCol, int lastCol);
  void reportOldCells(int row, int firstCol, int lastCol, ChannelRecord& old);
  void reportRemoval(int at, int count);

  TableKind kind_;
  std::vector<ChannelRecord> rows_;
  std::vector<char> checkBoxes_;  // per row, parallel to rows_
  bool modified_ = false;
  bool sortIndication_ = false;
  bool inputLocked_ = false;
  std::vector<SortKey> sortKeys_;
  NameList names_;
  std::vector<TableObserver*> observers_;
  TableRecorder* recorder_ = nullptr;
};

}  // namespace tarnwick
