#include "tables/column_layout.h"

#include <array>

#include "rig/rig_catalogue.h"
#include "tables/table_ops.h"

namespace tarnwick {
namespace {

constexpr std::array<std::string_view, kColumnCount> kHints{"Memory Number",
                                                            "Frequency (Double click to tune)",
                                                            "Memory Name",
                                                            "Mode",
                                                            "Filter",
                                                            "Duplex Setting",
                                                            "Transmit Frequency",
                                                            "Repeater Tone Frequency",
                                                            "Tone Squelch Frequency",
                                                            "Select Flag",
                                                            "Sets when contents has changed"};

constexpr std::array<int, kColumnCount> kFileWidths{35, 80, 80, 50, 50, 40, 40, 50, 50, 50, 266};
constexpr std::array<int, kColumnCount> kRigWidths{35, 80, 80, 50, 50, 40, 41, 50, 50, 50, 249};

bool validColumn(int col) {
  return col >= 0 && col < kColumnCount;
}

}  // namespace

std::string_view columnHint(int col) {
  return validColumn(col) ? kHints[static_cast<std::size_t>(col)] : "unassigned";
}

CellAlignment columnAlignment(int col) {
  switch (col) {
    case colNumber:
    case colFrequency:
    case colTxFrequency:
    case colRepeaterTone:
    case colToneSquelch:
      return CellAlignment::Right;
    case colSelect:
    case colChanged:
      return CellAlignment::Centre;
    default:
      return CellAlignment::Left;
  }
}

int defaultColumnWidth(TableKind kind, int col) {
  if (!validColumn(col)) return kUnstoredColumnWidth;
  const auto& widths = kind == TableKind::Rig ? kRigWidths : kFileWidths;
  return widths[static_cast<std::size_t>(col)];
}

int RealColumn(ColumnSet hidden, int position) {
  if (position < 0) return -1;
  for (int col = 0; col < kColumnCount; ++col) {
    if (hidden.contains(col)) continue;
    if (position-- == 0) return col;
  }
  return -1;
}

int RealColumn(int modelIndex, int position) {
  return RealColumn(hiddenColumns(modelIndex), position);
}

int displayedPosition(ColumnSet hidden, int col) {
  if (!validColumn(col) || hidden.contains(col)) return -1;
  int position = 0;
  for (int c = 0; c < col; ++c) position += hidden.contains(c) ? 0 : 1;
  return position;
}

int shownColumnCount(ColumnSet hidden) {
  return kColumnCount - hidden.count();
}

int rigDataRows(int modelIndex) {
  const RigModel* model = findRigModel(modelIndex);
  return model ? model->memoryCount : kStartupRigRows;
}

void PrepareRigTable(ChannelTable& rig, int modelIndex) {
  rig.clearCells();
  rig.setRowCount(rigDataRows(modelIndex) + 1);
  SetColumnHeaders(rig);
}

}  // namespace tarnwick
