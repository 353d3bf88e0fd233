#include "shell/offsets_input.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(OffsetsInput, ShownInWholeKilohertzTruncated) {
  EXPECT_EQ(offsetTexts(DuplexOffsets{}), (OffsetTexts{"100", "500", "600"}));
  EXPECT_EQ(offsetTexts({.hf = 1500, .mhz50 = -1500, .mhz144 = 999}),
            (OffsetTexts{"1", "-1", "0"}));
}

TEST(OffsetsInput, ShownValuesTakenBackGiveWholeKilohertz) {
  // 1500 Hz from the radio shows as 1 and comes back as 1000 Hz.
  const OffsetsInput in = parseOffsetTexts(offsetTexts({.hf = 1500, .mhz50 = 0, .mhz144 = 600000}));
  ASSERT_TRUE(in.offsets);
  EXPECT_EQ(*in.offsets, (DuplexOffsets{.hf = 1000, .mhz50 = 0, .mhz144 = 600000}));
}

TEST(OffsetsInput, DecimalIntegersWithAnOptionalMinus) {
  const OffsetsInput in = parseOffsetTexts({"-600", " 0 ", "007"});
  ASSERT_TRUE(in.offsets) << in.error;
  EXPECT_EQ(*in.offsets, (DuplexOffsets{.hf = -600000, .mhz50 = 0, .mhz144 = 7000}));
  EXPECT_EQ(in.badField, -1);
}

TEST(OffsetsInput, OneBadTextRefusesAllThree) {
  for (const char* bad : {"12.5", "", "-", "+5", "5-", "0x10", "1 000", "--5", "5e3"}) {
    const OffsetsInput in = parseOffsetTexts({"100", bad, "600"});
    EXPECT_FALSE(in.offsets) << bad;
    EXPECT_EQ(in.badField, 1) << bad;
    EXPECT_EQ(in.error, std::string("'") + bad + "' is not a valid integer value");
  }
  // The first bad one is named.
  const OffsetsInput in = parseOffsetTexts({"1", "x", "y"});
  EXPECT_EQ(in.badField, 1);
  EXPECT_EQ(in.error, "'x' is not a valid integer value");
}

TEST(OffsetsInput, HertzMustFit32Bits) {
  ASSERT_TRUE(parseOffsetTexts({"2147483", "-2147483", "0"}).offsets);
  EXPECT_EQ(parseOffsetTexts({"2147483", "-2147483", "0"}).offsets->hf, 2147483000);

  for (const char* big : {"2147484", "-2147484", "2147483647", "-2147483648"}) {
    const OffsetsInput in = parseOffsetTexts({"0", "0", big});
    EXPECT_FALSE(in.offsets) << big;
    EXPECT_EQ(in.badField, 2);
    EXPECT_TRUE(in.error.starts_with("Integer overflow")) << in.error;
    EXPECT_NE(in.error.find(big), std::string::npos) << in.error;
  }
  // Past 32 bits it is no integer at all.
  for (const char* huge : {"2147483648", "99999999999999999999"}) {
    EXPECT_EQ(parseOffsetTexts({huge, "0", "0"}).error,
              std::string("'") + huge + "' is not a valid integer value");
  }
}

}  // namespace
}  // namespace tarnwick
