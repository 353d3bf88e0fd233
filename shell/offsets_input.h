#pragma once
// The duplex offsets as the offsets dialog shows and takes them: whole kHz,
// one decimal integer per band group. All three texts are checked before
// any offset changes.

#include <array>
#include <optional>
#include <string>

#include "rig/duplex_offsets.h"

namespace tarnwick {

// In the order of the dialog: HF, 50 MHz, 144 MHz.
using OffsetTexts = std::array<std::string, 3>;

// Each offset in whole kHz, truncated toward zero (1500 Hz shows as 1).
OffsetTexts offsetTexts(const DuplexOffsets& offsets);

struct OffsetsInput {
  std::optional<DuplexOffsets> offsets;  // all three, when every text is good
  int badField = -1;                     // else the first bad text, 0 to 2
  std::string error;                     // and what is wrong with it
};

// Decimal integers with an optional leading minus (blanks around them are
// ignored), taken as kHz. A text that is no integer gives "'%s' is not a
// valid integer value"; one whose Hz do not fit 32 bits an overflow message.
OffsetsInput parseOffsetTexts(const OffsetTexts& texts);

}  // namespace tarnwick
