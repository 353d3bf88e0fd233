#include "files/file_commands.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "files/memory_list_format.h"
#include "rig/rig_catalogue.h"
#include "tables/table_ops.h"
#include "tests/files/recording_ui.h"
#include "tests/support/table_cells.h"
#include "tests/support/temp_folder.h"

namespace tarnwick {
namespace {

using testing::cellsAre;
using testing::readBytes;
using testing::TempFolder;
using testing::writeBytes;

// Fails every replace, as a full disk would.
class FullDisk : public PosixFileSystem {
 protected:
  ssize_t writeSome(int, const char*, std::size_t) override {
    errno = ENOSPC;
    return -1;
  }
};

constexpr const char* kHeaderLine =
    "#;Frequency;Name;Mode;Filter;Duplex;Tx Frequency;Repeater Tone;Tone "
    "Squelch;Select;Changed\r\n";

struct FileCommandsTest : ::testing::Test {
  TempFolder dir;
  ChannelTable permanentTable{TableKind::PermanentFile};
  ChannelTable rigTable{TableKind::Rig};
  RecordingUi ui;
  FileCommands files{permanentTable, rigTable, ui};

  FileCommandsTest() { files.applySettings("", "", "", dir.path()); }

  void fillRow(ChannelTable& t, int row, const std::string& label, const std::string& name) {
    t.setCell(colNumber, row, label);
    t.setCell(colFrequency, row, "    145,500");
    t.setCell(colName, row, name);
    t.setCell(colMode, row, "FM");
    t.setCell(colSelect, row, "1");
    t.setCell(colChanged, row, "1");
  }
};

TEST_F(FileCommandsTest, DefaultsAndSettingsGiveTheCurrentFiles) {
  EXPECT_EQ(files.permanentFileName(), "icommemo.txt");
  EXPECT_EQ(files.rigFileName(), "icommem1.txt");
  EXPECT_EQ(files.currentFile(permanentTable), dir.path() + "/icommemo.txt");
  files.applySettings("/data/", "mine.csv", "rig.txt", "/home/docs");
  EXPECT_EQ(files.currentFile(permanentTable), "/data/mine.csv");
  EXPECT_EQ(files.currentFile(rigTable), "/data/rig.txt");
}

TEST_F(FileCommandsTest, FirstStartWithoutFileSavesHeaderAndOneMarkedRow) {
  files.loadPermanentFile();
  ASSERT_EQ(permanentTable.dataRowCount(), 1);
  EXPECT_TRUE(cellsAre(permanentTable, 1, {{colNumber, ""}, {colSelect, ""}, {colChanged, "0"}}));
  EXPECT_TRUE(permanentTable.hasCheckBoxes(1));
  EXPECT_TRUE(ui.calls.empty());  // a missing file is not an error

  ASSERT_TRUE(files.save(TableKind::PermanentFile));
  EXPECT_EQ(readBytes(dir.file("icommemo.txt")),
            std::string(kHeaderLine) + "1;\"\";\"\";\"\";\"\";\"\";\"\";\"\";\"\";\"\";1\r\n");
  EXPECT_EQ(permanentTable.cell(colChanged, 1), "0");
  EXPECT_FALSE(permanentTable.modified());
}

TEST_F(FileCommandsTest, StartUpReadsThePermanentFileAsItIs) {
  writeBytes(dir.file("icommemo.txt"),
             std::string(kHeaderLine) +
                 "7;    145,500;CALL;FM;Normal;Simp;\"\";\"\";\"\";1;1\r\n"
                 "P1;    7,050.00;\"a;b\";LSB;;;;;;;\r\n");
  permanentTable.setModified(true);
  files.loadPermanentFile();
  ASSERT_EQ(permanentTable.dataRowCount(), 2);
  EXPECT_EQ(permanentTable.cell(colNumber, 1), "7");  // labels stay as read
  EXPECT_EQ(permanentTable.cell(colNumber, 2), "P1");
  EXPECT_TRUE(cellsAre(permanentTable, 1, {{colSelect, "1"}, {colChanged, "0"}}));
  EXPECT_TRUE(permanentTable.hasCheckBoxes(2));
  EXPECT_FALSE(permanentTable.modified());
  for (const ChannelTable* t : {&permanentTable, &rigTable}) {
    EXPECT_TRUE(t->names().contains("CALL"));
    EXPECT_TRUE(t->names().contains("a;b"));
    EXPECT_FALSE(t->names().contains("Name"));
  }
}

// A file of the header line alone (a saved rig table without rows, say) must
// not leave the permanent file without a row to insert or drop at.
TEST_F(FileCommandsTest, PermanentFileWithoutDataLinesKeepsOneEmptyRow) {
  writeBytes(dir.file("icommemo.txt"), "h0;h1\r\n");
  files.loadPermanentFile();
  ASSERT_EQ(permanentTable.dataRowCount(), 1);
  EXPECT_EQ(permanentTable.cell(colNumber, 0), "h0");
  EXPECT_TRUE(cellsAre(permanentTable, 1, {{colNumber, ""}, {colChanged, "0"}}));
  EXPECT_TRUE(permanentTable.hasCheckBoxes(1));
  EXPECT_FALSE(permanentTable.modified());

  for (const std::string bytes : {"h0;h1\r\n", ""}) {
    writeBytes(dir.file("bare.txt"), bytes);
    ui.files = {dir.file("bare.txt")};
    ASSERT_TRUE(files.open(TableKind::PermanentFile));
    ASSERT_EQ(permanentTable.dataRowCount(), 1);
    EXPECT_TRUE(
        cellsAre(permanentTable, 1, {{colNumber, "1"}, {colFrequency, ""}, {colChanged, "0"}}));
    EXPECT_TRUE(permanentTable.hasCheckBoxes(1));
  }
  // The rig table has a row per line.
  ui.files = {dir.file("bare.txt")};
  ASSERT_TRUE(files.open(TableKind::Rig));
  EXPECT_EQ(rigTable.dataRowCount(), 0);
}

TEST_F(FileCommandsTest, SaveRenumbersWritesAndClearsMarks) {
  permanentTable.setRowCount(3);
  SetColumnHeaders(permanentTable);
  fillRow(permanentTable, 1, "1", "A");
  fillRow(permanentTable, 2, "", "\"Quoted");
  permanentTable.setCell(colChanged, 1, "0");
  permanentTable.setModified(true);
  ASSERT_TRUE(files.save(TableKind::PermanentFile));
  EXPECT_EQ(readBytes(dir.file("icommemo.txt")),
            std::string(kHeaderLine) + "1;    145,500;A;FM;\"\";\"\";\"\";\"\";\"\";1;0\r\n" +
                "2;    145,500;\"\"\"Quoted\";FM;\"\";\"\";\"\";\"\";\"\";1;1\r\n");
  EXPECT_TRUE(cellsAre(permanentTable, 2, {{colNumber, "2"}, {colChanged, "0"}}));
  EXPECT_FALSE(permanentTable.modified());
}

TEST_F(FileCommandsTest, RigTableRoundTripKeepsRowsAndSpecialLabels) {
  const RigModel* ic910 = findRigModel(kModelIc910);
  ASSERT_NE(ic910, nullptr);
  // Saved while the IC-910 is selected: its hidden Name and Select columns
  // are still in the file.
  rigTable.setRowCount(ic910->rigTableRows());
  SetColumnHeaders(rigTable);
  for (int r = 1; r < rigTable.rowCount(); ++r) {
    fillRow(rigTable, r, specialLabel(kModelIc910, r), "N" + std::to_string(r));
    rigTable.setCell(colSelect, r, r % 2 ? "1" : "");
  }
  ui.files.push_back(dir.file("ic910.txt"));
  ASSERT_TRUE(files.saveAs(TableKind::Rig));

  // Opened in a fresh program with the IC-746 selected.
  ChannelTable permanentTable2{TableKind::PermanentFile}, rigTable2{TableKind::Rig};
  rigTable2.setRowCount(findRigModel(kModelIc746)->rigTableRows());
  RecordingUi ui2;
  FileCommands files2{permanentTable2, rigTable2, ui2};
  files2.applySettings(dir.path(), "", "", "/unused");
  ui2.files.push_back(dir.file("ic910.txt"));
  ASSERT_TRUE(files2.open(TableKind::Rig));
  ASSERT_EQ(rigTable2.rowCount(), rigTable.rowCount());
  for (int r = 0; r < rigTable.rowCount(); ++r)
    EXPECT_EQ(rigTable2.record(r), rigTable.record(r)) << r;
  EXPECT_EQ(rigTable2.cell(colNumber, 100), "1A");
  EXPECT_EQ(rigTable2.cell(colNumber, 106), "Call");
  EXPECT_TRUE(cellsAre(rigTable2, 3, {{colName, "N3"}, {colSelect, "1"}}));
  EXPECT_EQ(rigTable2.cell(colSelect, 4), "");
  EXPECT_EQ(rigTable2.cell(colChanged, 5), "0");
  EXPECT_TRUE(rigTable2.hasCheckBoxes(106));

  // Saving it again gives the bytes of the first table as it stands after its
  // save (the Changed marks cleared).
  ASSERT_TRUE(files2.save(TableKind::Rig));
  EXPECT_TRUE(readBytes(dir.file("ic910.txt")) == formatMemoryList(rigTable));
}

TEST_F(FileCommandsTest, OpenOfFiveLinesGivesFourRenumberedRowsAndKeepsSpecialLabels) {
  writeBytes(dir.file("five.txt"), std::string("h0;h1\r\n") + "9;a;;;;;;;;1;1\r\n" +
                                       "9;b;;;;;;;;0;1\r\n" + "P1;c\r\n" + "Call;d\r\n");
  rigTable.setRowCount(103);
  ui.files.push_back(dir.file("five.txt"));
  ASSERT_TRUE(files.open(TableKind::Rig));
  ASSERT_EQ(rigTable.dataRowCount(), 4);
  EXPECT_EQ(rigTable.cell(colNumber, 0), "h0");  // the first line is the header
  EXPECT_EQ(rigTable.cell(colFrequency, 0), "h1");
  EXPECT_EQ(rigTable.cell(colNumber, 1), "1");
  EXPECT_EQ(rigTable.cell(colNumber, 2), "2");
  EXPECT_EQ(rigTable.cell(colNumber, 4), "4");  // the rig table's rows 1..99 only
  EXPECT_EQ(rigTable.cell(colSelect, 1), "1");
  for (int r = 1; r <= 4; ++r) EXPECT_EQ(rigTable.cell(colChanged, r), "0");
  EXPECT_EQ(files.rigFileName(), "five.txt");
  EXPECT_EQ(files.dataFolder(), dir.path() + "/");
  EXPECT_EQ(permanentTable.cell(colName, 0), "Name");  // both tables got their headers back
}

TEST_F(FileCommandsTest, SaveAsMovesTheSharedFolder) {
  TempFolder other;
  rigTable.setRowCount(2);
  ui.files.push_back(other.file("bank.txt"));
  ASSERT_TRUE(files.saveAs(TableKind::Rig));
  EXPECT_EQ(ui.calls, std::vector<std::string>{"Save Icom Memory File in " + dir.path() +
                                               " as icommem1.txt"});
  EXPECT_EQ(files.dataFolder(), other.path() + "/");
  ASSERT_TRUE(files.save(TableKind::PermanentFile));
  EXPECT_EQ(other.entries(), (std::vector<std::string>{"bank.txt", "icommemo.txt"}));
  EXPECT_TRUE(dir.entries().empty());
}

TEST_F(FileCommandsTest, FailedSaveReportsAndKeepsMarksModifiedAndTheOldFile) {
  FullDisk disk;
  FileCommands failing{permanentTable, rigTable, ui, disk};
  failing.applySettings(dir.path(), "", "", "");
  const std::string old = std::string(kHeaderLine) + "1;old\r\n";
  writeBytes(dir.file("keep.txt"), old);
  permanentTable.setRowCount(2);
  fillRow(permanentTable, 1, "", "new");
  permanentTable.setCell(colChanged, 1, "0");
  permanentTable.setModified(true);

  ui.files.push_back(dir.file("keep.txt"));
  EXPECT_FALSE(failing.saveAs(TableKind::PermanentFile));
  EXPECT_EQ(ui.calls.back(),
            "error Cannot Create file " + dir.file("keep.txt") + "\nNo space left on device");
  EXPECT_EQ(readBytes(dir.file("keep.txt")), old);
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"keep.txt"});
  EXPECT_TRUE(permanentTable.modified());
  EXPECT_EQ(permanentTable.cell(colNumber, 1), "1");   // renumbering already ran
  EXPECT_EQ(permanentTable.cell(colChanged, 1), "1");  // and its mark stays
  EXPECT_EQ(failing.permanentFileName(), "keep.txt");

