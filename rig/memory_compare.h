#pragma once
// Comparing a memory as written with the memory as the radio reads it back.

#include <vector>

#include "rig/memory_contents.h"

namespace tarnwick {

// The columns whose cells would differ between the two memories, in column
// order, as the model keeps them: names compare padded to the memory's
// length, and what the layout does not both write and read (the duplex bits
// of the IC-756Pro, the transmit frequency where there is no field for it)
// not at all. Empty when the radio holds what was written.
std::vector<int> readBackDifferences(const DecodedMemory& written, const DecodedMemory& readBack,
                                     int modelIndex);

}  // namespace tarnwick
