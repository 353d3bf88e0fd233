#include "rig/memory_compare.h"

#include "rig/memory_layouts.h"

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

}  // namespace tarnwick
