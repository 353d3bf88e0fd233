// Copy, cut and paste of a rectangle of cells. A paste is an edit like any
// other: it marks what it changed, so it is neither lost at exit nor skipped
// by the next store.

#include <algorithm>

#include "rig/frequency_text.h"
#include "rig/rig_catalogue.h"
#include "rig/value_codes.h"
#include "tables/step_names.h"
#include "tables/table_ops.h"
#include "tables/tables_controller.h"

namespace tarnwick {
namespace {

// The widest line of pasted text, in cells.
std::size_t parseTabWidth(std::string_view text) {
  std::size_t width = 0;
  for (const auto& cells : parseTabSeparated(text)) width = std::max(width, cells.size());
  return width;
}

}  // namespace

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

std::string TablesController::copyCells(const ChannelTable& table, std::span<const int> rows,
                                        std::span<const int> columns) const {
  TextGrid grid;
  for (const int r : rows) {
    if (!table.isDataRow(r)) continue;
    std::vector<std::string>& cells = grid.emplace_back();
    for (const int col : columns) cells.push_back(table.cell(col, r));
  }
  return formatTabSeparated(grid);
}

std::optional<std::string> TablesController::cutCells(ChannelTable& table,
                                                      std::span<const int> rows,
                                                      std::span<const int> columns) {
  if (!mayChange(table)) return std::nullopt;
  UndoStep step(history_, kStepCut);
  std::string text = copyCells(table, rows, columns);
  const std::vector<std::string> blanks(columns.size());
  for (const int r : rows) writeUserCells(table, r, columns, blanks);
  return text;
}

CellBlock TablesController::pasteCells(ChannelTable& table, int row, std::span<const int> columns,
                                       std::string_view text) {
  CellBlock written;
  if (row < 1 || row > table.rowCount()) return written;
  std::vector<int> rows;
  for (int r = row; r < table.rowCount(); ++r) rows.push_back(r);
  // A paste just below the last row of the permanent file appends.
  if (rows.empty() && !table.isRig()) rows.push_back(row);
  const std::vector<int> done = pasteCells(table, rows, columns, text);
  if (done.empty()) return written;
  written.firstRow = done.front();
  written.lastRow = done.back();
  const std::size_t width = std::min(parseTabWidth(text), columns.size());
  written.columns.assign(columns.begin(), columns.begin() + static_cast<std::ptrdiff_t>(width));
  return written;
}

std::vector<int> TablesController::wholeRowColumns(const TextGrid& grid) const {
  std::vector<int> shown;
  std::vector<int> all;
  const ColumnSet hidden = hiddenColumns(modelIndex_);
  for (int col = colNumber; col < kColumnCount; ++col) {
    all.push_back(col);
    if (!hidden.contains(col)) shown.push_back(col);
  }
  // A row label: a memory number, a special channel ("P1", "Call", "1b"),
  // or none in a permanent-file row not yet numbered.
  const auto isLabel = [](std::string_view s) {
    return s.size() <= 4 && std::all_of(s.begin(), s.end(), [](char c) {
             return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                    c == '?';
           });
  };
  const auto isMark = [](std::string_view s) {
    return s.empty() || s == kUnchecked || s == kChecked || s == kRefused;
  };
  for (const std::vector<int>* cols : {&shown, &all}) {
    const bool rows = std::all_of(grid.begin(), grid.end(), [&](const std::vector<std::string>& l) {
      return l.size() == cols->size() && isLabel(l.front()) && isMark(l.back());
    });
    if (rows && cols->back() == colChanged) return *cols;
  }
  return {};
}

std::vector<int> TablesController::pasteCells(ChannelTable& table, std::span<const int> rows,
                                              std::span<const int> columns, std::string_view text) {
  std::vector<int> written;
  if (!mayChange(table) || rows.empty() || columns.empty()) return written;
  const TextGrid grid = parseTabSeparated(text);
  if (grid.empty()) return written;
  // Rows copied whole go in as rows, whichever cell of the row they are
  // pasted onto: their label stays out of the Frequency cell.
  const std::vector<int> rowColumns = wholeRowColumns(grid);
  const bool asRows = !rowColumns.empty();
  if (asRows) columns = rowColumns;
  // The target of each line: the listed rows, then rows appended to the
  // permanent file; the rig table has one row per memory and never grows.
  std::vector<int> targets;
  int appended = 0;
  for (std::size_t i = 0; i < grid.size(); ++i) {
    if (i < rows.size()) {
      if (rows[i] < 1 || rows[i] > table.rowCount()) break;
      if (rows[i] == table.rowCount()) ++appended;
      targets.push_back(rows[i]);
    } else if (!table.isRig()) {
      targets.push_back(table.rowCount() + appended++);
    }
  }
  std::size_t width = 0;
  for (const auto& cells : grid) width = std::max(width, cells.size());
  width = std::min(width, columns.size());
  const std::span<const int> used = columns.first(width);

  // One frequency that cannot be taken refuses the whole block: half a paste
  // would leave rows that match neither the source nor the table.
  for (std::size_t i = 0; i < targets.size(); ++i) {
    for (std::size_t j = 0; j < width && j < grid[i].size(); ++j) {
      if (!isFrequencyColumn(used[j])) continue;
      const TypedFrequency typed = readFrequencyFor(table, grid[i][j]);
      if (!typed.refused()) continue;
      const int r = targets[i];
      const std::string label = r < table.rowCount() ? table.cell(colNumber, r) : std::to_string(r);
      messages_.showError("Nothing pasted. Row " + label + ", " +
                          std::string(kColumnHeaders[used[j]]) + ": " + typed.reason);
      return written;
    }
    // Cells pasted onto a row must not bring it a second tone it cannot
    // keep; rows pasted whole are fitted to the radio instead.
    if (asRows || targets[i] >= table.rowCount()) continue;
    std::vector<std::string> cells = grid[i];
    cells.resize(width);
    if (const std::string why = toneRefusal(table, targets[i], used, cells); !why.empty()) {
      messages_.showError("Nothing pasted. Row " + table.cell(colNumber, targets[i]) + ", " + why);
      return written;
    }
  }
  FitReport report(modelIndex_);
  {
    UndoStep step(history_, kStepPaste);
    if (appended > 0) {
      const int first = table.rowCount();
      table.insertRows(first, appended);
      for (int r = first; r < first + appended; ++r) table.setCheckBoxes(r, true);
    }
    for (std::size_t i = 0; i < targets.size(); ++i) {
      std::vector<std::string> cells = grid[i];
      cells.resize(width);
      writeUserCells(table, targets[i], used, cells);
      if (asRows && table.isRig()) {
        keepPastedTx(targets[i], used, cells);
        report.add(table.cell(colNumber, targets[i]), fitRigRow(targets[i]));
      }
    }
  }
  // Told once the step is closed: a box runs events.
  tellFits(report);
  return targets;
}

void TablesController::keepPastedTx(int row, std::span<const int> columns,
                                    std::span<const std::string> texts) {
  // A whole row keeps its transmit frequency, as a dragged row does, though
  // the cell takes typing only in a Split row.
  const auto at = std::find(columns.begin(), columns.end(), colTxFrequency);
  if (at == columns.end()) return;
  const std::string& tx = texts[static_cast<std::size_t>(at - columns.begin())];
  const TypedFrequency typed = readTypedFrequency(tx, sep());
  if (typed.kind != TypedFrequency::Kind::Value || duplexCodeOf(rig_.cell(colDuplex, row)) == 0 ||
      !rig_.cell(colTxFrequency, row).empty()) {
    return;
  }
  rig_.setCell(
      colTxFrequency, row,
      formatFrequency(static_cast<std::int32_t>(typed.hz), rig_.cell(colMode, row), sep()));
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
