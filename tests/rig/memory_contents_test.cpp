#include "rig/memory_contents.h"

#include <gtest/gtest.h>

#include <sstream>

#include "rig/rig_catalogue.h"
#include "tests/support/hex_bytes.h"

namespace tarnwick {
namespace {

std::vector<Byte> hex(std::string_view text) {
  return testing::hexBytes(text);
}

// The data bytes of an answer (no command byte), made from a write payload.
std::vector<Byte> answerOf(const std::vector<Byte>& payload) {
  return std::vector<Byte>(payload.begin() + 1, payload.end());
}

ChannelRecord rowOf(std::string_view freq, std::string_view name, std::string_view mode,
                    std::string_view filter, std::string_view duplex, std::string_view tx = "",
                    std::string_view tone = "", std::string_view squelch = "",
                    std::string_view select = "0") {
  ChannelRecord r;
  r[colFrequency] = freq;
  r[colName] = name;
  r[colMode] = mode;
  r[colFilter] = filter;
  r[colDuplex] = duplex;
  r[colTxFrequency] = tx;
  r[colRepeaterTone] = tone;
  r[colToneSquelch] = squelch;
  r[colSelect] = select;
  r[colChanged] = "1";
  return r;
}

const Separators kPoint = Separators::point();

const ChannelRecord kContest =
    rowOf("  14,195.00", "CONTEST", "USB", "Normal", "Simp", "", "", "", "1");

constexpr std::string_view kContest746 =
    "1A 00 00 05 01 00 50 19 14 00 01 02 00 00 08 85 00 08 85 00 50 19 14 00 01 02 00 00 08 85 "
    "00 08 85 43 4F 4E 54 45 53 54 20 20";
constexpr std::string_view kContest756 =
    "1A 00 00 05 01 00 50 19 14 00 01 02 00 00 08 85 00 08 85 43 4F 4E 54 45 53 54 20 20 20";
constexpr std::string_view kContest746Pro =
    "1A 00 00 05 01 00 50 19 14 00 01 02 00 00 00 08 85 00 08 85 00 00 00 "
    "00 50 19 14 00 01 02 00 00 00 08 85 00 08 85 00 00 00 43 4F 4E 54 45 53 54 20 20";

TEST(EncodeMemory, ContestRowOnEachLayout) {
  EXPECT_EQ(encodeMemoryContents(kModelIc746, 5, kContest, {}, kPoint), hex(kContest746));
  EXPECT_EQ(encodeMemoryContents(kModelIc756Pro, 5, kContest, {}, kPoint), hex(kContest756));
  EXPECT_EQ(encodeMemoryContents(kModelIc756ProII, 5, kContest, {}, kPoint), hex(kContest756));
  EXPECT_EQ(encodeMemoryContents(kModelIc746Pro, 5, kContest, {}, kPoint), hex(kContest746Pro));
  EXPECT_EQ(hex(kContest746).size(), 42u);
  EXPECT_EQ(hex(kContest756).size(), 29u);
  EXPECT_EQ(hex(kContest746Pro).size(), 50u);
}

TEST(EncodeMemory, CommaLocaleReadsItsOwnTexts) {
  const ChannelRecord comma =
      rowOf("  14.195,00", "CONTEST", "USB", "Normal", "Simp", "", "", "", "1");
  EXPECT_EQ(encodeMemoryContents(kModelIc746, 5, comma, {}, Separators::comma()), hex(kContest746));
  ChannelRecord tone = rowOf("145.500", "", "FM", "Wide", "Simp", "", "67,0");
  const auto p = encodeMemoryContents(kModelIc746, 1, tone, {}, Separators::comma());
  EXPECT_EQ(std::vector<Byte>(p.begin() + 13, p.begin() + 16), hex("00 06 70"));
}

TEST(EncodeMemory, BlankRowsAreHeadAndMarker) {
  ChannelRecord blank = kContest;
  blank[colFrequency] = "";
  EXPECT_EQ(encodeMemoryContents(kModelIc746, 12, blank, {}, kPoint), hex("1A 00 00 12 FF"));
  EXPECT_EQ(encodeMemoryContents(kModelIc746Pro, 12, blank, {}, kPoint), hex("1A 00 00 12 FF"));
  EXPECT_EQ(encodeMemoryContents(kModelIc756Pro, 101, blank, {}, kPoint), hex("1A 00 01 01 FF"));
  EXPECT_EQ(encodeMemoryContents(kModelIc910, 100, blank, "430 MHz", kPoint),
            hex("1A 00 02 01 00 FF"));
  // A frequency that reads as 0 Hz is blank too, whatever the other cells hold.
  blank[colFrequency] = "0.00";
  EXPECT_EQ(encodeMemoryContents(kModelIc746, 3, blank, {}, kPoint), hex("1A 00 00 03 FF"));
}

TEST(EncodeMemory, ModelsWithoutLayoutGiveNoPayload) {
  EXPECT_TRUE(encodeMemoryContents(kModelIcR75, 5, kContest, {}, kPoint).empty());
  EXPECT_TRUE(encodeMemoryContents(0, 5, kContest, {}, kPoint).empty());
  EXPECT_TRUE(encodeMemoryContents(-1, 5, kContest, {}, kPoint).empty());
}

TEST(EncodeMemory, Ic910Band2Memory100) {
  const ChannelRecord row = rowOf("    145,500", "", "FM", "", "DUP-", "    144,900", "88.5");
  EXPECT_EQ(encodeMemoryContents(kModelIc910, 100, row, "430 MHz", kPoint),
            hex("1A 00 02 01 00 00 00 50 45 01 05 02 11 00 08 85 00 08 85 00 60 00"));
  // An unknown band text is band 1.
  EXPECT_EQ(encodeMemoryContents(kModelIc910, 100, row, "", kPoint)[2], 0x01);
}

TEST(EncodeMemory, SplitOnIc746AndIc756Pro) {
  const ChannelRecord row = rowOf("  14,195.00", "DX", "USB", "Normal", "Split", "  14,225.50");
  const auto p746 = encodeMemoryContents(kModelIc746, 7, row, {}, kPoint);
  EXPECT_EQ(p746[4], 0x02);  // split, not selected
  EXPECT_EQ(std::vector<Byte>(p746.begin() + 19, p746.begin() + 24), hex("00 55 22 14 00"));
  const auto p756 = encodeMemoryContents(kModelIc756Pro, 7, row, {}, kPoint);
  EXPECT_EQ(p756[4], 0x02);
  EXPECT_EQ(p756.size(), 29u);  // no room for a transmit frequency
  // The 746Pro keeps split in bit 4 of its select byte.
  const auto pPro = encodeMemoryContents(kModelIc746Pro, 7, row, {}, kPoint);
  EXPECT_EQ(pPro[4], 0x10);
  EXPECT_EQ(std::vector<Byte>(pPro.begin() + 23, pPro.begin() + 28), hex("00 55 22 14 00"));
}

TEST(EncodeMemory, TransmitFrequencyFallsBackToReceive) {
  const ChannelRecord row = rowOf("  50,110.00", "", "USB", "Wide", "DUP-");
  const auto p = encodeMemoryContents(kModelIc746, 1, row, {}, kPoint);
  EXPECT_EQ(std::vector<Byte>(p.begin() + 19, p.begin() + 24), hex("00 00 11 50 00"));
  EXPECT_EQ(p[12], 0x10);  // minus duplex
  EXPECT_EQ(p[26], 0x10);  // and the same in the transmit block
}

TEST(EncodeMemory, UnknownTextsFallBackToDefaults) {
  const ChannelRecord row = rowOf("7050", "", "usb", "medium", "Simplex", "", "abc", "");
  const auto p = encodeMemoryContents(kModelIc746, 1, row, {}, kPoint);
  EXPECT_EQ(p[10], 0x00);  // mode byte
  EXPECT_EQ(p[11], 0x02);  // filter byte
  EXPECT_EQ(p[12], 0x01);  // the tone cell is not empty, so the tone is on
  EXPECT_EQ(std::vector<Byte>(p.begin() + 13, p.begin() + 16), hex("00 08 85"));
}

// Tone and tone squelch are one setting: never both bits.
TEST(EncodeMemory, ToneSquelchBitIsSetAlone) {
  const ChannelRecord both = rowOf("145,500", "", "FM", "Wide", "Simp", "", "88.5", "100.0");
  const ChannelRecord squelchOnly = rowOf("145,500", "", "FM", "Wide", "Simp", "", "", "100.0");
  const ChannelRecord toneOnly = rowOf("145,500", "", "FM", "Wide", "Simp", "", "67.0", "");
  for (const ChannelRecord* row : {&both, &squelchOnly}) {
    auto p = encodeMemoryContents(kModelIc746, 1, *row, {}, kPoint);
    EXPECT_EQ(p[12], 0x02);
    EXPECT_EQ(p[26], 0x02);
    EXPECT_EQ(std::vector<Byte>(p.begin() + 16, p.begin() + 19), hex("00 10 00"));
    p = encodeMemoryContents(kModelIc756Pro, 1, *row, {}, kPoint);
    EXPECT_EQ(p[12], 0x02);
    p = encodeMemoryContents(kModelIc746Pro, 1, *row, {}, kPoint);
    EXPECT_EQ(p[13], 0x02);
    EXPECT_EQ(p[31], 0x02);
    p = encodeMemoryContents(kModelIc910, 1, *row, {}, kPoint);
    EXPECT_EQ(p[12], 0x20);
  }
  // Both tone values are still written.
  auto p = encodeMemoryContents(kModelIc746, 1, both, {}, kPoint);
  EXPECT_EQ(std::vector<Byte>(p.begin() + 13, p.begin() + 16), hex("00 08 85"));
  p = encodeMemoryContents(kModelIc746, 1, toneOnly, {}, kPoint);
  EXPECT_EQ(p[12], 0x01);
  EXPECT_EQ(std::vector<Byte>(p.begin() + 13, p.begin() + 16), hex("00 06 70"));
  EXPECT_EQ(encodeMemoryContents(kModelIc910, 1, toneOnly, {}, kPoint)[12], 0x10);
}

// The IC-746 keeps bit 4 for minus duplex only; the IC-910 never puts a data
// flag into its flags byte.
TEST(EncodeMemory, DataModesNeverTouchDuplexOrToneBits) {
  const ChannelRecord usbD = rowOf("  14,080.00", "", "USB-D", "Wide", "Simp");
  auto p = encodeMemoryContents(kModelIc746, 1, usbD, {}, kPoint);
  EXPECT_EQ(p[10], 0x01);
  EXPECT_EQ(p[12], 0x00);
  EXPECT_EQ(p[26], 0x00);
  const ChannelRecord fmD = rowOf("145,500", "", "FM-D", "Wide", "Simp");
  p = encodeMemoryContents(kModelIc910, 1, fmD, {}, kPoint);
  EXPECT_EQ(p[10], 0x05);
  EXPECT_EQ(p[12], 0x00);
  // The 746Pro has a data-mode byte of its own, in both blocks.
  p = encodeMemoryContents(kModelIc746Pro, 1, usbD, {}, kPoint);
  EXPECT_EQ(p[12], 0x01);
  EXPECT_EQ(p[13], 0x00);
  EXPECT_EQ(p[30], 0x01);
  // The 756Pro carries the data flag in bit 4.
  p = encodeMemoryContents(kModelIc756Pro, 1, usbD, {}, kPoint);
  EXPECT_EQ(p[12], 0x10);
}

TEST(EncodeMemory, Ic910OffsetIsLeastSignificantFirstAndZeroWithoutTransmit) {
  ChannelRecord row = rowOf("    439,000", "", "FM", "Wide", "DUP-", "    437,765.50");
  auto p = encodeMemoryContents(kModelIc910, 1, row, "430 MHz", kPoint);
  // 1,234,500 Hz is 012345 hundreds of hertz.
  EXPECT_EQ(std::vector<Byte>(p.end() - 3, p.end()), hex("45 23 01"));
  row[colDuplex] = "Simp";
  row[colTxFrequency] = "";
  p = encodeMemoryContents(kModelIc910, 1, row, "430 MHz", kPoint);
  EXPECT_EQ(std::vector<Byte>(p.end() - 3, p.end()), hex("00 00 00"));
  row[colTxFrequency] = "none";
  p = encodeMemoryContents(kModelIc910, 1, row, "430 MHz", kPoint);
  EXPECT_EQ(std::vector<Byte>(p.end() - 3, p.end()), hex("00 00 00"));
}

TEST(DecodeMemory, ContestOnIc746) {
  DecodedMemory m;
  ASSERT_TRUE(decodeMemoryContents(0x56, answerOf(hex(kContest746)), kModelIc746, m));
  EXPECT_EQ(m.memoryNumber, 5);
  EXPECT_EQ(m.bank, 0);
  EXPECT_EQ(m.frequency, 14195000);
  EXPECT_EQ(modeName(m.mode), "USB");
  EXPECT_EQ(filterName(m.filter), "Normal");
  EXPECT_EQ(m.selectText, "1");
  EXPECT_EQ(m.duplex, 0);
  EXPECT_FALSE(m.toneOn);
  EXPECT_FALSE(m.toneSquelchOn);
  EXPECT_EQ(m.tone, 885);
  EXPECT_EQ(m.name, "CONTEST  ");
  EXPECT_EQ(m.splitFrequency, 14195000);
}

TEST(DecodeMemory, ContestOnIc756ProAnd746Pro) {
  DecodedMemory m;
  ASSERT_TRUE(decodeMemoryContents(0x5C, answerOf(hex(kContest756)), kModelIc756Pro, m));
  EXPECT_EQ(m.frequency, 14195000);
  EXPECT_EQ(m.name, "CONTEST   ");
  EXPECT_EQ(m.splitFrequency, 0);
  DecodedMemory pro;
  ASSERT_TRUE(decodeMemoryContents(0x66, answerOf(hex(kContest746Pro)), kModelIc746Pro, pro));
  EXPECT_EQ(pro.memoryNumber, 5);
  EXPECT_EQ(pro.frequency, 14195000);
  EXPECT_EQ(modeName(pro.mode), "USB");
  EXPECT_EQ(pro.selectText, "1");
  EXPECT_EQ(pro.name, "CONTEST  ");
}

TEST(DecodeMemory, Ic910Band2Memory100) {
  DecodedMemory m;
  ASSERT_TRUE(decodeMemoryContents(
      0x60, hex("00 02 01 00 00 00 50 45 01 05 01 01 00 08 85 00 08 85 00 60 00"), kModelIc910, m));
  EXPECT_EQ(m.bank, 2);
  EXPECT_EQ(m.memoryNumber, 100);
  EXPECT_EQ(m.frequency, 145500000);
  EXPECT_EQ(modeName(m.mode), "FM");
  EXPECT_EQ(filterName(m.filter), "Wide");
  EXPECT_EQ(m.duplex, 1);
  EXPECT_EQ(m.offset, 600000);
  EXPECT_FALSE(m.toneOn);
  EXPECT_EQ(m.selectText, "0");
  EXPECT_EQ(m.name, "");
}

TEST(DecodeMemory, Ic910OffsetIsLeastSignificantFirst) {
  DecodedMemory m;
  ASSERT_TRUE(decodeMemoryContents(
      0x60, hex("00 02 00 07 00 00 90 38 04 05 01 02 00 08 85 00 08 85 45 23 01"), kModelIc910, m));
  EXPECT_EQ(m.duplex, 2);
  EXPECT_EQ(m.offset, 1234500);
}

TEST(DecodeMemory, BlankFormsKeepOnlyTheNumber) {
  DecodedMemory m;
  m.name = "stale";
  m.frequency = 7000000;
  ASSERT_TRUE(decodeMemoryContents(0x56, hex("00 00 12 FF"), kModelIc746, m));
  EXPECT_EQ(m.memoryNumber, 12);
  EXPECT_EQ(m.frequency, 0);
  EXPECT_EQ(m.name, "");
  ASSERT_TRUE(decodeMemoryContents(0x66, hex("00 01 02 FF"), kModelIc746Pro, m));
  EXPECT_EQ(m.memoryNumber, 102);
  EXPECT_EQ(m.frequency, 0);
  ASSERT_TRUE(decodeMemoryContents(0x60, hex("00 03 01 06 FF"), kModelIc910, m));
  EXPECT_EQ(m.bank, 3);
  EXPECT_EQ(m.memoryNumber, 106);
  EXPECT_EQ(m.frequency, 0);
  // A full-length answer whose frequency is not BCD is blank too.
  auto data = answerOf(hex(kContest746));
  data[6] = 0x1A;
  ASSERT_TRUE(decodeMemoryContents(0x56, data, kModelIc746, m));
  EXPECT_EQ(m.memoryNumber, 5);
  EXPECT_EQ(m.frequency, 0);
}

TEST(DecodeMemory, ShortAnswersAreNotDecodedAndLongOnesAreCut) {
  const std::vector<std::pair<int, std::vector<Byte>>> full{
      {kModelIc746, answerOf(hex(kContest746))},
      {kModelIc746Pro, answerOf(hex(kContest746Pro))},
      {kModelIc756Pro, answerOf(hex(kContest756))},
      {kModelIc910, hex("00 02 01 00 00 00 50 45 01 05 01 01 00 08 85 00 08 85 00 60 00")}};
  for (const auto& [model, data] : full) {
    SCOPED_TRACE(model);
    for (std::size_t n = 0; n < data.size(); ++n) {
      // An exact-size copy, so that the sanitizer sees any read past the end.
      const std::vector<Byte> cut(data.begin(), data.begin() + static_cast<long>(n));
      DecodedMemory m;
      m.memoryNumber = 77;
      EXPECT_FALSE(decodeMemoryContents(0x56, cut, model, m)) << n;
      EXPECT_EQ(m.memoryNumber, 77);
    }
    std::vector<Byte> longer = data;
    longer.insert(longer.end(), {0x12, 0x34, 0xFF});
    DecodedMemory a, b;
    ASSERT_TRUE(decodeMemoryContents(0x56, data, model, a));
    ASSERT_TRUE(decodeMemoryContents(0x56, longer, model, b));
    EXPECT_EQ(a.frequency, b.frequency);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.offset, b.offset);
  }
  DecodedMemory m;
  EXPECT_FALSE(decodeMemoryContents(0x5A, answerOf(hex(kContest746)), kModelIcR75, m));
  EXPECT_FALSE(decodeMemoryContents(0x56, answerOf(hex(kContest746)), 5, m));
}

TEST(DecodeMemory, Ic746BitFourIsMinusDuplexOnly) {
  auto data = answerOf(hex(kContest746));
  data[11] = 0x10;
  DecodedMemory m;
  ASSERT_TRUE(decodeMemoryContents(0x56, data, kModelIc746, m));
  EXPECT_EQ(modeName(m.mode), "USB");
  EXPECT_EQ(m.duplex, 1);
  data[9] = 0x05;  // an FM repeater channel stays FM
  ASSERT_TRUE(decodeMemoryContents(0x56, data, kModelIc746, m));
  EXPECT_EQ(modeName(m.mode), "FM");
  data[11] = 0x30;  // plus wins over minus
  ASSERT_TRUE(decodeMemoryContents(0x56, data, kModelIc746, m));
  EXPECT_EQ(m.duplex, 2);
  data[3] = 0x02;  // split wins over both
  ASSERT_TRUE(decodeMemoryContents(0x56, data, kModelIc746, m));
  EXPECT_EQ(m.duplex, 3);
  EXPECT_EQ(m.selectText, "0");
}

TEST(DecodeMemory, Ic756ProReadsBitFourAsDataAndMinusDuplex) {
  auto data = answerOf(hex(kContest756));
  data[11] = 0x10;
  DecodedMemory m;
  ASSERT_TRUE(decodeMemoryContents(0x5C, data, kModelIc756Pro, m));
  EXPECT_EQ(modeName(m.mode), "USB-D");
  EXPECT_EQ(m.duplex, 1);
}

TEST(DecodeMemory, Ic746ProDataModeSplitAndTransmitBlock) {
  auto data = answerOf(hex(kContest746Pro));
  data[3] = 0x11;   // selected, split
  data[11] = 0x01;  // data mode
  data[12] = 0x12;  // minus duplex (split wins), tone squelch
  data[22] = 0x00;  // transmit frequency 14,225,500
  data[23] = 0x55;
  data[24] = 0x22;
  DecodedMemory m;
  ASSERT_TRUE(decodeMemoryContents(0x66, data, kModelIc746Pro, m));
  EXPECT_EQ(modeName(m.mode), "USB-D");
  EXPECT_EQ(m.selectText, "1");
  EXPECT_EQ(m.duplex, 3);
  EXPECT_EQ(m.splitFrequency, 14225500);
  EXPECT_TRUE(m.toneSquelchOn);
  EXPECT_TRUE(m.toneOn);
  data[3] = 0x02;  // bit 1 means nothing on this radio
  ASSERT_TRUE(decodeMemoryContents(0x66, data, kModelIc746Pro, m));
  EXPECT_EQ(m.duplex, 1);
  EXPECT_EQ(m.selectText, "0");
}

TEST(DecodeMemory, ToneValuesAreReadDigitByDigit) {
  auto data = answerOf(hex(kContest746));
  data[11] = 0x01;
  data[12] = 0x00;
  data[13] = 0x06;
  data[14] = 0x92;  // not a table tone
  data[15] = 0x00;
  data[16] = 0x0A;
  data[17] = 0x00;  // a nibble above 9
  DecodedMemory m;
  ASSERT_TRUE(decodeMemoryContents(0x56, data, kModelIc746, m));
  EXPECT_TRUE(m.toneOn);
  EXPECT_FALSE(m.toneSquelchOn);
  EXPECT_EQ(m.tone, 692);
  EXPECT_EQ(m.toneSquelch, 1000);
  data[11] = 0x02;  // tone squelch switches the tone on as well
  ASSERT_TRUE(decodeMemoryContents(0x56, data, kModelIc746, m));
  EXPECT_TRUE(m.toneOn);
  EXPECT_TRUE(m.toneSquelchOn);
}

}  // namespace
}  // namespace tarnwick
