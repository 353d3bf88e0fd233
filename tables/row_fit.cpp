#include "tables/row_fit.h"

#include <cstdlib>

#include "rig/data_modes.h"
#include "rig/frequency_input.h"
#include "rig/frequency_text.h"
#include "rig/memory_layouts.h"
#include "rig/rig_catalogue.h"
#include "rig/store_check.h"
#include "rig/text_trim.h"
#include "rig/value_codes.h"
#include "tables/cell_editing.h"

namespace tarnwick {
namespace {

std::string quoted(std::string_view text) {
  // Appended, not "\"" + string: GCC 12 at -O3 warns falsely of the latter.
  std::string out;
  out.reserve(text.size() + 2);
  out += '"';
  out += text;
  out += '"';
  return out;
}

std::string selectWord(std::string_view text) {
  if (text == kChecked) return "ticked";
  if (text == kUnchecked || text.empty()) return "none";
  return std::string(text);
}

// What the model's memory keeps of a duplex.
struct DuplexKept {
  bool split = false;
  bool shift = false;      // minus and plus duplex
  bool ownOffset = false;  // the memory carries the shift's offset
};

DuplexKept duplexKept(int modelIndex) {
  DuplexKept k;
  const MemoryLayoutTable* layout = writeLayoutOf(modelIndex);
  if (layout == nullptr) return k;
  const FlagBits bits = keptBits(*layout);
  k.split = bits.split != 0;
  k.shift = (bits.minus | bits.plus) != 0;
  k.ownOffset = hasField(*layout, MemoryField::Offset);
  return k;
}

// A Split the memory cannot keep becomes the shift it is, where the memory
// carries an offset that large, else simplex; a shift the memory cannot
// keep becomes a split to the same transmit frequency, else simplex.
void fitDuplex(ChannelRecord& row, int modelIndex, Separators sep, RowFit& fit) {
  const std::string before = row[colDuplex];
  const DuplexCode code = duplexCodeOf(before);
  const DuplexKept kept = duplexKept(modelIndex);
  const std::int64_t rx = parseFrequency(row[colFrequency], sep);
  const std::int64_t tx = parseFrequency(row[colTxFrequency], sep);
  std::string after;
  if (code == 3 && !kept.split) {
    const std::int64_t offset = std::llabs(tx - rx);
    const bool fits = kept.shift && kept.ownOffset && tx > 0 && offset > 0 &&
                      offset % kMemoryOffsetUnitHz == 0 && offset <= kLargestMemoryOffsetHz;
    after = fits ? std::string(duplexText(tx > rx ? 2 : 1)) : std::string(duplexText(0));
  } else if ((code == 1 || code == 2) && !kept.shift) {
    after = kept.split && tx > 0 ? std::string(duplexText(3)) : std::string(duplexText(0));
  } else {
    return;
  }
  row[colDuplex] = after;
  if (duplexCodeOf(after) == 0) row[colTxFrequency].clear();
  fit.changes.push_back(before + " to " + after);
}

}  // namespace

RowFit fitRowToModel(ChannelRecord& row, int modelIndex, std::span<const FrequencyRange> ranges,
                     Separators sep) {
  RowFit fit;
  const RigModel* model = findRigModel(modelIndex);
  if (model == nullptr || parseFrequency(row[colFrequency], sep) <= 0) return fit;
  const std::string whose = "the " + std::string(modelName(modelIndex)) + "'s";
  // The cell as files and tables hold it, not as typing is read.
  TypedFrequency held;
  held.kind = TypedFrequency::Kind::Value;
  held.hz = parseFrequency(row[colFrequency], sep);
  const TypedFrequency rx = checkInRanges(held, ranges, whose, sep);
  if (rx.refused()) {
    // "outside the IC-910's ranges (...)": the same for every row, so that a
    // report names them together. The hint on typing units is not for a
    // moved row.
    const std::size_t from = rx.reason.find("outside ");
    const std::size_t to = rx.reason.find(". Without a unit");
    fit.refusal = from == std::string::npos ? rx.reason : rx.reason.substr(from, to - from);
    return fit;
  }

  ChannelRecord fitted = row;
  const ColumnSet hidden = model->hiddenColumns;
  const std::string& name = fitted[colName];
  const std::string_view typed = trimmedRight(name);
  if (!hidden.contains(colName) && model->nameLength > 0 &&
      typed.size() > static_cast<std::size_t>(model->nameLength)) {
    fitted[colName] = std::string(trimmedRight(typed.substr(0, model->nameLength)));
    fit.changes.push_back("name cut to " + quoted(fitted[colName]));
  }
  if (const std::string_view plain = withoutData(fitted[colMode]);
      plain != fitted[colMode] && !modelKeepsDataModes(modelIndex)) {
    fit.changes.push_back(fitted[colMode] + " to " + std::string(plain));
    fitted[colMode] = std::string(plain);
  }
  if (!hidden.contains(colDuplex)) fitDuplex(fitted, modelIndex, sep, fit);
  // The tone squelch is what such a memory keeps: it listens for the tone
  // and sends it.
  if (!secondToneReason(fitted, modelIndex).empty()) {
    fit.changes.push_back("Repeater Tone " + fitted[colRepeaterTone] +
                          " dropped for the Tone Squelch");
    fitted[colRepeaterTone].clear();
  }
  if (!hidden.contains(colSelect)) {
    const std::string select = selectCellText(modelIndex, fitted[colSelect]);
    const bool meaningLost = selectValueOf(select, kLargestSelectGroup) !=
                             selectValueOf(fitted[colSelect], kLargestSelectGroup);
    if (meaningLost) {
      fit.changes.push_back("Select " + selectWord(fitted[colSelect]) + " to " +
                            selectWord(select));
    }
    fitted[colSelect] = select;
  }
  row = std::move(fitted);
  return fit;
}

void FitReport::add(std::string_view label, const RowFit& fit) {
  if (fit.refused()) {
    for (Refused& r : refused_) {
      if (r.why == fit.refusal) {
        r.labels.emplace_back(label);
        return;
      }
    }
    refused_.push_back({fit.refusal, {std::string(label)}});
    return;
  }
  if (!fit.changed()) return;
  std::string text = "row " + std::string(label) + " ";
  for (std::size_t i = 0; i < fit.changes.size(); ++i) {
    text += (i > 0 ? ", " : "") + fit.changes[i];
  }
  changed_.push_back(std::move(text));
}

std::string FitReport::text() const {
  const std::string model(modelName(modelIndex_));
  const auto joined = [](const std::vector<std::string>& parts) {
    std::string s;
    for (std::size_t i = 0; i < parts.size(); ++i) s += (i > 0 ? "; " : "") + parts[i];
    return s;
  };
  std::string text;
  if (!changed_.empty()) {
    text = std::to_string(changed_.size()) + (changed_.size() == 1 ? " row" : " rows") +
           " changed to fit the " + model + ": " + joined(changed_) + ".";
  }
  for (const Refused& r : refused_) {
    if (!text.empty()) text += " ";
    text += r.labels.size() == 1 ? "Row " : "Rows ";
    for (std::size_t i = 0; i < r.labels.size(); ++i) text += (i > 0 ? ", " : "") + r.labels[i];
    text += " not taken: " + r.why + ".";
  }
  return text;
}

}  // namespace tarnwick
