#pragma once
// The editing rules and row operations of the two channel tables, with the
// little state they share: the text a cell editor started with, the row being
// dragged, and the selected radio model. The view forwards its events here
// and only draws; every cell text, row, mark and Modified flag is decided
// here. Columns are indexes 0..10 (a view that hides columns maps its
// positions with RealColumn first).

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rig/duplex_offsets.h"
#include "rig/frequency_input.h"
#include "rig/separators.h"
#include "tables/cell_block.h"
#include "tables/cell_editing.h"
#include "tables/channel_table.h"
#include "tables/edit_history.h"
#include "tables/row_fit.h"
#include "tables/row_helpers.h"
#include "tables/table_messages.h"

namespace tarnwick {

class TablesController {
 public:
  // `file` is the permanent file, `rig` the rig table; both outlive this.
  TablesController(ChannelTable& file, ChannelTable& rig, TableMessages& messages);

  ChannelTable& fileTable() { return file_; }
  ChannelTable& rigTable() { return rig_; }

  int modelIndex() const { return modelIndex_; }
  void setModelIndex(int modelIndex) { modelIndex_ = modelIndex; }

  // The unit frequencies are shown and typed in. Cells, files and the
  // clipboard keep kHz whatever it is.
  FrequencyUnit frequencyUnit() const { return frequencyUnit_; }
  void setFrequencyUnit(FrequencyUnit unit) { frequencyUnit_ = unit; }

  // With a history, every operation below that changes a table is one undo
  // step of it; nullptr (the default) records nothing.
  void setHistory(EditHistory* history) { history_ = history; }
  EditHistory* history() const { return history_; }

  // --- Cell editing ---------------------------------------------------------

  EditorType editorType(int col) const { return columnEditorType(modelIndex_, col); }
  // The most characters a text editor of the cell takes: the column's own
  // limit, or the radio's where its memory keeps shorter names than the model
  // may (an IC-7300MK2 that answers in 10 characters).
  int textLimit(const ChannelTable& table, int col, int row) const;
  // The name length the radio keeps in a memory, 0 while unknown.
  void setRigNameLength(std::function<int(int memory)> lengthOf) {
    rigNameLength_ = std::move(lengthOf);
  }
  // The list editor's items, rebuilt for the current model and locale.
  std::vector<std::string> choices(int col) const;
  // The index of the item to preselect for the cell, -1 without a list.
  int preselected(const ChannelTable& table, int col, int row) const;
  bool canEditCell(const ChannelTable& table, int col, int row) const {
    return mayChange(table) && isCellEditable(table, col, row);
  }
  // Whether the user may change the table now: one of ours, not locked.
  bool mayChange(const ChannelTable& table) const { return isOurs(table) && !table.inputLocked(); }
  // The user tried to edit a cell that takes no edit: says why, when the
  // reason is one the user can do something about.
  void explainRefusedEdit(const ChannelTable& table, int col, int row) const;
  // Completions for what the user typed into a text editor of the table.
  std::vector<std::string> completions(const ChannelTable& table, std::string_view prefix) const;

  // An editor opens: remembers the cell text and returns the editor's
  // starting text (a frequency without separators and spaces). The marks
  // made while typing and the text the editor ends with are one undo step.
  std::string startEdit(const ChannelTable& table, int col, int row);
  const std::string& editStartText() const { return editStartText_; }
  // The editor's text changed: marks the row Changed and the table modified
  // once it differs from the start. The cell keeps its text until the
  // editor is left, so an editor closed with Escape changes no text.
  void editTextChanged(ChannelTable& table, int col, int row, std::string_view text);
  // The user leaves the cell with `text`: returns the text the cell keeps
  // (a frequency in display form, or empty), stores it, and adds the typed
  // text to the table's known names. A frequency that cannot be read, or
  // lies outside the radio's ranges, is refused: the cell and its row stay
  // as they were and showRefusal says why.
  std::string commitEdit(ChannelTable& table, int col, int row, std::string text);
  // The editor was closed without a new text (Escape): marks made while
  // typing stay, as their own undo step, and the next edit starts another.
  void editorClosed() { editKey_ = 0; }
  // An item was picked in a list editor: stores it and marks the row.
  void pickListItem(ChannelTable& table, int col, int row, std::string item);
  // A check box was clicked: toggles it; a Select click also marks the row
  // Changed and the table modified.
  void toggleCheckBox(ChannelTable& table, int col, int row);

