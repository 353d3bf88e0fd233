#include "rig/receive_ranges.h"

#include "rig/rig_catalogue.h"
#include "rig/value_codes.h"

namespace tarnwick {

std::span<const FrequencyRange> receiveRanges(int modelIndex) {
  const RigModel* model = findRigModel(modelIndex);
  return model ? model->receiveRanges : std::span<const FrequencyRange>{};
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
