#pragma once
// Builders and recorders shared by the table tests.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "rig/frequency_text.h"
#include "tables/channel_table.h"
#include "tables/column_layout.h"
#include "tables/table_messages.h"
#include "tables/table_ops.h"
#include "tables/tables_controller.h"

namespace tarnwick::testing {

struct RecordingMessages : TableMessages {
  std::vector<std::string> errors;
  void showError(std::string_view text) override { errors.emplace_back(text); }
};

// A channel in `row`: label, frequency in kHz (0 leaves it empty), name, USB,
// check boxes with Select and Changed "0".
inline void putChannel(ChannelTable& t, int row, std::int32_t khz, std::string name) {
  ChannelRecord rec;
  rec[colNumber] = std::to_string(row);
  rec[colFrequency] = khz > 0 ? formatFrequency(khz * 1000, "USB") : "";
  rec[colName] = std::move(name);
  rec[colMode] = "USB";
  rec[colSelect] = "0";
  rec[colChanged] = "0";
  t.setRecord(row, rec);
  t.setCheckBoxes(row, true);
}

// A rig table sized for the model; every listed row holds a channel named
// "M<row>" at 7000 + row kHz, the others are empty but labelled.
inline void fillRig(ChannelTable& rig, int modelIndex, std::vector<int> occupied) {
  PrepareRigTable(rig, modelIndex);
  for (int r = 1; r < rig.rowCount(); ++r) putChannel(rig, r, 0, "");
  for (int r : occupied) putChannel(rig, r, 7000 + r, "M" + std::to_string(r));
}

inline std::vector<int> rowRange(int first, int last) {
  std::vector<int> v;
  for (int r = first; r <= last; ++r) v.push_back(r);
  return v;
}

// A permanent file of `names.size()` channels; an empty name gives an empty row.
inline void fillFile(ChannelTable& file, const std::vector<std::string>& names) {
  file.setRowCount(1);
  file.setRowCount(static_cast<int>(names.size()) + 1);
  SetColumnHeaders(file);
  for (std::size_t i = 0; i < names.size(); ++i) {
    const int row = static_cast<int>(i) + 1;
    putChannel(file, row, names[i].empty() ? 0 : 14000 + row, names[i]);
  }
}

inline std::vector<std::string> column(const ChannelTable& t, int col, int first, int last) {
  std::vector<std::string> v;
  for (int r = first; r <= last; ++r) v.push_back(t.cell(col, r));
  return v;
}

// Every notification as a short text, in order.
struct EventLog : TableObserver {
  std::vector<std::string> events;
  void add(std::string e) { events.push_back(std::move(e)); }
  static std::string range(int a, int b) { return std::to_string(a) + "-" + std::to_string(b); }

  void cellsChanged(int r0, int r1, int c0, int c1) override {
    add("cells " + range(r0, r1) + " col " + range(c0, c1));
  }
  void headerChanged() override { add("header"); }
  void rowsAboutToBeInserted(int a, int b) override { add("insert? " + range(a, b)); }
  void rowsInserted(int a, int b) override { add("insert " + range(a, b)); }
  void rowsAboutToBeRemoved(int a, int b) override { add("remove? " + range(a, b)); }
  void rowsRemoved(int a, int b) override { add("remove " + range(a, b)); }
  void rowsAboutToBeMoved(int a, int b, int d) override {
    add("move? " + range(a, b) + " to " + std::to_string(d));
  }
  void rowsMoved(int a, int b, int d) override {
    add("move " + range(a, b) + " to " + std::to_string(d));
  }
  void layoutAboutToBeChanged() override { add("layout?"); }
  void rowsPermuted(int first, std::span<const int> order) override {
    add("permute " + std::to_string(first) + " n=" + std::to_string(order.size()));
  }
  void layoutChanged() override { add("layout"); }
  void modelAboutToBeReset() override { add("reset?"); }
  void modelReset() override { add("reset"); }
  void modifiedChanged(bool on) override { add(on ? "modified" : "unmodified"); }
  void sortIndicatorChanged() override { add("sort indicator"); }
};

// Both tables and the controller over them, for test fixtures.
struct ControlledTables {
  ChannelTable file_{TableKind::PermanentFile};
  ChannelTable rig_{TableKind::Rig};
  RecordingMessages messages_;
  TablesController ctl_{file_, rig_, messages_};
};

}  // namespace tarnwick::testing