  // --- Clipboard --------------------------------------------------------------

  // The texts of the block as tab-separated lines.
  std::string copyCells(const ChannelTable& table, const CellBlock& block) const;
  // Copies the block, then empties the cells the user may edit (check boxes
  // become "0"), marking rows as an edit does. Nothing when the table is
  // locked.
  std::optional<std::string> cutCells(ChannelTable& table, const CellBlock& block);
  // The same over the listed rows only (those a filtered view shows).
  std::string copyCells(const ChannelTable& table, std::span<const int> rows,
                        std::span<const int> columns) const;
  std::optional<std::string> cutCells(ChannelTable& table, std::span<const int> rows,
                                      std::span<const int> columns);
  // Writes tab-separated text from `row` on: pasted column j goes to
  // columns[j]. Columns past the list and, in the rig table, rows past its
  // memories are dropped; the permanent file grows rows as needed. Each cell
  // is written as if typed and left (a frequency in display form), fixed and
  // uneditable cells are skipped, and every row that changed is marked
  // Changed and the table modified. Returns the block written.
  CellBlock pasteCells(ChannelTable& table, int row, std::span<const int> columns,
                       std::string_view text);
  // The same into the listed rows (those a filtered view shows): pasted line
  // i goes to rows[i]; lines past the list are appended to the permanent
  // file and dropped in the rig table. Returns the rows written.
  std::vector<int> pasteCells(ChannelTable& table, std::span<const int> rows,
                              std::span<const int> columns, std::string_view text);

  // --- Many rows at once ------------------------------------------------------

  // One text into column `col` of every listed row, as a paste would write
  // it, as one undo step; a frequency that cannot be taken refuses all.
  // Returns whether any row was written.
  bool fillColumn(ChannelTable& table, std::span<const int> rows, int col, std::string_view text);
  // A text editor on (col, row) is left while `others` are selected with it
  // in that column: all of them take the text, one step with the edit.
  std::string commitEditToRows(ChannelTable& table, int col, int row, std::span<const int> others,
                               std::string text);
  // A list item picked for several rows at once, one step.
  void pickListItemForRows(ChannelTable& table, int col, std::span<const int> rows,
                           std::string item);

  // "Set for Selected Rows": each listed column takes its text in each
  // listed row, by the editing rules of a single cell, as one step. A row
  // that cannot take a value (no channel in it, or a cell it may not edit)
  // is left whole and reported.
  struct ColumnValue {
    int col = 0;
    std::string text;
  };
  struct SetForRowsResult {
    std::vector<int> changed;  // rows that took a new text
    std::vector<int> refused;  // rows left as they were
  };
  // The columns the dialog offers for the model: those with a fixed set of
  // values that the model shows.
  std::vector<int> settableColumns(ColumnSet hidden) const;
  // What a column may be set to: the list items, or "1" and "0" for a box.
  std::vector<std::string> settableValues(int col) const;
  SetForRowsResult setForRows(ChannelTable& table, std::span<const int> rows,
                              std::span<const ColumnValue> values);

  // --- Insert, delete, marks ------------------------------------------------

  // Each returns whether the table changed.
  bool insertRow(ChannelTable& table, int row);
  bool deleteRow(ChannelTable& table, int row);
  // "Mark All / None as Changed": always the rig table.
  void markAllChanged();
  void markNoneChanged();

  // A file was opened into the rig table: each row is fitted to the radio
  // as a drop would be; a row the radio cannot keep is left empty, unmarked,
  // so that no store erases the memory for it. One report says what changed.
  // Part of the open, not a step of its own. The rows it changed or emptied.
  int fitRigRows();

  // After the duplex offsets changed: the Tx Frequency of every duplex row
  // of both tables, as one undo step. Locked tables are worked out too: the
  // cells only show what the radio derives itself.
  void recomputeDuplexTx(const DuplexOffsets& offsets);

