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

// A row label formatted on the stack: most labels already match in a long
// table.
struct Label {
  char buf[16];
  std::size_t size;
  explicit Label(int r)
      : size(static_cast<std::size_t>(std::to_chars(buf, buf + sizeof buf, r).ptr - buf)) {}
  std::string_view text() const { return {buf, size}; }
};

}  // namespace

bool isNeverReadRecord(const ChannelRecord& rec) {
  for (int c = colNumber; c <= colToneSquelch; ++c) {
    if (!rec[static_cast<std::size_t>(c)].empty()) return false;
  }
  return true;
}

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

bool IsNeverReadRow(const ChannelTable& table, int row) {
  if (!table.isRig() || !table.isDataRow(row)) return false;
  return isNeverReadRecord(table.record(row));
}

void RenumberRows(ChannelTable& table) {
  const bool rig = table.isRig();
  const int last = rig ? std::min(kLastBlockRow, table.rowCount() - 1) : table.rowCount() - 1;
  // Marks first, labels second, each pass over one column, so that a Save
  // reports (and an edit history sees) only the cells that changed. A rig
  // row that no read reached keeps no label and no mark: a store must never
  // blank a memory nobody has seen.
  table.editRows(1, last, colChanged, colChanged, [rig](int r, ChannelRecord& rec) {
    if (rig && isNeverReadRecord(rec)) return false;
    if (rec[colNumber] == Label(r).text() || rec[colChanged] == kChecked) return false;
    rec[colChanged] = std::string(kChecked);
    return true;
  });
  table.editRows(1, last, colNumber, colNumber, [rig](int r, ChannelRecord& rec) {
    if (rig && isNeverReadRecord(rec)) return false;
    const Label label(r);
    if (rec[colNumber] == label.text()) return false;
    rec[colNumber] = std::string(label.text());
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
