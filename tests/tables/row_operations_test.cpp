#include <gtest/gtest.h>

#include "rig/rig_catalogue.h"
#include "table_test_util.h"
#include "tables/row_helpers.h"
#include "tables/tables_controller.h"
#include "tests/support/table_cells.h"

namespace tarnwick {
namespace {

using testing::cellsAre;
using testing::column;
using testing::fillFile;
using testing::fillRig;
using testing::rowRange;

std::vector<int> joined(std::vector<int> a, const std::vector<int>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class RowOperations : public ::testing::Test, protected testing::ControlledTables {
 protected:
  RowOperations() { ctl_.setModelIndex(kModelIc746); }
};

TEST_F(RowOperations, FirstUsedAndFirstFreeStayInTheBlock) {
  fillRig(rig_, kModelIc746, joined({3, 4}, {100, 101, 102}));
  EXPECT_EQ(FirstUsedRow(rig_, 1), 3);
  EXPECT_EQ(FirstUsedRow(rig_, 4), 4);
  EXPECT_EQ(FirstUsedRow(rig_, 5), -1);  // P1 and up are never searched
  EXPECT_EQ(FirstFreeRow(rig_, 3), 5);
  EXPECT_EQ(FirstFreeRow(rig_, -1), -1);
  EXPECT_EQ(FirstFreeRow(rig_, 0), -1);
  fillRig(rig_, kModelIc746, rowRange(1, 99));
  EXPECT_EQ(FirstFreeRow(rig_, 1), -1);
  // A short table (opened from a file) ends the block at its last row.
  rig_.setRowCount(11);
  rig_.setCell(colFrequency, 10, "");
  EXPECT_EQ(FirstFreeRow(rig_, 1), 10);
}

TEST_F(RowOperations, RigInsertMovesTheBlockDownToTheNextGap) {
  fillRig(rig_, kModelIc746, joined(rowRange(1, 5), rowRange(7, 99)));
  ASSERT_TRUE(ctl_.insertRow(ctl_.rigTable(), 2));
  EXPECT_EQ(column(rig_, colNumber, 1, 7),
            (std::vector<std::string>{"1", "6", "2", "3", "4", "5", "7"}));
  EXPECT_EQ(rig_.cell(colFrequency, 2), "");
  EXPECT_EQ(rig_.cell(colName, 6), "M5");
  EXPECT_EQ(column(rig_, colChanged, 1, 7), std::vector<std::string>(7, "0"));
  EXPECT_TRUE(rig_.modified());
  EXPECT_TRUE(messages_.errors.empty());

  // Renumbering (as a Save does) then marks exactly the moved rows.
  RenumberRows(rig_);
  EXPECT_EQ(column(rig_, colChanged, 1, 7),
            (std::vector<std::string>{"0", "1", "1", "1", "1", "1", "0"}));
  EXPECT_EQ(rig_.cell(colNumber, 6), "6");
}

TEST_F(RowOperations, RigInsertWithoutRoomReportsTableFull) {
  fillRig(rig_, kModelIc746, rowRange(50, 99));
  EXPECT_FALSE(ctl_.insertRow(ctl_.rigTable(), 50));
  ASSERT_EQ(messages_.errors.size(), 1u);
  EXPECT_EQ(messages_.errors[0], "Table full. Can\xB4t insert.");
  EXPECT_EQ(rig_.cell(colName, 50), "M50");
  EXPECT_FALSE(rig_.modified());
}

TEST_F(RowOperations, RigInsertOnAnEmptyRowChangesNothing) {
  fillRig(rig_, kModelIc746, {5, 6});
  EXPECT_FALSE(ctl_.insertRow(ctl_.rigTable(), 3));   // a block follows
  EXPECT_FALSE(ctl_.insertRow(ctl_.rigTable(), 10));  // nothing follows
  EXPECT_FALSE(ctl_.insertRow(ctl_.rigTable(), 0));
  EXPECT_EQ(rig_.cell(colName, 5), "M5");
  EXPECT_FALSE(rig_.modified());
  EXPECT_TRUE(messages_.errors.empty());
}

TEST_F(RowOperations, RigDeleteEmptiesAnOccupiedRowForTheNextStore) {
  fillRig(rig_, kModelIc746, {4, 5});
  rig_.setCell(colSelect, 4, "1");
  ASSERT_TRUE(ctl_.deleteRow(ctl_.rigTable(), 4));
  EXPECT_TRUE(cellsAre(rig_, 4,
                       {{colFrequency, ""},
                        {colName, ""},
                        {colMode, ""},
                        {colSelect, "0"},
                        {colChanged, "1"},
                        {colNumber, "4"}}));
  EXPECT_EQ(rig_.cell(colName, 5), "M5");
  EXPECT_TRUE(rig_.modified());
}

TEST_F(RowOperations, RigDeleteOnAnEmptyRowClosesTheGap) {
  fillRig(rig_, kModelIc746, {7, 8, 9, 20});
  ASSERT_TRUE(ctl_.deleteRow(ctl_.rigTable(), 6));
  EXPECT_EQ(column(rig_, colName, 6, 10), (std::vector<std::string>{"M7", "M8", "M9", "", ""}));
  EXPECT_EQ(rig_.cell(colNumber, 10), "6");
  EXPECT_EQ(rig_.cell(colName, 20), "M20");
  EXPECT_TRUE(rig_.modified());

  // Nothing occupied below: nothing moves, the table still counts as modified.
  fillRig(rig_, kModelIc746, {3, 100});
  rig_.setModified(false);
  ASSERT_TRUE(ctl_.deleteRow(ctl_.rigTable(), 50));
  EXPECT_EQ(rig_.cell(colNumber, 50), "50");
  EXPECT_EQ(rig_.cell(colName, 100), "M100");
  EXPECT_TRUE(rig_.modified());
}

TEST_F(RowOperations, RigDeleteBeforeAFullBlockMovesNothing) {
  fillRig(rig_, kModelIc746, joined(rowRange(51, 99), {100, 101, 102}));
  rig_.setModified(false);
  ASSERT_TRUE(ctl_.deleteRow(ctl_.rigTable(), 50));
  EXPECT_EQ(rig_.cell(colName, 50), "");
  EXPECT_EQ(rig_.cell(colName, 51), "M51");
  EXPECT_EQ(rig_.cell(colName, 99), "M99");
  EXPECT_EQ(rig_.cell(colName, 100), "M100");
  EXPECT_TRUE(rig_.modified());
}

TEST_F(RowOperations, FileInsertAndDelete) {
  fillFile(file_, {"A", "B"});
  ASSERT_TRUE(ctl_.insertRow(ctl_.fileTable(), 2));
  EXPECT_EQ(file_.dataRowCount(), 3);
  EXPECT_EQ(column(file_, colName, 1, 3), (std::vector<std::string>{"A", "", "B"}));
  EXPECT_TRUE(cellsAre(file_, 2, {{colNumber, ""}, {colChanged, ""}}));
  EXPECT_TRUE(file_.hasCheckBoxes(2));
  EXPECT_TRUE(file_.modified());
  EXPECT_FALSE(ctl_.insertRow(ctl_.fileTable(), 4));

  file_.setModified(false);
  ASSERT_TRUE(ctl_.deleteRow(ctl_.fileTable(), 1));
  EXPECT_EQ(column(file_, colName, 1, 2), (std::vector<std::string>{"", "B"}));
  EXPECT_EQ(file_.cell(colNumber, 2), "2");  // no renumbering
  EXPECT_TRUE(file_.modified());
}

TEST_F(RowOperations, TheOnlyFileRowIsEmptiedNotRemoved) {
  fillFile(file_, {"Only"});
  ASSERT_TRUE(ctl_.deleteRow(ctl_.fileTable(), 1));
  EXPECT_EQ(file_.dataRowCount(), 1);
  EXPECT_TRUE(cellsAre(file_, 1, {{colName, ""}, {colFrequency, ""}, {colNumber, "1"}}));
  EXPECT_TRUE(file_.modified());
}

TEST_F(RowOperations, MarkAllAndNoneActOnTheWholeRigTableOnly) {
  ctl_.setModelIndex(kModelIcR75);
  fillRig(rig_, kModelIcR75, {1, 2});
  fillFile(file_, {"A"});
  ctl_.markAllChanged();
  EXPECT_EQ(column(rig_, colChanged, 1, 101), std::vector<std::string>(101, "1"));
  EXPECT_EQ(file_.cell(colChanged, 1), "0");
  EXPECT_FALSE(rig_.modified());
  ctl_.markNoneChanged();
  EXPECT_EQ(column(rig_, colChanged, 1, 101), std::vector<std::string>(101, "0"));
  EXPECT_FALSE(rig_.modified());
}

}  // namespace
}  // namespace tarnwick
