// Copy, cut and paste of a rectangle of cells. A paste is an edit like any
// other: it marks what it changed, so it is neither lost at exit nor skipped
// by the next store.

#include <algorithm>

#include "rig/frequency_text.h"
#include "tables/step_names.h"
#include "tables/table_ops.h"
#include "tables/tables_controller.h"

namespace tarnwick {
std::string TablesController::copyCells(const ChannelTable& table, const CellBlock& block) const {
  TextGrid grid;
  for (int r = std::max(block.firstRow, 0); r <= block.lastRow && r < table.rowCount(); ++r) {
    std::vector<std::string>& row = grid.emplace_back();
    for (int col : block.columns) row.push_back(table.cell(col, r));
  }
  return formatTabSeparated(grid);
}

std::optional<std::string> TablesController::cutCells(ChannelTable& table, const CellBlock& block) {
  if (!mayChange(table)) return std::nullopt;
  UndoStep step(history_, kStepCut);
  std::string text = copyCells(table, block);
  const std::vector<std::string> blanks(block.columns.size());
  // A row that changed is marked, and with it the table.
  for (int r = std::max(block.firstRow, 1); r <= block.lastRow && r < table.rowCount(); ++r) {
    writeUserCells(table, r, block.columns, blanks);
  }
  return text;
}

CellBlock TablesController::pasteCells(ChannelTable& table, int row, std::span<const int> columns,
                                       std::string_view text) {
  CellBlock written;
  if (!mayChange(table) || row < 1 || row > table.rowCount() || columns.empty()) return written;
  const TextGrid grid = parseTabSeparated(text);
  if (grid.empty()) return written;
  int lastRow = row + static_cast<int>(grid.size()) - 1;
  // The rig table has one row per memory: a paste never adds any.
  if (table.isRig()) lastRow = std::min(lastRow, table.rowCount() - 1);
  std::size_t width = 0;
  for (const auto& cells : grid) width = std::max(width, cells.size());
  width = std::min(width, columns.size());
  const std::span<const int> used = columns.first(width);

  // One frequency that cannot be taken refuses the whole block: half a paste
  // would leave rows that match neither the source nor the table.
  for (std::size_t i = 0; i < grid.size() && row + static_cast<int>(i) <= lastRow; ++i) {
    for (std::size_t j = 0; j < width && j < grid[i].size(); ++j) {
      if (!isFrequencyColumn(used[j])) continue;
      const TypedFrequency typed = readFrequencyFor(table, grid[i][j]);
      if (!typed.refused()) continue;
      const int r = row + static_cast<int>(i);
      const std::string label = r < table.rowCount() ? table.cell(colNumber, r) : std::to_string(r);
      messages_.showError("Nothing pasted. Row " + label + ", " +
                          std::string(kColumnHeaders[used[j]]) + ": " + typed.reason);
      return written;
    }
  }
  UndoStep step(history_, kStepPaste);
  if (!table.isRig() && lastRow >= table.rowCount()) {
    const int first = table.rowCount();
    table.insertRows(first, lastRow - first + 1);
    for (int r = first; r <= lastRow; ++r) table.setCheckBoxes(r, true);
  }

  for (int r = row; r <= lastRow; ++r) {
    std::vector<std::string> cells = grid[static_cast<std::size_t>(r - row)];
    cells.resize(width);
    writeUserCells(table, r, used, cells);
  }
  written.firstRow = row;
  written.lastRow = lastRow;
  written.columns.assign(used.begin(), used.end());
  return written;
}

void TablesController::writeUserCells(ChannelTable& table, int row, std::span<const int> columns,
                                      std::span<const std::string> texts) {
  if (!table.isDataRow(row)) return;
  bool changed = false;
  bool frequencyWritten = false;
  bool txWritten = false;
  // Columns in the order shown, which is index order, so that a pasted
  // "Split" opens the Tx Frequency of its own row.
  for (std::size_t i = 0; i < columns.size() && i < texts.size(); ++i) {
    const int col = columns[i];
    if (!canEditCell(table, col, row)) continue;
    std::string text = texts[i];
    // Marks take the form of their column: a Select of another radio's form
    // becomes this radio's.
    if (col == colSelect) text = selectCellText(modelIndex_, text);
    if (col == colChanged) text = std::string(text == kChecked ? kChecked : kUnchecked);
    if (table.cell(col, row) == text) continue;
    if (editorType(col).kind == EditorKind::Text) table.names().add(text);
    table.setCell(col, row, std::move(text));
    frequencyWritten = frequencyWritten || col == colFrequency;
    txWritten = txWritten || col == colTxFrequency;
    changed = changed || col != colChanged;
  }
  // Written last, once the row's pasted mode is in; the texts were checked
  // before anything was written.
  for (const int col : {colFrequency, colTxFrequency}) {
    if (!(col == colFrequency ? frequencyWritten : txWritten)) continue;
    const TypedFrequency typed = readTypedFrequency(table.cell(col, row), sep());
    table.setCell(
        col, row,
        typed.kind == TypedFrequency::Kind::Value
            ? formatFrequency(static_cast<std::int32_t>(typed.hz), table.cell(colMode, row), sep())
            : std::string());
  }
  if (changed) markRow(table, row);
  table.setCheckBoxes(row, true);
}

}  // namespace tarnwick