  EXPECT_FALSE(failing.save(TableKind::PermanentFile));
  EXPECT_EQ(ui.calls.back(),
            "error Cannot Create file " + dir.path() + "/keep.txt\nNo space left on device");
  EXPECT_EQ(readBytes(dir.file("keep.txt")), old);
}

TEST_F(FileCommandsTest, OpenAsksFirstAndFollowsTheAnswer) {
  writeBytes(dir.file("in.txt"), std::string(kHeaderLine) + "1;x\r\n");
  permanentTable.setModified(true);

  ui.answers = {PromptAnswer::Abort};
  EXPECT_FALSE(files.open(TableKind::PermanentFile));
  EXPECT_EQ(ui.calls, std::vector<std::string>{"ask " + std::string(kPermanentChangedBeforeOpen)});

  // Yes: Save As, cancelled here, and the Open goes on.
  ui.calls.clear();
  ui.answers = {PromptAnswer::Yes};
  ui.files = {std::nullopt, dir.file("in.txt")};
  EXPECT_TRUE(files.open(TableKind::PermanentFile));
  const std::string start = " in " + dir.path() + " as icommemo.txt";
  EXPECT_EQ(ui.calls, (std::vector<std::string>{"ask " + std::string(kPermanentChangedBeforeOpen),
                                                "Save Icom Memory File" + start,
                                                "Open Icom Memory File" + start}));
  EXPECT_EQ(permanentTable.cell(colFrequency, 1), "x");
  EXPECT_FALSE(permanentTable.modified());

  // Unchanged table: no question; a cancelled dialog changes nothing.
  ui.calls.clear();
  EXPECT_FALSE(files.open(TableKind::Rig));
  EXPECT_EQ(ui.calls, std::vector<std::string>{"Open Icom Memory File in " + dir.path() +
                                               "/ as icommem1.txt"});
  EXPECT_EQ(files.rigFileName(), "icommem1.txt");
}

