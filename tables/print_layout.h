#pragma once
// How a channel table goes onto paper: the rows and columns shown, the width
// of each column for the page's font, the rows a page holds and the texts of
// the page heading and foot. Text widths come from the caller, so the same
// layout serves the window's printer and the command line's PDF.

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rig/channel_record.h"
#include "tables/channel_table.h"
#include "tables/column_layout.h"

namespace tarnwick {

// What to print: the table's rows in the order shown (a filter leaves rows
// out), the columns a model hides, and the heading's texts. The Changed
// column, a mark for the next store, never goes on paper.
struct PrintRequest {
  const ChannelTable* table = nullptr;
  std::vector<int> rows;  // table rows 1..N
  ColumnSet hidden;
  ColumnSet checkBoxColumns{colSelect, colChanged};
  std::string fileName;  // empty: not saved yet
  std::string modelName;
  std::string date;
};

// The printable area and the font, in the page's own units.
struct PageMetrics {
  double width = 0;
  double height = 0;
  double lineHeight = 0;  // one line of the body font
  double padding = 0;     // either side of a cell's text
  std::function<double(std::string_view latin1)> textWidth;
};

struct PrintColumn {
  int column = 0;
  std::string heading;  // "Frequency (kHz)": a number on paper names its unit
  double x = 0;         // left edge from the printable area's left
  double width = 0;
  CellAlignment alignment = CellAlignment::Left;
  bool checkBox = false;
};

struct PrintLayout {
  std::vector<PrintColumn> columns;  // left to right, the label column first
  double rowHeight = 0;
  double tableTop = 0;  // where the column headings start
  double footTop = 0;   // where the page number line starts
  int rowsPerPage = 1;
  int pageCount = 1;
  // The heading's three parts: left, centre, right.
  std::string headingFile;
  std::string headingModel;
  std::string headingDate;
};

// Widths fill the page width exactly, each column in proportion to its
// widest text; a page always holds at least one row.
PrintLayout layoutPrint(const PrintRequest& request, const PageMetrics& page);

// The rows of `shown` that go on paper: empty memories only when asked for.
std::vector<int> printedRows(const ChannelTable& table, const std::vector<int>& shown,
                             bool includeEmpty);

// The request's rows that go on page `page` (0-based).
std::span<const int> rowsOfPage(const PrintRequest& request, const PrintLayout& layout, int page);

// "Page 2 of 5"
std::string pageNumberText(int page, int pageCount);

// What a check-box cell shows: ticked or not (a refused row shows unticked).
inline bool isTicked(std::string_view cell) {
  return cell == kChecked;
}

// Whether a cell of a check-box column is drawn as a box: a select group
// ("*2", from a radio with groups) is printed as its text, never as an
// empty box that would hide it.
inline bool printsAsCheckBox(std::string_view cell) {
  return cell.empty() || cell == kChecked || cell == kUnchecked;
}

}  // namespace tarnwick
