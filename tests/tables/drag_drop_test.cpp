#include <gtest/gtest.h>

#include "rig/rig_catalogue.h"
#include "table_test_util.h"
#include "tables/edit_history.h"
#include "tables/tables_controller.h"
#include "tests/support/table_cells.h"

namespace tarnwick {
namespace {

using testing::cellsAre;
using testing::column;
using testing::fillFile;
using testing::fillRig;
using testing::rowRange;

class DragDrop : public ::testing::Test, protected testing::ControlledTables {
 protected:
  DragDrop() {
    ctl_.setModelIndex(kModelIc746);
    fillRig(rig_, kModelIc746, {3, 10, 11, 12, 100});
    fillFile(file_, {"A", "B", "", "D"});
  }
  // A drag from `source` row `from` dropped onto `target` row `to`.
  bool dragDrop(ChannelTable& source, int from, ChannelTable& target, int to) {
    ctl_.armDrag(source, from, false);
    return ctl_.drop(target, source, to);
  }
};

TEST_F(DragDrop, MouseDownStartsADragOnlyOnADataRowWithoutEditor) {
  ctl_.armDrag(rig_, 3, false);
  EXPECT_EQ(ctl_.dragRow(), 3);
  EXPECT_EQ(ctl_.dragSource(), &rig_);
  ctl_.armDrag(rig_, 0, false);
  EXPECT_EQ(ctl_.dragRow(), -1);
  ctl_.armDrag(file_, 2, true);
  EXPECT_EQ(ctl_.dragRow(), -1);
  EXPECT_FALSE(ctl_.acceptsDrop(ctl_.fileTable(), file_, 1));
  EXPECT_FALSE(ctl_.drop(ctl_.fileTable(), file_, 1));
}

TEST_F(DragDrop, RigAcceptanceRules) {
  ctl_.armDrag(file_, 1, false);
  EXPECT_TRUE(ctl_.acceptsDrop(ctl_.rigTable(), file_, 1));     // empty
  EXPECT_TRUE(ctl_.acceptsDrop(ctl_.rigTable(), file_, 10));    // occupied, room below
  EXPECT_TRUE(ctl_.acceptsDrop(ctl_.rigTable(), file_, 101));   // empty P2
  EXPECT_FALSE(ctl_.acceptsDrop(ctl_.rigTable(), file_, 100));  // occupied P1
  EXPECT_FALSE(ctl_.acceptsDrop(ctl_.rigTable(), file_, 102));  // Call
  EXPECT_FALSE(ctl_.acceptsDrop(ctl_.rigTable(), file_, 0));
  EXPECT_FALSE(ctl_.acceptsDrop(ctl_.rigTable(), rig_, 1));  // not where the drag started
  ChannelTable stranger(TableKind::PermanentFile);
  EXPECT_FALSE(ctl_.acceptsDrop(ctl_.rigTable(), stranger, 1));

  fillRig(rig_, kModelIc746, rowRange(50, 99));
  EXPECT_FALSE(ctl_.acceptsDrop(ctl_.rigTable(), file_, 60));
  EXPECT_FALSE(ctl_.drop(ctl_.rigTable(), file_, 60));
  EXPECT_TRUE(ctl_.acceptsDrop(ctl_.rigTable(), file_, 49));
  EXPECT_FALSE(rig_.modified());
}

TEST_F(DragDrop, WithinTheRigOntoAnEmptyRowMovesTheChannel) {
  ASSERT_TRUE(dragDrop(rig_, 3, rig_, 40));
  EXPECT_TRUE(cellsAre(rig_, 40, {{colName, "M3"}, {colChanged, "1"}, {colNumber, "40"}}));
  EXPECT_TRUE(
      cellsAre(rig_, 3, {{colFrequency, ""}, {colName, ""}, {colChanged, "1"}, {colNumber, "3"}}));
  EXPECT_TRUE(rig_.modified());
  EXPECT_EQ(ctl_.dragRow(), -1);
}

TEST_F(DragDrop, FromTheFileOntoAnEmptyP1Copies) {
  ASSERT_TRUE(dragDrop(file_, 2, rig_, 101));
  EXPECT_TRUE(cellsAre(rig_, 101, {{colName, "B"}, {colChanged, "1"}, {colNumber, "101"}}));
  EXPECT_EQ(file_.cell(colName, 2), "B");
  EXPECT_FALSE(file_.modified());
  EXPECT_TRUE(rig_.modified());
}

TEST_F(DragDrop, OntoAnOccupiedRigRowInsertsAndRenumbers) {
  rig_.setCell(colNumber, 30, "77");  // a row moved earlier
  ASSERT_TRUE(dragDrop(file_, 1, rig_, 10));
  EXPECT_EQ(column(rig_, colName, 9, 14),
            (std::vector<std::string>{"", "A", "M10", "M11", "M12", ""}));
  EXPECT_EQ(column(rig_, colNumber, 9, 14),
            (std::vector<std::string>{"9", "10", "11", "12", "13", "14"}));
  EXPECT_EQ(column(rig_, colChanged, 9, 14),
            (std::vector<std::string>{"0", "1", "1", "1", "1", "0"}));
  EXPECT_EQ(rig_.cell(colChanged, 30), "1");  // the renumbering marks every moved row
  EXPECT_EQ(file_.cell(colName, 1), "A");
  EXPECT_TRUE(rig_.modified());
}

TEST_F(DragDrop, WithinTheRigOntoAnOccupiedRowBlanksTheSource) {
  ASSERT_TRUE(dragDrop(rig_, 3, rig_, 11));
  EXPECT_EQ(column(rig_, colName, 3, 3), std::vector<std::string>{""});
  EXPECT_EQ(rig_.cell(colChanged, 3), "1");
  EXPECT_EQ(column(rig_, colName, 10, 13), (std::vector<std::string>{"M10", "M3", "M11", "M12"}));
}

TEST_F(DragDrop, FromP1IntoTheBlockBlanksP1) {
  ASSERT_TRUE(dragDrop(rig_, 100, rig_, 10));
  EXPECT_EQ(rig_.cell(colName, 10), "M100");
  EXPECT_TRUE(cellsAre(rig_, 100, {{colName, ""}, {colNumber, "100"}, {colChanged, "1"}}));
}

TEST_F(DragDrop, WithinTheFileOntoAnOccupiedRowMovesIt) {
  // Down: the row lands at the target index of the table without it.
  ASSERT_TRUE(dragDrop(file_, 1, file_, 4));
  EXPECT_EQ(column(file_, colName, 1, 4), (std::vector<std::string>{"B", "", "D", "A"}));
  EXPECT_EQ(column(file_, colNumber, 1, 4), (std::vector<std::string>{"1", "2", "3", "4"}));
  EXPECT_EQ(column(file_, colChanged, 1, 4), std::vector<std::string>(4, "1"));
  EXPECT_EQ(file_.dataRowCount(), 4);
  // Up.
  ClearChangedMarks(file_);
  ASSERT_TRUE(dragDrop(file_, 4, file_, 1));
  EXPECT_EQ(column(file_, colName, 1, 4), (std::vector<std::string>{"A", "B", "", "D"}));
  EXPECT_TRUE(file_.modified());
}

// The dropped row is a new row at the target: it is marked even when its old
// label (left by a sort) happens to be the target's number.
TEST_F(DragDrop, WithinTheFileTheDroppedRowIsMarkedWhateverItsOldLabel) {
  file_.setCell(colNumber, 1, "4");
  ASSERT_TRUE(dragDrop(file_, 1, file_, 4));
  EXPECT_EQ(column(file_, colName, 1, 4), (std::vector<std::string>{"B", "", "D", "A"}));
  EXPECT_TRUE(cellsAre(file_, 4, {{colNumber, "4"}, {colChanged, "1"}}));
}

TEST_F(DragDrop, FromTheRigOntoOccupiedAndEmptyFileRows) {
  ASSERT_TRUE(dragDrop(rig_, 10, file_, 2));
  EXPECT_EQ(file_.dataRowCount(), 5);
  EXPECT_EQ(column(file_, colName, 1, 5), (std::vector<std::string>{"A", "M10", "B", "", "D"}));
  EXPECT_EQ(column(file_, colNumber, 1, 5), (std::vector<std::string>{"1", "2", "3", "4", "5"}));
  EXPECT_EQ(column(file_, colChanged, 1, 5), (std::vector<std::string>{"0", "1", "1", "1", "1"}));
  EXPECT_TRUE(file_.hasCheckBoxes(2));
  EXPECT_EQ(rig_.cell(colName, 10), "M10");
  EXPECT_FALSE(rig_.modified());

  ASSERT_TRUE(dragDrop(rig_, 11, file_, 4));  // row 4 is empty
  EXPECT_EQ(file_.dataRowCount(), 5);
  EXPECT_TRUE(cellsAre(file_, 4, {{colName, "M11"}, {colChanged, "1"}}));
}

TEST_F(DragDrop, WithinTheFileOntoAnEmptyRowLeavesTheSourceEmpty) {
  ASSERT_TRUE(dragDrop(file_, 4, file_, 3));
  EXPECT_EQ(column(file_, colName, 1, 4), (std::vector<std::string>{"A", "B", "D", ""}));
  EXPECT_TRUE(cellsAre(file_, 4, {{colFrequency, ""}, {colChanged, "1"}}));
  EXPECT_EQ(file_.dataRowCount(), 4);
}

TEST_F(DragDrop, ARowDroppedOntoItselfStaysPut) {
  ctl_.armDrag(rig_, 10, false);
  EXPECT_FALSE(ctl_.acceptsDrop(ctl_.rigTable(), rig_, 10));
  EXPECT_FALSE(ctl_.drop(ctl_.rigTable(), rig_, 10));
  ctl_.armDrag(file_, 1, false);
  EXPECT_FALSE(ctl_.drop(ctl_.fileTable(), file_, 1));
  EXPECT_EQ(rig_.cell(colName, 10), "M10");
  EXPECT_EQ(rig_.cell(colName, 11), "M11");
  EXPECT_FALSE(rig_.modified());
  EXPECT_FALSE(file_.modified());
}

// Rows of another radio are fitted to the rig's at the drop, said in one
// report, and taken back whole by one undo; a row it cannot keep is refused.
TEST_F(DragDrop, RowsOfAnotherRadioAreFittedOrRefusedAtTheDrop) {
  EditHistory history(file_, rig_);
  ctl_.setHistory(&history);
  file_.setRecord(
      1, {"1", " 14,074.00", "LONGNAME12", "USB-D", "Wide", "Simp", "", "", "", "*2", "0"});
  ASSERT_TRUE(dragDrop(file_, 1, rig_, 20));
  EXPECT_TRUE(cellsAre(rig_, 20, {{colName, "LONGNAME1"}, {colMode, "USB"}, {colSelect, "1"}}));
  EXPECT_EQ(messages_.errors.back(),
            "1 row changed to fit the IC-746: row 20 name cut to \"LONGNAME1\", USB-D to USB, "
            "Select *2 to ticked.");
  ASSERT_TRUE(history.undo());
  EXPECT_TRUE(cellsAre(rig_, 20, {{colFrequency, ""}, {colName, ""}, {colChanged, "0"}}));

  // The IC-7300 keeps no duplex offset and one tone type.
  ctl_.setModelIndex(kModelIc7300);
  file_.setRecord(2, {"2", "  29,620", "10M RPT", "FM", "Normal", "DUP-", "  29,520", "88.5",
                      "100.0", "1", "0"});
  ASSERT_TRUE(dragDrop(file_, 2, rig_, 11));
  EXPECT_TRUE(cellsAre(rig_, 11,
                       {{colDuplex, "Split"},
                        {colTxFrequency, "  29,520"},
                        {colRepeaterTone, ""},
                        {colToneSquelch, "100.0"},
                        {colSelect, "*1"}}));
  EXPECT_EQ(
      messages_.errors.back(),
      "1 row changed to fit the IC-7300: row 11 DUP- to Split, Repeater Tone 88.5 dropped for "
      "the Tone Squelch.");
  file_.setCell(colFrequency, 3, "145,500");
  EXPECT_FALSE(dragDrop(file_, 3, rig_, 30));
  EXPECT_EQ(messages_.errors.back().substr(0, 44), "Row 3 not taken: outside the IC-7300's range");
  EXPECT_EQ(rig_.cell(colFrequency, 30), "");
}

// An IC-746 bank opened while the IC-910 is the rig: what the IC-910 cannot
// tune is left out, unmarked, so that no store erases its memories.
TEST_F(DragDrop, AFileOfAnotherRadioOpenedIntoTheRigIsFittedRowByRow) {
  ctl_.setModelIndex(kModelIc910);
  rig_.setRecord(12, {"12", " 145,500", "", "FM", "Wide", "Split", " 145,000", "", "", "0", "0"});
  rig_.setModified(false);
  ctl_.fitRigRows();
  EXPECT_TRUE(
      cellsAre(rig_, 12, {{colDuplex, "DUP-"}, {colTxFrequency, " 145,000"}, {colChanged, "1"}}));
  EXPECT_TRUE(cellsAre(rig_, 3, {{colNumber, "3"}, {colFrequency, ""}, {colChanged, "0"}}));
  EXPECT_TRUE(rig_.modified());
  ASSERT_EQ(messages_.errors.size(), 1u);
  EXPECT_EQ(
      messages_.errors[0].rfind(
          "1 row changed to fit the IC-910: row 12 Split to DUP-. Rows 3, 10, 11, 100 not taken: "
          "outside the IC-910's ranges (",
          0),
      0u)
      << messages_.errors[0];
}

}  // namespace
}  // namespace tarnwick
