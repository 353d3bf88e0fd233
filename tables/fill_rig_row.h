#pragma once
// Writing a decoded memory into its rig-table row, and collecting every
// channel the permanent file lacks into it.

#include "rig/duplex_offsets.h"
#include "rig/memory_contents.h"
#include "rig/separators.h"
#include "tables/channel_table.h"
#include "tables/permanent_index.h"

namespace tarnwick {

// Fills the rig row of the memory's number (its label, check boxes and, unless
// the memory is blank, its cells), adds the name to both tables' name lists
// and appends the channel to the permanent file when no row there has the
// same frequency and trimmed name. The transmit frequency of a duplex memory
// comes from the memory's own offset where its layout carries one, else from
// `offsets` by the receive frequency. A memory number outside the rig table
// changes nothing.
void fillRigRow(const DecodedMemory& memory, int modelIndex, const DuplexOffsets& offsets,
                ChannelTable& rig, ChannelTable& permanent, PermanentFileIndex& index,
                Separators sep = Separators::current());

}  // namespace tarnwick
