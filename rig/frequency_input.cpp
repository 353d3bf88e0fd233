#include "rig/frequency_input.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "rig/frequency_text.h"
#include "rig/rig_catalogue.h"

namespace tarnwick {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\xA0';
}

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string_view trimBlanks(std::string_view t) {
  while (!t.empty() && isBlank(t.front())) t.remove_prefix(1);
  while (!t.empty() && isBlank(t.back())) t.remove_suffix(1);
  return t;
}

TypedFrequency refuse(std::string_view text, std::string_view why, FrequencyUnit shown) {
  TypedFrequency r;
  r.kind = TypedFrequency::Kind::Refused;
  // Appended piece by piece: a literal before a string makes GCC 12 see a
  // false overlap at -O3.
  r.reason.append("\"").append(text).append("\" is not a frequency");
  if (!why.empty()) r.reason.append(": ").append(why);
  r.reason.append(". ").append(shown == FrequencyUnit::MHz ? kMegahertzForms : kFrequencyForms);
  return r;
}

// The power of ten of a unit, -1 when the letters are no unit.
int unitExponent(std::string_view letters) {
  std::string u;
  for (char c : letters) u.push_back(lower(c));
  if (u.empty() || u == "k" || u == "khz") return 3;
  if (u == "hz") return 0;
  if (u == "m" || u == "mhz") return 6;
  if (u == "g" || u == "ghz") return 9;
  return -1;
}

// Digits with optional thousands separators between groups of three.
bool readGroupedDigits(std::string_view t, char thousands, std::string& digits) {
  if (t.empty()) return true;
  std::size_t group = 0;
  bool grouped = false;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (t[i] == thousands) {
      if (group == 0 || (grouped && group != 3) || (!grouped && group > 3)) return false;
      grouped = true;
      group = 0;
    } else if (isDigit(t[i])) {
      digits.push_back(t[i]);
      ++group;
    } else {
      return false;
    }
  }
  return !grouped || group == 3;
}

// Where the decimal separator is, npos without one; `ambiguous` when the
// text cannot be read for certain. A single point is a decimal point in
// every locale, as other programs and the radios' own displays write it;
// several are thousands separators where the locale groups with points.
std::size_t decimalPosition(std::string_view t, Separators sep, bool& ambiguous) {
  ambiguous = false;
  const auto count = [&](char c) { return std::count(t.begin(), t.end(), c); };
  if (count(sep.decimal) > 0) {
    if (count(sep.decimal) > 1) ambiguous = true;
    return t.find(sep.decimal);
  }
  if (count('.') == 1) return t.find('.');
  if (count('.') > 1 && sep.thousands != '.') ambiguous = true;
  return std::string_view::npos;
}

std::string describeHz(std::int64_t hz, char decimal) {
  const auto scaled = [decimal](std::int64_t v, std::int64_t unit) {
    std::string s = std::to_string(v / unit);
    std::string frac = std::to_string(v % unit + unit).substr(1);
    while (!frac.empty() && frac.back() == '0') frac.pop_back();
    return frac.empty() ? s : s + decimal + frac;
  };
  if (hz >= 1'000'000'000 && hz % 1'000'000 == 0) return scaled(hz, 1'000'000'000) + " GHz";
  if (hz >= 1'000'000) return scaled(hz, 1'000'000) + " MHz";
  if (hz >= 1'000) return scaled(hz, 1'000) + " kHz";
  return std::to_string(hz) + " Hz";
}

// "195 500" as "195500": blanks only between groups of three digits.
bool ungroupFraction(std::string_view fraction, std::string& out) {
  std::size_t group = 0;
  for (std::size_t i = 0; i < fraction.size(); ++i) {
    if (isBlank(fraction[i])) {
      if (group != 3) return false;
      group = 0;
    } else {
      out.push_back(fraction[i]);
      ++group;
    }
  }
  return true;
}

}  // namespace

