#pragma once
// Whether a row can go into a model's memory so that it reads back as it
// stands. The memory encoder falls back to defaults for texts it does not
// know (LSB for an unknown mode, 88.5 Hz for an unreadable tone, a blank
// memory for an unreadable frequency); a store refuses such a row instead.

#include <string>

#include "rig/channel_record.h"
#include "rig/separators.h"

namespace tarnwick {

// Why the row cannot be stored on the model, e.g.
// "Mode \"USB-D\" is not a mode of the IC-746"; empty when it can.
// An empty Filter goes out as Normal and an empty Duplex as simplex: sets
// them so in a row with a frequency, so that the row shows what the radio
// will hold and a read-back compares like with like. Returns whether
// anything changed.
// A radio whose tone squelch also switches the repeater tone on shows both
// tones for it: with a model given, an empty Repeater Tone beside a tone
// squelch is set to the 88.5 Hz such a memory then carries.
bool applyStoreDefaults(ChannelRecord& row, Separators sep, int modelIndex = -1);

std::string storeRefusalReason(const ChannelRecord& row, int modelIndex,
                               Separators sep = Separators::current());

// Whether the model's memory keeps one tone type at a time: a repeater tone
// or a tone squelch, never both values.
bool keepsOneToneType(int modelIndex);

// Why the row's two tones cannot both be kept: "the IC-7300 keeps a
// repeater tone or a tone squelch, not both"; empty when they can (or the
// row has at most one).
std::string secondToneReason(const ChannelRecord& row, int modelIndex);

// Whether the model's memories carry the data variants of the modes.
bool modelKeepsDataModes(int modelIndex);

// The highest frequency a memory's five BCD bytes read back as (the 10^9
// digit counts at most 1).
inline constexpr std::int32_t kHighestMemoryFrequency = 1'999'999'999;

}  // namespace tarnwick
