#include "tables/channel_table.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace tarnwick {
namespace {

const std::string kEmpty;

}  // namespace

ChannelTable::ChannelTable(TableKind kind) : kind_(kind), rows_(1), checkBoxes_(1, 0) {}

void ChannelTable::setRowCount(int rows) {
  rows = std::max(rows, 1);
  const int old = rowCount();
  if (rows > old) {
    notify([&](TableObserver& o) { o.rowsAboutToBeInserted(old, rows - 1); });
    rows_.resize(static_cast<std::size_t>(rows));
    checkBoxes_.resize(static_cast<std::size_t>(rows), 0);
    if (recorder_) recorder_->rowsInserted(*this, old, rows - old);
    notify([&](TableObserver& o) { o.rowsInserted(old, rows - 1); });
  } else if (rows < old) {
    notify([&](TableObserver& o) { o.rowsAboutToBeRemoved(rows, old - 1); });
    reportRemoval(rows, old - rows);
    rows_.resize(static_cast<std::size_t>(rows));
    checkBoxes_.resize(static_cast<std::size_t>(rows));
    notify([&](TableObserver& o) { o.rowsRemoved(rows, old - 1); });
  }
}

void ChannelTable::clearCells() {
  notify([](TableObserver& o) { o.modelAboutToBeReset(); });
  for (ChannelRecord& r : rows_) {
    for (std::string& c : r) c.clear();
  }
  std::fill(checkBoxes_.begin(), checkBoxes_.end(), 0);
  if (recorder_) recorder_->tableReset(*this);
  notify([](TableObserver& o) { o.modelReset(); });
}

