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
