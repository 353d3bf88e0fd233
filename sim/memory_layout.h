#pragma once
// The bytes of a memory-contents answer and of a memory write, per layout.
// data[0] is the sub-command 00 throughout, as the bytes follow command 1A.

#include <optional>
#include <span>
#include <string>

#include "sim/civ_bytes.h"
#include "sim/radio_model.h"
#include "sim/radio_state.h"

namespace tarnwick::sim {

// Data bytes of a full memory, sub-command included.
int memoryDataLength(const RadioModel& model);
// Data bytes of a blank memory: the head, then FF.
int blankDataLength(Layout layout);

// The head of a memory's data: 00, the band byte on banded radios, the
// memory number in BCD, most significant byte first.
Bytes memoryHead(const RadioModel& model, MemoryKey key);

// Parses a memory read request's data (00 [band] hi lo); nothing when it is
// malformed or names a memory the radio does not have.
std::optional<MemoryKey> parseMemoryRequest(const RadioModel& model, std::span<const Byte> data);

// The answer data for one memory: its full layout, or the head and FF.
Bytes encodeMemory(const RadioModel& model, MemoryKey key, const Memory& memory);

struct DecodedWrite {
  MemoryKey key;
  Memory memory;
};

struct WriteError {
  std::string reason;
};

// Parses a memory write's data. Anything a real radio could not take (a
// wrong length, a nibble above 9, an unknown mode, filter or flag bit, a
// memory it does not have) is an error, so that a faulty writer is caught.
std::optional<DecodedWrite> decodeMemoryWrite(const RadioModel& model, std::span<const Byte> data,
                                              std::string* reason = nullptr);

}  // namespace tarnwick::sim