TEST_F(FileCommandsTest, OpenStopsWhenTheRequestedSaveFails) {
  FullDisk disk;
  FileCommands failing{permanentTable, rigTable, ui, disk};
  failing.applySettings(dir.path(), "", "", "");
  rigTable.setRowCount(2);
  rigTable.setCell(colName, 1, "unsaved");
  rigTable.setModified(true);
  ui.answers = {PromptAnswer::Yes};
  ui.files = {dir.file("r.txt"), dir.file("other.txt")};
  EXPECT_FALSE(failing.open(TableKind::Rig));
  EXPECT_EQ(ui.calls.size(), 3u);  // ask, save dialog, error: no open dialog
  EXPECT_EQ(ui.calls.back(),
            "error Cannot Create file " + dir.file("r.txt") + "\nNo space left on device");
  EXPECT_EQ(rigTable.cell(colName, 1), "unsaved");
}

TEST_F(FileCommandsTest, OpenOfUnreadableFileKeepsRowsAfterTheFirstSteps) {
  rigTable.setRowCount(3);
  rigTable.setSortIndication(true);
  rigTable.setSortKeys({SortKey{colName, true}});
  rigTable.setCell(colName, 2, "kept");
  rigTable.setCell(colNumber, 0, "old header");
  const std::string missing = dir.path() + "/sub/gone.txt";
  ui.files.push_back(missing);
  EXPECT_FALSE(files.open(TableKind::Rig));
  EXPECT_EQ(ui.calls.back(), "error Cannot open file " + missing + "\nNo such file or directory");
  EXPECT_FALSE(rigTable.sortIndication());
  EXPECT_TRUE(rigTable.sortKeys().empty());
  EXPECT_EQ(rigTable.dataRowCount(), 2);
  EXPECT_EQ(rigTable.cell(colName, 2), "kept");
  EXPECT_EQ(rigTable.cell(colNumber, 0), "#");  // headers were reset first
  EXPECT_EQ(files.dataFolder(), dir.path() + "/sub/");
  EXPECT_EQ(files.rigFileName(), "gone.txt");
}

