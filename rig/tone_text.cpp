#include "rig/tone_text.h"

#include <cstdint>

#include "rig/text_trim.h"

namespace tarnwick {
namespace {

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

}  // namespace

int parseToneTenths(std::string_view text, Separators sep) {
  text = trimmed(text, Blanks::SpaceOrTab);

  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  // Mantissa digits without the separator, and how many stood before it.
  std::string digits;
  std::int64_t pointPos = -1;
  for (; i < text.size(); ++i) {
    if (isDigit(text[i])) {
      digits.push_back(text[i]);
    } else if (text[i] == sep.decimal && pointPos < 0) {
      pointPos = static_cast<std::int64_t>(digits.size());
    } else {
      break;
    }
  }
  if (digits.empty()) return -1;
  if (pointPos < 0) pointPos = static_cast<std::int64_t>(digits.size());
  std::int64_t exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool expNegative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
      expNegative = text[i] == '-';
      ++i;
    }
    if (i == text.size()) return -1;
    for (; i < text.size() && isDigit(text[i]); ++i) {
      if (exponent < 100000) exponent = exponent * 10 + (text[i] - '0');
    }
    if (expNegative) exponent = -exponent;
  }
  if (i != text.size()) return -1;

  // Digits standing before the tenths position, counted from the first digit.
  const std::int64_t end = pointPos + exponent + 1;
  std::int64_t tenths = 0;
  bool any = false;
  for (std::int64_t k = 0; k < end; ++k) {
    const int d = k < static_cast<std::int64_t>(digits.size())
                      ? digits[static_cast<std::size_t>(k)] - '0'
                      : 0;
    // Only the last six digits reach the radio; keep the value bounded.
    tenths = (tenths * 10 + d) % 1000000;
    any = any || d != 0;
    if (k > 1000000) break;
  }
  if (negative && (tenths != 0 || any)) return -1;
  return static_cast<int>(tenths);
}

std::array<Byte, 3> encodeTone(std::string_view text, Separators sep) {
  int tenths = parseToneTenths(text, sep);
  if (tenths < 0) tenths = kDefaultToneTenths;
  return encodeBcd6(tenths);
}

std::string toneText(int tenths, Separators sep) {
  if (tenths < 0) tenths = 0;
  std::string s = std::to_string(tenths / 10);
  s.push_back(sep.decimal);
  s.push_back(static_cast<char>('0' + tenths % 10));
  if (s.size() < 4) s.insert(0, 4 - s.size(), ' ');
  return s;
}

}  // namespace tarnwick
