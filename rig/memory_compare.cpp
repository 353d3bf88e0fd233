#include "rig/memory_compare.h"

#include <cstdlib>

#include "rig/frequency_text.h"
#include "rig/memory_layouts.h"
#include "rig/rig_catalogue.h"
#include "rig/text_trim.h"
#include "rig/tone_text.h"

namespace tarnwick {
namespace {

// What a layout both writes and reads back: only that can be compared.
struct Kept {
  FlagBits bits;
  bool txFrequency = false;
  bool offset = false;
  bool name = false;
};

Kept keptBy(const MemoryLayoutTable& layout) {
  Kept k;
  k.bits = keptBits(layout);
  for (const LayoutField& f : layout.fields) {
    if (!f.read() || !f.written()) continue;
    switch (f.field) {
      case MemoryField::TxFrequency:
        k.txFrequency = true;
        break;
      case MemoryField::Offset:
        k.offset = true;
        break;
      case MemoryField::Name:
        k.name = true;
        break;
      default:
        break;
    }
  }
  return k;
}

// The duplex as far as the layout keeps it.
DuplexCode keptDuplex(DuplexCode d, const Kept& k) {
  if (d == 3) return k.bits.split != 0 ? 3 : 0;
  if (d == 1 || d == 2) return (k.bits.minus | k.bits.plus) != 0 ? d : 0;
  return 0;
}

// What the row's Tx Frequency cell is made from.
std::int64_t transmitKey(const DecodedMemory& m, const Kept& k) {
  if (m.duplex == 3 && k.txFrequency) return m.splitFrequency;
  if ((m.duplex == 1 || m.duplex == 2) && k.offset) return m.offset;
  return 0;
}

int toneKey(bool on, int tenths) {
  return on ? tenths : -1;
}

int toneKey(std::string_view cell, Separators sep) {
  return cell.empty() ? -1 : parseToneTenths(cell, sep);
}

std::string_view nameAsWritten(std::string_view name, int width) {
  if (width >= 0 && name.size() > static_cast<std::size_t>(width)) name = name.substr(0, width);
  return trimmedRight(name, Blanks::SpaceOrTab);
}

}  // namespace

std::vector<int> readBackDifferences(const DecodedMemory& written, const DecodedMemory& readBack,
                                     int modelIndex) {
  const MemoryLayoutTable* layout = readLayoutOf(modelIndex);
  if (layout == nullptr) return {};
  const Kept k = keptBy(*layout);
  const DecodedMemory& a = written;
  const DecodedMemory& b = readBack;

  std::vector<int> cols;
  const auto check = [&](int col, bool differs) {
    if (differs) cols.push_back(col);
  };
  check(colFrequency, a.frequency != b.frequency);
  if (a.frequency == 0 || b.frequency == 0) return cols;  // a blank memory carries nothing else
  check(colName, k.name && a.name != b.name);
  check(colMode, a.mode != b.mode);
  check(colFilter, a.filter != b.filter);
  const DuplexCode da = keptDuplex(a.duplex, k);
  const DuplexCode db = keptDuplex(b.duplex, k);
  check(colDuplex, da != db);
  check(colTxFrequency, da == db && transmitKey(a, k) != transmitKey(b, k));
  check(colRepeaterTone, toneKey(a.toneOn, a.tone) != toneKey(b.toneOn, b.tone));
  check(colToneSquelch,
        toneKey(a.toneSquelchOn, a.toneSquelch) != toneKey(b.toneSquelchOn, b.toneSquelch));
  check(colSelect, k.bits.select != 0 && a.selectText != b.selectText);
  return cols;
}

std::vector<int> readBackDifferences(const ChannelRecord& stored, const DecodedMemory& readBack,
                                     int modelIndex, int nameWidth, Separators sep) {
  const MemoryLayoutTable* layout = readLayoutOf(modelIndex);
  if (layout == nullptr) return {};
  const Kept k = keptBy(*layout);
  const ColumnSet hidden = hiddenColumns(modelIndex);
  const DecodedMemory& b = readBack;

  std::vector<int> cols;
  const auto check = [&](int col, bool differs) {
    if (differs && !hidden.contains(col)) cols.push_back(col);
  };
  const std::int32_t hz = parseFrequency(stored[colFrequency], sep);
  check(colFrequency, hz != b.frequency);
  if (hz == 0 || b.frequency == 0) return cols;  // a blank memory carries nothing else
  check(colName, k.name && nameAsWritten(stored[colName], nameWidth) !=
                               nameAsWritten(b.name, static_cast<int>(b.name.size())));
  check(colMode, stored[colMode] != modeName(b.mode));
  check(colFilter, stored[colFilter] != filterName(b.filter));
  const DuplexCode duplex = duplexCodeOf(stored[colDuplex]);
  check(colDuplex, duplex != b.duplex);
  if (duplex == b.duplex) {
    const std::int32_t tx = parseFrequency(stored[colTxFrequency], sep);
    if (duplex == 3 && k.txFrequency) check(colTxFrequency, tx != b.splitFrequency);
    if ((duplex == 1 || duplex == 2) && k.offset) {
      check(colTxFrequency, std::llabs(std::int64_t{hz} - tx) != b.offset);
    }
  }
  check(colRepeaterTone, toneKey(stored[colRepeaterTone], sep) != toneKey(b.toneOn, b.tone));
  check(colToneSquelch,
        toneKey(stored[colToneSquelch], sep) != toneKey(b.toneSquelchOn, b.toneSquelch));
  const int groups = selectGroupCount(modelIndex);
  check(colSelect, k.bits.select != 0 && selectValueOf(stored[colSelect], groups) !=
                                             selectValueOf(b.selectText, groups));
  return cols;
}

}  // namespace tarnwick
