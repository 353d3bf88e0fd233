#include "tables/tables_controller.h"

#include "rig/frequency_text.h"
#include "rig/rig_catalogue.h"
#include "rig/store_check.h"
#include "tables/duplex_tx.h"
#include "tables/row_helpers.h"
#include "tables/step_names.h"
#include "tables/table_ops.h"
#include "tables/table_sort.h"

namespace tarnwick {

TablesController::TablesController(ChannelTable& file, ChannelTable& rig, TableMessages& messages)
    : file_(file), rig_(rig), messages_(messages) {}

std::vector<std::string> TablesController::choices(int col) const {
  return editorChoices(modelIndex_, col, sep());
}

int TablesController::preselected(const ChannelTable& table, int col, int row) const {
  const std::vector<std::string> items = choices(col);
  return preselectedChoice(items, table.cell(col, row));
}

std::vector<std::string> TablesController::completions(const ChannelTable& table,
                                                       std::string_view prefix) const {
  return table.names().completions(prefix);
}

void TablesController::markRow(ChannelTable& table, int row) {
  table.setCell(colChanged, row, std::string(kChecked));
  table.setCheckBoxes(row, true);
  table.setModified(true);
}

std::string TablesController::startEdit(const ChannelTable& table, int col, int row) {
  editStartText_ = table.cell(col, row);
  editStartChanged_ = table.cell(colChanged, row);
  editStartCheckBoxes_ = table.hasCheckBoxes(row);
  editStartModified_ = table.modified();
  editKey_ = history_ ? history_->newMergeKey() : 0;
  if (col == colFrequency || (col == colTxFrequency && frequencyUnit_ == FrequencyUnit::MHz)) {
    return frequencyEditText(editStartText_, frequencyUnit_, sep());
  }
  return editStartText_;
}

int TablesController::textLimit(const ChannelTable& table, int col, int row) const {
  const int limit = editorType(col).maxLength;
  if (col != colName || !table.isRig() || !rigNameLength_) return limit;
  const int kept = rigNameLength_(row);
  return kept > 0 && kept < limit ? kept : limit;
}

void TablesController::explainRefusedEdit(const ChannelTable& table, int col, int row) const {
  if (!isOurs(table) || !table.isDataRow(row)) return;
  if (table.inputLocked()) {
    messages_.showRefusal(
        "The rig table takes no edits while the radio is read or written; Escape stops it");
  } else if (table.isRig() && col == colTxFrequency && !isCellEditable(table, col, row)) {
    messages_.showRefusal(
        "Tx Frequency is typed only in a Split row: choose Split in its Duplex cell first");
  }
}

// The cell itself is written when the editor is left (commitEdit), so
// that an editor closed with Escape leaves the cell as it was.
void TablesController::editTextChanged(ChannelTable& table, int col, int row,
                                       std::string_view text) {
  if (!canEditCell(table, col, row)) return;
  UndoStep step(history_, kStepEdit, editKey_);
  bool differs = text != editStartText_;
  if (isFrequencyColumn(col)) {
    // Half-typed or mistyped values mark nothing; only a value the cell
    // would take counts.
    const TypedFrequency typed = readTypedFrequency(text, sep(), frequencyUnit_);
    differs = !typed.refused() && typed.hz != parseFrequency(editStartText_, sep());
  }
  if (differs) markRow(table, row);
}

TypedFrequency TablesController::readFrequencyFor(const ChannelTable& table, std::string_view text,
                                                  FrequencyUnit unit) const {
  const TypedFrequency typed = readTypedFrequency(text, sep(), unit);
  if (table.isRig()) {
    const std::string whose = "the " + std::string(modelName(modelIndex_)) + "'s";
    return checkInRanges(typed, receiveRanges(modelIndex_), whose, sep(), unit);
  }
  return checkInRanges(typed, everyRadiosRanges(), "every radio's", sep(), unit);
}

std::string TablesController::commitEdit(ChannelTable& table, int col, int row, std::string text) {
  if (!canEditCell(table, col, row)) return table.cell(col, row);
  UndoStep step(history_, kStepEdit, editKey_);
  editKey_ = 0;
  if (isFrequencyColumn(col)) {
    const TypedFrequency typed = readFrequencyFor(table, text, frequencyUnit_);
    if (typed.refused()) {
      table.setCell(colChanged, row, editStartChanged_);
      table.setCheckBoxes(row, editStartCheckBoxes_);
      table.setModified(editStartModified_);
      messages_.showRefusal(typed.reason);
      return table.cell(col, row);
    }
    if (!typed.note.empty()) messages_.showRefusal(typed.note);
    text =
        typed.kind == TypedFrequency::Kind::Blank
            ? std::string()
            : formatFrequency(static_cast<std::int32_t>(typed.hz), table.cell(colMode, row), sep());
  }
  // The last change may not have been reported on its own.
  editTextChanged(table, col, row, text);
  if (editorType(col).kind == EditorKind::Text) table.names().add(text);
  table.setCell(col, row, text);
  return text;
}

std::string TablesController::toneRefusal(const ChannelTable& table, int row,
                                          std::span<const int> columns,
                                          std::span<const std::string> texts) const {
  if (!table.isRig() || !table.isDataRow(row)) return {};
  ChannelRecord after = table.record(row);
  int toneCol = -1;
  for (std::size_t i = 0; i < columns.size() && i < texts.size(); ++i) {
    const int col = columns[i];
    if (col != colRepeaterTone && col != colToneSquelch) continue;
    if (!canEditCell(table, col, row)) continue;
    after[static_cast<std::size_t>(col)] = texts[i];
    if (!texts[i].empty()) toneCol = col;
  }
  if (toneCol < 0) return {};
  const std::string why = secondToneReason(after, modelIndex_);
  if (why.empty()) return {};
  const int other = toneCol == colRepeaterTone ? colToneSquelch : colRepeaterTone;
  return std::string(kColumnHeaders[toneCol]) + " " + after[static_cast<std::size_t>(toneCol)] +
         " not taken: " + why + ". Empty the " + std::string(kColumnHeaders[other]) + " first.";
}

RowFit TablesController::fitRigRow(int row) {
  ChannelRecord record = rig_.record(row);
  RowFit fit = fitRowToModel(record, modelIndex_, receiveRanges(modelIndex_), sep());
  // A Select of another radio's form changes without a word ("*1" to "1"):
  // it means the same, so it marks nothing.
  for (int col = colFrequency; col < colChanged; ++col) {
    const auto c = static_cast<std::size_t>(col);
    if (rig_.cell(col, row) != record[c]) rig_.setCell(col, row, record[c]);
  }
  if (fit.changed()) markRow(rig_, row);
  return fit;
}

void TablesController::tellFits(const FitReport& report) {
  if (report.empty()) return;
  if (report.anyRefused()) {
    messages_.showError(report.text());
  } else if (report.changedRows() > 1) {
    messages_.showReport(report.text());
  } else {
    messages_.showRefusal(report.text());
  }
}

int TablesController::fitRigRows() {
  if (findRigModel(modelIndex_) == nullptr) return 0;
  FitReport report(modelIndex_);
  int touched = 0;
  for (int r = 1; r < rig_.rowCount(); ++r) {
    if (!IsOccupied(rig_, r, sep())) continue;
    const RowFit fit = fitRigRow(r);
    if (fit.refused()) {
      // Empty, and not marked: the radio's memory stays as it is.
      RowCells cells;
      cells[colChanged - 1] = std::string(kUnchecked);
      putCells(rig_, r, cells);
      rig_.setModified(true);
    }
    if (fit.refused() || fit.changed()) ++touched;
    report.add(rig_.cell(colNumber, r), fit);
  }
  tellFits(report);
  return touched;
}

void TablesController::pickListItem(ChannelTable& table, int col, int row, std::string item) {
  if (!canEditCell(table, col, row) || editorType(col).kind != EditorKind::List) return;
  const int cols[] = {col};
  const std::string texts[] = {item};
  if (const std::string why = toneRefusal(table, row, cols, texts); !why.empty()) {
    messages_.showRefusal(why);
    return;
  }
  UndoStep step(history_, kStepEdit);
  table.setCell(col, row, std::move(item));
  markRow(table, row);
}

void TablesController::toggleCheckBox(ChannelTable& table, int col, int row) {
  if (!mayChange(table) || !table.isDataRow(row) || editorType(col).kind != EditorKind::CheckBox) {
    return;
  }
  UndoStep step(history_, col == colSelect ? kStepSelectBox : kStepChangedBox);
  // "2" (refused) shows unchecked, so a click ticks it.
  const bool ticked = table.cell(col, row) == kChecked;
  table.setCell(col, row, std::string(ticked ? kUnchecked : kChecked));
  table.setCheckBoxes(row, true);
  // The Changed box is the store's mark, not an edit of the channel.
  if (col == colSelect) markRow(table, row);
}

void TablesController::markAllChanged() {
  if (!mayChange(rig_)) return;
  UndoStep step(history_, kStepMarkAll);
  AddRowCheckBoxes(rig_);
  SetChangedMarks(rig_);
}

void TablesController::markNoneChanged() {
  if (!mayChange(rig_)) return;
  UndoStep step(history_, kStepMarkNone);
  AddRowCheckBoxes(rig_);
  ClearChangedMarks(rig_);
}

namespace {

// The rows a sort orders: every data row, or the rig table's block.
int lastSortRow(const ChannelTable& table) {
  return table.isRig() ? lastBlockRow(table) : table.rowCount() - 1;
}

}  // namespace

bool TablesController::canSort(const ChannelTable& table) const {
  return mayChange(table) && table.sortIndication() && lastSortRow(table) >= 2;
}

bool TablesController::clickSort(ChannelTable& table, int col, bool shift) {
  return sortByKeys(table, col, nextSortKeys(table.sortKeys(), col, shift));
}

bool TablesController::sortBy(ChannelTable& table, int col, bool descending) {
  return sortByKeys(table, col, {SortKey{col, descending}});
}

bool TablesController::sortByKeys(ChannelTable& table, int col, std::vector<SortKey> keys) {
  if (!canSort(table) || col < 0 || col >= kColumnCount) return false;
  const std::string& header = table.cell(col, 0);
  UndoStep step(history_, std::string(kStepSortBy) +
                              (header.empty() ? std::string(kColumnHeaders[col]) : header));
  table.setSortKeys(std::move(keys));
  sortRows(table, 1, lastSortRow(table), table.sortKeys(), sep());
  table.setModified(true);
  return true;
}

void TablesController::recomputeDuplexTx(const DuplexOffsets& offsets) {
  UndoStep step(history_, kStepRecomputeTx);
  tarnwick::recomputeDuplexTx(file_, offsets, sep());
  tarnwick::recomputeDuplexTx(rig_, offsets, sep());
}

}  // namespace tarnwick
