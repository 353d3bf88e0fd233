#pragma once
// Sorting a channel table by one or more columns, as whole rows.

#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "rig/separators.h"
#include "tables/channel_table.h"

namespace tarnwick {

// The keys after a click on the header of `col`: a plain click makes it the
// only key, ascending, or reverses it when it already is the only key;
// Shift+click appends it as a further key or reverses it where it stands.
std::vector<SortKey> nextSortKeys(std::span<const SortKey> keys, int col, bool shift);

// A cell read as a number for sorting: spaces around, an optional sign,
// digits with optional thousands grouping and an optional decimal part, all
// with the given separators. nullopt when the text is anything else.
std::optional<double> sortNumber(std::string_view text, Separators sep = Separators::current());

// Orders rows first..last as whole rows, labels included. Numbers sort by
// value, before texts; texts ignore case; empty cells come last in either
// direction; ties keep their order. Frequencies compare by their value in
// hertz, and every Frequency cell of the range is rewritten in display form
// for its row's mode (empty when it holds no frequency). One permutation of
// the rows, each frequency read once.
void sortRows(ChannelTable& table, int first, int last, std::span<const SortKey> keys,
              Separators sep = Separators::current());

}  // namespace tarnwick
