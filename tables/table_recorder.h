#pragma once
// The hook through which a channel table tells an edit history about each of
// its changes, with what undoes it: the old cell text, check-box flag, rows
// and order. A table without a recorder pays nothing for it.

#include <span>
#include <string>
#include <vector>

#include "rig/channel_record.h"
#include "tables/sort_key.h"

namespace tarnwick {

class ChannelTable;

class TableRecorder {
 public:
  virtual ~TableRecorder() = default;

  // Whether editRows is to hand over the old texts of `row`; it then copies
  // the row's cells before the edit, which a pass over a long table that no
  // step records should not pay for.
  virtual bool wantsOldCells(const ChannelTable& table, int row) const = 0;

  // Cell (col, row) held `old` before it changed.
  virtual void cellChanged(ChannelTable& table, int row, int col, std::string&& old) = 0;
  // editRows changed cells of the row range without handing over old texts.
  virtual void cellsOverwritten(ChannelTable& table, int firstRow, int lastRow, int firstCol,
                                int lastCol) = 0;
  virtual void checkBoxesChanged(ChannelTable& table, int row, bool old) = 0;
  // Rows at..at+count-1 were inserted.
  virtual void rowsInserted(ChannelTable& table, int at, int count) = 0;
  // The rows from `at` on are about to be removed.
  virtual void rowsRemoving(ChannelTable& table, int at, std::span<const ChannelRecord> rows,
                            std::span<const char> checkBoxes) = 0;
  virtual void rowMoved(ChannelTable& table, int from, int to) = 0;
  // New row first+i is old row order[i].
  virtual void rowsPermuted(ChannelTable& table, int first, std::span<const int> order) = 0;
  virtual void sortKeysChanged(ChannelTable& table, std::vector<SortKey>&& old) = 0;
  // Every call of setModified, also one that leaves the flag as it was.
  virtual void modifiedSet(ChannelTable& table, bool on) = 0;
  // The whole content was replaced (a file read in, a read from the radio).
  virtual void tableReset(ChannelTable& table) = 0;
};

}  // namespace tarnwick
