#include <gtest/gtest.h>

#include "rig/rig_catalogue.h"
#include "table_test_util.h"
#include "tables/cell_block.h"
#include "tables/tables_controller.h"
#include "tests/support/table_cells.h"

namespace tarnwick {
namespace {

using testing::cellsAre;
using testing::fillFile;
using testing::fillRig;
using testing::rowRange;

TEST(TabSeparated, AwkwardCellsSurviveTheRoundTrip) {
  const TextGrid grid{
      {"a\tb", "line\nbreak", "\"quoted\" start", "mid \"q\"", ""}, {"", "x"}, {"crlf\r\nend"}};
  const std::string text = formatTabSeparated(grid);
  EXPECT_EQ(parseTabSeparated(text), grid);
  // What spreadsheets put on the clipboard: CR LF, no final line end.
  EXPECT_EQ(parseTabSeparated("1\t2\r\n3\t4"), (TextGrid{{"1", "2"}, {"3", "4"}}));
  EXPECT_EQ(parseTabSeparated("\n"), (TextGrid{{""}}));
  EXPECT_TRUE(parseTabSeparated("").empty());
}

class Clipboard : public ::testing::Test, protected testing::ControlledTables {
 protected:
  Clipboard() {
    ctl_.setModelIndex(kModelIc746);
    fillRig(rig_, kModelIc746, {1, 2, 3, 100});
    fillFile(file_, {"A", "B"});
  }
  const std::vector<int> nameToMode_{colFrequency, colName, colMode};
};

TEST_F(Clipboard, CopyFromTheRigPasteIntoTheFileGrowsItAndMarksTheRows) {
  const std::string text = ctl_.copyCells(rig_, {1, 3, nameToMode_});
  EXPECT_EQ(text, "   7,001.00\tM1\tUSB\n   7,002.00\tM2\tUSB\n   7,003.00\tM3\tUSB\n");

  const CellBlock written = ctl_.pasteCells(file_, 2, nameToMode_, text);
  EXPECT_EQ(written, (CellBlock{2, 4, nameToMode_}));
  ASSERT_EQ(file_.dataRowCount(), 4);
  EXPECT_EQ(file_.cell(colName, 4), "M3");
  EXPECT_TRUE(file_.hasCheckBoxes(4));
  EXPECT_EQ(file_.cell(colChanged, 2), "1");
  EXPECT_EQ(file_.cell(colChanged, 1), "0");
  EXPECT_TRUE(file_.modified());
  EXPECT_TRUE(file_.names().contains("m3"));
}

TEST_F(Clipboard, PasteIntoTheRigIsClippedAndTypedTextIsNormalised) {
  // Two columns pasted at the last two shown positions: the third is dropped,
  // as are the rows past the Call channel.
  const std::vector<int> lastTwo{colSelect, colChanged};
  const CellBlock written = ctl_.pasteCells(rig_, 101, lastTwo, "1\t0\textra\n1\t1\n1\t1\n");
  EXPECT_EQ(written, (CellBlock{101, 102, lastTwo}));
  EXPECT_EQ(rig_.dataRowCount(), 102);
  EXPECT_EQ(rig_.cell(colSelect, 101), "1");
  // A changed row is marked for the store, whatever the pasted Changed said.
  EXPECT_EQ(rig_.cell(colChanged, 101), "1");

  // One frequency that is no frequency refuses the whole block, naming it:
  // a blank memory would erase the radio's at the next store.
  const ChannelRecord row5 = rig_.record(5);
  EXPECT_EQ(ctl_.pasteCells(rig_, 5, nameToMode_, "145500\tRPT\tFM\n-5\tX\tFM\n"), CellBlock{});
  EXPECT_EQ(rig_.record(5), row5);
  ASSERT_EQ(messages_.errors.size(), 1u);
  EXPECT_NE(messages_.errors[0].find("Row 6, Frequency: \"-5\""), std::string::npos)
      << messages_.errors[0];

  // Frequencies are rewritten as on leaving an editor, after the pasted mode.
  ctl_.pasteCells(rig_, 5, nameToMode_, "145500\tRPT\tFM\n\tX\tFM\n");
  EXPECT_EQ(rig_.cell(colFrequency, 5), "    145,500");
  EXPECT_EQ(rig_.cell(colFrequency, 6), "");
  EXPECT_EQ(rig_.cell(colChanged, 5), "1");
  EXPECT_EQ(rig_.cell(colChanged, 6), "1");

  // The Tx Frequency of a rig row takes text only on a Split row.
  const std::vector<int> duplexTx{colDuplex, colTxFrequency};
  ctl_.pasteCells(rig_, 1, duplexTx, "DUP+\t145,100\nSplit\t145,200\n");
  EXPECT_EQ(rig_.cell(colTxFrequency, 1), "");
  EXPECT_EQ(rig_.cell(colTxFrequency, 2), " 145,200.00");
  // Typing into the first says why nothing happens; the second takes it.
  messages_.errors.clear();
  ctl_.explainRefusedEdit(rig_, colTxFrequency, 1);
  ctl_.explainRefusedEdit(rig_, colTxFrequency, 2);
  ASSERT_EQ(messages_.errors.size(), 1u);
  EXPECT_NE(messages_.errors[0].find("Split"), std::string::npos);
}

// A row copied by its number goes in as a row, whichever cell it is pasted
// onto. Cells that would leave an IC-7300 memory two tones are refused.
TEST_F(Clipboard, ARowCopiedWholePastesAsARowAndASecondToneIsRefused) {
  const std::vector<int> all = rowRange(colNumber, colChanged);
  ctl_.pasteCells(rig_, 20, nameToMode_, ctl_.copyCells(rig_, {3, 3, all}));
  EXPECT_TRUE(cellsAre(
      rig_, 20,
      {{colNumber, "20"}, {colFrequency, "   7,003.00"}, {colName, "M3"}, {colChanged, "1"}}));

  ctl_.setModelIndex(kModelIc7300);
  rig_.setCell(colRepeaterTone, 1, "88.5");
  EXPECT_EQ(ctl_.pasteCells(rig_, 1, std::vector<int>{colToneSquelch}, "100.0"), CellBlock{});
  EXPECT_EQ(messages_.errors.back(),
            "Nothing pasted. Row 1, Tone Squelch 100.0 not taken: the IC-7300 keeps a repeater "
            "tone or a tone squelch, not both. Empty the Repeater Tone first.");
  ctl_.pickListItem(rig_, colToneSquelch, 1, "100.0");
  EXPECT_EQ(rig_.cell(colToneSquelch, 1), "");
  EXPECT_EQ(rig_.cell(colChanged, 1), "0");
}

TEST_F(Clipboard, CutEmptiesEditableCellsAndKeepsLabels) {
  rig_.setModified(false);
  const std::vector<int> labelToName{colNumber, colFrequency, colName};
  const auto text = ctl_.cutCells(rig_, {2, 3, labelToName});
  ASSERT_TRUE(text);
  EXPECT_EQ(*text, "2\t   7,002.00\tM2\n3\t   7,003.00\tM3\n");
  EXPECT_TRUE(cellsAre(rig_, 2, {{colNumber, "2"}, {colFrequency, ""}}));
  EXPECT_TRUE(cellsAre(rig_, 3, {{colName, ""}, {colChanged, "1"}}));
  EXPECT_TRUE(rig_.modified());
}

TEST_F(Clipboard, ALockedRigRefusesEveryUserChange) {
  rig_.setSortIndication(true);
  file_.setSortIndication(true);
  rig_.setModified(false);
  rig_.setInputLocked(true);
  const ChannelRecord before = rig_.record(2);

  EXPECT_FALSE(ctl_.canEditCell(rig_, colName, 2));
  ctl_.startEdit(rig_, colName, 2);
  ctl_.editTextChanged(rig_, colName, 2, "NEW");
  EXPECT_EQ(ctl_.commitEdit(rig_, colName, 2, "NEW"), "M2");
  ctl_.pickListItem(rig_, colMode, 2, "FM");
  ctl_.toggleCheckBox(rig_, colSelect, 2);
  EXPECT_FALSE(ctl_.insertRow(rig_, 2));
  EXPECT_FALSE(ctl_.deleteRow(rig_, 2));
  ctl_.markAllChanged();
  EXPECT_FALSE(ctl_.clickSort(rig_, colName, false));
  EXPECT_TRUE(ctl_.pasteCells(rig_, 2, nameToMode_, "1\t2\t3\n").empty());
  EXPECT_FALSE(ctl_.cutCells(rig_, {2, 2, nameToMode_}));
  // Drags neither start in it nor land in it, nor leave it for the file.
  ctl_.armDrag(rig_, 2, false);
  EXPECT_EQ(ctl_.dragRow(), -1);
  ctl_.armDrag(file_, 1, false);
  EXPECT_FALSE(ctl_.drop(ctl_.rigTable(), file_, 5));

  EXPECT_EQ(rig_.record(2), before);
  EXPECT_EQ(rig_.cell(colChanged, 1), "0");
  EXPECT_FALSE(rig_.modified());
  // A key typed meanwhile is told why it does nothing.
  messages_.errors.clear();
  ctl_.explainRefusedEdit(rig_, colName, 2);
  ASSERT_EQ(messages_.errors.size(), 1u);
  EXPECT_NE(messages_.errors[0].find("Escape stops it"), std::string::npos);
  // The permanent file stays usable meanwhile.
  EXPECT_TRUE(ctl_.clickSort(file_, colName, false));
  EXPECT_TRUE(ctl_.insertRow(file_, 1));

  rig_.setInputLocked(false);
  EXPECT_TRUE(ctl_.deleteRow(rig_, 2));
}

}  // namespace
}  // namespace tarnwick
