#pragma once
// What a view needs to lay out the columns of a channel table: hints,
// alignment, design widths, the mapping of shown positions to column
// indexes, and the rig table's geometry per model.

#include <string_view>

#include "rig/channel_record.h"
#include "tables/channel_table.h"

namespace tarnwick {

// Hint text of a column, the same for every row; "unassigned" outside 0..10.
std::string_view columnHint(int col);

enum class CellAlignment { Left, Right, Centre };
// Horizontal alignment of a column, the header row included.
CellAlignment columnAlignment(int col);

// Width of a shown position that has no stored width.
inline constexpr int kUnstoredColumnWidth = 64;
// The width of a column at first start; kUnstoredColumnWidth outside 0..10.
int defaultColumnWidth(TableKind kind, int col);

// The column index shown at a displayed position, skipping hidden columns;
// -1 when the position is past the last shown column.
int RealColumn(ColumnSet hidden, int position);
// The same with the hidden columns of a model.
int RealColumn(int modelIndex, int position);
// The inverse: the displayed position of a column, -1 when it is hidden.
int displayedPosition(ColumnSet hidden, int col);
int shownColumnCount(ColumnSet hidden);

// Rig-table data rows before any model is chosen.
inline constexpr int kStartupRigRows = 102;
// Data rows of the rig table for a model: one per memory number.
int rigDataRows(int modelIndex);
// Empties the rig table, gives it the model's rows plus the header row and
// writes the headers, as at the start of a read.
void PrepareRigTable(ChannelTable& rig, int modelIndex);

}  // namespace tarnwick
