#include "rig/frequency_text.h"

#include <charconv>
#include <limits>

#include "rig/value_codes.h"

namespace tarnwick {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// Whole text as a signed decimal integer; nullopt-like via `ok`.
bool readWholeInteger(std::string_view t, std::int64_t& value, bool& overflow) {
  overflow = false;
  std::size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
    negative = t[i] == '-';
    ++i;
  }
  if (i == t.size()) return false;
  std::int64_t v = 0;
  for (; i < t.size(); ++i) {
    if (!isDigit(t[i])) return false;
    v = v * 10 + (t[i] - '0');
    if (v > std::numeric_limits<std::int32_t>::max() + std::int64_t{1}) {
      overflow = true;
      // Keep scanning so that a later invalid character still counts as invalid.
      v = std::numeric_limits<std::int32_t>::max() + std::int64_t{1};
    }
  }
  value = negative ? -v : v;
  if (value > std::numeric_limits<std::int32_t>::max() ||
      value < std::numeric_limits<std::int32_t>::min()) {
    overflow = true;
  }
  return true;
}

// Reads a signed integer prefix; what could be read counts.
std::int64_t readIntegerPrefix(std::string_view t) {
  std::size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
    negative = t[i] == '-';
    ++i;
  }
  std::int64_t v = 0;
  for (; i < t.size() && isDigit(t[i]); ++i) v = v * 10 + (t[i] - '0');
  return negative ? -v : v;
}

}  // namespace

std::string formatFrequency(std::int32_t hz, std::string_view modeText, Separators sep) {
  const bool negative = hz < 0;
  const std::int64_t a = negative ? -static_cast<std::int64_t>(hz) : hz;
  const std::int64_t khz = a / 1000;
  const int frac = static_cast<int>(a % 1000);

  int decimals = 2;
  if (frac % 10 != 0) {
    decimals = 3;
  } else if (frac == 0 && isWholeKhzMode(modeText)) {
    decimals = 0;
  }

  std::string digits = std::to_string(khz);
  std::string body;
  body.reserve(digits.size() + digits.size() / 3 + 5);
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) body.push_back(sep.thousands);
    body.push_back(digits[i]);
  }
  if (decimals > 0) {
    body.push_back(sep.decimal);
    const char f[3] = {static_cast<char>('0' + frac / 100), static_cast<char>('0' + frac / 10 % 10),
                       static_cast<char>('0' + frac % 10)};
    body.append(f, static_cast<std::size_t>(decimals));
  }
  if (negative) body.insert(body.begin(), '-');
  constexpr std::size_t kWidth = 11;
  if (body.size() < kWidth) body.insert(0, kWidth - body.size(), ' ');
  return body;
}

namespace {

// Whole MHz with thousands separators, the decimal separator, and three
// decimals, or six where hertz below a kHz count (grouped by `space` when
// it is not 0).
std::string megahertzText(std::int32_t hz, Separators sep, char thousands, char space) {
  const std::int64_t a = hz < 0 ? -static_cast<std::int64_t>(hz) : hz;
  const std::string digits = std::to_string(a / 1'000'000);
  std::string out;
  if (hz < 0) out.push_back('-');
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (thousands != 0 && i > 0 && (digits.size() - i) % 3 == 0) out.push_back(thousands);
    out.push_back(digits[i]);
  }
  const std::string frac = std::to_string(a % 1'000'000 + 1'000'000).substr(1);
  out.push_back(sep.decimal);
  out.append(frac, 0, 3);
  if (a % 1000 != 0) {
    if (space != 0) out.push_back(space);
    out.append(frac, 3, 3);
  }
  return out;
}

}  // namespace

std::string formatMegahertz(std::int32_t hz, Separators sep) {
  return megahertzText(hz, sep, sep.thousands, ' ');
}

std::string shownFrequency(std::string_view cellText, FrequencyUnit unit, Separators sep) {
  if (unit == FrequencyUnit::kHz) return std::string(cellText);
  const std::int32_t hz = parseFrequency(cellText, sep);
  return hz < 1 ? std::string(cellText) : formatMegahertz(hz, sep);
}

std::string frequencyEditText(std::string_view cellText, FrequencyUnit unit, Separators sep) {
  const std::int32_t hz = parseFrequency(cellText, sep);
  if (unit == FrequencyUnit::kHz || hz < 1) return keepNumberChars(cellText, sep);
  return megahertzText(hz, sep, 0, 0);
}

std::string keepNumberChars(std::string_view text, Separators sep) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (isDigit(c) || c == '+' || c == '-' || c == sep.decimal) out.push_back(c);
  }
  return out;
}

std::pair<std::string, std::string> splitAtChar(std::string_view text, char ch) {
  const std::size_t p = text.find(ch);
  if (p == std::string_view::npos) return {std::string(text), std::string()};
  return {std::string(text.substr(0, p)), std::string(text.substr(p + 1))};
}

std::int32_t parseFrequency(std::string_view text, Separators sep) {
  const std::string t = keepNumberChars(text, sep);
  std::string_view whole = t;
  std::string fraction = "0";
  const std::size_t p = t.find(sep.decimal);
  if (p != std::string::npos) {
    whole = std::string_view(t).substr(0, p);
    fraction = t.substr(p + 1, 3);
    fraction.append(3 - fraction.size(), '0');
  }
  std::int64_t kHz = 0;
  bool overflow = false;
  // A minus sign before the whole part makes the whole value negative, "-0.5"
  // and "-.5" included.
  if (whole == "-") return 0;
  if (readWholeInteger(whole, kHz, overflow)) {
    if (overflow || whole.front() == '-') return 0;
  } else {
    kHz = 0;
  }
  const std::int64_t hz = kHz * 1000 + readIntegerPrefix(fraction);
  if (hz < 0 || hz > std::numeric_limits<std::int32_t>::max()) return 0;
  return static_cast<std::int32_t>(hz);
}

std::string localizeDecimal(std::string_view text, Separators sep) {
  std::string out(text);
  std::size_t p = out.find('.');
  if (p == std::string::npos) p = out.find(',');
  if (p != std::string::npos) out[p] = sep.decimal;
  return out;
}

}  // namespace tarnwick
