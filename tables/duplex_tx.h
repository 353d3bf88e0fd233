#pragma once
// The transmit frequency of duplex channels, worked out again from the
// receive frequency and the duplex offset of its band.

#include <cstdint>
#include <string>
#include <string_view>

#include "rig/duplex_offsets.h"
#include "rig/separators.h"
#include "rig/value_codes.h"
#include "tables/channel_table.h"

namespace tarnwick {

// The Tx Frequency text of a channel at `rxHz` with duplex `duplex` (1 minus,
// 2 plus) and the given offset, for its mode. Empty when there is no receive
// frequency or the result would not be a frequency a cell can hold (below
// 1 Hz or past the 32-bit range).
std::string duplexTxText(std::int32_t rxHz, DuplexCode duplex, std::int64_t offsetHz,
                         std::string_view mode, Separators sep = Separators::current());

// Rewrites the Tx Frequency of every "DUP-" and "DUP+" data row from its own
// receive frequency and the offset of its band (the rule the memory decoder
// uses); other rows, Changed marks and Modified stay as they are.
void recomputeDuplexTx(ChannelTable& table, const DuplexOffsets& offsets,
                       Separators sep = Separators::current());

}  // namespace tarnwick
