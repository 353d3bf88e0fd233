#include "tables/table_ops.h"

#include <algorithm>
#include <string>

#include "rig/frequency_text.h"

namespace tarnwick {
namespace {

void setAllChanged(ChannelTable& table, std::string_view mark) {
  for (int r = 1; r < table.rowCount(); ++r) table.setCell(colChanged, r, std::string(mark));
}

}  // namespace

void SetColumnHeaders(ChannelTable& table) {
  for (int c = 0; c < kColumnCount; ++c) {
    table.setCell(c, 0, std::string(kColumnHeaders[static_cast<std::size_t>(c)]));
  }
}

void ResetHeaders(ChannelTable& permanent, ChannelTable& rig) {
  SetColumnHeaders(permanent);
  SetColumnHeaders(rig);
}

bool IsOccupied(const ChannelTable& table, int row, Separators sep) {
  return table.isDataRow(row) && parseFrequency(table.cell(colFrequency, row), sep) != 0;
}

void RenumberRows(ChannelTable& table) {
  const int last =
      table.isRig() ? std::min(kLastBlockRow, table.rowCount() - 1) : table.rowCount() - 1;
  for (int r = 1; r <= last; ++r) {
    std::string label = std::to_string(r);
    if (table.cell(colNumber, r) != label) {
      table.setCell(colChanged, r, std::string(kChecked));
      table.setCell(colNumber, r, std::move(label));
    }
  }
}

void ClearChangedMarks(ChannelTable& table) {
  setAllChanged(table, kUnchecked);
}

void SetChangedMarks(ChannelTable& table) {
  setAllChanged(table, kChecked);
}

void AddRowCheckBoxes(ChannelTable& table) {
  for (int r = 1; r < table.rowCount(); ++r) table.setCheckBoxes(r, true);
}

}  // namespace tarnwick
