#pragma once
// A rectangle of cells as text, the way spreadsheets and other channel
// editors exchange it on the clipboard: one line per row, cells separated by
// tabs. A cell holding a tab, a line break or a leading double quote is put
// between double quotes with its quotes doubled, as spreadsheets do.

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// Rows of cell texts; rows may differ in length.
using TextGrid = std::vector<std::vector<std::string>>;

// Lines end in "\n"; the last line too.
std::string formatTabSeparated(const TextGrid& grid);

// Reads what formatTabSeparated writes, and what other programs put on the
// clipboard: "\r\n" or "\n" line ends, a missing last line end, quoted cells.
// One trailing line end adds no empty row.
TextGrid parseTabSeparated(std::string_view text);

// A rectangle of a table: rows first..last and the listed columns (indexes,
// in the order the view shows them, hidden columns left out).
struct CellBlock {
  int firstRow = 0;
  int lastRow = -1;
  std::vector<int> columns;
  bool empty() const { return lastRow < firstRow || columns.empty(); }
  bool operator==(const CellBlock&) const = default;
};

}  // namespace tarnwick
