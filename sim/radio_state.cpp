#include "sim/radio_state.h"

namespace tarnwick::sim {

bool isKnownMode(Byte modeByte) {
  return modeByte <= mode::kRttyR || modeByte == mode::kSAm;
}

bool isDataToneMode(Byte modeByte) {
  return modeByte <= mode::kRttyR && modeByte != mode::kWfm;
}

bool isKnownFilter(Byte filterByte) {
  return filterByte >= filter::kWide && filterByte <= filter::kNarrow;
}

OffsetBand offsetBandOf(std::int64_t hz) {
  if (hz < 50'000'000) return kOffsetHf;
  if (hz < 144'000'000) return kOffset50;
  return kOffset144;
}

const Memory& RadioState::memory(MemoryKey key) const {
  static const Memory kBlank;
  const auto it = memories.find(key);
  return it == memories.end() ? kBlank : it->second;
}

}  // namespace tarnwick::sim
