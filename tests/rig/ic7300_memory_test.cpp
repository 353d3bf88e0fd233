// The memories of the IC-7300, IC-7300MK2 and IC-7610: nibble flags, select
// groups, tone types, the transmit block and names of two lengths, checked
// against answers written byte by byte.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rig/memory_contents.h"
#include "rig/memory_layouts.h"
#include "rig/rig_catalogue.h"
#include "tests/support/hex_bytes.h"

namespace tarnwick {
namespace {

std::vector<Byte> hex(std::string_view text) {
  return testing::hexBytes(text);
}

const Separators kPoint = Separators::point();

DecodedMemory decoded(int model, std::string_view data) {
  DecodedMemory m;
  const std::vector<Byte> bytes = hex(data);
  EXPECT_TRUE(decodeMemoryContents(defaultAddress(model), bytes, model, m)) << data;
  return m;
}

// Memory 5: select *2, 14,195.00 USB-D, FIL2, repeater tone 88.5, no split;
// the transmit block repeats the receive fields.
constexpr std::string_view kReceive7300 = "00 50 19 14 00 01 02 11 00 08 85 00 08 85";
constexpr std::string_view kMemory5 =
    "00 00 05 02 00 50 19 14 00 01 02 11 00 08 85 00 08 85 "
    "00 50 19 14 00 01 02 11 00 08 85 00 08 85 "
    "43 4F 4E 54 45 53 54 20 20 20";

ChannelRecord memory5Row() {
  ChannelRecord r;
  r[colFrequency] = "  14,195.00";
  r[colName] = "CONTEST";
  r[colMode] = "USB-D";
  r[colFilter] = "Normal";
  r[colDuplex] = "Simp";
  r[colRepeaterTone] = "88.5";
  r[colToneSquelch] = "";
  r[colSelect] = "*2";
  r[colChanged] = "1";
  return r;
}

std::vector<Byte> payloadOf(std::string_view data) {
  std::vector<Byte> p{0x1A};
  for (Byte b : hex(data)) p.push_back(b);
  return p;
}

TEST(Ic7300Memory, EveryReceiveFieldBothWays) {
  const DecodedMemory m = decoded(kModelIc7300, kMemory5);
  EXPECT_EQ(m.memoryNumber, 5);
  EXPECT_EQ(m.frequency, 14195000);
  EXPECT_EQ(modeName(m.mode), "USB-D");
  EXPECT_EQ(filterName(m.filter), "Normal");
  EXPECT_EQ(m.selectText, "*2");
  EXPECT_EQ(m.duplex, 0);
  EXPECT_TRUE(m.toneOn);
  EXPECT_EQ(m.tone, 885);
  EXPECT_FALSE(m.toneSquelchOn);
  EXPECT_EQ(m.name, "CONTEST   ");
  EXPECT_EQ(encodeMemoryContents(kModelIc7300, 5, memory5Row(), {}, kPoint), payloadOf(kMemory5));
}

TEST(Ic7300Memory, SplitUsesTheTransmitBlock) {
  // Split on, select none; the transmit block at 14,295.00.
  const DecodedMemory m = decoded(kModelIc7300,
                                  "00 00 07 10 00 50 19 14 00 01 02 00 00 08 85 00 08 85 "
                                  "00 50 29 14 00 01 02 00 00 08 85 00 08 85 "
                                  "44 58 20 20 20 20 20 20 20 20");
  EXPECT_EQ(m.duplex, 3);
  EXPECT_EQ(m.splitFrequency, 14295000);
  EXPECT_EQ(m.selectText, "");

  ChannelRecord row = memory5Row();
  row[colDuplex] = "Split";
  row[colTxFrequency] = "  14,295.00";
  const std::vector<Byte> split = encodeMemoryContents(kModelIc7300, 5, row, {}, kPoint);
  EXPECT_EQ(split[4], 0x12);  // split and select *2 in one byte
  // Mode, filter, data, tone type and tones as received; only the frequency differs.
  EXPECT_EQ(std::vector<Byte>(split.begin() + 19, split.begin() + 33),
            hex("00 50 29 14 00 01 02 11 00 08 85 00 08 85"));

  // A duplex the radio does not keep sends the receive fields again.
  row[colDuplex] = "DUP-";
  row[colTxFrequency] = "  14,095.00";
  const std::vector<Byte> minus = encodeMemoryContents(kModelIc7300, 5, row, {}, kPoint);
  EXPECT_EQ(minus[4], 0x02);
  EXPECT_EQ(std::vector<Byte>(minus.begin() + 19, minus.begin() + 33),
            hex("00 50 19 14 00 01 02 11 00 08 85 00 08 85"));
}

TEST(Ic7300Memory, SelectGroupsAndToneTypesKeepTheirValues) {
  const std::string head = "00 00 09 ";
  const std::string tail =
      " 00 00 10 07 00 01 01 01 00 08 85 00 08 85 00 00 10 07 00 01 01 01 "
      "00 08 85 00 08 85 20 20 20 20 20 20 20 20 20 20";
  const char* selects[] = {"", "*1", "*2", "*3"};
  for (int group = 0; group <= 3; ++group) {
    const std::string data = head + "0" + std::to_string(group) + tail;
    const DecodedMemory m = decoded(kModelIc7300, data);
    EXPECT_EQ(m.selectText, selects[group]);
    ChannelRecord row = memory5Row();
    row[colSelect] = selects[group];
    EXPECT_EQ(encodeMemoryContents(kModelIc7300, 9, row, {}, kPoint)[4], group);
  }
  // A select flag from a radio without groups is the first group.
  ChannelRecord flagged = memory5Row();
  flagged[colSelect] = "1";
  EXPECT_EQ(encodeMemoryContents(kModelIc7300, 9, flagged, {}, kPoint)[4], 1);

  // Tone type in the low nibble of byte 9, data in its high nibble.
  struct ToneCase {
    const char* byte;
    bool toneOn;
    bool squelchOn;
    const char* repeaterCell;
    const char* squelchCell;
  };
  for (const ToneCase& t :
       {ToneCase{"00", false, false, "", ""}, ToneCase{"01", true, false, "88.5", ""},
        ToneCase{"02", false, true, "", "100.0"}}) {
    SCOPED_TRACE(t.byte);
    const DecodedMemory m =
        decoded(kModelIc7610, std::string("00 00 09 00 00 10 00 00 00 01 01 ") + t.byte +
                                  " 00 08 85 00 10 00 20 20 20 20 20 20 20 20 20 20");
    EXPECT_EQ(m.toneOn, t.toneOn);
    EXPECT_EQ(m.toneSquelchOn, t.squelchOn);
    ChannelRecord row = memory5Row();
    row[colMode] = "USB";
    row[colRepeaterTone] = t.repeaterCell;
    row[colToneSquelch] = t.squelchCell;
    EXPECT_EQ(encodeMemoryContents(kModelIc7610, 9, row, {}, kPoint)[12], hex(t.byte)[0]);
  }
}

TEST(Ic7300Memory, DataTurnsFourModesIntoTheirDataVariants) {
  struct ModeCase {
    Byte modeByte;
    const char* plain;
    const char* data;
  };
  for (const ModeCase& c : {ModeCase{0x00, "LSB", "LSB-D"}, ModeCase{0x01, "USB", "USB-D"},
                            ModeCase{0x02, "AM", "AM-D"}, ModeCase{0x05, "FM", "FM-D"},
                            ModeCase{0x03, "CW", "CW"}, ModeCase{0x07, "CW-r", "CW-r"},
                            ModeCase{0x04, "RTTY", "RTTY"}, ModeCase{0x08, "RTTY-r", "RTTY-r"}}) {
    SCOPED_TRACE(c.plain);
    for (Byte flags : {Byte{0x00}, Byte{0x10}}) {
      std::vector<Byte> data = hex(
          "00 00 01 00 00 00 10 07 00 00 01 00 00 08 85 00 08 85 20 20 20 20 20 20 20 20 20 20");
      data[9] = c.modeByte;
      data[11] = flags;
      DecodedMemory m;
      ASSERT_TRUE(decodeMemoryContents(0x98, data, kModelIc7610, m));
      const std::string_view mode = modeName(m.mode);
      EXPECT_EQ(mode, flags ? c.data : c.plain);
      ChannelRecord row = memory5Row();
      row[colFrequency] = "7,100.00";
      row[colMode] = mode;
      row[colRepeaterTone] = "";
      const std::vector<Byte> p = encodeMemoryContents(kModelIc7610, 1, row, {}, kPoint);
      EXPECT_EQ(p[10], c.modeByte);
      // Data only where the mode has a data variant.
      EXPECT_EQ(p[12], std::string_view(c.plain) == c.data ? 0x00 : flags);
    }
  }
}

TEST(Ic7300Memory, ScanEdgesAndEmptyMemories) {
  for (int model : {kModelIc7300, kModelIc7300Mk2, kModelIc7610}) {
    SCOPED_TRACE(modelName(model));
    EXPECT_EQ(decoded(model, "00 01 00 FF").memoryNumber, 100);
    const DecodedMemory p2 = decoded(model, "00 01 01 FF");
    EXPECT_EQ(p2.memoryNumber, 101);
    EXPECT_EQ(p2.frequency, 0);
    ChannelRecord empty = memory5Row();
    empty[colFrequency] = "";
    EXPECT_EQ(encodeMemoryContents(model, 101, empty, {}, kPoint), hex("1A 00 01 01 FF"));
    const std::vector<Byte> p1 = encodeMemoryContents(model, 100, memory5Row(), {}, kPoint);
    EXPECT_EQ(std::vector<Byte>(p1.begin() + 2, p1.begin() + 4), hex("01 00"));
  }
}

TEST(Ic7300Memory, Mk2NamesComeInTwoLengths) {
  const std::string receive =
      "00 00 05 02 " + std::string(kReceive7300) + " " + std::string(kReceive7300) + " ";
  const std::string name16 = "53 49 58 54 45 45 4E 20 43 48 41 52 53 20 4F 4B";  // SIXTEEN CHARS OK
  const std::string name10 = "54 45 4E 20 43 48 41 52 53 21";                    // TEN CHARS!
  const DecodedMemory full = decoded(kModelIc7300Mk2, receive + name16);
  EXPECT_EQ(full.name, "SIXTEEN CHARS OK");
  const DecodedMemory short10 = decoded(kModelIc7300Mk2, receive + name10);
  EXPECT_EQ(short10.name, "TEN CHARS!");
  EXPECT_EQ(short10.selectText, "*2");
  // Shorter than either length is no answer.
  DecodedMemory untouched;
  const std::vector<Byte> cut = hex(receive + "54 45 4E");
  EXPECT_FALSE(decodeMemoryContents(0xB6, cut, kModelIc7300Mk2, untouched));
  EXPECT_EQ(memoryAnswerFault(cut, kModelIc7300Mk2),
            "35 data bytes, fewer than the IC-7300MK2's 42");
  // A length in between is a broken answer, not a name to write back so.
  const std::vector<Byte> thirteen = hex(receive + "54 48 49 52 54 45 45 4E 20 43 48 41 52");
  EXPECT_FALSE(decodeMemoryContents(0xB6, thirteen, kModelIc7300Mk2, untouched));
  EXPECT_EQ(memoryAnswerFault(thirteen, kModelIc7300Mk2), "a name of 13 characters, not 10 or 16");
  // The IC-7300 keeps 10 and takes nothing else.
  EXPECT_EQ(decoded(kModelIc7300, receive + name10).name, "TEN CHARS!");

  ChannelRecord row = memory5Row();
  row[colName] = "SIXTEEN CHARS OK";
  EXPECT_EQ(encodeMemoryContents(kModelIc7300Mk2, 5, row, {}, kPoint), payloadOf(receive + name16));
  // Written in the length the radio answered: cut to ten.
  row[colName] = "TEN CHARS! AND MORE";
  EXPECT_EQ(encodeMemoryContents(kModelIc7300Mk2, 5, row, {}, kPoint, 10),
            payloadOf(receive + name10));
  row[colName] = "SHORT";
  const std::vector<Byte> padded = encodeMemoryContents(kModelIc7300Mk2, 5, row, {}, kPoint);
  EXPECT_EQ(padded.size(), 49u);
  EXPECT_EQ(std::string(padded.begin() + 33, padded.end()), "SHORT           ");
  EXPECT_EQ(encodeMemoryContents(kModelIc7300Mk2, 5, row, {}, kPoint, 13), padded);
  // The others ignore a length.
  EXPECT_EQ(encodeMemoryContents(kModelIc7300, 5, row, {}, kPoint, 16).size(), 43u);
}

TEST(Ic7610Memory, ReceiveFieldsAndNameWithoutSplit) {
  const DecodedMemory m = decoded(kModelIc7610,
                                  "00 00 42 03 00 00 10 07 00 05 01 12 00 08 85 00 12 30 "
                                  "52 45 50 45 41 54 45 52 20 31");
  EXPECT_EQ(m.memoryNumber, 42);
  EXPECT_EQ(m.frequency, 7100000);
  EXPECT_EQ(modeName(m.mode), "FM-D");
  EXPECT_EQ(filterName(m.filter), "Wide");
  EXPECT_EQ(m.selectText, "*3");
  EXPECT_FALSE(m.toneOn);
  EXPECT_TRUE(m.toneSquelchOn);
  EXPECT_EQ(m.toneSquelch, 1230);
  EXPECT_EQ(m.name, "REPEATER 1");
  EXPECT_EQ(m.duplex, 0);

  ChannelRecord row;
  row[colFrequency] = "7,100";
  row[colName] = "REPEATER 1";
  row[colMode] = "FM-D";
  row[colFilter] = "Wide";
  row[colDuplex] = "Split";  // nowhere to keep it
  row[colTxFrequency] = "7,200";
  row[colToneSquelch] = "123.0";
  row[colSelect] = "*3";
  EXPECT_EQ(encodeMemoryContents(kModelIc7610, 42, row, {}, kPoint),
            payloadOf("00 00 42 03 00 00 10 07 00 05 01 12 00 08 85 00 12 30 "
                      "52 45 50 45 41 54 45 52 20 31"));
}

}  // namespace
}  // namespace tarnwick
