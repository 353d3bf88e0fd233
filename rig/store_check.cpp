#include "rig/store_check.h"

#include <algorithm>
#include <cstdio>

#include "rig/frequency_text.h"
#include "rig/memory_layouts.h"
#include "rig/rig_catalogue.h"
#include "rig/text_trim.h"
#include "rig/tone_text.h"
#include "rig/value_codes.h"

namespace tarnwick {
namespace {

bool isBlankText(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c == ' ' || c == '\t'; });
}

std::string quoted(std::string_view column, std::string_view text) {
  std::string s(column);
  s += " \"";
  s += text;
  s += '"';
  return s;
}

// The hertz of a frequency text; 0 with `blank` set for a blank memory (an
// empty text, or no digits but zeros), -1 for a text that is not a frequency.
std::int64_t frequencyOf(std::string_view text, Separators sep, bool& blank) {
  blank = false;
  const std::int32_t hz = parseFrequency(text, sep);
  if (hz != 0) return hz;
  const bool digits =
      std::any_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  const bool nonZero =
      std::any_of(text.begin(), text.end(), [](char c) { return c >= '1' && c <= '9'; });
  // "0" or an empty cell is a blank memory; anything else that reads as 0
  // (letters, a minus sign, a number too large) is not a frequency.
  blank = isBlankText(text) || (digits && !nonZero);
  return blank ? 0 : -1;
}

// One of the radio's tones, as the tone lists show it. Looser readings
// would let "100085.4" (a damaged tone read from a radio) pass as 85.4 Hz.
bool isStoredTone(std::string_view text, Separators sep) {
  text = trimmed(text);
  return std::any_of(toneTable.begin(), toneTable.end(),
                     [&](std::string_view t) { return localizeDecimal(t, sep) == text; });
}

bool isDuplexText(std::string_view text) {
  if (text.empty() || text == duplexChoices[0]) return true;
  return std::find(kDuplexTexts.begin(), kDuplexTexts.end(), text) != kDuplexTexts.end();
}

std::string modeReason(std::string_view text, int modelIndex) {
  if (text.empty()) return "no Mode";
  const ModeIndex mode = modeIndexOf(text);
  const bool dataMode = encodeMode(mode).dataFlag != 0;
  // "SSB" has no code of its own; empty and unknown texts none at all.
  const bool known = mode != kModeEmpty && text != kModeTable[2];
  if (known && (!dataMode || modelKeepsDataModes(modelIndex))) return {};
  return quoted("Mode", text) + " is not a mode of the " + std::string(modelName(modelIndex));
}

std::string nameReason(std::string_view name, int modelIndex) {
  const RigModel* model = findRigModel(modelIndex);
  if (model == nullptr || model->nameLength == 0) return {};
  for (char c : name) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x20 || b > 0x7E) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "%02X", b);
      return std::string("Name has a byte the radio cannot show (") + hex + ")";
    }
  }
  return {};
}

// Whether the radio's memories keep the duplex. A radio whose Duplex column
// is hidden keeps what it can without a word, as the user cannot see it.
bool keepsDuplex(DuplexCode duplex, int modelIndex) {
  const RigModel* model = findRigModel(modelIndex);
  if (model == nullptr || model->hiddenColumns.contains(colDuplex)) return true;
  return std::any_of(model->duplexChoices.begin(), model->duplexChoices.end(),
                     [duplex](std::string_view c) { return duplexCodeOf(c) == duplex; });
}

bool layoutCarriesOffset(int modelIndex) {
  const MemoryLayoutTable* layout = writeLayoutOf(modelIndex);
  return layout != nullptr && hasField(*layout, MemoryField::Offset);
}

// Whether the memory keeps anything of the Tx Frequency cell: a transmit
// frequency or an offset. A memory that keeps only the split flag never
// writes the cell, so its text cannot garble anything.
bool layoutCarriesTransmit(int modelIndex) {
  const MemoryLayoutTable* layout = writeLayoutOf(modelIndex);
  return layout != nullptr &&
         (hasField(*layout, MemoryField::TxFrequency) || hasField(*layout, MemoryField::Offset));
}

}  // namespace

bool modelKeepsDataModes(int modelIndex) {
  const MemoryLayoutTable* layout = writeLayoutOf(modelIndex);
  if (layout == nullptr) return false;
  return std::any_of(layout->fields.begin(), layout->fields.end(), [](const LayoutField& f) {
    return f.field == MemoryField::Flags && f.bits.data != 0 && f.read() && f.written();
  });
}

