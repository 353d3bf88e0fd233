#pragma once
// The editor each cell gets, per column and radio model, and the choices of
// the list editors. Plain functions: the view asks, the core decides.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rig/separators.h"
#include "tables/channel_table.h"

namespace tarnwick {

enum class EditorKind {
  None,      // fixed cell, never edited
  Text,      // one-line text editor, at most maxLength characters
  List,      // drop-down list: exactly one of the choices, no free text
  CheckBox,  // a click toggles "1" / "0"
};

struct EditorType {
  EditorKind kind = EditorKind::None;
  int maxLength = 0;  // Text only
  bool operator==(const EditorType&) const = default;
};

// Longest text the editors take in the Frequency and Tx Frequency columns.
inline constexpr int kFrequencyTextLimit = 11;

// Characters a Name cell editor takes for a model: its memories' name
// length, or kUsualNameLength for a model without names.
inline constexpr int kUsualNameLength = 10;
int nameTextLimit(int modelIndex);

// Whether the model's Select cells hold a select group ("", "*1".."*3",
// a list editor) rather than a check box ("1" / "0").
bool hasSelectGroups(int modelIndex);
// The Select text a cell of the model keeps for `text`, from any radio: one
// of the list items for a radio with groups, else "1" or "0".
std::string selectCellText(int modelIndex, std::string_view text);

// The editor of a data cell in column `col` (an index, not a position).
EditorType columnEditorType(int modelIndex, int col);
// The columns whose cells are check boxes for the model: Changed, and
// Select unless the model keeps select groups.
ColumnSet checkBoxColumns(int modelIndex);

// Items of a list editor, built afresh for the model and the locale; empty
// for columns without a list.
std::vector<std::string> editorChoices(int modelIndex, int col,
                                       Separators sep = Separators::current());

// The item to preselect: the one equal to the cell text, else the first.
// -1 for an empty list.
int preselectedChoice(std::span<const std::string> items, std::string_view cellText);

// What a Frequency cell keeps of a typed text: the frequency in display form
// for the row's mode, or empty when the text reads as below 1 Hz.
// The Frequency and Tx Frequency columns, which take typed frequencies.
inline bool isFrequencyColumn(int col) {
  return col == colFrequency || col == colTxFrequency;
}

std::string frequencyCellText(std::string_view typed, std::string_view mode,
                              Separators sep = Separators::current());

// Whether a cell may be edited. Fixed cells never; in the rig table the
// Tx Frequency only of a "Split" row.
bool isCellEditable(const ChannelTable& table, int col, int row);

}  // namespace tarnwick
