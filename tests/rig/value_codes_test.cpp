#include "rig/value_codes.h"

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

TEST(ModeCodes, DecodeUsesDataFlagAndSourceAddress) {
  EXPECT_EQ(modeName(decodeMode(0x56, 0x01, 0x00)), "USB");
  EXPECT_EQ(modeName(decodeMode(0x56, 0x01, 0x10)), "USB-D");
  EXPECT_EQ(modeName(decodeMode(0x56, 0x00, 0x10)), "LSB-D");
  EXPECT_EQ(modeName(decodeMode(0x56, 0x02, 0x10)), "AM-D");
  EXPECT_EQ(modeName(decodeMode(0x56, 0x05, 0x10)), "FM-D");
  EXPECT_EQ(modeName(decodeMode(0x56, 0x05, 0x00)), "FM");
  // Address 08 reads mode 05 as SSB, data flag or not.
  EXPECT_EQ(modeName(decodeMode(0x08, 0x05, 0x10)), "SSB");
  // Modes without a data variant ignore the flag.
  EXPECT_EQ(modeName(decodeMode(0x56, 0x03, 0x10)), "CW");
  EXPECT_EQ(modeName(decodeMode(0x56, 0x11, 0x00)), "S-AM");
  EXPECT_EQ(decodeMode(0x56, 0x09, 0x00), kModeEmpty);
  EXPECT_EQ(decodeMode(0x56, 0xFF, 0x00), kModeEmpty);
}

TEST(ModeCodes, EncodeAndDecodeAgree) {
  for (ModeIndex m = 0; m < 16; ++m) {
    if (m == 2 || m == kModeEmpty) continue;  // no mode byte of their own
    const EncodedMode e = encodeMode(m);
    EXPECT_EQ(decodeMode(0x56, e.modeByte, e.dataFlag), m) << modeName(m);
  }
  EXPECT_EQ(encodeMode(2).modeByte, 0x00);
  EXPECT_EQ(encodeMode(kModeEmpty).modeByte, 0x00);
  EXPECT_EQ(encodeMode(99).modeByte, 0x00);
  EXPECT_EQ(encodeMode(99).dataFlag, 0);
}

TEST(ModeCodes, TextLookupIsExact) {
  EXPECT_EQ(modeIndexOf("USB"), 1);
  EXPECT_EQ(modeIndexOf("usb"), kModeEmpty);
  EXPECT_EQ(modeIndexOf(""), kModeEmpty);
  EXPECT_EQ(modeIndexOf("FM-D"), 14);
  EXPECT_EQ(modeName(-1), "");
  EXPECT_EQ(modeName(16), "");
}

TEST(FilterCodes, DefaultRule) {
  EXPECT_EQ(filterName(decodeFilter(0x56, 0x01, 0x01)), "Wide");
  EXPECT_EQ(filterName(decodeFilter(0x56, 0x01, 0x02)), "Normal");
  EXPECT_EQ(filterName(decodeFilter(0x56, 0x01, 0x03)), "Narrow");
  EXPECT_EQ(decodeFilter(0x56, 0x01, 0x00), kFilterEmpty);
  for (FilterIndex f = 0; f < 3; ++f) EXPECT_EQ(decodeFilter(0x5C, 0x00, encodeFilter(f)), f);
  EXPECT_EQ(encodeFilter(kFilterEmpty), 0x02);
  EXPECT_EQ(filterIndexOf("narrow"), kFilterEmpty);
}

TEST(FilterCodes, AddressesWithRulesOfTheirOwn) {
  EXPECT_EQ(decodeFilter(0x08, 0x05, 0x00), 1);
  EXPECT_EQ(decodeFilter(0x08, 0x02, 0x07), 2);
  EXPECT_EQ(decodeFilter(0x08, 0x05, 0x02), 2);
  EXPECT_EQ(decodeFilter(0x08, 0x01, 0x02), kFilterEmpty);
  EXPECT_EQ(decodeFilter(0x26, 0x01, 0x02), 2);
  EXPECT_EQ(decodeFilter(0x26, 0x01, 0x01), kFilterEmpty);
  EXPECT_EQ(decodeFilter(0x2A, 0x06, 0x09), 1);
  EXPECT_EQ(decodeFilter(0x2A, 0x05, 0x02), kFilterEmpty);
  EXPECT_EQ(decodeFilter(0x4A, 0x06, 0x00), 1);
  EXPECT_EQ(decodeFilter(0x4A, 0x02, 0x01), 2);
  EXPECT_EQ(decodeFilter(0x4A, 0x02, 0x02), 1);
  EXPECT_EQ(decodeFilter(0x4A, 0x02, 0x03), 0);
  EXPECT_EQ(decodeFilter(0x4A, 0x03, 0x02), 2);
  EXPECT_EQ(decodeFilter(0x4A, 0x05, 0x01), 1);
  EXPECT_EQ(decodeFilter(0x4A, 0x04, 0x01), kFilterEmpty);
}

TEST(DuplexAndBand, TextsAndCodes) {
  EXPECT_EQ(duplexText(1), "DUP-");
  EXPECT_EQ(duplexText(3), "Split");
  EXPECT_EQ(duplexText(0), "Simp");
  EXPECT_EQ(duplexText(7), "Simp");
  EXPECT_EQ(duplexCodeOf("DUP-"), 1);
  EXPECT_EQ(duplexCodeOf("DUP+"), 2);
  EXPECT_EQ(duplexCodeOf("Split"), 3);
  EXPECT_EQ(duplexCodeOf("Simplex"), 0);
  EXPECT_EQ(duplexCodeOf(""), 0);
  EXPECT_EQ(duplexCodeOf("dup-"), 0);
  EXPECT_EQ(bankCodeOf("144 MHz"), 1);
  EXPECT_EQ(bankCodeOf("430 MHz"), 2);
  EXPECT_EQ(bankCodeOf("1240 MHz"), 3);
  EXPECT_EQ(bankCodeOf("430"), 1);
}

}  // namespace
}  // namespace tarnwick
