#pragma once
// What one change of a table needs to be taken back and done again. Each
// change is its own inverse: applying it restores the state before it and
// leaves in it what undoes that, so a step is undone by applying its changes
// last to first and redone by applying them again first to last.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "tables/channel_table.h"

namespace tarnwick {

// The two tables of a history, by index.
using TablePair = std::array<ChannelTable*, 2>;

struct CellChange {
  std::string text;
  std::int32_t row = 0;
  std::uint8_t col = 0;
  std::uint8_t table = 0;
};

struct CheckBoxChange {
  std::int32_t row = 0;
  std::uint8_t table = 0;
  bool on = false;
};

// Rows at..at+count-1. While they stand in the table the change holds
// nothing; while they are out it holds them.
struct RowsChange {
  std::int32_t at = 0;
  std::int32_t count = 0;
  std::uint8_t table = 0;
  bool present = false;
  std::unique_ptr<RowBlock> rows;
};

struct MoveChange {
  std::int32_t from = 0;
  std::int32_t to = 0;
  std::uint8_t table = 0;
};

// The reordering last applied to rows first..: new row first+i was old row
// order[i].
struct PermuteChange {
  std::int32_t first = 0;
  std::uint8_t table = 0;
  std::vector<int> order;
};

struct SortKeysChange {
  std::uint8_t table = 0;
  std::vector<SortKey> keys;
};

using TableChange =
    std::variant<CellChange, CheckBoxChange, RowsChange, MoveChange, PermuteChange, SortKeysChange>;

std::uint8_t tableOf(const TableChange& change);

// Applies the change and turns it into its inverse.
void applyChange(TableChange& change, const TablePair& tables);

// Heap bytes the change holds beyond its own size.
std::size_t heldBytes(const TableChange& change);

// The data rows first..last whose channel (cells 1 to 9, or the row standing
// at that index) the change alters, or {0, -1} when none.
struct RowSpan {
  int first = 0;
  int last = -1;
};
RowSpan channelRows(const TableChange& change, const ChannelTable& table);

}  // namespace tarnwick
