#include "chirp/text_folding.h"

#include <array>

namespace tarnwick {
namespace {

// Plain spellings of U+00C0..U+017F: the Latin-1 letters and Latin Extended-A.
constexpr std::array<std::string_view, 0x180 - 0xC0> kLatinLetters{
    "A", "A", "A",  "A",  "A", "A", "AE", "C",  "E",  "E", "E", "E", "I",  "I",  "I", "I", "D", "N",
    "O", "O", "O",  "O",  "O", "x", "O",  "U",  "U",  "U", "U", "Y", "TH", "ss", "a", "a", "a", "a",
    "a", "a", "ae", "c",  "e", "e", "e",  "e",  "i",  "i", "i", "i", "d",  "n",  "o", "o", "o", "o",
    "o", "?", "o",  "u",  "u", "u", "u",  "y",  "th", "y", "A", "a", "A",  "a",  "A", "a", "C", "c",
    "C", "c", "C",  "c",  "C", "c", "D",  "d",  "D",  "d", "E", "e", "E",  "e",  "E", "e", "E", "e",
    "E", "e", "G",  "g",  "G", "g", "G",  "g",  "G",  "g", "H", "h", "H",  "h",  "I", "i", "I", "i",
    "I", "i", "I",  "i",  "I", "i", "IJ", "ij", "J",  "j", "K", "k", "q",  "L",  "l", "L", "l", "L",
    "l", "L", "l",  "L",  "l", "N", "n",  "N",  "n",  "N", "n", "n", "N",  "n",  "O", "o", "O", "o",
    "O", "o", "OE", "oe", "R", "r", "R",  "r",  "R",  "r", "S", "s", "S",  "s",  "S", "s", "S", "s",
    "T", "t", "T",  "t",  "T", "t", "U",  "u",  "U",  "u", "U", "u", "U",  "u",  "U", "u", "U", "u",
    "W", "w", "Y",  "y",  "Y", "Z", "z",  "Z",  "z",  "Z", "z", "s"};

// One code point; a byte that does not start a valid sequence is taken as
// Latin-1. Advances `i` past what it read.
char32_t nextCodePoint(std::string_view s, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  int length = 0;
  char32_t cp = 0;
  if (b0 < 0x80) {
    ++i;
    return b0;
  } else if (b0 >= 0xC2 && b0 <= 0xDF) {
    length = 2;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    length = 3;
    cp = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    length = 4;
    cp = b0 & 0x07;
  }
  if (length == 0 || i + static_cast<std::size_t>(length) > s.size()) {
    ++i;
    return b0;
  }
  for (int k = 1; k < length; ++k) {
    const auto b = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return b0;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
  const bool overlong = (length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000);
  if (overlong || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
    ++i;
    return b0;
  }
  i += static_cast<std::size_t>(length);
  return cp;
}

std::string_view plainForm(char32_t cp) {
  if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0)) return " ";
  if (cp >= 0xC0 && cp < 0x180) return kLatinLetters[cp - 0xC0];
  switch (cp) {
    case 0xA0:    // no-break space
    case 0x202F:  // narrow no-break space
    case 0x205F:  // medium mathematical space
    case 0x3000:  // ideographic space
      return " ";
    case 0xAD:    // soft hyphen
    case 0x2212:  // minus sign
      return "-";
    case 0xB4:  // acute accent
      return "'";
    case 0xB5:  // micro sign
      return "u";
    case 0xB7:  // middle dot
      return ".";
    case 0x200B:  // zero width space
    case 0xFEFF:  // zero width no-break space
      return "";
    case 0x2026:
      return "...";
    default:
      break;
  }
  if (cp >= 0x2000 && cp <= 0x200A) return " ";
  if (cp >= 0x2010 && cp <= 0x2015) return "-";
  if (cp >= 0x2018 && cp <= 0x201B) return "'";
  if (cp >= 0x201C && cp <= 0x201F) return "\"";
  return "?";
}

}  // namespace

std::string latin1ToUtf8(std::string_view latin1) {
  std::string out;
  out.reserve(latin1.size());
  for (char c : latin1) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      out.push_back(c);
    } else {
      out.push_back(static_cast<char>(0xC0 | (b >> 6)));
      out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
    }
  }
  return out;
}

std::string foldToPrintableAscii(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const char32_t cp = nextCodePoint(utf8, i);
    if (cp >= 0x20 && cp < 0x7F) {
      out.push_back(static_cast<char>(cp));
    } else {
      out += plainForm(cp);
    }
  }
  return out;
}

std::string escapeControls(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (b < 0x20 || b == 0x7F) {
      out += {'\\', 'x', kHex[b >> 4], kHex[b & 0xF]};
    } else {
      out.push_back(c);
    }
  }
  return out;
}

}  // namespace tarnwick
