#pragma once
// The three duplex offsets a radio keeps per band group, in hertz.

#include <cstdint>

namespace tarnwick {

struct DuplexOffsets {
  std::int32_t hf = 100000;      // below 50 MHz
  std::int32_t mhz50 = 500000;   // from 50 MHz up to 144 MHz
  std::int32_t mhz144 = 600000;  // from 144 MHz

  // The offset a decoded memory's receive frequency uses.
  std::int32_t forReceiveFrequency(std::int32_t hz) const {
    if (hz < 50000000) return hf;
    if (hz >= 144000000) return mhz144;
    return mhz50;
  }

  bool operator==(const DuplexOffsets&) const = default;
};

}  // namespace tarnwick
