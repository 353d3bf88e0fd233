#pragma once
// The radio's CI-V address as the user gives it in the address field.

#include <optional>
#include <string>
#include <string_view>

#include "civ/civ_protocol.h"

namespace tarnwick {

// The address field read as hexadecimal: one or two digits of either case.
// Trailing blanks and control bytes (up to 0x20) are ignored, leading ones
// are not; an empty field is 0x00; any other text is no address.
std::optional<Byte> parseCivAddress(std::string_view text);

struct RadioAddress {
  std::optional<Byte> value = Byte{0};  // nothing: the text is not an address
  std::string text{};                   // what was typed, for the error report
};

// The field's text as the engine takes it.
RadioAddress radioAddressOf(std::string_view text);

}  // namespace tarnwick
