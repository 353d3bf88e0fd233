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

// The LED's state in words, so that it is not told by colour alone: the
// label beside the lamp, the name a screen reader says and the tool tip.
// Green is a radio that answers, red one not (yet) heard.
struct LedWords {
  std::string label;  // empty for a colour that means no state
  std::string name;   // "Radio link: up (green)"
  std::string tip;
};

inline LedWords ledWords(unsigned colour, bool lit) {
  LedWords words;
  words.name = "Radio link: ";
  const unsigned c = colour & 0xFFFFFF;
  if (c == 0x00FF00) {
    words.label = "Link up";
    words.name += "up (green)";
    words.tip = "Radio link up: the radio answers";
  } else if (c == 0x0000FF) {
    words.label = "No link";
    words.name += "down (red)";
    words.tip = "No radio link: the radio has not answered (port, speed, radio or CI-V address)";
  } else {
    static const char* digits = "0123456789ABCDEF";
    words.name += '#';
    const RgbColour rgb = rgbOf(c);
    for (int v : {rgb.red, rgb.green, rgb.blue}) {
      words.name += digits[v >> 4];
      words.name += digits[v & 0xF];
    }
  }
  if (!lit) words.name += " (off)";
  if (words.tip.empty()) words.tip = words.name;
  return words;
}

}  // namespace tarnwick
