#include "chirp/chirp_values.h"

#include <array>

#include "rig/data_modes.h"
#include "rig/separators.h"
#include "rig/text_trim.h"
#include "rig/tone_text.h"
#include "tables/latin1_case.h"

namespace tarnwick {
namespace {

struct ModeEntry {
  std::string_view chirp;
  std::string_view ours;
  bool narrow;
};

// The first entry for our mode is the one we write.
constexpr std::array<ModeEntry, 17> kModes{{
    {"FM", "FM", false},
    {"NFM", "FM", true},
    {"AM", "AM", false},
    {"NAM", "AM", true},
    {"USB", "USB", false},
    {"LSB", "LSB", false},
    {"CW", "CW", false},
    {"NCW", "CW", true},
    {"CWR", "CW-r", false},
    {"NCWR", "CW-r", true},
    {"RTTY", "RTTY", false},
    {"RTTYR", "RTTY-r", false},
    {"FSK", "RTTY", false},  // what other radios call RTTY
    {"FSKR", "RTTY-r", false},
    {"WFM", "WFM", false},
    {"DIG", "USB-D", false},
    {"PKT", "FM-D", false},
}};

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

std::string_view blanksOff(std::string_view t) {
  return trimmed(t, Blanks::SpaceOrTab);
}

// digits[.digits] scaled by 10^places; fraction digits past `places` must be
// zeros. Nothing past 12 whole digits.
std::optional<std::int64_t> parseScaled(std::string_view t, int places) {
  const std::size_t point = t.find('.');
  const std::string_view whole = t.substr(0, point);
  const std::string_view fraction =
      point == std::string_view::npos ? std::string_view{} : t.substr(point + 1);
  if ((whole.empty() && fraction.empty()) || whole.size() > 12) return std::nullopt;
  std::int64_t v = 0;
  for (char c : whole) {
    if (!isDigit(c)) return std::nullopt;
    v = v * 10 + (c - '0');
  }
  for (int i = 0; i < static_cast<int>(fraction.size()); ++i) {
    const char c = fraction[static_cast<std::size_t>(i)];
    if (!isDigit(c)) return std::nullopt;
    if (i >= places && c != '0') return std::nullopt;
  }
  for (int i = 0; i < places; ++i) {
    const auto k = static_cast<std::size_t>(i);
    v = v * 10 + (k < fraction.size() ? fraction[k] - '0' : 0);
  }
  return v;
}

}  // namespace

std::optional<std::int64_t> parseMhzText(std::string_view text) {
  std::string_view t = blanksOff(text);
  int places = 6;
  if (t.ends_with(" MHz")) {
    t = blanksOff(t.substr(0, t.size() - 4));
  } else if (t.ends_with(" kHz")) {
    t = blanksOff(t.substr(0, t.size() - 4));
    places = 3;
  }
  return parseScaled(t, places);
}

std::string formatMhzText(std::int64_t hz) {
  // Reports name transmit frequencies below zero too (an offset larger than the frequency).
  const bool negative = hz < 0;
  const std::uint64_t size =
      negative ? 0 - static_cast<std::uint64_t>(hz) : static_cast<std::uint64_t>(hz);
  const std::string fraction = std::to_string(size % 1000000);
  std::string text = negative ? "-" : "";
  text += std::to_string(size / 1000000);
  text += '.';
  text.append(6 - fraction.size(), '0');
  text += fraction;
  return text;
}

std::optional<int> parseChirpTone(std::string_view text) {
  const int tenths = parseToneTenths(text, Separators::point());
  if (tenths < 0) return std::nullopt;
  return tenths;
}

bool isStandardTone(int tenths) {
  for (std::string_view tone : toneTable) {
    if (parseToneTenths(tone, Separators::point()) == tenths) return true;
  }
  return false;
}

std::string formatChirpTone(int tenths) {
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

std::string inQuotes(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 2);
  out.push_back('"');
  out.append(text);
  out.push_back('"');
  return out;
}

bool matchesIgnoringCase(std::string_view text, std::string_view word) {
  return compareNoCase(blanksOff(text), word) == 0;
}

std::optional<ChirpModeMeaning> chirpModeMeaning(std::string_view chirpMode) {
  for (const ModeEntry& e : kModes) {
    if (matchesIgnoringCase(chirpMode, e.chirp)) return ChirpModeMeaning{e.ours, e.narrow};
  }
  return std::nullopt;
}

std::optional<ChirpModeText> chirpModeOf(std::string_view ourMode, bool narrow) {
  const bool data = withoutData(ourMode) != ourMode;
  // A data mode with a name of its own there; else the plain mode, and only
  // our Data column tells them apart.
  for (const ModeEntry& e : kModes) {
    if (data && e.ours == ourMode) return ChirpModeText{e.chirp, true, false};
  }
  const std::string_view plain = withoutData(ourMode);
  const ModeEntry* found = nullptr;
  for (const ModeEntry& e : kModes) {
    if (e.ours != plain) continue;
    if (e.narrow == narrow) {
      found = &e;
      break;
    }
    if (!found && !e.narrow) found = &e;
  }
  if (!found) return std::nullopt;
  return ChirpModeText{found->chirp, data, data};
}

}  // namespace tarnwick
