#pragma once
// The frequencies each radio can tune and hold in a memory, and the IC-910's
// ranges per band.

#include <cstdint>
#include <span>
#include <string_view>

namespace tarnwick {

struct FrequencyRange {
  std::int32_t low;   // hertz, inclusive
  std::int32_t high;  // hertz, inclusive
  bool contains(std::int64_t hz) const { return hz >= low && hz <= high; }
};

// Every range the model tunes, for a band-addressed model one per band in
// band code order; empty for a model that is not supported.
std::span<const FrequencyRange> receiveRanges(int modelIndex);

// The ranges a rig table of the model holds: for a band-addressed radio only
// the band of `bandText` ("144 MHz", "430 MHz", "1240 MHz"), else every range.
std::span<const FrequencyRange> rigTableRanges(int modelIndex, std::string_view bandText);

bool inRanges(std::span<const FrequencyRange> ranges, std::int64_t hz);

}  // namespace tarnwick
