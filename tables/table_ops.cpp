#include "tables/table_ops.h"

#include <algorithm>
#include <charconv>
#include <string>

#include "rig/frequency_text.h"

namespace tarnwick {
namespace {

void setAllChanged(ChannelTable& table, std::string_view mark) {
  table.editRows(1, table.rowCount() - 1, colChanged, colChanged, [&](int, ChannelRecord& rec) {
    if (rec[colChanged] == mark) return false;
    rec[colChanged] = mark;
    return true;
  });
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
  table.editRows(1, last, colNumber, colChanged, [](int r, ChannelRecord& rec) {
    // Formatted on the stack: most labels already match in a long table.
    char buf[16];
    const char* end = std::to_chars(buf, buf + sizeof buf, r).ptr;
    if (rec[colNumber] == std::string_view(buf, static_cast<std::size_t>(end - buf))) return false;
    rec[colChanged] = std::string(kChecked);
    rec[colNumber] = std::string(buf, static_cast<std::size_t>(end - buf));
    return true;
  });
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
