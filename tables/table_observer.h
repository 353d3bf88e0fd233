#pragma once
// Change notifications of a channel table, shaped so that a Qt item model can
// forward each one exactly (begin/end pairs around structural changes).
// Row numbers are table rows: 0 is the header row, data rows are 1..N.

#include <span>

namespace tarnwick {

class TableObserver {
 public:
  virtual ~TableObserver() = default;

  // Texts of the cells in rows first..last, columns firstCol..lastCol changed.
  // Row 0 is reported through headerChanged instead.
  virtual void cellsChanged(int /*firstRow*/, int /*lastRow*/, int /*firstCol*/, int /*lastCol*/) {}
  virtual void headerChanged() {}

  // Rows first..last are about to be inserted / have been inserted.
  virtual void rowsAboutToBeInserted(int /*first*/, int /*last*/) {}
  virtual void rowsInserted(int /*first*/, int /*last*/) {}

  virtual void rowsAboutToBeRemoved(int /*first*/, int /*last*/) {}
  virtual void rowsRemoved(int /*first*/, int /*last*/) {}

  // Rows first..last move so that they stand before row `destination` (as
  // counted before the move); destination is never inside first..last+1.
  virtual void rowsAboutToBeMoved(int /*first*/, int /*last*/, int /*destination*/) {}
  virtual void rowsMoved(int /*first*/, int /*last*/, int /*destination*/) {}

  // Rows were reordered in place (a sort): same count, any order.
  virtual void layoutAboutToBeChanged() {}
  // Sent between the two layout calls: new row first+i is old row order[i],
  // so that an item model can move its persistent indexes.
  virtual void rowsPermuted(int /*first*/, std::span<const int> /*order*/) {}
  virtual void layoutChanged() {}

  // Everything may have changed (row count included).
  virtual void modelAboutToBeReset() {}
  virtual void modelReset() {}

  virtual void modifiedChanged(bool /*modified*/) {}

  // The table started or stopped refusing the user's changes.
  virtual void inputLockChanged(bool /*locked*/) {}

  // The sort keys or the sort indication of the table changed (header arrows).
  virtual void sortIndicatorChanged() {}
};

}  // namespace tarnwick
