#include "tables/row_helpers.h"

#include <algorithm>

#include "tables/table_ops.h"

namespace tarnwick {

int lastBlockRow(const ChannelTable& rig) {
  return std::min(kLastBlockRow, rig.rowCount() - 1);
}

int FirstUsedRow(const ChannelTable& rig, int start, Separators sep) {
  for (int r = std::max(start, 1); r <= lastBlockRow(rig); ++r) {
    if (IsOccupied(rig, r, sep)) return r;
  }
  return -1;
}

int FirstFreeRow(const ChannelTable& rig, int start, Separators sep) {
  if (start < 1) return -1;
  for (int r = start; r <= lastBlockRow(rig); ++r) {
    if (!IsOccupied(rig, r, sep)) return r;
  }
  return -1;
}

RowCells takeCells(const ChannelTable& table, int row) {
  RowCells cells;
  for (int c = 1; c < kColumnCount; ++c)
    cells[static_cast<std::size_t>(c - 1)] = table.cell(c, row);
  return cells;
}

void putCells(ChannelTable& table, int row, const RowCells& cells) {
  table.editRows(row, row, colFrequency, colChanged, [&](int, ChannelRecord& rec) {
    bool changed = false;
    for (int c = 1; c < kColumnCount; ++c) {
      const std::string& text = cells[static_cast<std::size_t>(c - 1)];
      if (rec[static_cast<std::size_t>(c)] != text) {
        rec[static_cast<std::size_t>(c)] = text;
        changed = true;
      }
    }
    return changed;
  });
}

void CopyRowCells(const ChannelTable& source, int sourceRow, int targetRow, ChannelTable& target) {
  if (&source == &target && sourceRow == targetRow) return;
  putCells(target, targetRow, takeCells(source, sourceRow));
}

void EmptyRow(ChannelTable& table, int row) {
  if (!table.isDataRow(row)) return;
  RowCells cells;
  cells[colChanged - 1] = std::string(kChecked);
  putCells(table, row, cells);
  // A row that carries a mark shows it.
  table.setCheckBoxes(row, true);
  table.setModified(true);
}

void moveRowsDown(ChannelTable& table, int top, int freeRow) {
  if (top < freeRow) table.moveRow(freeRow, top);
}

void moveRowsUp(ChannelTable& table, int top, int bottom) {
  if (top < bottom) table.moveRow(top, bottom);
}

}  // namespace tarnwick
