#include "tables/channel_table.h"

#include <gtest/gtest.h>

#include "table_test_util.h"
#include "tables/table_ops.h"

namespace tarnwick {
namespace {

using testing::column;
using testing::EventLog;
using testing::fillFile;
using Events = std::vector<std::string>;

TEST(ChannelTable, PermuteMovesWholeRowsWithTheirCheckBoxes) {
  ChannelTable t(TableKind::PermanentFile);
  fillFile(t, {"a", "b", "c", "d", "e", "f"});
  t.setCheckBoxes(2, false);
  // Two cycles (1 3 5) (2 6) and a fixed row 4.
  const std::vector<int> order{5, 6, 1, 4, 3, 2};
  t.permuteRows(1, order);
  EXPECT_EQ(column(t, colName, 1, 6), (std::vector<std::string>{"e", "f", "a", "d", "c", "b"}));
  EXPECT_EQ(column(t, colNumber, 1, 6), (std::vector<std::string>{"5", "6", "1", "4", "3", "2"}));
  EXPECT_FALSE(t.hasCheckBoxes(6));
  EXPECT_TRUE(t.hasCheckBoxes(2));
}

TEST(ChannelTable, PermuteRefusesWhatIsNotAPermutation) {
  ChannelTable t(TableKind::PermanentFile);
  fillFile(t, {"a", "b", "c"});
  EventLog log;
  t.addObserver(&log);
  EXPECT_THROW(t.permuteRows(1, std::vector<int>{1, 1, 3}), std::invalid_argument);
  EXPECT_THROW(t.permuteRows(1, std::vector<int>{0, 1, 2}), std::invalid_argument);
  EXPECT_THROW(t.permuteRows(2, std::vector<int>{2, 3, 4}), std::out_of_range);
  EXPECT_EQ(column(t, colName, 1, 3), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_TRUE(log.events.empty());
}

TEST(ChannelTable, EditRowsReportsRunsOfChangedRows) {
  ChannelTable t(TableKind::PermanentFile);
  fillFile(t, {"a", "b", "c", "d", "e"});
  EventLog log;
  t.addObserver(&log);
  t.editRows(0, 99, colName, colName, [](int r, ChannelRecord& rec) {
    if (r == 0 || r == 3) return false;
    rec[colName] += "!";
    return true;
  });
  EXPECT_EQ(log.events, (Events{"cells 1-2 col 2-2", "cells 4-5 col 2-2"}));
  EXPECT_EQ(t.cell(colName, 0), "Name");
  EXPECT_EQ(t.cell(colName, 5), "e!");
}

TEST(ChannelTable, SortIndicationOffForgetsTheKeys) {
  ChannelTable t(TableKind::Rig);
  EventLog log;
  t.addObserver(&log);
  EXPECT_FALSE(t.sortIndication());
  t.setSortIndication(true);
  t.setSortKeys({{colName, true}});
  t.setSortKeys({{colName, true}});
  t.setSortIndication(false);
  EXPECT_TRUE(t.sortKeys().empty());
  t.setSortIndication(false);
  EXPECT_EQ(log.events, Events(3, "sort indicator"));
}

// A rig row no read has filled keeps its empty label and gets no Changed
// mark from a renumbering: a store must not blank a memory nobody has seen.
TEST(ChannelTable, RenumberingPassesOverRigRowsNeverRead) {
  ChannelTable rig(TableKind::Rig);
  rig.setRowCount(6);
  rig.setCell(colNumber, 1, "1");
  rig.setCell(colFrequency, 1, "7050.00");
  rig.setCell(colNumber, 2, "2");    // read: a blank memory
  rig.setCell(colName, 4, "TYPED");  // not read, but the user typed into it
  ASSERT_TRUE(IsNeverReadRow(rig, 3));
  ASSERT_FALSE(IsNeverReadRow(rig, 4));
  RenumberRows(rig);
  EXPECT_EQ(column(rig, colNumber, 1, 5), (std::vector<std::string>{"1", "2", "", "4", ""}));
  EXPECT_EQ(column(rig, colChanged, 1, 5), (std::vector<std::string>{"", "", "", "1", ""}));
  EXPECT_TRUE(IsNeverReadRow(rig, 3));

  // The permanent file has no such rows: every row gets its number.
  ChannelTable file(TableKind::PermanentFile);
  file.setRowCount(3);
  RenumberRows(file);
  EXPECT_EQ(column(file, colChanged, 1, 2), (std::vector<std::string>{"1", "1"}));
  EXPECT_FALSE(IsNeverReadRow(file, 1));
}

}  // namespace
}  // namespace tarnwick
