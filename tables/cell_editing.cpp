#include "tables/cell_editing.h"

#include <array>

#include "rig/frequency_text.h"
#include "rig/memory_layouts.h"
#include "rig/rig_catalogue.h"
#include "rig/store_check.h"
#include "rig/tone_text.h"
#include "rig/value_codes.h"

namespace tarnwick {
namespace {

// For radios whose memories keep no data mode (the IC-746, the IC-910).
constexpr std::array<std::string_view, 8> kPlainModes{"AM", "FM",   "USB",  "LSB",
                                                      "CW", "CW-r", "RTTY", "RTTY-r"};
constexpr std::array<std::string_view, 12> kModes{"AM",  "AM-D",  "FM", "FM-D", "USB",  "USB-D",
                                                  "LSB", "LSB-D", "CW", "CW-r", "RTTY", "RTTY-r"};
constexpr std::array<std::string_view, 3> kFilters{"Narrow", "Normal", "Wide"};

template <std::size_t N>
std::vector<std::string> toStrings(const std::array<std::string_view, N>& items) {
  return {items.begin(), items.end()};
}

}  // namespace

int nameTextLimit(int modelIndex) {
  // A radio without names (or none chosen yet) still lets the file table
  // hold names of the usual length.
  const RigModel* model = findRigModel(modelIndex);
  return model && model->nameLength > 0 ? model->nameLength : kUsualNameLength;
}

bool hasSelectGroups(int modelIndex) {
  return selectGroupCount(modelIndex) > 1;
}

std::string selectCellText(int modelIndex, std::string_view text) {
  const int groups = selectGroupCount(modelIndex);
  // Any radio's form is read; a radio with only a flag ticks it for any
  // group, and one without a select takes the flag as it stood.
  int value = selectValueOf(text, kLargestSelectGroup);
  if (groups <= 1) value = value > 0 ? 1 : 0;
  return std::string(selectText(value, groups == 0 ? 1 : groups));
}

EditorType columnEditorType(int modelIndex, int col) {
  switch (col) {
    case colFrequency:
    case colTxFrequency:
      return {EditorKind::Text, kFrequencyTextLimit};
    case colName:
      return {EditorKind::Text, nameTextLimit(modelIndex)};
    case colMode:
    case colFilter:
    case colDuplex:
    case colRepeaterTone:
    case colToneSquelch:
      return {EditorKind::List, 0};
    case colSelect:
      return {hasSelectGroups(modelIndex) ? EditorKind::List : EditorKind::CheckBox, 0};
    case colChanged:
      return {EditorKind::CheckBox, 0};
    default:
      return {};
  }
}

ColumnSet checkBoxColumns(int modelIndex) {
  return columnEditorType(modelIndex, colSelect).kind == EditorKind::CheckBox
             ? ColumnSet{colSelect, colChanged}
             : ColumnSet{colChanged};
}

std::vector<std::string> editorChoices(int modelIndex, int col, Separators sep) {
  switch (col) {
    case colMode:
      return modelKeepsDataModes(modelIndex) ? toStrings(kModes) : toStrings(kPlainModes);
    case colFilter:
      return toStrings(kFilters);
    case colDuplex: {
      const RigModel* model = findRigModel(modelIndex);
      if (model == nullptr) return toStrings(duplexChoices);
      return {model->duplexChoices.begin(), model->duplexChoices.end()};
    }
    case colSelect:
      if (!hasSelectGroups(modelIndex)) return {};
      return {kSelectGroupTexts.begin(),
              kSelectGroupTexts.begin() + selectGroupCount(modelIndex) + 1};
    case colRepeaterTone:
    case colToneSquelch: {
      std::vector<std::string> items;
      items.reserve(toneTable.size() + 1);
      items.emplace_back();  // no tone
      for (std::string_view tone : toneTable) items.push_back(localizeDecimal(tone, sep));
      return items;
    }
    default:
      return {};
  }
}

int preselectedChoice(std::span<const std::string> items, std::string_view cellText) {
  if (items.empty()) return -1;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (items[i] == cellText) return static_cast<int>(i);
  }
  return 0;
}

std::string frequencyCellText(std::string_view typed, std::string_view mode, Separators sep) {
  const std::int32_t hz = parseFrequency(typed, sep);
  return hz < 1 ? std::string() : formatFrequency(hz, mode, sep);
}

bool isCellEditable(const ChannelTable& table, int col, int row) {
  if (!table.isDataRow(row) || col <= colNumber || col >= kColumnCount) return false;
  if (table.isRig() && col == colTxFrequency) return table.cell(colDuplex, row) == "Split";
  return true;
}

}  // namespace tarnwick
