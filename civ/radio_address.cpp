#include "civ/radio_address.h"

#include "rig/text_trim.h"

namespace tarnwick {

std::optional<Byte> parseCivAddress(std::string_view text) {
  text = trimmedRight(text, Blanks::SpaceOrControl);
  if (text.size() > 2) return std::nullopt;
  int value = 0;
  for (char c : text) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    if (digit < 0) return std::nullopt;
    value = value * 16 + digit;
  }
  return static_cast<Byte>(value);
}

RadioAddress radioAddressOf(std::string_view text) {
  return {.value = parseCivAddress(text), .text = std::string(text)};
}

}  // namespace tarnwick