const std::string& ChannelTable::cell(int col, int row) const {
  if (col < 0 || col >= kColumnCount || row < 0 || row >= rowCount()) return kEmpty;
  return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

void ChannelTable::setCell(int col, int row, std::string text) {
  if (col < 0 || col >= kColumnCount || row < 0 || row >= rowCount()) {
    throw std::out_of_range("cell outside the table");
  }
  std::string& c = rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
  if (c == text) return;
  std::string old = std::exchange(c, std::move(text));
  if (recorder_) recorder_->cellChanged(*this, row, col, std::move(old));
  notifyCells(row, row, col, col);
}

void ChannelTable::setRecord(int row, ChannelRecord record) {
  if (row < 0 || row >= rowCount()) throw std::out_of_range("row outside the table");
  std::swap(rows_[static_cast<std::size_t>(row)], record);
  // `record` now holds the old texts.
  if (recorder_) reportOldCells(row, 0, kColumnCount - 1, record);
  notifyCells(row, row, 0, kColumnCount - 1);
}

void ChannelTable::reportOldCells(int row, int firstCol, int lastCol, ChannelRecord& old) {
  const ChannelRecord& now = rows_[idx(row)];
  for (int c = firstCol; c <= lastCol; ++c) {
    if (old[idx(c)] != now[idx(c)]) recorder_->cellChanged(*this, row, c, std::move(old[idx(c)]));
  }
}

void ChannelTable::reportRemoval(int at, int count) {
  if (!recorder_) return;
  recorder_->rowsRemoving(*this, at, std::span(rows_).subspan(idx(at), idx(count)),
                          std::span(checkBoxes_).subspan(idx(at), idx(count)));
}

bool ChannelTable::hasCheckBoxes(int row) const {
  return row >= 1 && row < rowCount() && checkBoxes_[static_cast<std::size_t>(row)] != 0;
}

void ChannelTable::setCheckBoxes(int row, bool on) {
  if (!isDataRow(row)) return;
  char& b = checkBoxes_[static_cast<std::size_t>(row)];
  if ((b != 0) == on) return;
  b = on ? 1 : 0;
  if (recorder_) recorder_->checkBoxesChanged(*this, row, !on);
  notifyCells(row, row, colSelect, colChanged);
}

void ChannelTable::insertRows(int at, int count) {
  if (count <= 0) return;
  insertRows(at, RowBlock{std::vector<ChannelRecord>(static_cast<std::size_t>(count)), {}});
}

void ChannelTable::insertRows(int at, RowBlock block) {
  const int count = static_cast<int>(block.records.size());
  if (count == 0) return;
  if (at < 1 || at > rowCount()) throw std::out_of_range("insert outside the table");
  block.checkBoxes.resize(block.records.size(), 0);
  notify([&](TableObserver& o) { o.rowsAboutToBeInserted(at, at + count - 1); });
  rows_.insert(rows_.begin() + at, std::make_move_iterator(block.records.begin()),
               std::make_move_iterator(block.records.end()));
  checkBoxes_.insert(checkBoxes_.begin() + at, block.checkBoxes.begin(), block.checkBoxes.end());
  if (recorder_) recorder_->rowsInserted(*this, at, count);
  notify([&](TableObserver& o) { o.rowsInserted(at, at + count - 1); });
}

void ChannelTable::removeRows(int at, int count) {
  takeRows(at, count);
}

RowBlock ChannelTable::takeRows(int at, int count) {
  RowBlock block;
  if (count <= 0) return block;
  if (at < 1 || at + count > rowCount()) throw std::out_of_range("remove outside the table");
  // The memory first: running out of it must not leave the observers told
  // of a removal that did not happen.
  block.records.reserve(static_cast<std::size_t>(count));
  block.checkBoxes.reserve(static_cast<std::size_t>(count));
  notify([&](TableObserver& o) { o.rowsAboutToBeRemoved(at, at + count - 1); });
  reportRemoval(at, count);
  const auto first = rows_.begin() + at;
  block.records.assign(std::make_move_iterator(first), std::make_move_iterator(first + count));
  block.checkBoxes.assign(checkBoxes_.begin() + at, checkBoxes_.begin() + at + count);
  rows_.erase(first, first + count);
  checkBoxes_.erase(checkBoxes_.begin() + at, checkBoxes_.begin() + at + count);
  notify([&](TableObserver& o) { o.rowsRemoved(at, at + count - 1); });
  return block;
}

void ChannelTable::moveRow(int from, int to) {
  if (!isDataRow(from) || !isDataRow(to)) throw std::out_of_range("move outside the table");
  if (from == to) return;
  // As a move of one row before `destination`, counted before the move.
  const int destination = to > from ? to + 1 : to;
  notify([&](TableObserver& o) { o.rowsAboutToBeMoved(from, from, destination); });
  if (from < to) {
    std::rotate(rows_.begin() + from, rows_.begin() + from + 1, rows_.begin() + to + 1);
    std::rotate(checkBoxes_.begin() + from, checkBoxes_.begin() + from + 1,
                checkBoxes_.begin() + to + 1);
  } else {
    std::rotate(rows_.begin() + to, rows_.begin() + from, rows_.begin() + from + 1);
    std::rotate(checkBoxes_.begin() + to, checkBoxes_.begin() + from,
                checkBoxes_.begin() + from + 1);
  }
  if (recorder_) recorder_->rowMoved(*this, from, to);
  notify([&](TableObserver& o) { o.rowsMoved(from, from, destination); });
}

void ChannelTable::permuteRows(int first, std::span<const int> order) {
  const int n = static_cast<int>(order.size());
  if (n == 0) return;
  if (first < 1 || first + n > rowCount()) throw std::out_of_range("permute outside the table");
  // A repeated or foreign row would move a row out twice and lose another.
  std::vector<char> used(order.size(), 0);
  for (int src : order) {
    const int i = src - first;
    if (i < 0 || i >= n || used[static_cast<std::size_t>(i)]) {
      throw std::invalid_argument("not a permutation of the rows");
    }
    used[static_cast<std::size_t>(i)] = 1;
  }
  notify([](TableObserver& o) { o.layoutAboutToBeChanged(); });
  // Follows each cycle of the permutation in place: every row moves once and
  // no second table is allocated. `used` now marks the rows still to place.
  const auto at = [first](int i) { return static_cast<std::size_t>(first + i); };
  for (int start = 0; start < n; ++start) {
    if (!used[static_cast<std::size_t>(start)]) continue;
    ChannelRecord held = std::move(rows_[at(start)]);
    const char heldBox = checkBoxes_[at(start)];
    int i = start;
    for (int src = order[static_cast<std::size_t>(i)] - first; src != start;
         src = order[static_cast<std::size_t>(i)] - first) {
      rows_[at(i)] = std::move(rows_[at(src)]);
      checkBoxes_[at(i)] = checkBoxes_[at(src)];
      used[static_cast<std::size_t>(i)] = 0;
      i = src;
    }
    rows_[at(i)] = std::move(held);
    checkBoxes_[at(i)] = heldBox;
    used[static_cast<std::size_t>(i)] = 0;
  }
  if (recorder_) recorder_->rowsPermuted(*this, first, order);
  notify([&](TableObserver& o) { o.rowsPermuted(first, order); });
  notify([](TableObserver& o) { o.layoutChanged(); });
}

void ChannelTable::assign(std::vector<ChannelRecord> rows, bool checkBoxes) {
  if (rows.empty()) rows.resize(1);
  // Room to grow: a read appends channels to a freshly loaded permanent file,
  // and the first append must not move every row of a large table. All the
  // memory is taken before the table changes, so that running out of it
  // leaves the table as it was.
  rows.reserve(rows.size() + rows.size() / 4 + 16);
  std::vector<char> boxes;
  boxes.reserve(rows.capacity());
  boxes.assign(rows.size(), checkBoxes ? 1 : 0);
  boxes[0] = 0;
  notify([](TableObserver& o) { o.modelAboutToBeReset(); });
  rows_.swap(rows);
  checkBoxes_.swap(boxes);
  if (recorder_) recorder_->tableReset(*this);
  notify([](TableObserver& o) { o.modelReset(); });
}

void ChannelTable::setModified(bool on) {
  if (recorder_) recorder_->modifiedSet(*this, on);
  if (modified_ == on) return;
  modified_ = on;
  notify([&](TableObserver& o) { o.modifiedChanged(on); });
}

void ChannelTable::setInputLocked(bool on) {
  if (inputLocked_ == on) return;
  inputLocked_ = on;
  notify([&](TableObserver& o) { o.inputLockChanged(on); });
}

void ChannelTable::setSortIndication(bool on) {
  if (sortIndication_ == on && (on || sortKeys_.empty())) return;
  sortIndication_ = on;
  if (!on) sortKeys_.clear();
  notify([](TableObserver& o) { o.sortIndicatorChanged(); });
}

void ChannelTable::setSortKeys(std::vector<SortKey> keys) {
  if (keys == sortKeys_) return;
  std::vector<SortKey> old = std::exchange(sortKeys_, std::move(keys));
  if (recorder_) recorder_->sortKeysChanged(*this, std::move(old));
  notify([](TableObserver& o) { o.sortIndicatorChanged(); });
}

void ChannelTable::addObserver(TableObserver* observer) {
  if (observer && std::find(observers_.begin(), observers_.end(), observer) == observers_.end()) {
    observers_.push_back(observer);
  }
}

void ChannelTable::removeObserver(TableObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

void ChannelTable::notifyCells(int firstRow, int lastRow, int firstCol, int lastCol) {
  if (firstRow == 0) {
    notify([](TableObserver& o) { o.headerChanged(); });
    if (lastRow == 0) return;
    firstRow = 1;
  }
  notify([&](TableObserver& o) { o.cellsChanged(firstRow, lastRow, firstCol, lastCol); });
}

}  // namespace tarnwick
