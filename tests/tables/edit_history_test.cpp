#include "tables/edit_history.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <random>

#include "files/file_commands.h"
#include "rig/rig_catalogue.h"
#include "table_test_util.h"
#include "tables/fill_rig_row.h"
#include "tests/support/temp_folder.h"

namespace tarnwick {
namespace {

using testing::fillFile;
using testing::fillRig;
using testing::rowRange;

// Everything an undo puts back: cells, labels, marks, check boxes, order,
// Modified and the sort keys the header shows.
struct TableState {
  std::vector<ChannelRecord> rows;
  std::vector<bool> boxes;
  bool modified = false;
  std::vector<SortKey> keys;
  bool operator==(const TableState&) const = default;
};

TableState stateOf(const ChannelTable& t) {
  TableState s{{}, {}, t.modified(), t.sortKeys()};
  for (int r = 0; r < t.rowCount(); ++r) {
    s.rows.push_back(t.record(r));
    s.boxes.push_back(t.hasCheckBoxes(r));
  }
  return s;
}

std::size_t hashOf(const ChannelTable& t) {
  std::size_t h = t.modified() ? 1 : 0;
  const auto mix = [&h](std::size_t v) { h = h * 1000003u ^ v; };
  for (int r = 0; r < t.rowCount(); ++r) {
    for (const std::string& c : t.record(r)) mix(std::hash<std::string>{}(c));
    mix(t.hasCheckBoxes(r) ? 7 : 3);
  }
  for (const SortKey& k : t.sortKeys()) mix(static_cast<std::size_t>(k.column * 2 + k.descending));
  return h;
}

struct NoUi : FileCommandUi {
  std::optional<std::string> file;  // what the open and save dialogs choose
  std::optional<std::string> chooseFile(const FileDialogSpec&, const std::string&,
                                        const std::string&) override {
    return file;
  }
  PromptAnswer askYesNoAbort(std::string_view) override { return PromptAnswer::No; }
  void showError(std::string_view text) override { ADD_FAILURE() << text; }
  void showInformation(std::string_view text) override { ADD_FAILURE() << text; }
  void fileNamesChanged() override {}
};

// The file commands over both tables, with a data folder of their own.
struct FilesInFolder {
  FilesInFolder(ChannelTable& file, ChannelTable& rig) : files(file, rig, ui) {
    files.applySettings(dir.path() + "/", "", "", "");
  }
  testing::TempFolder dir;
  NoUi ui;
  FileCommands files;
};

struct CountingObserver : HistoryObserver {
  int calls = 0;
  void historyChanged() override { ++calls; }
};

class History : public ::testing::Test, protected testing::ControlledTables {
 protected:
  History() {
    ctl_.setModelIndex(kModelIc746);
    std::vector<int> occupied = rowRange(1, 40);
    occupied.push_back(100);
    fillRig(rig_, kModelIc746, occupied);
    fillFile(file_, {"ALPHA", "", "bravo", "Charlie", "", "delta", "ECHO", "fox"});
    for (int r : {3, 7}) rig_.setCell(colDuplex, r, "DUP-");
    file_.setCell(colDuplex, 1, "DUP+");
    // Rows that show no check boxes yet (never read, inserted earlier).
    for (int r : {41, 42, 101}) rig_.setCheckBoxes(r, false);
    file_.setCheckBoxes(2, false);
    file_.setSortIndication(true);
    rig_.setSortIndication(true);
    file_.setModified(false);
    rig_.setModified(false);
  }

  void attach(HistoryLimits limits = {}) {
    history_ = std::make_unique<EditHistory>(file_, rig_, limits);
    ctl_.setHistory(history_.get());
  }

  std::size_t hash() const { return hashOf(file_) * 31 + hashOf(rig_); }

  // A typed edit ended by leaving the cell.
  void type(ChannelTable& t, int col, int row, const std::string& text) {
    ctl_.startEdit(t, col, row);
    ctl_.editTextChanged(t, col, row, text.substr(0, 1));
    ctl_.editTextChanged(t, col, row, text);
    ctl_.commitEdit(t, col, row, text);
  }

