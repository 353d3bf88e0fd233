#pragma once
// Tone cell texts: hertz with one decimal. Tones travel in tenths of a hertz.

#include <array>
#include <string>
#include <string_view>

#include "rig/bcd.h"
#include "rig/separators.h"

namespace tarnwick {

// The 50 tones the tone editors offer, stored with a point.
inline constexpr std::array<std::string_view, 50> toneTable{
    "67.0",  "69.3",  "71.9",  "74.4",  "77.0",  "79.7",  "82.5",  "85.4",  "88.5",  "91.5",
    "94.8",  "97.4",  "100.0", "103.5", "107.2", "110.9", "114.8", "118.8", "123.0", "127.3",
    "131.8", "136.5", "141.3", "146.2", "151.4", "156.7", "159.8", "162.2", "165.5", "167.9",
    "171.3", "173.8", "177.3", "179.9", "183.5", "186.2", "189.9", "192.8", "196.6", "199.5",
    "203.5", "206.5", "210.7", "218.1", "225.7", "229.1", "233.6", "241.8", "250.3", "254.1"};

// The tone written for a text that holds no tone: 88.5 Hz.
inline constexpr int kDefaultToneTenths = 885;

// Reads a tone text exactly, in whole tenths of a hertz (further digits are
// dropped); -1 when the text is not a non-negative decimal number.
int parseToneTenths(std::string_view text, Separators sep = Separators::current());

// Three BCD bytes, most significant first; 88.5 Hz for an unreadable text.
std::array<Byte, 3> encodeTone(std::string_view text, Separators sep = Separators::current());

// Tenths of a hertz as hertz with one decimal, at least 4 characters wide.
std::string toneText(int tenths, Separators sep = Separators::current());

}  // namespace tarnwick
