#pragma once
// Column widths that fit their content: which texts a column must show whole
// for a model, and how the widths share a table's width. The view measures
// the texts in its font; the sharing is plain arithmetic.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "rig/channel_record.h"
#include "rig/separators.h"

namespace tarnwick {

// The widest texts a column's cells of a model hold: the largest frequency,
// the longest tone, a full-length name, every list item, the row labels.
// `rowCount` is the table's data rows (the label column's largest number).
// Empty for the check-box columns.
std::vector<std::string> widestColumnTexts(int modelIndex, int col, int rowCount,
                                           Separators sep = Separators::current());

// What a shown column needs, in pixels: `content` to show every value whole,
// `caption` to show its header whole.
struct ColumnNeed {
  int content = 0;
  int caption = 0;
};

using ColumnWidthArray = std::array<int, kColumnCount>;
using KeptColumnWidths = std::array<std::optional<int>, kColumnCount>;

// Widths by column index for the shown columns (hidden ones get 0). Every
// column gets its content; the room left of `available` goes to captions, a
// long caption giving up room before a short one is cut. A kept width (one
// the user chose) stays as it is. When the content alone is wider than
// `available`, the columns get their content and the table scrolls.
ColumnWidthArray fitColumnWidths(const std::array<ColumnNeed, kColumnCount>& needs,
                                 ColumnSet hidden, const KeptColumnWidths& kept, int available);

// A kept width carried to a new font: scaled by the ratio of the widths of a
// digit, at least 1.
int scaledColumnWidth(int width, int oldDigitWidth, int newDigitWidth);

}  // namespace tarnwick
