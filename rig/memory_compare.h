#pragma once
// Comparing a memory as written with the memory as the radio reads it back.

#include <vector>

#include "rig/channel_record.h"
#include "rig/memory_contents.h"
#include "rig/separators.h"

namespace tarnwick {

// The columns whose cells would differ between the two memories, in column
// order, as the model keeps them: names compare padded to the memory's
// length, and what the layout does not both write and read (the duplex bits
// of the IC-756Pro, the transmit frequency where there is no field for it)
// not at all. Empty when the radio holds what was written.
std::vector<int> readBackDifferences(const DecodedMemory& written, const DecodedMemory& readBack,
                                     int modelIndex);

// The columns in which a read of `readBack` would show the memory otherwise
// than `stored`, the row as the store wrote it: every cell the user sees,
// whatever made it differ. Columns the model hides are not compared, nor a
// Tx Frequency the memory does not carry (the radio's own band offsets make
// it for a DUP- or DUP+ row). The name compares as written: cut to
// `nameWidth` characters, trailing spaces aside.
std::vector<int> readBackDifferences(const ChannelRecord& stored, const DecodedMemory& readBack,
                                     int modelIndex, int nameWidth, Separators sep);

}  // namespace tarnwick
