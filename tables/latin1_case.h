#pragma once
// Case-insensitive handling of Latin-1 texts, one character per byte.

#include <string_view>

namespace tarnwick {

// A-Z and the accented capitals 0xC0..0xDE (but not the multiplication sign
// 0xD7) have their small letter 0x20 above.
constexpr char lowerLatin1(char c) {
  const auto u = static_cast<unsigned char>(c);
  if ((u >= 'A' && u <= 'Z') || (u >= 0xC0 && u <= 0xDE && u != 0xD7)) {
    return static_cast<char>(u + 0x20);
  }
  return c;
}

// <0, 0 or >0 as a is before, equal to or after b, ignoring case; bytes
// compare unsigned.
constexpr int compareNoCase(std::string_view a, std::string_view b) {
  const std::size_t n = a.size() < b.size() ? a.size() : b.size();
  for (std::size_t i = 0; i < n; ++i) {
    const auto x = static_cast<unsigned char>(lowerLatin1(a[i]));
    const auto y = static_cast<unsigned char>(lowerLatin1(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace tarnwick
