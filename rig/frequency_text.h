#pragma once
// Frequency cell texts: kilohertz with the locale's separators.

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "rig/separators.h"

namespace tarnwick {

// Right-aligned in 11 characters, thousands separators, and as many decimals
// as keep the value exact: none for whole kHz in "WFM", "FM", "AM", "FM-D" and
// "AM-D", otherwise 2, or 3 where 2 would drop a hertz digit.
std::string formatFrequency(std::int32_t hz, std::string_view modeText,
                            Separators sep = Separators::current());

// The unit the window shows and takes frequencies in; files and the
// clipboard always hold kHz.
enum class FrequencyUnit { kHz, MHz };

// Megahertz as a ham writes them: "145.500", "1,296.100", and "14.195 500"
// where hertz below a kilohertz count.
std::string formatMegahertz(std::int32_t hz, Separators sep = Separators::current());

// A frequency cell (kHz, as the table keeps it) as the window shows it in
// `unit`. A cell that holds no frequency is shown as it is.
std::string shownFrequency(std::string_view cellText, FrequencyUnit unit,
                           Separators sep = Separators::current());

// The text a frequency cell's editor starts with: the number alone, in
// `unit`, without grouping ("14074.00", "14.0745").
std::string frequencyEditText(std::string_view cellText, FrequencyUnit unit,
                              Separators sep = Separators::current());

// Keeps digits, "+", "-" and the decimal separator, in order.
std::string keepNumberChars(std::string_view text, Separators sep = Separators::current());

// Splits at the first `ch`; without one, the whole text and an empty text.
std::pair<std::string, std::string> splitAtChar(std::string_view text, char ch);

// Reads a frequency cell (kHz) into hertz: the whole kHz and up to three
// fraction digits. A text without a value, a negative value or one beyond a
// signed 32-bit number of hertz gives 0 (blank).
std::int32_t parseFrequency(std::string_view text, Separators sep = Separators::current());

// Replaces the first "." by the decimal separator, or if there is none, the
// first ",".
std::string localizeDecimal(std::string_view text, Separators sep = Separators::current());

}  // namespace tarnwick
