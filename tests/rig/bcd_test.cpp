#include "rig/bcd.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarnwick {
namespace {

using Bytes = std::vector<Byte>;

TEST(BcdFrequency, DecodesLeastSignificantPairFirst) {
  EXPECT_EQ(decodeBcdFrequency(Bytes{0x00, 0x50, 0x19, 0x14, 0x00}, 0), 14195000);
  // Position counts from the start of the data.
  EXPECT_EQ(decodeBcdFrequency(Bytes{0xAA, 0x00, 0x00, 0x50, 0x45, 0x01}, 1), 145500000);
}

TEST(BcdFrequency, BlankAndInvalidDecodeAsZero) {
  EXPECT_EQ(decodeBcdFrequency(Bytes{0xFF, 0x12, 0x34, 0x56, 0x78}, 0), 0);
  EXPECT_EQ(decodeBcdFrequency(Bytes{0x00, 0x50, 0x1A, 0x14, 0x00}, 0), 0);
  EXPECT_EQ(decodeBcdFrequency(Bytes{0x00, 0x50, 0x19, 0x14, 0xA0}, 0), 0);
  // Too few bytes after the position: never read past the end.
  EXPECT_EQ(decodeBcdFrequency(Bytes{0x00, 0x50, 0x19, 0x14}, 0), 0);
  EXPECT_EQ(decodeBcdFrequency(Bytes{0x00, 0x50, 0x19, 0x14, 0x00}, 1), 0);
  EXPECT_EQ(decodeBcdFrequency(Bytes{}, 7), 0);
}

TEST(BcdFrequency, GigahertzDigitCountsAtMostOne) {
  EXPECT_EQ(decodeBcdFrequency(Bytes{0x00, 0x00, 0x00, 0x00, 0x25}, 0), 1500000000);
  EXPECT_EQ(decodeBcdFrequency(Bytes{0x99, 0x99, 0x99, 0x99, 0x99}, 0), 1999999999);
  EXPECT_EQ(decodeBcdFrequency(Bytes{0x00, 0x00, 0x00, 0x00, 0x10}, 0), 1000000000);
}

TEST(BcdFrequency, EncodesTheLastTenDigits) {
  EXPECT_EQ(encodeBcdFrequency(145500000), (std::array<Byte, 5>{0x00, 0x00, 0x50, 0x45, 0x01}));
  EXPECT_EQ(encodeBcdFrequency(29600000), (std::array<Byte, 5>{0x00, 0x00, 0x60, 0x29, 0x00}));
  EXPECT_EQ(encodeBcdFrequency(2147483647), (std::array<Byte, 5>{0x47, 0x36, 0x48, 0x47, 0x21}));
  EXPECT_EQ(encodeBcdFrequency(0), (std::array<Byte, 5>{}));
  EXPECT_EQ(encodeBcdFrequency(-5), (std::array<Byte, 5>{}));
}

TEST(BcdFrequency, RoundTripsBelowTwoGigahertz) {
  for (std::int32_t hz :
       {1, 9, 10, 99, 100, 12345, 7050000, 14195000, 145512500, 1240000000, 1999999999}) {
    const auto bytes = encodeBcdFrequency(hz);
    EXPECT_EQ(decodeBcdFrequency(bytes, 0), hz) << hz;
  }
}

TEST(BcdNumbers, FourAndSixDigitsMostSignificantFirst) {
  EXPECT_EQ(encodeBcd4(105), (std::array<Byte, 2>{0x01, 0x05}));
  EXPECT_EQ(encodeBcd4(1), (std::array<Byte, 2>{0x00, 0x01}));
  EXPECT_EQ(encodeBcd6(885), (std::array<Byte, 3>{0x00, 0x08, 0x85}));
  EXPECT_EQ(encodeBcd6(2541), (std::array<Byte, 3>{0x00, 0x25, 0x41}));
  EXPECT_EQ(encodeBcd6(6000), (std::array<Byte, 3>{0x00, 0x60, 0x00}));
  // A part above 99 keeps its last two digits.
  EXPECT_EQ(encodeBcd6(1450000), (std::array<Byte, 3>{0x45, 0x00, 0x00}));
  EXPECT_EQ(decodeBcd4(0x01, 0x06), 106);
  EXPECT_EQ(decodeBcd6(0x00, 0x08, 0x85), 885);
  EXPECT_EQ(decodeBcd6(0x12, 0x34, 0x56), 123456);
}

TEST(BcdNumbers, NibblesAboveNineCountByWeight) {
  EXPECT_EQ(decodeBcd6(0x00, 0x0A, 0x00), 1000);
  EXPECT_EQ(decodeBcd4(0x0F, 0x00), 1500);
  EXPECT_EQ(decodeBcd6(0xFF, 0xFF, 0xFF), 15 * 111111);
}

TEST(BcdNumbers, ByteCheck) {
  EXPECT_TRUE(isBcdByte(0x99));
  EXPECT_TRUE(isBcdByte(0x00));
  EXPECT_FALSE(isBcdByte(0x9A));
  EXPECT_FALSE(isBcdByte(0xA9));
}

}  // namespace
}  // namespace tarnwick
