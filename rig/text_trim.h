#pragma once
// Blanks off the ends of a text. Which bytes count as blank differs by
// source: a typed field or cell strips spaces, a number field also tabs,
// a radio's name or a line read from a file every control byte as well, so
// each caller says which.

#include <string_view>

namespace tarnwick {

enum class Blanks {
  Space,           // ' '
  SpaceOrTab,      // ' ', '\t'
  SpaceOrControl,  // ' ' and every byte below it
};

namespace trim_detail {
constexpr bool isBlank(char c, Blanks blanks) {
  switch (blanks) {
    case Blanks::Space:
      return c == ' ';
    case Blanks::SpaceOrTab:
      return c == ' ' || c == '\t';
    case Blanks::SpaceOrControl:
      return static_cast<unsigned char>(c) <= ' ';
  }
  return false;
}
}  // namespace trim_detail

constexpr std::string_view trimmedLeft(std::string_view text, Blanks blanks = Blanks::Space) {
  while (!text.empty() && trim_detail::isBlank(text.front(), blanks)) text.remove_prefix(1);
  return text;
}

constexpr std::string_view trimmedRight(std::string_view text, Blanks blanks = Blanks::Space) {
  while (!text.empty() && trim_detail::isBlank(text.back(), blanks)) text.remove_suffix(1);
  return text;
}

constexpr std::string_view trimmed(std::string_view text, Blanks blanks = Blanks::Space) {
  return trimmedRight(trimmedLeft(text, blanks), blanks);
}

}  // namespace tarnwick
