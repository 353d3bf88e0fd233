#include <gtest/gtest.h>

#include "rig/rig_catalogue.h"
#include "table_test_util.h"
#include "tables/edit_history.h"
#include "tables/row_filter.h"
#include "tables/table_ops.h"

namespace tarnwick {
namespace {

using testing::fillFile;
using testing::fillRig;

std::vector<int> shown(const RowFilter& f) {
  return f.shownRows(1, f.table().rowCount() - 1);
}

class Filtering : public ::testing::Test, protected testing::ControlledTables {
 protected:
  Filtering() {
    ctl_.setModelIndex(kModelIc746);
    ctl_.setHistory(&history_);
    // Rows 1..8: a Latin-1 name, ordinary names, one empty row (5).
    fillFile(file_,
             {"\xC9t\xE9 Net", "Repeater", "Marine 16", "rep2", "", "Airband", "REPco", "Beacon"});
  }
  EditHistory history_{file_, rig_};
};

TEST_F(Filtering, ShowsMatchingRowsAndKeepsEditedAndInsertedRowsInView) {
  RowFilter filter(file_);
  int changes = 0;
  filter.setChangedHandler([&] { ++changes; });
  EXPECT_EQ(filter.shownCount(), 8);

  filter.setText("REP");
  EXPECT_EQ(shown(filter), (std::vector<int>{2, 4, 7}));
  // Case-insensitive in Latin-1: E with acute matches e with acute.
  filter.setText("\xE9t\xC9");
  EXPECT_EQ(shown(filter), (std::vector<int>{1}));
  // The check boxes' "0" and "1" are not looked at; frequencies and labels are.
  filter.setText("0");
  EXPECT_EQ(shown(filter).size(), 7u);  // every row with a frequency
  // A frequency however it is typed finds the cell "14,003.00"; one still
  // being typed stands for all it may become.
  for (const char* typed : {"14003", "14,003", "14.003M", "14.003 MHz", "14003000 hz"}) {
    filter.setText(typed);
    EXPECT_EQ(shown(filter), (std::vector<int>{3})) << typed;
  }
  filter.setText("14.00 MHz");
  EXPECT_EQ(shown(filter).size(), 7u);
  // A plain number is read in the unit the cells are shown in.
  filter.setText("14.003");
  EXPECT_EQ(shown(filter), (std::vector<int>{}));
  filter.setPlainFrequencyUnit("MHz");
  EXPECT_EQ(shown(filter), (std::vector<int>{3}));
  filter.setPlainFrequencyUnit("kHz");
  filter.setText("rep");
  EXPECT_GT(changes, 0);

  // An edit that makes a shown row stop matching leaves it in view, and one
  // that makes a hidden row match brings it in.
  ctl_.startEdit(file_, colName, 2);
  ctl_.commitEdit(file_, colName, 2, "Other");
  ctl_.startEdit(file_, colName, 8);
  ctl_.commitEdit(file_, colName, 8, "Beacon rep");
  EXPECT_EQ(shown(filter), (std::vector<int>{2, 4, 7, 8}));
  // An inserted row is shown and the flags move with their rows.
  ASSERT_TRUE(ctl_.insertRow(file_, 4));
  EXPECT_EQ(shown(filter), (std::vector<int>{2, 4, 5, 8, 9}));
  EXPECT_EQ(file_.cell(colName, 5), "rep2");
  // Deleting a hidden row keeps every shown row on its own channel.
  ASSERT_TRUE(ctl_.deleteRow(file_, 3));
  EXPECT_EQ(shown(filter), (std::vector<int>{2, 3, 4, 7, 8}));
  EXPECT_EQ(file_.cell(colName, 4), "rep2");
  // Undo puts the deleted row back in view, where the user sees it return,
  // and takes the inserted row out again.
  ASSERT_TRUE(history_.undo());
  EXPECT_EQ(file_.cell(colName, 3), "Marine 16");
  ASSERT_TRUE(history_.undo());
  EXPECT_EQ(shown(filter), (std::vector<int>{2, 3, 4, 7, 8}));
  EXPECT_EQ(file_.cell(colName, 4), "rep2");
  // A new filter text works every row out afresh.
  filter.setText("");
  filter.setText("rep");
  EXPECT_EQ(shown(filter), (std::vector<int>{4, 7, 8}));
  // Typing on looks again at every row shown, one kept in view by an edit too.
  ctl_.startEdit(file_, colName, 7);
  ctl_.commitEdit(file_, colName, 7, "Other");
  filter.setText("rep2");
  EXPECT_EQ(shown(filter), (std::vector<int>{4}));
}

TEST_F(Filtering, SortCarriesTheFlagsAndHiddenColumnsAreNotSearched) {
  RowFilter filter(file_);
  filter.setText("a");  // Repeater, Marine 16, Airband, Beacon
  ASSERT_EQ(shown(filter), (std::vector<int>{2, 3, 6, 8}));
  file_.setSortIndication(true);
  ASSERT_TRUE(ctl_.clickSort(file_, colName, false));
  for (int r = 1; r < file_.rowCount(); ++r) {
    EXPECT_EQ(filter.isShown(r), file_.cell(colName, r).find_first_of("aA") != std::string::npos)
        << r << " " << file_.cell(colName, r);
  }
  filter.setHiddenColumns(ColumnSet{colName});
  EXPECT_EQ(filter.shownCount(), 0);
}

TEST(HideEmpty, ShowsOnlyOccupiedRigRowsUntilTheUserRevealsOne) {
  ChannelTable rig(TableKind::Rig);
  fillRig(rig, kModelIc746, {1, 3, 100});
  RowFilter filter(rig);
  filter.setHideEmpty(true);
  EXPECT_EQ(shown(filter), (std::vector<int>{1, 3, 100}));
  filter.reveal(2);
  EXPECT_EQ(shown(filter), (std::vector<int>{1, 2, 3, 100}));
  // A read resets the table: the rows are worked out again.
  fillRig(rig, kModelIc746, {5});
  EXPECT_EQ(shown(filter), (std::vector<int>{5}));
}

TEST_F(Filtering, FindWrapsRoundBothWaysOverTheShownRows) {
  const std::vector<int> cols{colNumber, colFrequency, colName};
  auto hit = findCell(file_, "B", {1, colName}, cols, true);
  ASSERT_TRUE(hit);
  EXPECT_EQ(*hit, (CellPosition{6, colName}));
  hit = findCell(file_, "b", *hit, cols, true);
  EXPECT_EQ(*hit, (CellPosition{8, colName}));
  // Round the end to the top again.
  hit = findCell(file_, "b", *hit, cols, true);
  EXPECT_EQ(*hit, (CellPosition{6, colName}));
  hit = findCell(file_, "b", *hit, cols, false);
  EXPECT_EQ(*hit, (CellPosition{8, colName}));
  // Within one row, cells to the right come first; the start cell comes last.
  hit = findCell(file_, "1", {3, colFrequency}, cols, true);
  EXPECT_EQ(*hit, (CellPosition{3, colName}));  // "Marine 16"
  hit = findCell(file_, "1", *hit, cols, false);
  EXPECT_EQ(*hit, (CellPosition{3, colFrequency}));
  // Rows the filter hides are skipped; a lone match is found from itself.
  RowFilter filter(file_);
  filter.setText("air");
  hit = findCell(file_, "b", {6, colName}, cols, true, &filter);
  EXPECT_EQ(*hit, (CellPosition{6, colName}));
  EXPECT_FALSE(findCell(file_, "zzz", {1, colName}, cols, true));
  EXPECT_FALSE(findCell(file_, "", {1, colName}, cols, true));
}

TEST_F(Filtering, SetForSelectedRowsIsOneStepAndLeavesRowsThatCannotTakeIt) {
  fillRig(rig_, kModelIc746, {1, 2, 3});
  rig_.setCell(colMode, 2, "FM");
  rig_.setCell(colDuplex, 1, "DUP+");
  const std::vector<int> rows{1, 2, 3, 4};  // 4 is empty
  const TablesController::ColumnValue values[] = {{colMode, "FM"}, {colDuplex, "DUP-"}};
  const std::size_t stepsBefore = history_.undoCount();
  const auto result = ctl_.setForRows(rig_, rows, values);
  EXPECT_EQ(result.changed, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(result.refused, (std::vector<int>{4}));
  EXPECT_EQ(history_.undoCount(), stepsBefore + 1);
  EXPECT_EQ(history_.undoText(), "Undo Set for Selected Rows");
  for (int r : {1, 2, 3}) {
    EXPECT_EQ(rig_.cell(colMode, r), "FM");
    EXPECT_EQ(rig_.cell(colDuplex, r), "DUP-");
    EXPECT_EQ(rig_.cell(colChanged, r), "1");
  }
  EXPECT_EQ(rig_.cell(colDuplex, 4), "");
  EXPECT_EQ(rig_.cell(colChanged, 4), "0");
  ASSERT_TRUE(history_.undo());
  EXPECT_EQ(rig_.cell(colMode, 1), "USB");
  EXPECT_EQ(rig_.cell(colMode, 2), "FM");
  EXPECT_EQ(rig_.cell(colDuplex, 1), "DUP+");
  EXPECT_EQ(rig_.cell(colChanged, 3), "0");
  // A mode the IC-746 does not have is refused for every row.
  const TablesController::ColumnValue foreign[] = {{colMode, "USB-D"}};
  EXPECT_EQ(ctl_.setForRows(rig_, rows, foreign).refused, rows);
  EXPECT_EQ(rig_.cell(colMode, 1), "USB");
}

TEST_F(Filtering, ATextTypedOrPastedIntoSeveralRowsSetsThemAllAsOneStep) {
  RowFilter filter(file_);
  filter.setText("rep");  // rows 2, 4, 7
  const std::vector<int> rows = shown(filter);
  const std::size_t stepsBefore = history_.undoCount();
  ctl_.startEdit(file_, colName, 2);
  ctl_.editTextChanged(file_, colName, 2, "Rp");
  ctl_.commitEditToRows(file_, colName, 2, rows, "Rpt");
  EXPECT_EQ(history_.undoCount(), stepsBefore + 1);
  for (int r : rows) EXPECT_EQ(file_.cell(colName, r), "Rpt") << r;
  EXPECT_EQ(file_.cell(colName, 3), "Marine 16");
  // A frequency is written in each row's display form, hidden rows untouched.
  ASSERT_TRUE(ctl_.fillColumn(file_, rows, colFrequency, "145500"));
  EXPECT_EQ(file_.cell(colFrequency, 7), file_.cell(colFrequency, 2));
  EXPECT_NE(file_.cell(colFrequency, 3), file_.cell(colFrequency, 2));
  EXPECT_FALSE(ctl_.fillColumn(file_, rows, colFrequency, "-5"));
  EXPECT_EQ(messages_.errors.size(), 1u);
  // A paste of several lines goes onto the rows shown, in order.
  const std::vector<int> written =
      ctl_.pasteCells(file_, rows, std::vector<int>{colName}, "x\ny\nz\nw\n");
  EXPECT_EQ(written, (std::vector<int>{2, 4, 7, 9}));
  EXPECT_EQ(file_.cell(colName, 4), "y");
  EXPECT_EQ(file_.cell(colName, 9), "w");
  EXPECT_EQ(file_.cell(colName, 8), "Beacon");
  ASSERT_TRUE(history_.undo());
  ASSERT_TRUE(history_.undo());
  ASSERT_TRUE(history_.undo());
  for (int r : rows) EXPECT_NE(file_.cell(colName, r), "Rpt") << r;
  EXPECT_EQ(file_.dataRowCount(), 8);
}

}  // namespace
}  // namespace tarnwick
