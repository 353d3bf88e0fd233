#include "rig/tone_text.h"

#include <gtest/gtest.h>

#include "rig/frequency_text.h"
#include "tests/support/locales.h"

namespace tarnwick {
namespace {

class ToneText : public ::testing::TestWithParam<Separators> {
 protected:
  Separators sep() const { return GetParam(); }
  std::string local(std::string_view pointText) const { return localizeDecimal(pointText, sep()); }
};

TEST_P(ToneText, EncodesTextAsTenths) {
  EXPECT_EQ(encodeTone(local("67.0"), sep()), (std::array<Byte, 3>{0x00, 0x06, 0x70}));
  EXPECT_EQ(encodeTone(local("69.2"), sep()), (std::array<Byte, 3>{0x00, 0x06, 0x92}));
  EXPECT_EQ(encodeTone(local("254.1"), sep()), (std::array<Byte, 3>{0x00, 0x25, 0x41}));
  EXPECT_EQ(encodeTone("100", sep()), (std::array<Byte, 3>{0x00, 0x10, 0x00}));
  // Further digits are dropped, never rounded up.
  EXPECT_EQ(parseToneTenths(local("88.59"), sep()), 885);
}

TEST_P(ToneText, UnreadableTextsBecome885) {
  for (std::string_view t : {"", "abc", "-", "88,5x", "1e", "-67.0"}) {
    EXPECT_EQ(encodeTone(t, sep()), (std::array<Byte, 3>{0x00, 0x08, 0x85})) << t;
  }
}

TEST_P(ToneText, EveryTableToneIsExact) {
  // A floating-point multiply would lose a tenth on several of these.
  for (std::string_view t : toneTable) {
    const std::string text = local(t);
    const auto [whole, frac] = splitAtChar(t, '.');
    const int expected = std::stoi(whole) * 10 + (frac[0] - '0');
    EXPECT_EQ(parseToneTenths(text, sep()), expected) << text;
    EXPECT_EQ(toneText(expected, sep()), text);
  }
}

TEST_P(ToneText, EveryTenthRoundTrips) {
  for (int tenths = 0; tenths <= 99999; ++tenths) {
    ASSERT_EQ(parseToneTenths(toneText(tenths, sep()), sep()), tenths);
  }
}

TEST_P(ToneText, ExponentsAndBlanksAreRead) {
  EXPECT_EQ(parseToneTenths(" " + local("6.93") + "E1 ", sep()), 693);
  EXPECT_EQ(parseToneTenths("693e-1", sep()), 693);
}

TEST_P(ToneText, TextIsAtLeastFourWide) {
  EXPECT_EQ(toneText(885, sep()), local("88.5"));
  EXPECT_EQ(toneText(1000, sep()), local("100.0"));
  EXPECT_EQ(toneText(85, sep()), local(" 8.5"));
}

INSTANTIATE_TEST_SUITE_P(Locales, ToneText, testing::bothLocales(), testing::localeName);

}  // namespace
}  // namespace tarnwick
