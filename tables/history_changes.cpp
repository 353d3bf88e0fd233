#include "tables/history_changes.h"

#include <algorithm>
#include <utility>

namespace tarnwick {
namespace {

template <class... F>
struct Overloaded : F... {
  using F::operator()...;
};
// Clang 14 does not deduce aggregate templates yet.
template <typename... F>
Overloaded(F...) -> Overloaded<F...>;

std::size_t stringBytes(const std::string& s) {
  static const std::size_t inPlace = std::string().capacity();
  return s.capacity() > inPlace ? s.capacity() + 1 : 0;
}

bool isChannelColumn(int col) {
  return col >= colFrequency && col <= colToneSquelch;
}

}  // namespace

std::uint8_t tableOf(const TableChange& change) {
  return std::visit([](const auto& c) { return c.table; }, change);
}

void applyChange(TableChange& change, const TablePair& tables) {
  ChannelTable& t = *tables[tableOf(change)];
  std::visit(Overloaded{
                 [&](CellChange& c) {
                   std::string now = t.cell(c.col, c.row);
                   t.setCell(c.col, c.row, std::exchange(c.text, std::move(now)));
                 },
                 [&](CheckBoxChange& c) {
                   const bool now = t.hasCheckBoxes(c.row);
                   t.setCheckBoxes(c.row, c.on);
                   c.on = now;
                 },
                 [&](RowsChange& c) {
                   if (c.present) {
                     c.rows = std::make_unique<RowBlock>(t.takeRows(c.at, c.count));
                   } else {
                     t.insertRows(c.at, std::move(*c.rows));
                     c.rows.reset();
                   }
                   c.present = !c.present;
                 },
                 [&](MoveChange& c) {
                   t.moveRow(c.to, c.from);
                   std::swap(c.from, c.to);
                 },
                 [&](PermuteChange& c) {
                   // The inverse: old row order[i] goes back to first+i.
                   std::vector<int> inverse(c.order.size());
                   for (std::size_t i = 0; i < c.order.size(); ++i) {
                     inverse[static_cast<std::size_t>(c.order[i] - c.first)] =
                         c.first + static_cast<int>(i);
                   }
                   t.permuteRows(c.first, inverse);
                   c.order = std::move(inverse);
                 },
                 [&](SortKeysChange& c) {
                   std::vector<SortKey> now = t.sortKeys();
                   t.setSortKeys(std::exchange(c.keys, std::move(now)));
                 },
             },
             change);
}

std::size_t heldBytes(const TableChange& change) {
  return std::visit(Overloaded{
                        [](const CellChange& c) { return stringBytes(c.text); },
                        [](const CheckBoxChange&) { return std::size_t{0}; },
                        [](const RowsChange& c) {
                          if (!c.rows) return std::size_t{0};
                          std::size_t n = c.rows->records.capacity() * sizeof(ChannelRecord) +
                                          c.rows->checkBoxes.capacity();
                          for (const ChannelRecord& r : c.rows->records) {
                            for (const std::string& s : r) n += stringBytes(s);
                          }
                          return n + sizeof(RowBlock);
                        },
                        [](const MoveChange&) { return std::size_t{0}; },
                        [](const PermuteChange& c) { return c.order.capacity() * sizeof(int); },
                        [](const SortKeysChange& c) { return c.keys.capacity() * sizeof(SortKey); },
                    },
                    change);
}

RowSpan channelRows(const TableChange& change, const ChannelTable& table) {
  return std::visit(Overloaded{
                        [](const CellChange& c) {
                          return isChannelColumn(c.col) ? RowSpan{c.row, c.row} : RowSpan{};
                        },
                        [](const CheckBoxChange&) { return RowSpan{}; },
                        // Every row from the insert or removal on stands at another index.
                        [&](const RowsChange& c) {
                          return RowSpan{c.at, table.rowCount() - 1};
                        },
                        [](const MoveChange& c) {
                          return RowSpan{std::min(c.from, c.to), std::max(c.from, c.to)};
                        },
                        [](const PermuteChange& c) {
                          RowSpan s{};
                          for (std::size_t i = 0; i < c.order.size(); ++i) {
                            const int row = c.first + static_cast<int>(i);
                            if (c.order[i] == row) continue;
                            if (s.last < s.first) s.first = row;
                            s.last = row;
                          }
                          return s;
                        },
                        [](const SortKeysChange&) { return RowSpan{}; },
                    },
                    change);
}

}  // namespace tarnwick
