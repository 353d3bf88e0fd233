#pragma once
// What a radio model keeps of a channel, from its catalogue entry, memory
// layout and editing rules: the limits a channel from elsewhere must fit.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "rig/receive_ranges.h"

namespace tarnwick {

enum class DuplexStorage {
  BandOffsets,  // a duplex memory uses the radio's offset for its band; split
                // memories hold their own transmit frequency
  OwnOffset,    // each duplex memory carries its own offset; no split
  NotStored,    // a memory write carries no duplex: the cells stay in the table only
};

struct ModelKeeps {
  int modelIndex = 0;
  std::string_view name;  // catalogue name, for messages
  int nameLength = 0;     // characters a Name cell takes
  std::vector<std::string> modes;
  DuplexStorage duplex = DuplexStorage::NotStored;
  std::span<const FrequencyRange> ranges;  // every range the radio tunes

  bool hasMode(std::string_view mode) const;
};

ModelKeeps modelKeeps(int modelIndex);

// "0.030000-60.000000, 108.000000-174.000000 MHz"
std::string describeRanges(std::span<const FrequencyRange> ranges);

}  // namespace tarnwick
