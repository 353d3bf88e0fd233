// Radios whose memories keep a select group (IC-7300 family, IC-7610): the
// Select cell is a list of four, and no path loses the radio's group.

#include <gtest/gtest.h>

#include "rig/memory_contents.h"
#include "rig/rig_catalogue.h"
#include "table_test_util.h"
#include "tables/cell_editing.h"
#include "tables/edit_history.h"
#include "tables/fill_rig_row.h"
#include "tests/support/hex_bytes.h"

namespace tarnwick {
namespace {

using testing::fillFile;
using testing::fillRig;

class SelectGroups : public ::testing::Test, protected testing::ControlledTables {
 protected:
  SelectGroups() {
    ctl_.setModelIndex(kModelIc7300);
    ctl_.setHistory(&history_);
    fillRig(rig_, kModelIc7300, {1, 2});
    fillFile(file_, {"A"});
  }

  // Reads memory 5 of an IC-7300 with select *2 into the rig table.
  void readMemory5() {
    const std::vector<Byte> answer = ::tarnwick::testing::hexBytes(
        "00 00 05 02 00 50 19 14 00 01 02 00 00 08 85 00 08 85 "
        "00 50 19 14 00 01 02 00 00 08 85 00 08 85 43 4F 4E 54 45 53 54 20 20 20");
    DecodedMemory m;
    ASSERT_TRUE(decodeMemoryContents(0x94, answer, kModelIc7300, m));
    PermanentFileIndex index(file_);
    fillRigRow(m, kModelIc7300, DuplexOffsets{}, rig_, file_, index, Separators::point());
  }

  Byte storedSelect(int row) const {
    return encodeMemoryContents(kModelIc7300, row, rig_.record(row), {}, Separators::point())[4];
  }

  EditHistory history_{file_, rig_};
};

TEST_F(SelectGroups, AGroupReadIsStoredBackAndEditedAsAList) {
  readMemory5();
  EXPECT_EQ(rig_.cell(colSelect, 5), "*2");
  EXPECT_EQ(storedSelect(5), 0x02);  // stored untouched

  EXPECT_EQ(ctl_.editorType(colSelect).kind, EditorKind::List);
  EXPECT_EQ(ctl_.choices(colSelect), (std::vector<std::string>{"", "*1", "*2", "*3"}));
  EXPECT_EQ(ctl_.preselected(rig_, colSelect, 5), 2);
  // No check box to click: a click changes nothing.
  ctl_.toggleCheckBox(rig_, colSelect, 5);
  EXPECT_EQ(rig_.cell(colSelect, 5), "*2");
  EXPECT_EQ(rig_.cell(colChanged, 5), "0");

  ctl_.pickListItem(rig_, colSelect, 5, "*3");
  EXPECT_EQ(rig_.cell(colChanged, 5), "1");
  EXPECT_EQ(storedSelect(5), 0x03);
  ASSERT_TRUE(history_.undo());
  EXPECT_EQ(rig_.cell(colSelect, 5), "*2");
  EXPECT_EQ(rig_.cell(colChanged, 5), "0");

  ctl_.pickListItem(rig_, colSelect, 5, "");
  EXPECT_EQ(storedSelect(5), 0x00);
}

TEST_F(SelectGroups, PastesTakeTheRadiosForm) {
  const std::vector<int> select{colSelect};
  // A select flag from another radio is the first group; anything else none.
  ctl_.pasteCells(rig_, 1, select, "1\n*3\n");
  EXPECT_EQ(rig_.cell(colSelect, 1), "*1");
  EXPECT_EQ(rig_.cell(colSelect, 2), "*3");
  EXPECT_EQ(rig_.cell(colChanged, 2), "1");
  ctl_.pasteCells(rig_, 1, select, "ticked");
  EXPECT_EQ(rig_.cell(colSelect, 1), "");
  // A cut leaves no group.
  ctl_.cutCells(rig_, {2, 2, select});
  EXPECT_EQ(rig_.cell(colSelect, 2), "");
  // A deleted memory too.
  ctl_.pickListItem(rig_, colSelect, 1, "*2");
  ctl_.deleteRow(rig_, 1);
  EXPECT_EQ(rig_.cell(colSelect, 1), "");

  // A radio with a select flag keeps its check box.
  ctl_.setModelIndex(kModelIc746);
  EXPECT_EQ(ctl_.editorType(colSelect).kind, EditorKind::CheckBox);
  ctl_.pasteCells(file_, 1, select, "*2");
  EXPECT_EQ(file_.cell(colSelect, 1), "1");  // a group is a ticked select there
}

TEST(SelectGroupEditors, ListsOfTheNewRadios) {
  EXPECT_EQ(editorChoices(kModelIc7300, colDuplex), (std::vector<std::string>{"Simplex", "Split"}));
  EXPECT_EQ(editorChoices(kModelIc7610, colDuplex), (std::vector<std::string>{"Simplex"}));
  EXPECT_EQ(editorChoices(kModelIc7610, colSelect).size(), 4u);
  EXPECT_TRUE(editorChoices(kModelIc746Pro, colSelect).empty());
  EXPECT_EQ(editorChoices(kModelIc7300Mk2, colMode), editorChoices(kModelIc746Pro, colMode));
  EXPECT_EQ(columnEditorType(kModelIc7300Mk2, colName), (EditorType{EditorKind::Text, 16}));
  EXPECT_EQ(columnEditorType(kModelIc7610, colName), (EditorType{EditorKind::Text, 10}));
}

}  // namespace
}  // namespace tarnwick
