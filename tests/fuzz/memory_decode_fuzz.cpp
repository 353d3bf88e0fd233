// Decodes arbitrary memory-contents answers for each radio and fills a rig
// row from them. A row that the store would write as it stands must, once
// written, read back the same: otherwise the read-back after a store would
// call an untouched memory different.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <span>

#include "rig/memory_compare.h"
#include "rig/memory_contents.h"
#include "rig/rig_catalogue.h"
#include "rig/store_check.h"
#include "rig/value_codes.h"
#include "tables/fill_rig_row.h"
#include "tables/permanent_index.h"
#include "tables/table_ops.h"

namespace {

using namespace tarnwick;

constexpr int kModels[] = {kModelIc746, kModelIc746Pro, kModelIc756Pro,  kModelIc756ProII,
                           kModelIc910, kModelIc7300,   kModelIc7300Mk2, kModelIc7610};
constexpr Byte kSources[] = {0x56, 0x66, 0x5C, 0x64, 0x60, 0x94, 0xB6, 0x98};
constexpr int kPicks = static_cast<int>(std::size(kModels));

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const int pick = data[0] % kPicks;
  const int model = kModels[pick];
  const std::span<const Byte> answer(data + 1, size - 1);

  DecodedMemory memory;
  if (!decodeMemoryContents(kSources[pick], answer, model, memory)) return 0;
  if (!readBackDifferences(memory, memory, model).empty()) std::abort();

  ChannelTable permanent(TableKind::PermanentFile);
  ChannelTable rig(TableKind::Rig);
  PermanentFileIndex index(permanent);
  rig.setRowCount(findRigModel(model)->rigTableRows());
  const Separators sep = Separators::point();
  const DuplexOffsets offsets;
  fillRigRow(memory, model, offsets, rig, permanent, index, sep);
  const int row = memory.memoryNumber;
  if (!rig.isDataRow(row)) return 0;

  if (!storeRefusalReason(rig.record(row), model, sep).empty()) return 0;
  // A filter the radio's byte does not name shows empty and is stored as
  // Normal, which the row then shows: that is what must read back.
  ChannelRecord stored = rig.record(row);
  if (applyStoreDefaults(stored, sep) && stored[colFilter] != rig.cell(colFilter, row)) {
    memory.filter = filterIndexOf(stored[colFilter]);
  }
  // Written back in the name length the radio answered, as the engine does:
  // a length the memory does not keep would not decode below.
  const std::vector<Byte> write = encodeMemoryContents(model, row, stored, "430 MHz", sep,
                                                       static_cast<int>(memory.name.size()));
  DecodedMemory back;
  if (!decodeMemoryContents(kSources[pick], std::span<const Byte>(write).subspan(1), model, back)) {
    std::abort();
  }
  // The band byte comes from the band box, not from the answer.
  if (findRigModel(model)->usesBand) back.bank = memory.bank;
  if (!readBackDifferences(memory, back, model).empty()) std::abort();
  return 0;
}
