#pragma once
// What a user types into a Frequency or Tx Frequency cell, or gives the
// command line. Unlike the cell reader (parseFrequency), which takes what
// files hold, this refuses anything it cannot read for certain: a typo must
// never become a blank memory that a store would erase in the radio.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "rig/frequency_text.h"
#include "rig/receive_ranges.h"
#include "rig/separators.h"

namespace tarnwick {

struct TypedFrequency {
  enum class Kind {
    Blank,    // nothing typed: the user empties the cell on purpose
    Value,    // `hz` holds the frequency
    Refused,  // `reason` says why, for the status bar
  };
  Kind kind = Kind::Blank;
  std::int64_t hz = 0;
  std::string reason;
  // The number as typed, when it came without a unit.
  std::string bareNumber;
  // A value taken, with a word for the status bar: "145.5 kHz. Type 145.5M
  // for MHz." Empty for none.
  std::string note;

  bool refused() const { return kind == Kind::Refused; }
};

// The forms taken, for messages: kHz without a unit, or a unit of its own.
inline constexpr std::string_view kFrequencyForms =
    "Type kHz (7074, 14,195.00) or a unit (14.195 MHz, 145.5M, 1.2965 GHz, 14195000 Hz).";
// The same where the window takes MHz without a unit.
inline constexpr std::string_view kMegahertzForms =
    "Type MHz (14.195, 145.5) or a unit (7074 kHz, 145.5M, 1.2965 GHz, 14195000 Hz).";

// Reads a typed frequency: digits with thousands separators in groups of
// three, the locale's decimal separator or a point, and an optional unit
// (Hz, kHz, MHz, GHz or their first letter, any case). Without a unit the
// value is in the unit shown, kHz unless the window shows MHz. Decimals
// may be grouped by threes with spaces ("14.195 500"). Values finer than
// 1 Hz, negative or past 2,147,483,647 Hz are refused.
TypedFrequency readTypedFrequency(std::string_view text, Separators sep = Separators::current(),
                                  FrequencyUnit shown = FrequencyUnit::kHz);

// Refuses a value outside `ranges`, naming them: "14.195 kHz is outside the
// IC-746's ranges (30 kHz-60 MHz, 108-174 MHz)..."; `whose` names the radio
// or radios ("the IC-746's"). A value taken as kHz for want of a unit that
// would be a frequency some radio of ours keeps, read as MHz ("145.5"), is
// taken as typed with a note saying how to type MHz.
TypedFrequency checkInRanges(TypedFrequency typed, std::span<const FrequencyRange> ranges,
                             std::string_view whose, Separators sep = Separators::current(),
                             FrequencyUnit shown = FrequencyUnit::kHz);

// Every range of every radio the program reads and writes, for the
// permanent file, which holds channels of any of them.
std::span<const FrequencyRange> everyRadiosRanges();

// "30 kHz-60 MHz" style text of a range.
std::string describeRange(const FrequencyRange& range, Separators sep = Separators::current());

}  // namespace tarnwick
