#pragma once
// One channel between a row of a CHIRP list and a row of our tables, both
// ways. A channel that cannot be kept says why; one that is kept with a
// change lists the changes.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "chirp/chirp_columns.h"
#include "chirp/model_keeps.h"
#include "rig/channel_record.h"
#include "rig/duplex_offsets.h"
#include "rig/separators.h"

namespace tarnwick {

struct ChirpImportContext {
  const ModelKeeps& model;
  std::span<const FrequencyRange> ranges;  // receive frequencies the target table takes
  DuplexOffsets offsets;                   // the radio's, for BandOffsets models
  Separators sep;
};

struct ImportedChannel {
  std::optional<ChannelRecord> record;  // without label; Changed "1". Nothing: left out
  std::string leftOut;                  // why it was left out
  std::vector<std::string> notes;       // what was changed to keep it
};

ImportedChannel recordFromChirp(const ChirpRow& row, const ChirpImportContext& ctx);

struct ExportedChannel {
  std::optional<ChirpRow> row;  // nothing: left out
  std::string leftOut;
  std::vector<std::string> notes;
};

// The row of an occupied table row. A duplex row without a transmit
// frequency takes the offset of its band from `offsets`.
ExportedChannel chirpFromRecord(const ChannelRecord& record, int location,
                                const DuplexOffsets& offsets, Separators sep);

}  // namespace tarnwick
