// The CHIRP commands as the window runs them: what they ask, where the rows
// go, the undo step and the names; and which rows an export takes.

#include "chirp/chirp_transfer.h"

#include <gtest/gtest.h>

#include "rig/rig_catalogue.h"
#include "tables/column_layout.h"
#include "tables/table_ops.h"
#include "tests/files/recording_ui.h"
#include "tests/support/temp_folder.h"

namespace tarnwick {
namespace {

struct ScriptedChirpUi : ChirpTransferUi {
  std::optional<std::string> list;
  ChirpPlacement placement = ChirpPlacement::Cancel;
  std::vector<std::string> asked;

  std::optional<std::string> chooseList(const FileDialogSpec& dialog,
                                        const std::string& folder) override {
    asked.push_back(std::string(dialog.title) + " in " + folder);
    return list;
  }
  ChirpPlacement askPlacement(int fromRow) override {
    asked.push_back("from " + std::to_string(fromRow));
    return placement;
  }
  ChirpRadio radio() override { return {kModelIc746, "", {}}; }
};

class ChirpTransferTest : public ::testing::Test {
 protected:
  ChirpTransferTest() {
    PrepareRigTable(rig_, kModelIc746);
    files_.applySettings(dir_.path() + "/", "", "", "");
    chirp_.setHistory(&history_);
    ui_.list = dir_.file("club.csv");
    testing::writeBytes(*ui_.list,
                        "Location,Name,Frequency,Mode\r\n"
                        "7,Club,145.500000,FM\r\n"
                        "9,Net,3.985000,LSB\r\n"
                        "11,Far,146.520000,FM\r\n");
  }

  testing::TempFolder dir_;
  ChannelTable permanent_{TableKind::PermanentFile};
  ChannelTable rig_{TableKind::Rig};
  RecordingUi fileUi_;
  FileCommands files_{permanent_, rig_, fileUi_};
  EditHistory history_{permanent_, rig_};
  ChirpTransfer chirp_{permanent_, rig_, files_};
  ScriptedChirpUi ui_;
};

TEST_F(ChirpTransferTest, TheRigTableAsksWhereTheRowsGoAndUndoesInOneStep) {
  rig_.setInputLocked(true);
  EXPECT_EQ(chirp_.importChosen(TableKind::Rig, 0, ui_), std::nullopt);
  EXPECT_TRUE(ui_.asked.empty());  // a locked table asks nothing
  rig_.setInputLocked(false);

  // Without a current row the offer starts at memory 1; a cancel changes nothing.
  EXPECT_EQ(chirp_.importChosen(TableKind::Rig, 0, ui_), std::nullopt);
  EXPECT_EQ(ui_.asked,
            (std::vector<std::string>{"Import CHIRP CSV in " + dir_.path() + "/", "from 1"}));
  EXPECT_FALSE(rig_.modified());
  EXPECT_FALSE(history_.canUndo());

  ui_.placement = ChirpPlacement::FromRow;
  std::optional<ChirpOutcome> outcome = chirp_.importChosen(TableKind::Rig, 5, ui_);
  ASSERT_TRUE(outcome);
  EXPECT_EQ(ui_.asked.back(), "from 5");
  EXPECT_EQ(outcome->error, "");
  EXPECT_EQ(outcome->report,
            "Imported 3 of 3 rows of club.csv into rows 5 to 7: 0 left out, 0 changed\n");
  EXPECT_FALSE(outcome->warning);
  EXPECT_EQ(outcome->firstRow, 5);
  EXPECT_EQ(rig_.cell(colName, 5), "Club");
  EXPECT_EQ(rig_.cell(colName, 7), "Far");
  EXPECT_TRUE(permanent_.names().contains("Net"));
  EXPECT_TRUE(rig_.names().contains("Club"));
  EXPECT_EQ(history_.undoText(), "Undo Import CHIRP CSV");
  ASSERT_TRUE(history_.undo());
  EXPECT_EQ(rig_.cell(colName, 5), "");
  EXPECT_EQ(rig_.cell(colName, 7), "");

  ui_.placement = ChirpPlacement::AtLocations;
  outcome = chirp_.importChosen(TableKind::Rig, 5, ui_);
  ASSERT_TRUE(outcome);
  EXPECT_EQ(outcome->firstRow, 7);
  EXPECT_EQ(rig_.cell(colName, 7), "Club");
  EXPECT_EQ(rig_.cell(colName, 9), "Net");
  EXPECT_EQ(rig_.cell(colName, 11), "Far");
}

TEST_F(ChirpTransferTest, ExportTakesTheSelectedRowsOnlyWhenThereAreSeveral) {
  ASSERT_EQ(chirp_.importFile(*ui_.list, TableKind::PermanentFile, 0, ui_.radio()).imported(), 3);
  ui_.list = dir_.file("out.csv");
  auto exported = [&](int firstRow, int lastRow) {
    const std::optional<ChirpOutcome> outcome =
        chirp_.exportChosen(TableKind::PermanentFile, CellBlock{firstRow, lastRow, {colName}}, ui_);
    EXPECT_TRUE(outcome && !outcome->warning && outcome->error.empty());
    return outcome ? outcome->report : "";
  };
  EXPECT_EQ(exported(2, 2), "Exported 3 channels to out.csv: 0 left out\n");
  EXPECT_EQ(exported(2, 3), "Exported 2 channels to out.csv: 0 left out\n");
  EXPECT_NE(testing::readBytes(*ui_.list).find("Net"), std::string::npos);
  EXPECT_EQ(testing::readBytes(*ui_.list).find("Club"), std::string::npos);
}

}  // namespace
}  // namespace tarnwick
