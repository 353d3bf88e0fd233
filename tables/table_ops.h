#pragma once
// Whole-table operations shared by the editing rules, the row operations,
// the files and the transfer engine.

#include <array>
#include <string_view>

#include "rig/channel_record.h"
#include "rig/separators.h"
#include "tables/channel_table.h"

namespace tarnwick {

inline constexpr std::array<std::string_view, kColumnCount> kColumnHeaders{
    "#",      "Frequency",    "Name",          "Mode",         "Filter",
    "Duplex", "Tx Frequency", "Repeater Tone", "Tone Squelch", "Select",
    "Changed"};

// The last rig row that renumbering and the row operations move: the block of
// memories 1..99.
inline constexpr int kLastBlockRow = 99;

// Writes the eleven column headers into row 0.
void SetColumnHeaders(ChannelTable& table);
void ResetHeaders(ChannelTable& permanent, ChannelTable& rig);

// A data row is occupied when its Frequency cell reads as a non-zero value.
bool IsOccupied(const ChannelTable& table, int row, Separators sep = Separators::current());

// A rig row that no read has filled: no label and no channel cells. It
// stands for a memory nobody has seen, so nothing may mark it for a store.
bool IsNeverReadRow(const ChannelTable& table, int row);
// The same test on the cells of a rig row.
bool isNeverReadRecord(const ChannelRecord& rec);

// Relabels data rows with their row number (the rig table: rows 1..99 only)
// and marks Changed every row whose label was different. Rig rows never
// read stay without label and mark.
void RenumberRows(ChannelTable& table);

// Changed "0" / "1" in every data row; `Modified` is left alone.
void ClearChangedMarks(ChannelTable& table);
void SetChangedMarks(ChannelTable& table);

// Every data row gets its Select and Changed check boxes.
void AddRowCheckBoxes(ChannelTable& table);

}  // namespace tarnwick
