#pragma once
// CHIRP's value texts: frequencies in MHz, tones in Hz, its mode names, and
// how each of our modes is written there.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwick {

// "146.520000", "146.52", "146", "5.3305 MHz", "145500 kHz" as whole hertz,
// by decimal digits alone; nothing for a text that is not such a value, or
// that has a part of a hertz.
std::optional<std::int64_t> parseMhzText(std::string_view text);
// Hertz as CHIRP writes them: MHz with six decimals.
std::string formatMhzText(std::int64_t hz);

// A tone in tenths of a hertz, read with a point; nothing when unreadable.
std::optional<int> parseChirpTone(std::string_view text);
// One of the 50 tones the radios (and CHIRP) know.
bool isStandardTone(int tenths);
// Tenths of a hertz as "88.5".
std::string formatChirpTone(int tenths);

struct ChirpModeMeaning {
  std::string_view mode;  // our mode text
  bool narrow = false;    // the narrow variant: our filter "Narrow"
};
// Our meaning of a CHIRP mode; nothing for a mode with no equivalent here
// (DV, DMR, P25, ...). Case is ignored.
std::optional<ChirpModeMeaning> chirpModeMeaning(std::string_view chirpMode);

struct ChirpModeText {
  std::string_view mode;  // CHIRP's mode
  bool data = false;      // our mode was a data mode
  bool dataLost = false;  // CHIRP's mode does not say so: only our Data column does
};
// How our mode (with its filter) is written; nothing for a mode CHIRP lacks.
std::optional<ChirpModeText> chirpModeOf(std::string_view ourMode, bool narrow);

// The text between double quotes, for messages.
std::string inQuotes(std::string_view text);

// `text` equals the ASCII `word` but for the case of letters and the spaces
// and tabs around it.
bool matchesIgnoringCase(std::string_view text, std::string_view word);

}  // namespace tarnwick
