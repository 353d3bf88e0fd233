#include "tables/column_fit.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "rig/frequency_text.h"
#include "rig/rig_catalogue.h"
#include "tables/cell_editing.h"

namespace tarnwick {
namespace {

// The frequency text a cell can hold at its longest: the largest value a
// cell reads, with hertz digits.
std::string widestFrequencyText(Separators sep) {
  std::string text = formatFrequency(std::numeric_limits<std::int32_t>::max(), "USB", sep);
  text.erase(0, text.find_first_not_of(' '));
  return text;
}

std::vector<std::string> rowLabels(int modelIndex, int rowCount) {
  std::vector<std::string> labels{std::to_string(std::max(rowCount, 99))};
  if (const RigModel* model = findRigModel(modelIndex)) {
    for (int n = 100; n < 100 + model->bottomRows; ++n) {
      labels.push_back(specialLabel(modelIndex, n));
    }
  }
  return labels;
}

}  // namespace

std::vector<std::string> widestColumnTexts(int modelIndex, int col, int rowCount, Separators sep) {
  switch (col) {
    case colNumber:
      return rowLabels(modelIndex, rowCount);
    case colFrequency:
    case colTxFrequency:
      return {widestFrequencyText(sep)};
    case colName:
      // Upper-case letters, as radios show names.
      return {std::string(static_cast<std::size_t>(nameTextLimit(modelIndex)), 'N')};
    default:
      return editorChoices(modelIndex, col, sep);
  }
}

ColumnWidthArray fitColumnWidths(const std::array<ColumnNeed, kColumnCount>& needs,
                                 ColumnSet hidden, const KeptColumnWidths& kept, int available) {
  ColumnWidthArray widths{};
  std::array<int, kColumnCount> extra{};  // caption room wanted beyond the content
  int used = 0;
  for (int col = 0; col < kColumnCount; ++col) {
    if (hidden.contains(col)) continue;
    const auto c = static_cast<std::size_t>(col);
    if (kept[c]) {
      widths[c] = *kept[c];
    } else {
      widths[c] = needs[c].content;
      extra[c] = std::max(0, needs[c].caption - needs[c].content);
    }
    used += widths[c];
  }
  const int room = std::max(0, available - used);
  // The largest caption share `level` such that every column's
  // min(extra, level) adds up to the room: short captions stay whole.
  int level = 0;
  int hi = *std::max_element(extra.begin(), extra.end());
  const auto sharedAt = [&extra](int l) {
    int sum = 0;
    for (int e : extra) sum += std::min(e, l);
    return sum;
  };
  while (level < hi) {
    const int mid = level + (hi - level + 1) / 2;
    if (sharedAt(mid) <= room) {
      level = mid;
    } else {
      hi = mid - 1;
    }
  }
  for (std::size_t c = 0; c < widths.size(); ++c) widths[c] += std::min(extra[c], level);
  return widths;
}

int scaledColumnWidth(int width, int oldDigitWidth, int newDigitWidth) {
  if (oldDigitWidth <= 0 || newDigitWidth <= 0) return std::max(width, 1);
  const long long scaled =
      (static_cast<long long>(width) * newDigitWidth + oldDigitWidth / 2) / oldDigitWidth;
  return static_cast<int>(std::clamp<long long>(scaled, 1, 10000));
}

}  // namespace tarnwick
