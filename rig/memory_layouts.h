#pragma once
// The byte layouts of a memory's contents (command 1A, sub-command 00), each
// declared once as data. One generic reader and one generic writer
// (memory_contents.cpp) work over these tables, so reading and writing a
// layout cannot drift apart and a new radio needs a new table, not new code.

#include <cstdint>
#include <span>
#include <string_view>

#include "rig/bcd.h"
#include "rig/rig_catalogue.h"

namespace tarnwick {

// What a field holds.
enum class MemoryField {
  SubCommand,    // the sub-command 00
  Band,          // band byte of band-addressed radios
  MemoryNumber,  // the memory number
  Flags,         // the flag bits named in the field's FlagBits
  Frequency,     // receive frequency, hertz
  Mode,          // mode byte
  Filter,        // filter byte
  RepeaterTone,  // tenths of a hertz
  ToneSquelch,   // tenths of a hertz
  TxFrequency,   // transmit frequency of a split memory, hertz
  Offset,        // duplex offset carried by the memory, hertz
  Name,          // memory name, padded with spaces
  Unused,        // bytes this program does not use, written as 00
};

// A duplex offset carried by the memory (three BCD bytes in 100 Hz units):
// its unit and the largest it holds.
inline constexpr std::int64_t kMemoryOffsetUnitHz = 100;
inline constexpr std::int64_t kLargestMemoryOffsetHz = 99'999'900;

// How a field's bytes carry its value.
enum class FieldCodec {
  Byte,         // one byte as it stands
  BcdLsbFirst,  // packed BCD, least significant byte first
  BcdMsbFirst,  // packed BCD, most significant byte first
  Bits,         // flag bits
  Text,         // one character per byte
};

// Which bits of a Flags field mean what; 0 where the field has no such bits.
// A mask of one bit is an on/off flag; `select` and `toneType` may be wider
// and then carry a small number in their bits.
struct FlagBits {
  Byte select = 0;  // one bit: the select flag; wider: the select group, 0 = none
  Byte split = 0;
  Byte repeaterTone = 0;
  Byte toneSquelch = 0;  // tone squelch, which sends the repeater tone as well
  Byte toneType = 0;     // 0 no tone, 1 repeater tone, 2 tone squelch alone
  Byte minus = 0;        // minus duplex
  Byte plus = 0;         // plus duplex
  Byte data = 0;         // the mode's data variant

  constexpr Byte all() const {
    return static_cast<Byte>(select | split | repeaterTone | toneSquelch | toneType | minus | plus |
                             data);
  }
};

// Tone types of a toneType field.
inline constexpr int kToneTypeRepeater = 1;
inline constexpr int kToneTypeSquelch = 2;

// Whether the reader, the writer or both use a field.
enum class FieldUse {
  ReadWrite,
  WriteOnly,  // written for the radio but not read back (copies in a transmit block)
  ReadOnly,   // reported by the radio but never set by this program
};

struct LayoutField {
  MemoryField field;
  int offset;  // index into the data bytes; data[0] is the sub-command
  int width;   // bytes
  FieldCodec codec;
  FlagBits bits{};  // Bits fields only
  int unit = 1;     // hertz per counted unit (offsets travel in units of 100 Hz)
  FieldUse use = FieldUse::ReadWrite;
  // Name only: the radio may hold a name this short instead (0: always
  // `width`). Such a field ends the layout; answers of either length decode.
  int shortestWidth = 0;

  constexpr bool read() const { return use != FieldUse::WriteOnly; }
  constexpr bool written() const { return use != FieldUse::ReadOnly; }
};

struct MemoryLayoutTable {
  MemoryLayout id;
  std::string_view name;
  int dataSize;     // data bytes of a full answer or write, sub-command included
  int blankMarker;  // index of the byte that is FF in a blank memory; the blank
                    // form of an answer or write ends right after it
  std::span<const LayoutField> fields;
};

// The table of a layout; nullptr for MemoryLayout::None.
const MemoryLayoutTable* findLayout(MemoryLayout id);

// The layouts a model reads and writes; nullptr when it has none.
const MemoryLayoutTable* readLayoutOf(int modelIndex);
const MemoryLayoutTable* writeLayoutOf(int modelIndex);

// Whether the layout has a field of that kind (read or written).
bool hasField(const MemoryLayoutTable& layout, MemoryField field);

// The flag bits the layout both writes and reads back, over all its fields.
FlagBits keptBits(const MemoryLayoutTable& layout);

// How many select values beyond "none" a model's memories keep: 0 (no
// select), 1 (a select flag) or the number of select groups.
int selectGroupCount(int modelIndex);

// The name lengths a model's memories hold: the full one and the shortest
// an answer may bring (the same for most radios; 0 without names).
struct NameLengths {
  int full = 0;
  int shortest = 0;
};
NameLengths nameLengths(int modelIndex);

// Every layout that has a table.
std::span<const MemoryLayoutTable> memoryLayouts();

}  // namespace tarnwick
