#pragma once
// Colours as the settings and the port LED keep them: 0x00BBGGRR values,
// red in the lowest byte.

#include <cstdint>

namespace tarnwick {

struct RgbColour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  bool operator==(const RgbColour&) const = default;
};

// The top byte is ignored.
constexpr RgbColour rgbOf(std::uint32_t colour) {
  return {.red = static_cast<std::uint8_t>(colour & 0xFF),
          .green = static_cast<std::uint8_t>((colour >> 8) & 0xFF),
          .blue = static_cast<std::uint8_t>((colour >> 16) & 0xFF)};
}

constexpr std::uint32_t colourOf(RgbColour rgb) {
  return static_cast<std::uint32_t>(rgb.red) | static_cast<std::uint32_t>(rgb.green) << 8 |
         static_cast<std::uint32_t>(rgb.blue) << 16;
}

}  // namespace tarnwick
