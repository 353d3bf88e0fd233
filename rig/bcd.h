#pragma once
// Packed BCD fields of CI-V messages: two decimal digits per byte, the more
// significant one in the high nibble.

#include <array>
#include <cstdint>
#include <span>

namespace tarnwick {

using Byte = std::uint8_t;

bool isBcdByte(Byte b);

// Five bytes from `position`, least significant byte first. 0 (a blank
// memory) when the first byte is FF, when a byte is not BCD, or when fewer
// than five bytes are there. The 10^9 digit counts at most 1.
std::int32_t decodeBcdFrequency(std::span<const Byte> bytes, std::size_t position);

// The last ten decimal digits, least significant pair first. Negative values
// have no BCD form and are written as 0.
std::array<Byte, 5> encodeBcdFrequency(std::int32_t hz);

// Most significant first, no digit check: a nibble above 9 adds its value
// times the digit weight.
int decodeBcd4(Byte hi, Byte lo);
int decodeBcd6(Byte b0, Byte b1, Byte b2);

// Most significant first; each part keeps its last two decimal digits.
// Negative values are written as 0.
std::array<Byte, 2> encodeBcd4(int n);
std::array<Byte, 3> encodeBcd6(int n);

}  // namespace tarnwick