  // --- Sorting --------------------------------------------------------------

  bool canSort(const ChannelTable& table) const;
  // A click on the header of column `col`; returns whether it sorted.
  bool clickSort(ChannelTable& table, int col, bool shift);
  // A sort asked for by name: `col` becomes the only key, in the direction
  // given however often it is asked; returns whether it sorted.
  bool sortBy(ChannelTable& table, int col, bool descending);

  // --- Drag and drop --------------------------------------------------------

  // A left-button press: a drag may start from a data row, never while a
  // cell editor is open.
  void armDrag(const ChannelTable& table, int row, bool editorOpen);
  int dragRow() const { return dragRow_; }
  const ChannelTable* dragSource() const { return dragSource_; }
  void takeDragRow(const ChannelTable& table, int row) { dragCells_ = takeCells(table, row); }
  void putDragRow(ChannelTable& table, int row) { putCells(table, row, dragCells_); }

  // Whether a drop from `source` onto `row` of the target is accepted.
  bool acceptsDrop(const ChannelTable& target, const ChannelTable& source, int row) const;
  // The drop of the dragged row of `source` onto `row`; returns whether
  // anything changed.
  bool drop(ChannelTable& target, ChannelTable& source, int row);

 private:
  bool insertPermanentRow(int row);
  bool insertRigRow(int row);
  bool deletePermanentRow(int row);
  bool deleteRigRow(int row);
  // Sorts by `keys`, named for `col` in the undo step.
  bool sortByKeys(ChannelTable& table, int col, std::vector<SortKey> keys);
  bool isOurs(const ChannelTable& table) const { return &table == &file_ || &table == &rig_; }
  bool rigDropOnOccupied(ChannelTable& source, int sourceRow, int row);
  bool fileDropOnOccupied(ChannelTable& source, int sourceRow, int row);
  void markRow(ChannelTable& table, int row);
  // Writes one row's cells as the user would, and marks the row (and so the
  // table) when any cell but Changed took a new text.
  void writeUserCells(ChannelTable& table, int row, std::span<const int> columns,
                      std::span<const std::string> texts);
  // Why the row cannot take `texts` into `columns` because the radio would
  // then have to keep two tones; empty when it can.
  std::string toneRefusal(const ChannelTable& table, int row, std::span<const int> columns,
                          std::span<const std::string> texts) const;
  // Fits rig row `row` to the radio in place, marking it when it changed.
  RowFit fitRigRow(int row);
  // The Tx Frequency of a whole rig row pasted, which a Split-only cell
  // rule would drop for a DUP- or DUP+ row.
  void keepPastedTx(int row, std::span<const int> columns, std::span<const std::string> texts);
  // Says what a fit changed or refused, if anything.
  void tellFits(const FitReport& report);
  // The columns of lines copied as whole rows (label first, every column
  // shown); empty when the text is not such rows.
  std::vector<int> wholeRowColumns(const TextGrid& grid) const;
  Separators sep() const { return Separators::current(); }
  // A typed Frequency or Tx Frequency read and checked against the ranges
  // the table may hold; without a unit it is in `unit` (pasted text is kHz).
  TypedFrequency readFrequencyFor(const ChannelTable& table, std::string_view text,
                                  FrequencyUnit unit = FrequencyUnit::kHz) const;

  ChannelTable& file_;
  ChannelTable& rig_;
  TableMessages& messages_;
  std::function<int(int)> rigNameLength_;
  EditHistory* history_ = nullptr;
  std::uint64_t editKey_ = 0;  // joins the scopes of the cell edit under way
  int modelIndex_ = -1;
  FrequencyUnit frequencyUnit_ = FrequencyUnit::kHz;
  std::string editStartText_;
  // The row's marks when the editor opened, put back when its text is refused.
  std::string editStartChanged_;
  bool editStartCheckBoxes_ = false;
  bool editStartModified_ = false;
  int dragRow_ = -1;
  const ChannelTable* dragSource_ = nullptr;
  RowCells dragCells_;
};

}  // namespace tarnwick