std::string storeRefusalReason(const ChannelRecord& row, int modelIndex, Separators sep) {
  bool blank = false;
  const std::int64_t hz = frequencyOf(row[colFrequency], sep, blank);
  if (blank) return {};  // the blank form carries nothing else
  if (hz < 0 || hz > kHighestMemoryFrequency) {
    return quoted("Frequency", row[colFrequency]) + " is not a frequency the memory holds";
  }
  if (std::string r = modeReason(row[colMode], modelIndex); !r.empty()) return r;
  // An empty Filter goes out as Normal; an unknown text is refused.
  if (!row[colFilter].empty() && filterIndexOf(row[colFilter]) == kFilterEmpty) {
    return quoted("Filter", row[colFilter]) + " is not a filter";
  }
  if (!isDuplexText(row[colDuplex])) return quoted("Duplex", row[colDuplex]) + " is not a duplex";
  const DuplexCode duplex = duplexCodeOf(row[colDuplex]);
  if (!keepsDuplex(duplex, modelIndex)) {
    return quoted("Duplex", row[colDuplex]) + " is not a duplex of the " +
           std::string(modelName(modelIndex));
  }
  // A memory that keeps its own offset needs one for a duplex row: an empty
  // Tx would go out as no offset at all.
  if ((duplex == 1 || duplex == 2) && layoutCarriesOffset(modelIndex) &&
      isBlankText(row[colTxFrequency])) {
    return "no Tx Frequency for the " + row[colDuplex] + " offset";
  }
  if (duplex != 0 && layoutCarriesTransmit(modelIndex) && !isBlankText(row[colTxFrequency])) {
    bool txBlank = false;
    const std::int64_t tx = frequencyOf(row[colTxFrequency], sep, txBlank);
    // 0 Hz (an offset as large as the frequency) would go out as no offset.
    if (tx <= 0 || tx > kHighestMemoryFrequency) {
      return quoted("Tx Frequency", row[colTxFrequency]) + " is not a frequency the memory holds";
    }
    const std::int64_t offset = tx > hz ? tx - hz : hz - tx;
    if (duplex != 3 && layoutCarriesOffset(modelIndex) &&
        (offset % kMemoryOffsetUnitHz != 0 || offset > kLargestMemoryOffsetHz)) {
      return quoted("Tx Frequency", row[colTxFrequency]) +
             " gives an offset the memory cannot hold (whole 100 Hz up to 99,999.9 kHz)";
    }
  }
  for (int col : {colRepeaterTone, colToneSquelch}) {
    const std::string& text = row[static_cast<std::size_t>(col)];
    if (!text.empty() && !isStoredTone(text, sep)) {
      return quoted(col == colRepeaterTone ? "Repeater Tone" : "Tone Squelch", text) +
             " is not a tone";
    }
  }
  if (std::string r = secondToneReason(row, modelIndex); !r.empty()) {
    return "Repeater Tone and Tone Squelch: " + r;
  }
  return nameReason(row[colName], modelIndex);
}

bool keepsOneToneType(int modelIndex) {
  const MemoryLayoutTable* layout = writeLayoutOf(modelIndex);
  return layout != nullptr && keptBits(*layout).toneType != 0;
}

std::string secondToneReason(const ChannelRecord& row, int modelIndex) {
  if (row[colRepeaterTone].empty() || row[colToneSquelch].empty()) return {};
  if (!keepsOneToneType(modelIndex)) return {};
  return "the " + std::string(modelName(modelIndex)) +
         " keeps a repeater tone or a tone squelch, not both";
}

bool applyStoreDefaults(ChannelRecord& row, Separators sep, int modelIndex) {
  if (parseFrequency(row[colFrequency], sep) <= 0) return false;
  bool changed = false;
  if (row[colFilter].empty()) {
    row[colFilter] = std::string(kFilterTable[1]);
    changed = true;
  }
  if (row[colDuplex].empty()) {
    row[colDuplex] = std::string(kDuplexTexts[0]);
    changed = true;
  }
  // The memory's tone squelch bit turns its repeater tone on as well, and an
  // empty one goes out as 88.5 Hz: the row shows what a read will.
  const MemoryLayoutTable* layout = writeLayoutOf(modelIndex);
  if (layout != nullptr && keptBits(*layout).toneSquelch != 0 && !row[colToneSquelch].empty() &&
      row[colRepeaterTone].empty()) {
    row[colRepeaterTone] = toneText(kDefaultToneTenths, sep);
    changed = true;
  }
  return changed;
}

}  // namespace tarnwick
