#include "chirp/model_keeps.h"

#include <algorithm>

#include "chirp/chirp_values.h"
#include "rig/channel_record.h"
#include "rig/memory_layouts.h"
#include "rig/rig_catalogue.h"
#include "tables/cell_editing.h"

namespace tarnwick {
namespace {

bool writes(const MemoryLayoutTable& layout, MemoryField field) {
  return std::any_of(layout.fields.begin(), layout.fields.end(),
                     [field](const LayoutField& f) { return f.field == field && f.written(); });
}

}  // namespace

bool ModelKeeps::hasMode(std::string_view mode) const {
  return std::find(modes.begin(), modes.end(), mode) != modes.end();
}

ModelKeeps modelKeeps(int modelIndex) {
  ModelKeeps k;
  k.modelIndex = modelIndex;
  k.name = modelName(modelIndex);
  k.nameLength = nameTextLimit(modelIndex);
  // The editor offers the data modes only where the memory keeps them.
  k.modes = editorChoices(modelIndex, colMode);
  k.ranges = receiveRanges(modelIndex);
  const MemoryLayoutTable* layout = writeLayoutOf(modelIndex);
  if (!layout) return k;
  if (writes(*layout, MemoryField::Offset)) {
    k.duplex = DuplexStorage::OwnOffset;
  } else if (writes(*layout, MemoryField::TxFrequency)) {
    k.duplex = DuplexStorage::BandOffsets;
  }
  return k;
}

std::string describeRanges(std::span<const FrequencyRange> ranges) {
  std::string s;
  for (const FrequencyRange& r : ranges) {
    if (!s.empty()) s += ", ";
    s += formatMhzText(r.low) + "-" + formatMhzText(r.high);
  }
  return s + " MHz";
}

}  // namespace tarnwick