TypedFrequency readTypedFrequency(std::string_view text, Separators sep, FrequencyUnit shown) {
  const std::string_view t = trimBlanks(text);
  if (t.empty()) return {};

  std::size_t unitStart = t.size();
  while (unitStart > 0 && ((lower(t[unitStart - 1]) >= 'a' && lower(t[unitStart - 1]) <= 'z'))) {
    --unitStart;
  }
  const bool unitTyped = unitStart < t.size();
  const int exponent =
      unitTyped ? unitExponent(t.substr(unitStart)) : (shown == FrequencyUnit::MHz ? 6 : 3);
  if (exponent < 0) return refuse(t, "", shown);
  std::string_view number = trimBlanks(t.substr(0, unitStart));
  if (!number.empty() && number.front() == '+') number.remove_prefix(1);
  if (!number.empty() && number.front() == '-') return refuse(t, "it is negative", shown);
  if (number.empty()) return refuse(t, "", shown);

  bool ambiguous = false;
  const std::size_t point = decimalPosition(number, sep, ambiguous);
  if (ambiguous) return refuse(t, "more than one decimal separator", shown);
  const std::string_view whole = number.substr(0, point);
  std::string fraction;
  if (point != std::string_view::npos && !ungroupFraction(number.substr(point + 1), fraction)) {
    return refuse(t, "", shown);
  }

  std::string digits;
  if (!readGroupedDigits(whole, sep.thousands, digits)) {
    const bool onlyNumberChars = std::all_of(whole.begin(), whole.end(), [&](char c) {
      return isDigit(c) || c == sep.thousands || c == '.' || c == ',';
    });
    return refuse(
        t, onlyNumberChars ? "thousands separators go between groups of three digits" : "", shown);
  }
  if (!std::all_of(fraction.begin(), fraction.end(), isDigit)) return refuse(t, "", shown);
  if (digits.empty() && fraction.empty()) return refuse(t, "", shown);

  // The fraction's digits past the unit's hertz are sub-hertz: only zeros.
  std::string fracDigits(fraction);
  while (fracDigits.size() > static_cast<std::size_t>(exponent)) {
    if (fracDigits.back() != '0') return refuse(t, "finer than 1 Hz", shown);
    fracDigits.pop_back();
  }
  fracDigits.append(static_cast<std::size_t>(exponent) - fracDigits.size(), '0');
  digits += fracDigits;
  digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));

  constexpr std::int64_t kLargest = std::numeric_limits<std::int32_t>::max();
  std::int64_t hz = 0;
  for (char c : digits) {
    hz = hz * 10 + (c - '0');
    if (hz > kLargest) return refuse(t, "too large", shown);
  }
  if (hz == 0) return refuse(t, "zero", shown);
  TypedFrequency r;
  r.kind = TypedFrequency::Kind::Value;
  r.hz = hz;
  if (!unitTyped) r.bareNumber = std::string(number);
  return r;
}

std::span<const FrequencyRange> everyRadiosRanges() {
  static const std::vector<FrequencyRange> all = [] {
    std::vector<FrequencyRange> ranges;
    for (const RigModel& model : supportedModels()) {
      for (const FrequencyRange& r : receiveRanges(model.modelIndex)) ranges.push_back(r);
    }
    std::sort(ranges.begin(), ranges.end(),
              [](const FrequencyRange& a, const FrequencyRange& b) { return a.low < b.low; });
    // Overlapping ranges join, so that a message lists each span once.
    std::vector<FrequencyRange> joined;
    for (const FrequencyRange& r : ranges) {
      if (!joined.empty() && r.low <= joined.back().high) {
        joined.back().high = std::max(joined.back().high, r.high);
      } else {
        joined.push_back(r);
      }
    }
    return joined;
  }();
  return all;
}

std::string describeRange(const FrequencyRange& range, Separators sep) {
  std::string low = describeHz(range.low, sep.decimal);
  const std::string high = describeHz(range.high, sep.decimal);
  // "108-174 MHz" rather than "108 MHz-174 MHz".
  const std::size_t space = low.rfind(' ');
  if (low.substr(space) == high.substr(high.rfind(' '))) low.erase(space);
  return low + "-" + high;
}

TypedFrequency checkInRanges(TypedFrequency typed, std::span<const FrequencyRange> ranges,
                             std::string_view whose, Separators sep, FrequencyUnit shown) {
  if (typed.kind != TypedFrequency::Kind::Value) return typed;
  if (ranges.empty() || inRanges(ranges, typed.hz)) {
    // 145.5 kHz is long wave, where few hams go; 145.5 MHz is 2 m.
    const std::int64_t asMegahertz = typed.hz * 1000;
    if (shown == FrequencyUnit::kHz && !typed.bareNumber.empty() &&
        asMegahertz <= std::numeric_limits<std::int32_t>::max() &&
        inRanges(everyRadiosRanges(), asMegahertz)) {
      typed.note.append(typed.bareNumber).append(" kHz. Type ").append(typed.bareNumber);
      typed.note.append("M for MHz.");
    }
    return typed;
  }
  std::string list;
  for (const FrequencyRange& r : ranges) {
    if (!list.empty()) list += ", ";
    list += describeRange(r, sep);
  }
  TypedFrequency r;
  r.kind = TypedFrequency::Kind::Refused;
  r.reason = describeHz(typed.hz, sep.decimal);
  r.reason.append(" is outside ").append(whose).append(" ranges (").append(list);
  if (shown == FrequencyUnit::MHz) {
    r.reason.append("). Without a unit it is MHz: type 7074 kHz for kHz.");
  } else {
    r.reason.append("). Without a unit it is kHz: type 14").append(1, sep.decimal);
    r.reason.append("195 MHz for MHz.");
  }
  return r;
}

}  // namespace tarnwick
