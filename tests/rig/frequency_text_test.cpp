#include "rig/frequency_text.h"
#include "rig/frequency_input.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <limits>
#include <vector>

#include "rig/receive_ranges.h"
#include "rig/rig_catalogue.h"
#include "rig/value_codes.h"
#include "tests/support/locales.h"

namespace tarnwick {
namespace {

// Runs every case under a point locale and a comma locale. Expected texts are
// written with "," thousands and "." decimals and translated per locale.
class FrequencyText : public ::testing::TestWithParam<Separators> {
 protected:
  Separators sep() const { return GetParam(); }
  std::string local(std::string_view english) const {
    std::string s(english);
    for (char& c : s) {
      if (c == ',') {
        c = sep().thousands;
      } else if (c == '.') {
        c = sep().decimal;
      }
    }
    return s;
  }
  struct Formatted {
    std::int32_t hz;
    std::string_view mode;
    std::string_view english;  // as local() takes it
  };
  void expectFormatted(std::initializer_list<Formatted> cases) const {
    for (const Formatted& c : cases) {
      EXPECT_EQ(formatFrequency(c.hz, c.mode, sep()), local(c.english)) << c.hz << " " << c.mode;
    }
  }
};

TEST_P(FrequencyText, FormatsRoundValuesAsBefore) {
  expectFormatted({
      {14195000, "USB", "  14,195.00"},
      {145500000, "FM", "    145,500"},
      {7050000, "LSB", "   7,050.00"},
      {7050000, "FM", "      7,050"},
      {1240000000, "FM-D", "  1,240,000"},
      {0, "USB", "       0.00"},
      {0, "AM", "          0"},
      {999000, "WFM", "        999"},
  });
}

TEST_P(FrequencyText, KeepsEveryHertz) {
  // 0 decimals only for whole kHz; 3 where 2 would drop a digit.
  expectFormatted({
      {145512500, "FM", " 145,512.50"},
      {145512510, "FM", " 145,512.51"},
      {14195001, "USB", " 14,195.001"},
      {2147483647, "CW", "2,147,483.647"},
      {1, "", "      0.001"},
  });
}

TEST_P(FrequencyText, NegativeValuesKeepTheirSign) {
  expectFormatted({{-550000, "FM", "       -550"}, {-1234567, "USB", " -1,234.567"}});
}

TEST_P(FrequencyText, ParsesDisplayAndTypedTexts) {
  EXPECT_EQ(parseFrequency(local("  14,195.00"), sep()), 14195000);
  EXPECT_EQ(parseFrequency(local("145.5"), sep()), 145500);
  EXPECT_EQ(parseFrequency("7050", sep()), 7050000);
  EXPECT_EQ(parseFrequency(local("7050.1234"), sep()), 7050123);
  EXPECT_EQ(parseFrequency(local("+7050.5"), sep()), 7050500);
  EXPECT_EQ(parseFrequency(local("kHz 7,050.00 x"), sep()), 7050000);
  EXPECT_EQ(parseFrequency(local(".5"), sep()), 500);
}

TEST_P(FrequencyText, TextsWithoutValueAreBlank) {
  for (std::string_view t : {"", "   ", "abc", "0", "-", "+", ".", "0.000"}) {
    EXPECT_EQ(parseFrequency(local(t), sep()), 0) << t;
  }
}

TEST_P(FrequencyText, OddSignsFollowTheDigitRules) {
  // The whole part is not an integer: it counts 0, the fraction still counts.
  EXPECT_EQ(parseFrequency(local("1-2.5"), sep()), 500);
  // The fraction is read up to the first character that cannot continue it.
  EXPECT_EQ(parseFrequency(local("14.1-5"), sep()), 14001);
  EXPECT_EQ(parseFrequency(local("14.-5"), sep()), 13950);
}

TEST_P(FrequencyText, NegativeAndOversizedTextsAreBlank) {
  EXPECT_EQ(parseFrequency("-145", sep()), 0);
  EXPECT_EQ(parseFrequency(local("-0.5"), sep()), 0);
  EXPECT_EQ(parseFrequency(local("-.5"), sep()), 0);  // not +500 Hz
  EXPECT_EQ(parseFrequency(local("2,147,483.647"), sep()), 2147483647);
  EXPECT_EQ(parseFrequency(local("2,147,483.648"), sep()), 0);
  EXPECT_EQ(parseFrequency("2147484", sep()), 0);
  EXPECT_EQ(parseFrequency("99999999999999999999999999", sep()), 0);
  EXPECT_EQ(parseFrequency("-2147483648", sep()), 0);
}

TEST_P(FrequencyText, RoundTripsEveryModeOverADenseSample) {
  std::vector<std::int32_t> sample;
  for (std::int32_t hz = 0; hz < 3000; ++hz) sample.push_back(hz);
  for (std::int64_t base : {1000LL, 999000LL, 1000000LL, 7050000LL, 14195000LL, 145500000LL,
                            999999000LL, 1000000000LL, 1240000000LL, 1999999000LL, 2000000000LL}) {
    for (std::int64_t d = -1500; d <= 1500; ++d) {
      if (base + d >= 0) sample.push_back(static_cast<std::int32_t>(base + d));
    }
  }
  for (std::int64_t hz = 2147483647LL - 3000; hz <= 2147483647LL; ++hz) {
    sample.push_back(static_cast<std::int32_t>(hz));
  }
  for (std::int64_t hz = 0; hz <= 2147483647LL; hz += 7777777) {
    sample.push_back(static_cast<std::int32_t>(hz));
  }
  for (std::string_view mode : kModeTable) {
    for (std::int32_t hz : sample) {
      ASSERT_EQ(parseFrequency(formatFrequency(hz, mode, sep()), sep()), hz) << hz << " " << mode;
    }
  }
}

TEST_P(FrequencyText, KeepNumberChars) {
  EXPECT_EQ(keepNumberChars(local("  14,074.00"), sep()), local("14074.00").substr(0));
  EXPECT_EQ(keepNumberChars("a+b-c 1x2", sep()), "+-12");
}

TEST_P(FrequencyText, LocalizeDecimalReplacesTheFirstSeparator) {
  EXPECT_EQ(localizeDecimal("67.0", sep()), std::string("67") + sep().decimal + "0");
  EXPECT_EQ(localizeDecimal("67,0", sep()), std::string("67") + sep().decimal + "0");
  EXPECT_EQ(localizeDecimal("1.2.3", sep()), std::string("1") + sep().decimal + "2.3");
  EXPECT_EQ(localizeDecimal("670", sep()), "670");
}

INSTANTIATE_TEST_SUITE_P(Locales, FrequencyText, testing::bothLocales(), testing::localeName);

TEST(FrequencyTextLocales, SeparatorsDecideTheReading) {
  // The same text reads differently under the two locales.
  EXPECT_EQ(parseFrequency("14.195,00", Separators::comma()), 14195000);
  EXPECT_EQ(parseFrequency("14.195,00", Separators::point()), 14195);
}

TEST(FrequencyTextLocales, InstalledSeparatorsAreTheDefault) {
  ScopedSeparators comma(Separators::comma());
  EXPECT_EQ(Separators::current(), Separators::comma());
  EXPECT_EQ(formatFrequency(14195000, "USB"), "  14.195,00");
  {
    ScopedSeparators point(Separators::point());
    EXPECT_EQ(parseFrequency("14,195.00"), 14195000);
  }
  EXPECT_EQ(Separators::current(), Separators::comma());
}

TEST(SplitAtChar, SplitsAtTheFirstOccurrence) {
  EXPECT_EQ(splitAtChar("a.b.c", '.'), (std::pair<std::string, std::string>{"a", "b.c"}));
  EXPECT_EQ(splitAtChar("abc", '.'), (std::pair<std::string, std::string>{"abc", ""}));
  EXPECT_EQ(splitAtChar(".", '.'), (std::pair<std::string, std::string>{"", ""}));
}

// What a user types: kHz by default, a unit where given, and nothing that
// could be a typo taken as a value.
TEST_P(FrequencyText, TypedFrequenciesAreReadOnlyWhenCertain) {
  const auto hz = [&](std::string_view text) {
    const TypedFrequency t = readTypedFrequency(text, sep());
    return t.kind == TypedFrequency::Kind::Value ? t.hz : -1;
  };
  EXPECT_EQ(hz(local("14,195.00")), 14'195'000);
  EXPECT_EQ(hz(" 7074 "), 7'074'000);
  EXPECT_EQ(hz(local("14.195 MHz")), 14'195'000);
  EXPECT_EQ(hz("14.195 mhz"), 14'195'000);  // a single point is a decimal point everywhere
  EXPECT_EQ(hz(local("145.5M")), 145'500'000);
  EXPECT_EQ(hz("7074 kHz"), 7'074'000);
  EXPECT_EQ(hz(local("1.2965 GHz")), 1'296'500'000);
  EXPECT_EQ(hz("14195000 Hz"), 14'195'000);
  EXPECT_EQ(hz(local("1,296,200.000")), 1'296'200'000);
  EXPECT_EQ(hz(local("14.1950001 MHz")), -1);  // finer than a hertz
  for (std::string_view bad :
       {"abc", "1e3", "1,23,456", "1,2345", "-7050", "0", "3000000000", "7 km", "."}) {
    EXPECT_EQ(hz(local(bad)), -1) << bad;
  }
  EXPECT_EQ(readTypedFrequency("  ", sep()).kind, TypedFrequency::Kind::Blank);

  // The permanent file takes any radio's range, so a VHF value is fine there
  // while kHz typed as MHz is not.
  const TypedFrequency low = checkInRanges(readTypedFrequency(local("14.195"), sep()),
                                           everyRadiosRanges(), "every radio's", sep());
  ASSERT_TRUE(low.refused());
  EXPECT_NE(low.reason.find(local("14.195 kHz is outside")), std::string::npos) << low.reason;
  EXPECT_FALSE(checkInRanges(readTypedFrequency("145500", sep()), everyRadiosRanges(), "x", sep())
                   .refused());

  // With MHz shown, a bare number is MHz; a unit still says what it is.
  const auto mhz = [&](std::string_view text) {
    const TypedFrequency t = readTypedFrequency(text, sep(), FrequencyUnit::MHz);
    return t.kind == TypedFrequency::Kind::Value ? t.hz : -1;
  };
  EXPECT_EQ(mhz("7074k"), 7'074'000);
  EXPECT_EQ(mhz(local("14.195 500")), 14'195'500);
  EXPECT_EQ(mhz(local("14.19 500")), -1);
  const auto onIc7300 = [&](std::string_view text, FrequencyUnit unit) {
    return checkInRanges(readTypedFrequency(text, sep(), unit), receiveRanges(kModelIc7300),
                         "the IC-7300's", sep(), unit);
  };
  // kHz that read as a band's MHz too are taken, with a word on MHz.
  const TypedFrequency lookalike = onIc7300(local("145.5"), FrequencyUnit::kHz);
  EXPECT_EQ(lookalike.hz, 145'500);
  EXPECT_EQ(lookalike.note, local("145.5") + " kHz. Type " + local("145.5") + "M for MHz.");
  EXPECT_EQ(onIc7300(local("145.5k"), FrequencyUnit::kHz).note, "");
  EXPECT_EQ(onIc7300("7074", FrequencyUnit::kHz).note, "");
  EXPECT_EQ(onIc7300(local("145.5"), FrequencyUnit::MHz).note, "");
  const TypedFrequency far = onIc7300("1000", FrequencyUnit::MHz);
  ASSERT_TRUE(far.refused());
  EXPECT_NE(far.reason.find("Without a unit it is MHz"), std::string::npos) << far.reason;
}

TEST_P(FrequencyText, MegahertzAreShownAsHamsWriteThem) {
  EXPECT_EQ(formatMegahertz(145'500'000, sep()), local("145.500"));
  EXPECT_EQ(formatMegahertz(1'296'100'000, sep()), local("1,296.100"));
  EXPECT_EQ(formatMegahertz(14'195'500, sep()), local("14.195 500"));
  EXPECT_EQ(shownFrequency(local("  14,195.00"), FrequencyUnit::MHz, sep()), local("14.195"));
  EXPECT_EQ(shownFrequency("abc", FrequencyUnit::MHz, sep()), "abc");
  // The editor's text reads back as the same value.
  EXPECT_EQ(frequencyEditText(local("   7,074.25"), FrequencyUnit::MHz, sep()), local("7.074250"));
  EXPECT_EQ(frequencyEditText(local("   7,074.25"), FrequencyUnit::kHz, sep()), local("7074.25"));
  EXPECT_EQ(readTypedFrequency(local("7.074250"), sep(), FrequencyUnit::MHz).hz, 7'074'250);
}

}  // namespace
}  // namespace tarnwick