  // What the transfer engine does to the tables during a read.
  void readFromRadio(const std::vector<DecodedMemory>& memories) {
    PermanentFileIndex index(file_);
    rig_.setInputLocked(true);
    rig_.clearCells();
    rig_.setRowCount(2);
    rig_.setRowCount(findRigModel(kModelIc746)->rigTableRows());
    ResetHeaders(file_, rig_);
    for (const DecodedMemory& m : memories) {
      fillRigRow(m, kModelIc746, DuplexOffsets{}, rig_, file_, index, Separators::current());
    }
    rig_.setInputLocked(false);
  }

  std::unique_ptr<EditHistory> history_;
};

DecodedMemory channel(int number, std::int32_t hz, std::string name) {
  DecodedMemory m;
  m.memoryNumber = number;
  m.frequency = hz;
  m.name = std::move(name);
  m.mode = 2;
  m.filter = 1;
  return m;
}

// --- Random operations on both tables, undone and redone -----------------------

class RandomOperations : public History {
 protected:
  RandomOperations() {
    std::vector<std::string> names;
    for (int i = 0; i < 24; ++i)
      names.push_back(i % 5 == 3 ? "" : "F" + std::to_string(i * 7 % 24));
    fillFile(file_, names);
    file_.setCell(colDuplex, 2, "DUP-");
    file_.setModified(false);
    attach({.maxSteps = 100000, .maxBytes = std::size_t{1} << 30});
  }

  int pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
  ChannelTable& anyTable() { return pick(2) ? file_ : rig_; }
  int anyRow(const ChannelTable& t) { return 1 + pick(t.dataRowCount()); }

  std::string anyText(int col) {
    switch (col) {
      case colFrequency:
      case colTxFrequency:
        return pick(6) == 0 ? "-5" : std::to_string(1800 + pick(440000));
      case colSelect:
      case colChanged:
        return std::to_string(pick(3));
      default:
        return pick(5) == 0 ? "" : "N" + std::to_string(pick(50));
    }
  }

  std::vector<int> anyColumns() {
    const int first = pick(kColumnCount);
    const int last = first + pick(kColumnCount - first);
    return rowRange(first, last);
  }

  void operation() {
    ChannelTable& t = anyTable();
    const int row = anyRow(t);
    const int col = pick(kColumnCount);
    switch (pick(14)) {
      case 0:
        type(t, col, row, anyText(col));
        break;
      case 1:  // typed, then Escape
        ctl_.startEdit(t, col, row);
        ctl_.editTextChanged(t, col, row, anyText(col));
        ctl_.editorClosed();
        break;
      case 2: {
        const int listCol = std::array{colMode, colFilter, colDuplex, colRepeaterTone}[pick(4)];
        const std::vector<std::string> items = ctl_.choices(listCol);
        const int item = pick(static_cast<int>(items.size()));
        ctl_.pickListItem(t, listCol, row, items[static_cast<std::size_t>(item)]);
        break;
      }
      case 3:
        ctl_.toggleCheckBox(t, pick(2) ? colSelect : colChanged, row);
        break;
      case 4: {
        ChannelTable& from = anyTable();
        const int first = anyRow(from);
        const std::vector<int> cols = anyColumns();
        ctl_.pasteCells(t, row, cols, ctl_.copyCells(from, {first, first + pick(4), cols}));
        break;
      }
      case 5:
        ctl_.cutCells(t, {row, row + pick(3), anyColumns()});
        break;
      case 6:
        ctl_.insertRow(t, row);
        break;
      case 7:
        ctl_.deleteRow(t, row);
        break;
      case 8:
      case 12:
      case 13: {
        ChannelTable& from = anyTable();
        ctl_.armDrag(from, anyRow(from), false);
        ctl_.drop(t, from, row);
        break;
      }
      case 9:
        ctl_.clickSort(t, col, pick(3) == 0);
        break;
      case 10:
        pick(2) ? ctl_.markAllChanged() : ctl_.markNoneChanged();
        break;
      default:
        ctl_.recomputeDuplexTx(
            {.hf = pick(200) * 1000, .mhz50 = 500000, .mhz144 = pick(900) * 1000});
    }
  }

