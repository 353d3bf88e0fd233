// The notifications of every operation must describe the change exactly: a
// mirror that applies only what it is told (as a view does) stays equal to
// the table, without ever being reset.

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "rig/rig_catalogue.h"
#include "table_test_util.h"
#include "tables/tables_controller.h"

namespace tarnwick {
namespace {

using testing::EventLog;
using testing::fillFile;
using testing::fillRig;
using testing::rowRange;
using Events = std::vector<std::string>;

class Mirror : public TableObserver {
 public:
  explicit Mirror(const ChannelTable& table) : table_(table) { copyAll(); }

  void cellsChanged(int r0, int r1, int c0, int c1) override {
    for (int r = r0; r <= r1; ++r) {
      for (int c = c0; c <= c1; ++c) at(r)[static_cast<std::size_t>(c)] = table_.cell(c, r);
    }
  }
  void headerChanged() override { rows_[0] = table_.record(0); }
  void rowsInserted(int first, int last) override {
    for (int r = first; r <= last; ++r) rows_.insert(rows_.begin() + r, table_.record(r));
  }
  void rowsRemoved(int first, int last) override {
    rows_.erase(rows_.begin() + first, rows_.begin() + last + 1);
  }
  void rowsMoved(int first, int last, int destination) override {
    if (destination < first) {
      std::rotate(rows_.begin() + destination, rows_.begin() + first, rows_.begin() + last + 1);
    } else {
      std::rotate(rows_.begin() + first, rows_.begin() + last + 1, rows_.begin() + destination);
    }
  }
  void rowsPermuted(int first, std::span<const int> order) override {
    std::vector<ChannelRecord> old(rows_);
    for (std::size_t i = 0; i < order.size(); ++i) {
      rows_[static_cast<std::size_t>(first) + i] = old[static_cast<std::size_t>(order[i])];
    }
  }
  void modelReset() override {
    ++resets;
    copyAll();
  }

  bool matches() const {
    if (static_cast<int>(rows_.size()) != table_.rowCount()) return false;
    for (int r = 0; r < table_.rowCount(); ++r) {
      if (rows_[static_cast<std::size_t>(r)] != table_.record(r)) return false;
    }
    return true;
  }
  int resets = 0;

 private:
  ChannelRecord& at(int r) { return rows_.at(static_cast<std::size_t>(r)); }
  void copyAll() {
    rows_.clear();
    for (int r = 0; r < table_.rowCount(); ++r) rows_.push_back(table_.record(r));
  }
  const ChannelTable& table_;
  std::vector<ChannelRecord> rows_;
};

class Notifications : public ::testing::Test, protected testing::ControlledTables {
 protected:
  Notifications() {
    ctl_.setModelIndex(kModelIc746);
    fillRig(rig_, kModelIc746, {1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 100});
    fillFile(file_, {"A", "B", "", "D"});
    file_.setSortIndication(true);
    rig_.setSortIndication(true);
    fileMirror_ = std::make_unique<Mirror>(file_);
    rigMirror_ = std::make_unique<Mirror>(rig_);
    file_.addObserver(&fileLog_);
    file_.addObserver(fileMirror_.get());
    rig_.addObserver(&rigLog_);
    rig_.addObserver(rigMirror_.get());
  }
  void TearDown() override {
    EXPECT_TRUE(fileMirror_->matches());
    EXPECT_TRUE(rigMirror_->matches());
    EXPECT_EQ(fileMirror_->resets + rigMirror_->resets, 0);
  }
  void drag(ChannelTable& source, int row) { ctl_.armDrag(source, row, false); }

  EventLog fileLog_, rigLog_;
  std::unique_ptr<Mirror> fileMirror_, rigMirror_;
};

TEST_F(Notifications, RigInsertIsOneMove) {
  ctl_.insertRow(ctl_.rigTable(), 2);
  EXPECT_EQ(rigLog_.events, (Events{"move? 6-6 to 2", "move 6-6 to 2", "modified"}));
}

TEST_F(Notifications, RigDeletes) {
  ctl_.deleteRow(ctl_.rigTable(), 4);
  EXPECT_EQ(rigLog_.events, (Events{"cells 4-4 col 1-10", "modified"}));
  rigLog_.events.clear();
  ctl_.deleteRow(ctl_.rigTable(), 6);  // closes the gap up to row 13
  EXPECT_EQ(rigLog_.events, (Events{"move? 6-6 to 14", "move 6-6 to 14"}));
}

TEST_F(Notifications, FileInsertAndDelete) {
  ctl_.insertRow(ctl_.fileTable(), 2);
  EXPECT_EQ(fileLog_.events,
            (Events{"insert? 2-2", "insert 2-2", "cells 2-2 col 9-10", "modified"}));
  fileLog_.events.clear();
  ctl_.deleteRow(ctl_.fileTable(), 1);
  EXPECT_EQ(fileLog_.events, (Events{"remove? 1-1", "remove 1-1"}));
}

TEST_F(Notifications, DropOntoAnOccupiedRigRowIsAMoveAndCellChanges) {
  drag(rig_, 3);
  ASSERT_TRUE(ctl_.drop(ctl_.rigTable(), rig_, 10));
  EXPECT_EQ(rigLog_.events,
            (Events{"cells 3-3 col 1-10", "modified", "move? 13-13 to 10", "move 13-13 to 10",
                    "cells 10-10 col 1-10", "cells 10-13 col 10-10", "cells 10-13 col 0-0"}));
}

TEST_F(Notifications, DropsOntoEmptyRowsAndWithinTheFile) {
  drag(file_, 2);
  ASSERT_TRUE(ctl_.drop(ctl_.rigTable(), file_, 20));
  EXPECT_TRUE(fileLog_.events.empty());
  drag(rig_, 1);
  ASSERT_TRUE(ctl_.drop(ctl_.fileTable(), rig_, 3));
  drag(file_, 1);
  ASSERT_TRUE(ctl_.drop(ctl_.fileTable(), file_, 4));
  EXPECT_EQ(std::count(fileLog_.events.begin(), fileLog_.events.end(), "move 1-1 to 5"), 1);
  drag(rig_, 2);
  ASSERT_TRUE(ctl_.drop(ctl_.fileTable(), rig_, 2));
}

TEST_F(Notifications, SortIsOnePermutation) {
  ctl_.clickSort(ctl_.rigTable(), colName, false);
  ctl_.clickSort(ctl_.rigTable(), colName, false);
  ctl_.clickSort(ctl_.fileTable(), colFrequency, false);
  const Events& e = rigLog_.events;
  EXPECT_EQ(std::count(e.begin(), e.end(), "permute 1 n=99"), 2);
  EXPECT_EQ(std::count(e.begin(), e.end(), "layout"), 2);
}

TEST_F(Notifications, MarksEditsAndRenumbering) {
  ctl_.markAllChanged();
  EXPECT_EQ(rigLog_.events.back(), "cells 1-102 col 10-10");
  ctl_.markNoneChanged();
  ctl_.startEdit(file_, colFrequency, 1);
  ctl_.commitEdit(file_, colFrequency, 1, "7050");
  ctl_.pickListItem(file_, colMode, 2, "CW");
  ctl_.toggleCheckBox(file_, colSelect, 4);
  file_.setCell(colNumber, 2, "x");
  file_.setCell(colNumber, 3, "y");
  fileLog_.events.clear();
  RenumberRows(file_);
  // Row 2 is marked already by its edit.
  EXPECT_EQ(fileLog_.events, (Events{"cells 3-3 col 10-10", "cells 2-3 col 0-0"}));
}

}  // namespace
}  // namespace tarnwick
