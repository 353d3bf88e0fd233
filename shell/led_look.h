#pragma once
// How the port LED looks, as plain numbers: colours are 0x00BBGGRR values,
// rectangles are left, top, right, bottom in the control's pixels.

#include <string>

#include "shell/colour.h"

namespace tarnwick {

struct LedRect {
  int left, top, right, bottom;
};

// Lit: the colour itself; unlit: each component halved.
constexpr unsigned ledFillColour(unsigned colour, bool lit) {
  if (lit) return colour & 0xFFFFFF;
  const RgbColour c = rgbOf(colour);
  return colourOf({.red = static_cast<std::uint8_t>(c.red / 2),
                   .green = static_cast<std::uint8_t>(c.green / 2),
                   .blue = static_cast<std::uint8_t>(c.blue / 2)});
}

// The highlight spot: white when lit, silver when not.
constexpr unsigned ledSpotColour(bool lit) {
  return lit ? 0xFFFFFF : 0xC0C0C0;
}

// The spot sits near the upper left; a small LED gets a smaller one.
constexpr LedRect ledSpotRect(int width) {
  return width >= 11 ? LedRect{5, 4, 8, 7} : LedRect{3, 3, 5, 5};
}

// What a screen reader says of the LED: "Radio link: green".
inline std::string ledAccessibleName(unsigned colour, bool lit) {
  std::string name = "Radio link: ";
  const unsigned c = colour & 0xFFFFFF;
  if (c == 0x00FF00) {
    name += "green";
  } else if (c == 0x0000FF) {
    name += "red";
  } else {
    static const char* digits = "0123456789ABCDEF";
    name += '#';
    const RgbColour rgb = rgbOf(c);
    for (int v : {rgb.red, rgb.green, rgb.blue}) {
      name += digits[v >> 4];
      name += digits[v & 0xF];
    }
  }
  if (!lit) name += " (off)";
  return name;
}

}  // namespace tarnwick