  std::mt19937 rng_{20240611};
};

TEST_F(RandomOperations, UndoneToTheStartAndRedoneToTheEnd) {
  const TableState startFile = stateOf(file_);
  const TableState startRig = stateOf(rig_);
  // seen[n]: the state with n steps done, checked at every undo and redo.
  std::vector<std::size_t> seen{hash()};
  int undos = 0;
  for (int i = 0; i < 3000; ++i) {
    const int roll = pick(10);
    if (roll == 0 && history_->canUndo()) {
      ASSERT_TRUE(history_->undo());
      ++undos;
      ASSERT_EQ(hash(), seen.at(history_->undoCount())) << "undo after operation " << i;
    } else if (roll == 1 && history_->canRedo()) {
      ASSERT_TRUE(history_->redo());
      ASSERT_EQ(hash(), seen.at(history_->undoCount())) << "redo after operation " << i;
    } else {
      operation();
      // A new step ends what could be redone; a refused operation does not.
      if (history_->redoCount() == 0) seen.resize(history_->undoCount() + 1);
      seen.at(history_->undoCount()) = hash();
    }
  }
  const TableState endFile = stateOf(file_);
  const TableState endRig = stateOf(rig_);
  ASSERT_GT(history_->undoCount(), 1000u);
  EXPECT_GT(undos, 100);

  while (history_->undo()) {
  }
  EXPECT_EQ(history_->undoCount(), 0u);
  EXPECT_EQ(stateOf(file_), startFile);
  EXPECT_EQ(stateOf(rig_), startRig);
  while (history_->redo()) {
  }
  EXPECT_EQ(stateOf(file_), endFile);
  EXPECT_EQ(stateOf(rig_), endRig);
}

// --- Steps, names, locks -------------------------------------------------------

TEST_F(History, OneStepPerOperationNamedForTheMenu) {
  attach();
  CountingObserver observer;
  history_->addObserver(&observer);
  EXPECT_EQ(history_->undoText(), "");
  EXPECT_FALSE(history_->undo());

  // The marks set while typing and the text the cell ends with: one step.
  type(file_, colName, 3, "NEWNAME");
  EXPECT_EQ(history_->undoCount(), 1u);
  EXPECT_EQ(history_->undoText(), "Undo Edit");
  // Escape after typing keeps the marks, as a step of their own.
  ctl_.startEdit(file_, colName, 4);
  ctl_.editTextChanged(file_, colName, 4, "X");
  ctl_.editorClosed();
  ctl_.startEdit(file_, colName, 5);
  ctl_.editTextChanged(file_, colName, 5, "Y");
  EXPECT_EQ(history_->undoCount(), 3u);

  ctl_.clickSort(ctl_.rigTable(), colName, false);
  EXPECT_EQ(history_->undoText(), "Undo Sort by Name");
  ctl_.armDrag(rig_, 2, false);
  ASSERT_TRUE(ctl_.drop(ctl_.fileTable(), rig_, 1));
  EXPECT_EQ(history_->undoText(), "Undo Drag");
  // Refused operations leave no step.
  ctl_.armDrag(rig_, 2, false);
  EXPECT_FALSE(ctl_.drop(ctl_.rigTable(), rig_, 2));
  EXPECT_EQ(history_->undoText(), "Undo Drag");

  EXPECT_TRUE(history_->undo());
  EXPECT_EQ(history_->redoText(), "Redo Drag");
  EXPECT_EQ(rig_.sortKeys(), (std::vector<SortKey>{{colName, false}}));
  EXPECT_TRUE(history_->undo());
  EXPECT_TRUE(rig_.sortKeys().empty());
  EXPECT_GE(observer.calls, 6);

  // The rig table is locked during a read or a store: its steps wait.
  ctl_.markAllChanged();
  EXPECT_EQ(history_->undoText(), "Undo Mark All as Changed");
  const int before = observer.calls;
  rig_.setInputLocked(true);
  EXPECT_GT(observer.calls, before);
  EXPECT_FALSE(history_->canUndo());
  EXPECT_FALSE(history_->undo());
  EXPECT_EQ(rig_.cell(colChanged, 50), "1");
  rig_.setInputLocked(false);
  EXPECT_TRUE(history_->undo());
  EXPECT_EQ(rig_.cell(colChanged, 50), "0");
  // A step of the permanent file alone is not held up by the lock.
  rig_.setInputLocked(true);
  EXPECT_TRUE(history_->undo());
  EXPECT_EQ(file_.cell(colChanged, 5), "0");
  history_->removeObserver(&observer);
}

TEST_F(History, RecomputedTxIsOneStepOverBothTables) {
  attach();
  ctl_.recomputeDuplexTx({.hf = 100000, .mhz50 = 500000, .mhz144 = 600000});
  EXPECT_EQ(rig_.cell(colTxFrequency, 3), "   6,903.00");
  EXPECT_EQ(file_.cell(colTxFrequency, 1), "  14,101.00");
  EXPECT_EQ(rig_.cell(colChanged, 3), "0");
  EXPECT_EQ(history_->undoText(), "Undo Recompute Tx Frequencies");
  EXPECT_TRUE(history_->undo());
  EXPECT_EQ(rig_.cell(colTxFrequency, 3), "");
  EXPECT_EQ(file_.cell(colTxFrequency, 1), "");
}

// --- Modified, saves and changes outside the history ----------------------------

TEST_F(History, UndoToTheSavedStateClearsModifiedButNeverHidesOtherChanges) {
  attach();
  FilesInFolder data(file_, rig_);
  FileCommands& files = data.files;

  ctl_.pickListItem(file_, colMode, 1, "FM");
  ASSERT_TRUE(files.save(TableKind::PermanentFile));
  ctl_.pickListItem(file_, colMode, 2, "AM");
  EXPECT_TRUE(file_.modified());
  history_->undo();
  EXPECT_FALSE(file_.modified());  // as saved: no question at exit
  history_->undo();
  EXPECT_TRUE(file_.modified());
  history_->redo();
  EXPECT_FALSE(file_.modified());
  history_->redo();
  EXPECT_TRUE(file_.modified());

  // A channel collected during a read is in no step: once it is in, no undo
  // may pass the table off as saved.
  history_->undo();
  PermanentFileIndex index(file_);
  fillRigRow(channel(12, 7123000, "NEW"), kModelIc746, {}, rig_, file_, index);
  const int collected = file_.rowCount() - 1;
  ASSERT_EQ(file_.cell(colName, collected), "NEW");
  history_->redo();
  history_->undo();
  EXPECT_TRUE(file_.modified());
  EXPECT_EQ(file_.cell(colName, collected), "NEW");

  // A saved state on a branch that a new step replaced cannot come back.
  ASSERT_TRUE(files.save(TableKind::PermanentFile));
  history_->undo();
  ctl_.pickListItem(file_, colMode, 3, "CW");
  history_->undo();
  history_->redo();
  EXPECT_TRUE(file_.modified());
}

TEST_F(History, UndoAfterAStoreMarksTheRowsTheRadioHoldsDifferently) {
  attach();
  type(rig_, colName, 5, "EDITED");
  type(rig_, colName, 6, "OTHER");
  EXPECT_TRUE(history_->undo());
  EXPECT_EQ(rig_.cell(colChanged, 6), "0");  // no store between: as it was
  // The store writes row 5 and clears its mark, as the engine does.
  rig_.setCell(colChanged, 5, "0");
  EXPECT_TRUE(history_->undo());
  EXPECT_EQ(rig_.cell(colName, 5), "M5");
  EXPECT_EQ(rig_.cell(colChanged, 5), "1");
  EXPECT_EQ(rig_.cell(colChanged, 4), "0");
}

// --- A new history for the table that Open or a read replaces ------------------

TEST_F(History, ReadFromTheRadioDropsTheRigStepsAndWhatTheyFixed) {
  attach();
  ctl_.pickListItem(file_, colMode, 1, "FM");  // older than the step over both
  ctl_.pickListItem(rig_, colMode, 1, "FM");
  ctl_.recomputeDuplexTx({});
  ctl_.pickListItem(rig_, colMode, 2, "FM");
  ctl_.pickListItem(file_, colMode, 2, "CW");
  ASSERT_EQ(history_->undoCount(), 5u);

  readFromRadio({channel(1, 7050000, "A"), channel(2, 7060000, "B")});
  EXPECT_EQ(history_->undoCount(), 1u);
  EXPECT_TRUE(history_->undo());
  EXPECT_EQ(file_.cell(colMode, 2), "USB");
  EXPECT_EQ(file_.cell(colMode, 1), "FM");
  EXPECT_FALSE(history_->canUndo());
  // The collected channels stay, and so does the Modified flag they set.
  EXPECT_EQ(file_.cell(colName, file_.rowCount() - 1), "B");
  EXPECT_TRUE(file_.modified());
}

TEST_F(History, OpenDropsTheFileStepsAndKeepsLaterRigSteps) {
  attach();
  FilesInFolder data(file_, rig_);
  FileCommands& files = data.files;
  ASSERT_TRUE(files.save(TableKind::PermanentFile));

  ctl_.pickListItem(rig_, colMode, 1, "FM");
  ctl_.recomputeDuplexTx({});
  ctl_.pickListItem(rig_, colMode, 2, "FM");
  ctl_.pickListItem(file_, colMode, 2, "CW");
  history_->undo();
  history_->undo();  // the rig's edit of row 2 waits to be redone

  data.ui.file = data.dir.file("icommemo.txt");
  ASSERT_TRUE(files.open(TableKind::PermanentFile));
  EXPECT_FALSE(history_->canUndo());
  EXPECT_EQ(history_->redoCount(), 1u);
  EXPECT_TRUE(history_->redo());
  EXPECT_EQ(rig_.cell(colMode, 2), "FM");
  EXPECT_FALSE(file_.modified());
}

// --- Bounds ------------------------------------------------------------------------

TEST_F(History, KeepsAtLeastTwoHundredStepsAndDropsTheOldestPastTheBytes) {
  attach();
  for (int i = 0; i < 250; ++i) ctl_.toggleCheckBox(rig_, colSelect, 1 + i % 90);
  EXPECT_EQ(history_->undoCount(), 250u);

  // A file of 5,000 rows: each sort keeps one permutation of 20,000 bytes.
  std::vector<std::string> names;
  for (int i = 0; i < 5000; ++i) names.push_back("N" + std::to_string(i * 7919 % 5000));
  fillFile(file_, names);
  attach({.maxSteps = 1000, .maxBytes = 64 * 1024});
  std::vector<std::size_t> sorted{hashOf(file_)};
  for (int i = 0; i < 10; ++i) {
    ctl_.clickSort(ctl_.fileTable(), i % 2 ? colName : colFrequency, false);
    sorted.push_back(hashOf(file_));
    EXPECT_LE(history_->bytes(), 64u * 1024u);
  }
  const std::size_t kept = history_->undoCount();
  EXPECT_GE(kept, 2u);
  EXPECT_LT(kept, 10u);
  while (history_->undo()) {
  }
  EXPECT_EQ(hashOf(file_), sorted[10 - kept]);

  // One step larger than the bound is kept by nobody, nor is what it fixed.
  fillFile(file_, names);
  attach({.maxSteps = 1000, .maxBytes = 16 * 1024});
  ctl_.toggleCheckBox(file_, colSelect, 1);
  ctl_.clickSort(ctl_.fileTable(), colName, false);
  EXPECT_EQ(history_->undoCount(), 0u);
  EXPECT_TRUE(file_.modified());
}

}  // namespace
}  // namespace tarnwick
