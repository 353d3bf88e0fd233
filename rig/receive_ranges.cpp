#include "rig/receive_ranges.h"

#include <array>

#include "rig/rig_catalogue.h"
#include "rig/value_codes.h"

namespace tarnwick {
namespace {

constexpr std::array<FrequencyRange, 2> kHfVhf{{{30000, 60000000}, {108000000, 174000000}}};
constexpr std::array<FrequencyRange, 1> kHf{{{30000, 60000000}}};
// One range per band, in band code order (1 = 144 MHz, 2 = 430 MHz, 3 = 1240 MHz),
// as a band-addressed rig table picks them; the widest of the radio's versions.
constexpr std::array<FrequencyRange, 3> kIc910{
    {{136000000, 174000000}, {420000000, 480000000}, {1240000000, 1320000000}}};

}  // namespace

std::span<const FrequencyRange> receiveRanges(int modelIndex) {
  switch (modelIndex) {
    case kModelIc746:
    case kModelIc746Pro:
      return kHfVhf;
    case kModelIc756Pro:
    case kModelIc756ProII:
    case kModelIcR75:
      return kHf;
    case kModelIc910:
      return kIc910;
    default:
      return {};
  }
}

std::span<const FrequencyRange> rigTableRanges(int modelIndex, std::string_view bandText) {
  const std::span<const FrequencyRange> ranges = receiveRanges(modelIndex);
  const RigModel* model = findRigModel(modelIndex);
  if (model && model->usesBand) return ranges.subspan(bankCodeOf(bandText) - 1u, 1);
  return ranges;
}

bool inRanges(std::span<const FrequencyRange> ranges, std::int64_t hz) {
  for (const FrequencyRange& r : ranges) {
    if (r.contains(hz)) return true;
  }
  return false;
}

}  // namespace tarnwick
