#include "rig/memory_layouts.h"

#include <algorithm>
#include <array>
#include <bit>

#include "rig/value_codes.h"

namespace tarnwick {
namespace {

using F = MemoryField;
using C = FieldCodec;

// Tone and duplex bits of the IC-746 family: tone 01, tone squelch 02, minus
// duplex 10, plus duplex 20.
constexpr FlagBits kToneDuplexBits{
    .repeaterTone = 0x01, .toneSquelch = 0x02, .minus = 0x10, .plus = 0x20};

// IC-746.
constexpr std::array kLongFields{
    LayoutField{F::SubCommand, 0, 1, C::Byte},
    LayoutField{F::MemoryNumber, 1, 2, C::BcdMsbFirst},
    LayoutField{F::Flags, 3, 1, C::Bits, {.select = 0x01, .split = 0x02}},
    LayoutField{F::Frequency, 4, 5, C::BcdLsbFirst},
    LayoutField{F::Mode, 9, 1, C::Byte},
    LayoutField{F::Filter, 10, 1, C::Byte},
    LayoutField{F::Flags, 11, 1, C::Bits, kToneDuplexBits},
    LayoutField{F::RepeaterTone, 12, 3, C::BcdMsbFirst},
    LayoutField{F::ToneSquelch, 15, 3, C::BcdMsbFirst},
    LayoutField{F::TxFrequency, 18, 5, C::BcdLsbFirst},
    // The transmit block repeats the receive settings.
    LayoutField{F::Mode, 23, 1, C::Byte, {}, 1, FieldUse::WriteOnly},
    LayoutField{F::Filter, 24, 1, C::Byte, {}, 1, FieldUse::WriteOnly},
    LayoutField{F::Flags, 25, 1, C::Bits, kToneDuplexBits, 1, FieldUse::WriteOnly},
    LayoutField{F::RepeaterTone, 26, 3, C::BcdMsbFirst, {}, 1, FieldUse::WriteOnly},
    LayoutField{F::ToneSquelch, 29, 3, C::BcdMsbFirst, {}, 1, FieldUse::WriteOnly},
    LayoutField{F::Name, 32, 9, C::Text},
};

// IC-756Pro and IC-756ProII. Bit 4 carries the data mode both ways; the
// radio's duplex bits are read but never written, as these radios take no
// duplex from a memory write.
constexpr std::array kShortFields{
    LayoutField{F::SubCommand, 0, 1, C::Byte},
    LayoutField{F::MemoryNumber, 1, 2, C::BcdMsbFirst},
    LayoutField{F::Flags, 3, 1, C::Bits, {.select = 0x01, .split = 0x02}},
    LayoutField{F::Frequency, 4, 5, C::BcdLsbFirst},
    LayoutField{F::Mode, 9, 1, C::Byte},
    LayoutField{F::Filter, 10, 1, C::Byte},
    LayoutField{
        F::Flags, 11, 1, C::Bits, {.repeaterTone = 0x01, .toneSquelch = 0x02, .data = 0x10}},
    LayoutField{F::Flags, 11, 1, C::Bits, {.minus = 0x10, .plus = 0x20}, 1, FieldUse::ReadOnly},
    LayoutField{F::RepeaterTone, 12, 3, C::BcdMsbFirst},
    LayoutField{F::ToneSquelch, 15, 3, C::BcdMsbFirst},
    LayoutField{F::Name, 18, 10, C::Text},
};

// IC-910: addressed by band, no select flag, no name; the memory carries its
// own duplex offset in units of 100 Hz.
constexpr std::array kBandFields{
    LayoutField{F::SubCommand, 0, 1, C::Byte},
    LayoutField{F::Band, 1, 1, C::Byte},
    LayoutField{F::MemoryNumber, 2, 2, C::BcdMsbFirst},
    LayoutField{F::Frequency, 4, 5, C::BcdLsbFirst},
    LayoutField{F::Mode, 9, 1, C::Byte},
    LayoutField{F::Filter, 10, 1, C::Byte},
    LayoutField{F::Flags,
                11,
                1,
                C::Bits,
                {.repeaterTone = 0x10, .toneSquelch = 0x20, .minus = 0x01, .plus = 0x02}},
    LayoutField{F::RepeaterTone, 12, 3, C::BcdMsbFirst},
    LayoutField{F::ToneSquelch, 15, 3, C::BcdMsbFirst},
    LayoutField{F::Offset, 18, 3, C::BcdLsbFirst, {}, 100},
};

// IC-746Pro: a data-mode byte of its own, the split flag in bit 4 of the
// select byte, DTCS fields, and a complete transmit block.
constexpr std::array kProFields{
    LayoutField{F::SubCommand, 0, 1, C::Byte},
    LayoutField{F::MemoryNumber, 1, 2, C::BcdMsbFirst},
    LayoutField{F::Flags, 3, 1, C::Bits, {.select = 0x01, .split = 0x10}},
    LayoutField{F::Frequency, 4, 5, C::BcdLsbFirst},
    LayoutField{F::Mode, 9, 1, C::Byte},
    LayoutField{F::Filter, 10, 1, C::Byte},
    LayoutField{F::Flags, 11, 1, C::Bits, {.data = 0x01}},
    LayoutField{F::Flags, 12, 1, C::Bits, kToneDuplexBits},
    LayoutField{F::RepeaterTone, 13, 3, C::BcdMsbFirst},
    LayoutField{F::ToneSquelch, 16, 3, C::BcdMsbFirst},
    LayoutField{F::Unused, 19, 1, C::Byte},  // DTCS polarity
    LayoutField{F::Unused, 20, 2, C::Byte},  // DTCS code
    LayoutField{F::TxFrequency, 22, 5, C::BcdLsbFirst},
    LayoutField{F::Mode, 27, 1, C::Byte, {}, 1, FieldUse::WriteOnly},
    LayoutField{F::Filter, 28, 1, C::Byte, {}, 1, FieldUse::WriteOnly},
    LayoutField{F::Flags, 29, 1, C::Bits, {.data = 0x01}, 1, FieldUse::WriteOnly},
    LayoutField{F::Flags, 30, 1, C::Bits, kToneDuplexBits, 1, FieldUse::WriteOnly},
    LayoutField{F::RepeaterTone, 31, 3, C::BcdMsbFirst, {}, 1, FieldUse::WriteOnly},
    LayoutField{F::ToneSquelch, 34, 3, C::BcdMsbFirst, {}, 1, FieldUse::WriteOnly},
    LayoutField{F::Unused, 37, 1, C::Byte},  // DTCS polarity
    LayoutField{F::Unused, 38, 2, C::Byte},  // DTCS code
    LayoutField{F::Name, 40, 9, C::Text},
};

// IC-7300 family and IC-7610: nibbles. Byte 3 holds split (high nibble) and
// the select group 0..3 (low nibble); byte 11 the data mode (high nibble) and
// the tone type (low nibble).
constexpr FlagBits kSplitSelectNibbles{.select = 0x0F, .split = 0x10};
constexpr FlagBits kDataToneNibbles{.toneType = 0x0F, .data = 0x10};

// IC-7300 and IC-7300MK2: the receive fields, a transmit block of the same
// fourteen bytes, then the name. The MK2's name is 16 characters, though
// some of its memories answer with 10.
constexpr auto transmitBlockFields(int nameWidth, int shortestName) {
  return std::array{
      LayoutField{F::SubCommand, 0, 1, C::Byte},
      LayoutField{F::MemoryNumber, 1, 2, C::BcdMsbFirst},
      LayoutField{F::Flags, 3, 1, C::Bits, kSplitSelectNibbles},
      LayoutField{F::Frequency, 4, 5, C::BcdLsbFirst},
      LayoutField{F::Mode, 9, 1, C::Byte},
      LayoutField{F::Filter, 10, 1, C::Byte},
      LayoutField{F::Flags, 11, 1, C::Bits, kDataToneNibbles},
      LayoutField{F::RepeaterTone, 12, 3, C::BcdMsbFirst},
      LayoutField{F::ToneSquelch, 15, 3, C::BcdMsbFirst},
      LayoutField{F::TxFrequency, 18, 5, C::BcdLsbFirst},
      LayoutField{F::Mode, 23, 1, C::Byte, {}, 1, FieldUse::WriteOnly},
      LayoutField{F::Filter, 24, 1, C::Byte, {}, 1, FieldUse::WriteOnly},
      LayoutField{F::Flags, 25, 1, C::Bits, kDataToneNibbles, 1, FieldUse::WriteOnly},
      LayoutField{F::RepeaterTone, 26, 3, C::BcdMsbFirst, {}, 1, FieldUse::WriteOnly},
      LayoutField{F::ToneSquelch, 29, 3, C::BcdMsbFirst, {}, 1, FieldUse::WriteOnly},
      LayoutField{.field = F::Name,
                  .offset = 32,
                  .width = nameWidth,
                  .codec = C::Text,
                  .shortestWidth = shortestName},
  };
}
constexpr auto kIc7300Fields = transmitBlockFields(10, 0);
constexpr auto kIc7300Mk2Fields = transmitBlockFields(16, 10);

// IC-7610: the receive fields and the name; no transmit block, so no split.
constexpr std::array kIc7610Fields{
    LayoutField{F::SubCommand, 0, 1, C::Byte},
    LayoutField{F::MemoryNumber, 1, 2, C::BcdMsbFirst},
    LayoutField{F::Flags, 3, 1, C::Bits, {.select = 0x0F}},
    LayoutField{F::Frequency, 4, 5, C::BcdLsbFirst},
    LayoutField{F::Mode, 9, 1, C::Byte},
    LayoutField{F::Filter, 10, 1, C::Byte},
    LayoutField{F::Flags, 11, 1, C::Bits, kDataToneNibbles},
    LayoutField{F::RepeaterTone, 12, 3, C::BcdMsbFirst},
    LayoutField{F::ToneSquelch, 15, 3, C::BcdMsbFirst},
    LayoutField{F::Name, 18, 10, C::Text},
};

constexpr std::array kLayouts{
    MemoryLayoutTable{MemoryLayout::LongLayout, "LongLayout", 41, 3, kLongFields},
    MemoryLayoutTable{MemoryLayout::ShortLayout, "ShortLayout", 28, 3, kShortFields},
    MemoryLayoutTable{MemoryLayout::BandLayout, "BandLayout", 21, 4, kBandFields},
    MemoryLayoutTable{MemoryLayout::ProLayout, "ProLayout", 49, 3, kProFields},
    MemoryLayoutTable{MemoryLayout::Ic7300Layout, "Ic7300Layout", 42, 3, kIc7300Fields},
    MemoryLayoutTable{MemoryLayout::Ic7300Mk2Layout, "Ic7300Mk2Layout", 48, 3, kIc7300Mk2Fields},
    MemoryLayoutTable{MemoryLayout::Ic7610Layout, "Ic7610Layout", 28, 3, kIc7610Fields},
};

}  // namespace

const MemoryLayoutTable* findLayout(MemoryLayout id) {
  for (const MemoryLayoutTable& l : kLayouts) {
    if (l.id == id) return &l;
  }
  return nullptr;
}

const MemoryLayoutTable* readLayoutOf(int modelIndex) {
  const RigModel* m = findRigModel(modelIndex);
  return m ? findLayout(m->readLayout) : nullptr;
}

const MemoryLayoutTable* writeLayoutOf(int modelIndex) {
  const RigModel* m = findRigModel(modelIndex);
  return m ? findLayout(m->writeLayout) : nullptr;
}

bool hasField(const MemoryLayoutTable& layout, MemoryField field) {
  for (const LayoutField& f : layout.fields) {
    if (f.field == field) return true;
  }
  return false;
}

FlagBits keptBits(const MemoryLayoutTable& layout) {
  FlagBits k;
  for (const LayoutField& f : layout.fields) {
    if (f.field != MemoryField::Flags || !f.read() || !f.written()) continue;
    k.select |= f.bits.select;
    k.split |= f.bits.split;
    k.repeaterTone |= f.bits.repeaterTone;
    k.toneSquelch |= f.bits.toneSquelch;
    k.toneType |= f.bits.toneType;
    k.minus |= f.bits.minus;
    k.plus |= f.bits.plus;
    k.data |= f.bits.data;
  }
  return k;
}

int selectGroupCount(int modelIndex) {
  const MemoryLayoutTable* layout = writeLayoutOf(modelIndex);
  if (layout == nullptr) return 0;
  const unsigned mask = keptBits(*layout).select;
  if (mask == 0) return 0;
  return std::min(static_cast<int>(mask >> std::countr_zero(mask)), kLargestSelectGroup);
}

NameLengths nameLengths(int modelIndex) {
  const MemoryLayoutTable* layout = writeLayoutOf(modelIndex);
  if (layout == nullptr) return {};
  for (const LayoutField& f : layout->fields) {
    if (f.field == MemoryField::Name) {
      return {f.width, f.shortestWidth > 0 ? f.shortestWidth : f.width};
    }
  }
  return {};
}

std::span<const MemoryLayoutTable> memoryLayouts() {
  return kLayouts;
}

}  // namespace tarnwick
