// Edits of many rows at once: one text into a column of the selected rows,
// and "Set for Selected Rows". Each row is written by the rules of a single
// cell, and the whole is one undo step.

#include <algorithm>

#include "tables/step_names.h"
#include "tables/table_ops.h"
#include "tables/tables_controller.h"

namespace tarnwick {

bool TablesController::fillColumn(ChannelTable& table, std::span<const int> rows, int col,
                                  std::string_view text) {
  if (!mayChange(table) || rows.empty()) return false;
  if (isFrequencyColumn(col)) {
    const TypedFrequency typed = readFrequencyFor(table, text);
    if (typed.refused()) {
      messages_.showError("Nothing pasted. " + std::string(kColumnHeaders[col]) + ": " +
                          typed.reason);
      return false;
    }
  }
  const int cols[] = {col};
  const std::string texts[] = {std::string(text)};
  for (const int row : rows) {
    if (const std::string why = toneRefusal(table, row, cols, texts); !why.empty()) {
      messages_.showError("Nothing pasted. Row " + table.cell(colNumber, row) + ", " + why);
      return false;
    }
  }
  UndoStep step(history_, kStepPaste);
  for (const int row : rows) writeUserCells(table, row, cols, texts);
  return true;
}

std::string TablesController::commitEditToRows(ChannelTable& table, int col, int row,
                                               std::span<const int> others, std::string text) {
  UndoStep step(history_, kStepEdit, editKey_);
  const std::string before = table.cell(col, row);
  std::string othersText = text;
  if (isFrequencyColumn(col) && canEditCell(table, col, row)) {
    const TypedFrequency typed = readFrequencyFor(table, text, frequencyUnit_);
    if (typed.refused()) return commitEdit(table, col, row, text);
    // The other rows read it in hertz, whatever unit it was typed in.
    if (typed.kind == TypedFrequency::Kind::Value) othersText = std::to_string(typed.hz) + " Hz";
  }
  std::string kept = commitEdit(table, col, row, text);
  const int cols[] = {col};
  const std::string texts[] = {othersText};
  for (const int r : others) {
    if (r != row) writeUserCells(table, r, cols, texts);
  }
  return kept;
}

void TablesController::pickListItemForRows(ChannelTable& table, int col, std::span<const int> rows,
                                           std::string item) {
  if (!mayChange(table) || editorType(col).kind != EditorKind::List) return;
  UndoStep step(history_, kStepEdit);
  for (const int r : rows) pickListItem(table, col, r, item);
}

std::vector<int> TablesController::settableColumns(ColumnSet hidden) const {
  std::vector<int> cols;
  for (const int col :
       {colMode, colFilter, colDuplex, colRepeaterTone, colToneSquelch, colSelect}) {
    if (!hidden.contains(col) && editorType(col).kind != EditorKind::None) cols.push_back(col);
  }
  return cols;
}

std::vector<std::string> TablesController::settableValues(int col) const {
  switch (editorType(col).kind) {
    case EditorKind::List:
      return choices(col);
    case EditorKind::CheckBox:
      return {std::string(kChecked), std::string(kUnchecked)};
    default:
      return {};
  }
}

TablesController::SetForRowsResult TablesController::setForRows(
    ChannelTable& table, std::span<const int> rows, std::span<const ColumnValue> values) {
  SetForRowsResult result;
  if (!mayChange(table) || values.empty()) return result;
  std::vector<int> cols;
  std::vector<std::string> texts;
  for (const ColumnValue& v : values) {
    const std::vector<std::string> allowed = settableValues(v.col);
    // A value the model's editor would not offer is refused for every row.
    if (std::find(allowed.begin(), allowed.end(), v.text) == allowed.end()) {
      result.refused.assign(rows.begin(), rows.end());
      return result;
    }
    cols.push_back(v.col);
    texts.push_back(v.text);
  }
  UndoStep step(history_, kStepSetForRows);
  for (const int row : rows) {
    if (!table.isDataRow(row)) continue;
    // Settings without a channel would make a memory of nothing but them.
    bool takes = IsOccupied(table, row, sep());
    for (const int col : cols) takes = takes && canEditCell(table, col, row);
    takes = takes && toneRefusal(table, row, cols, texts).empty();
    if (!takes) {
      result.refused.push_back(row);
      continue;
    }
    const ChannelRecord before = table.record(row);
    writeUserCells(table, row, cols, texts);
    if (table.record(row) != before) result.changed.push_back(row);
  }
  return result;
}

}  // namespace tarnwick
