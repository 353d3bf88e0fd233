#pragma once
// Row helpers shared by insert, delete and drag and drop. Rig rows move only
// inside the block of memories 1..99; the rows after it stay put.

#include <array>
#include <string>

#include "rig/channel_record.h"
#include "rig/separators.h"
#include "tables/channel_table.h"

namespace tarnwick {

// Cells 1..10 of a row: what a drag carries and what a copy writes.
using RowCells = std::array<std::string, kColumnCount - 1>;

// The last row of the rig table's movable block that exists (0 when none).
int lastBlockRow(const ChannelTable& rig);

// First occupied row r with start <= r <= the block's end, or -1.
int FirstUsedRow(const ChannelTable& rig, int start, Separators sep = Separators::current());
// First empty row r with start <= r <= the block's end; -1 when there is none
// or start is below 1.
int FirstFreeRow(const ChannelTable& rig, int start, Separators sep = Separators::current());

// Copies cells 1..10; the target keeps its label.
void CopyRowCells(const ChannelTable& source, int sourceRow, int targetRow, ChannelTable& target);
RowCells takeCells(const ChannelTable& table, int row);
void putCells(ChannelTable& table, int row, const RowCells& cells);

// Empties cells 1..10, marks the row Changed and the table modified.
void EmptyRow(ChannelTable& table, int row);

// Row `freeRow` moves up to `top`; rows top..freeRow-1 end one lower.
void moveRowsDown(ChannelTable& table, int top, int freeRow);
// Row `top` moves down to `bottom`; rows top+1..bottom end one higher.
void moveRowsUp(ChannelTable& table, int top, int bottom);

}  // namespace tarnwick