TEST_F(FileCommandsTest, CloseQueryAsksAboutEachChangedTable) {
  EXPECT_TRUE(files.confirmClose());
  EXPECT_TRUE(ui.calls.empty());

  permanentTable.setModified(true);
  rigTable.setModified(true);
  ui.answers = {PromptAnswer::Abort, PromptAnswer::No};
  EXPECT_FALSE(files.confirmClose());
  EXPECT_EQ(ui.calls, (std::vector<std::string>{"ask " + std::string(kPermanentChangedBeforeExit),
                                                "ask " + std::string(kRigChangedBeforeExit)}));

  // Yes, then a cancelled Save As: the table is not saved, so the window
  // stays open (the rig table's question is still asked).
  ui.calls.clear();
  ui.answers = {PromptAnswer::Yes, PromptAnswer::No};
  EXPECT_FALSE(files.confirmClose());
  EXPECT_EQ(ui.calls.size(), 3u);

  ui.answers = {PromptAnswer::No, PromptAnswer::Yes};
  ui.files = {dir.file("rig.txt")};
  EXPECT_TRUE(files.confirmClose());
  EXPECT_FALSE(rigTable.modified());
  EXPECT_TRUE(permanentTable.modified());
}

TEST_F(FileCommandsTest, CloseQueryKeepsTheWindowWhenTheRequestedSaveFails) {
  FullDisk disk;
  FileCommands failing{permanentTable, rigTable, ui, disk};
  failing.applySettings(dir.path(), "", "", "");
  permanentTable.setModified(true);
  ui.answers = {PromptAnswer::Yes};
  ui.files = {dir.file("p.txt")};
  EXPECT_FALSE(failing.confirmClose());
  EXPECT_TRUE(permanentTable.modified());
}

TEST_F(FileCommandsTest, SaveAsRefusesAFolderThatIsNotThere) {
  files.applySettings(dir.path(), "", "", "");
  permanentTable.setRowCount(2);
  fillRow(permanentTable, 1, "", "kept");
  permanentTable.setModified(true);
  const std::string missing = dir.file("gone") + "/list.txt";
  ui.files.push_back(missing);
  EXPECT_FALSE(files.saveAs(TableKind::PermanentFile));
  EXPECT_EQ(ui.calls.back(), "error Save As requires an existing folder: " + dir.file("gone"));
  EXPECT_TRUE(dir.entries().empty());
  EXPECT_TRUE(permanentTable.modified());
  // The table keeps its old name: a later Save does not aim at the missing folder.
  EXPECT_EQ(files.permanentFileName(), std::string(kDefaultPermanentFileName));
}

}  // namespace
}  // namespace tarnwick
