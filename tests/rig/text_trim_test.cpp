#include "rig/text_trim.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

using namespace std::literals;

// Each set strips only its own bytes, from the ends only; Latin-1 letters
// above 0x7F are never blanks, whatever the sign of char.
TEST(TextTrim, EachSetStripsItsOwnBlanksFromTheEnds) {
  const std::string_view text = "\t \r\xE9 a b\xE9\0 \t"sv;
  EXPECT_EQ(trimmed(text), text);  // a tab at both ends: nothing for spaces alone
  EXPECT_EQ(trimmed(text, Blanks::SpaceOrTab), "\r\xE9 a b\xE9\0"sv);
  EXPECT_EQ(trimmed(text, Blanks::SpaceOrControl), "\xE9 a b\xE9");
  EXPECT_EQ(trimmedLeft(text, Blanks::SpaceOrControl), "\xE9 a b\xE9\0 \t"sv);
  EXPECT_EQ(trimmedRight(text, Blanks::SpaceOrControl), "\t \r\xE9 a b\xE9");
  EXPECT_EQ(trimmed(" \x7F "), "\x7F");
  EXPECT_EQ(trimmed("   "), "");
  EXPECT_EQ(trimmed("\n\0"sv, Blanks::SpaceOrControl), "");
}

}  // namespace
}  // namespace tarnwick
