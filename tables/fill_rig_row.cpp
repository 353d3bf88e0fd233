#include "tables/fill_rig_row.h"

#include <string>

#include "rig/frequency_text.h"
#include "rig/memory_layouts.h"
#include "rig/rig_catalogue.h"
#include "rig/tone_text.h"
#include "tables/duplex_tx.h"

namespace tarnwick {
namespace {

// The transmit frequency cell: the receive frequency moved by the duplex
// offset, the memory's own transmit frequency for split, empty for simplex.
std::string transmitText(const DecodedMemory& memory, int modelIndex, const DuplexOffsets& offsets,
                         std::string_view mode, Separators sep) {
  if (memory.duplex < 1 || memory.duplex > 3) return {};
  if (memory.duplex == 3) return formatFrequency(memory.splitFrequency, mode, sep);
  const MemoryLayoutTable* layout = readLayoutOf(modelIndex);
  const std::int64_t offset = layout && hasField(*layout, MemoryField::Offset)
                                  ? memory.offset
                                  : offsets.forReceiveFrequency(memory.frequency);
  return duplexTxText(memory.frequency, memory.duplex, offset, mode, sep);
}

// Appends the rig row to the permanent file unless a row there already has
// its frequency and trimmed name. A file of one empty row is filled instead.
void collect(const DecodedMemory& memory, const ChannelTable& rig, int row, ChannelTable& permanent,
             PermanentFileIndex& index, Separators sep) {
  if (index.findRow(memory.frequency, memory.name, sep) != 0) return;
  int target = 0;
  if (permanent.dataRowCount() == 1 && trimName(permanent.cell(colFrequency, 1)).empty()) {
    target = 1;
  } else {
    target = permanent.rowCount();
    permanent.insertRows(target, 1);
  }
  ChannelRecord record = rig.record(row);
  record[colNumber] = std::to_string(target);
  permanent.setRecord(target, std::move(record));
  permanent.setCheckBoxes(target, true);
  permanent.setModified(true);
}

}  // namespace

void fillRigRow(const DecodedMemory& memory, int modelIndex, const DuplexOffsets& offsets,
                ChannelTable& rig, ChannelTable& permanent, PermanentFileIndex& index,
                Separators sep) {
  const int r = memory.memoryNumber;
  if (!rig.isDataRow(r)) return;

  rig.setCell(colNumber, r, specialLabel(modelIndex, r));
  rig.setCheckBoxes(r, true);
  if (memory.frequency == 0) {
    // A blank memory shows only its number, whatever the row held before.
    for (int c = colFrequency; c <= colChanged; ++c) rig.setCell(c, r, {});
    return;
  }

  const std::string_view mode = modeName(memory.mode);
  rig.setCell(colFrequency, r, formatFrequency(memory.frequency, mode, sep));
  rig.setCell(colName, r, memory.name);
  rig.setCell(colMode, r, std::string(mode));
  rig.setCell(colFilter, r, std::string(filterName(memory.filter)));
  rig.setCell(colSelect, r, memory.selectText);
  rig.setCell(colRepeaterTone, r, memory.toneOn ? toneText(memory.tone, sep) : std::string());
  rig.setCell(colToneSquelch, r,
              memory.toneSquelchOn ? toneText(memory.toneSquelch, sep) : std::string());
  rig.setCell(colChanged, r, std::string(kUnchecked));
  rig.setCell(colDuplex, r, std::string(duplexText(memory.duplex)));
  rig.setCell(colTxFrequency, r, transmitText(memory, modelIndex, offsets, mode, sep));

  rig.names().add(memory.name);
  permanent.names().add(memory.name);
  collect(memory, rig, r, permanent, index, sep);
}

}  // namespace tarnwick
