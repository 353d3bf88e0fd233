// Memory contents against bytes written out by hand.

#include "sim/memory_layout.h"

#include <gtest/gtest.h>

#include "sim/memory_file.h"
#include "sim_test_util.h"

namespace tarnwick::sim {
namespace {

using test::hex;
using test::model;

const Memory& only(const RadioState& state) {
  return state.memories.begin()->second;
}

constexpr std::string_view kContest =
    R"(mem 5 freq=14195000 mode=USB filter=normal select=1 name="CONTEST")";

TEST(MemoryLayout, ContestMemoryOnEachLayoutWithAName) {
  const RadioModel& ic746 = model("IC-746");
  EXPECT_EQ(encodeMemory(ic746, {0, 5}, only(parseMemoryFile(kContest, ic746))),
            hex("00 00 05 01 00 50 19 14 00 01 02 00 00 08 85 00 08 85"
                " 00 50 19 14 00 01 02 00 00 08 85 00 08 85 43 4F 4E 54 45 53 54 20 20"));

  const RadioModel& ic756 = model("IC-756Pro");
  EXPECT_EQ(encodeMemory(ic756, {0, 5}, only(parseMemoryFile(kContest, ic756))),
            hex("00 00 05 01 00 50 19 14 00 01 02 00 00 08 85 00 08 85"
                " 43 4F 4E 54 45 53 54 20 20 20"));

  const RadioModel& pro = model("IC-746Pro");
  EXPECT_EQ(encodeMemory(pro, {0, 5}, only(parseMemoryFile(kContest, pro))),
            hex("00 00 05 01 00 50 19 14 00 01 02 00 00 00 08 85 00 08 85 00 00 00"
                " 00 50 19 14 00 01 02 00 00 00 08 85 00 08 85 00 00 00"
                " 43 4F 4E 54 45 53 54 20 20"));
}

TEST(MemoryLayout, Ic910BandTwoMemory100) {
  const RadioModel& ic910 = model("IC-910");
  const RadioState state = parseMemoryFile(
      "mem 100 band=2 freq=145500000 mode=FM filter=wide duplex=minus offset=600000", ic910);
  const Bytes expected = hex("00 02 01 00 00 00 50 45 01 05 01 01 00 08 85 00 08 85 00 60 00");
  EXPECT_EQ(encodeMemory(ic910, {2, 100}, only(state)), expected);

  const auto write = decodeMemoryWrite(ic910, expected);
  ASSERT_TRUE(write);
  EXPECT_EQ(write->key, (MemoryKey{2, 100}));
  EXPECT_EQ(write->memory, only(state));
}

TEST(MemoryLayout, Ic910OffsetIsLeastSignificantByteFirst) {
  const RadioModel& ic910 = model("IC-910");
  // 7.6 MHz is 76000 units of 100 Hz: 00 60 07 on the wire, not 07 60 00.
  const RadioState state = parseMemoryFile(
      "mem 2 band=2 freq=439000000 mode=FM filter=wide duplex=minus offset=7600000 tones=tsql",
      ic910);
  EXPECT_EQ(encodeMemory(ic910, {2, 2}, only(state)),
            hex("00 02 00 02 00 00 00 39 04 05 01 21 00 08 85 00 08 85 00 60 07"));
}

TEST(MemoryLayout, SplitAndDuplexBitsOfLongAndProLayouts) {
  const RadioModel& ic746 = model("IC-746");
  const std::string split =
      R"(mem 7 freq=18130000 mode=USB filter=wide split=1 tx=18140000 name="DX SPLIT")";
  EXPECT_EQ(encodeMemory(ic746, {0, 7}, only(parseMemoryFile(split, ic746))),
            hex("00 00 07 02 00 00 13 18 00 01 01 00 00 08 85 00 08 85"
                " 00 00 14 18 00 01 01 00 00 08 85 00 08 85 44 58 20 53 50 4C 49 54 20"));

  // IC-746Pro: split is bit 4 of the select byte, data mode its own byte,
  // duplex and tone one byte per part.
  const RadioModel& pro = model("IC-746Pro");
  const std::string repeater =
      "mem 31 freq=146940000 mode=FM filter=normal select=1 split=1 duplex=plus tones=tsql"
      " tone=103.5 tsql=103.5 dtcs=23 dtcspol=0x10 tx=146340000 txduplex=simplex txtones=off";
  EXPECT_EQ(encodeMemory(pro, {0, 31}, only(parseMemoryFile(repeater, pro))),
            hex("00 00 31 11 00 00 94 46 01 05 02 00 22 00 10 35 00 10 35 10 00 23"
                " 00 00 34 46 01 05 02 00 00 00 10 35 00 10 35 10 00 23"
                " 20 20 20 20 20 20 20 20 20"));

  const std::string dataMode = R"(mem 17 freq=7074000 mode=USB data=1 name="FT8")";
  EXPECT_EQ(encodeMemory(pro, {0, 17}, only(parseMemoryFile(dataMode, pro))),
            hex("00 00 17 00 00 40 07 07 00 01 02 01 00 00 08 85 00 08 85 00 00 00"
                " 00 40 07 07 00 01 02 01 00 00 08 85 00 08 85 00 00 00"
                " 46 54 38 20 20 20 20 20 20"));
}

TEST(MemoryLayout, BlankMemoriesAreTheHeadAndFF) {
  const Memory blank;
  EXPECT_EQ(encodeMemory(model("IC-746"), {0, 6}, blank), hex("00 00 06 FF"));
  EXPECT_EQ(encodeMemory(model("IC-756ProII"), {0, 101}, blank), hex("00 01 01 FF"));
  EXPECT_EQ(encodeMemory(model("IC-910"), {3, 106}, blank), hex("00 03 01 06 FF"));

  const auto write = decodeMemoryWrite(model("IC-746"), hex("00 00 12 FF"));
  ASSERT_TRUE(write);
  EXPECT_EQ(write->key, (MemoryKey{0, 12}));
  EXPECT_TRUE(write->memory.blank);
  const auto write910 = decodeMemoryWrite(model("IC-910"), hex("00 01 00 03 FF"));
  ASSERT_TRUE(write910);
  EXPECT_EQ(write910->key, (MemoryKey{1, 3}));
  EXPECT_TRUE(write910->memory.blank);
}

// Every full memory of every model's built-in set reads back from its own
// bytes unchanged: reader and writer agree on every field.
TEST(MemoryLayout, EveryDefaultMemoryDecodesFromItsOwnBytes) {
  for (const RadioModel& m : radioModels()) {
    const RadioState state = parseMemoryFile(defaultMemoryText(m), m);
    for (const auto& [key, memory] : state.memories) {
      const Bytes data = encodeMemory(m, key, memory);
      ASSERT_EQ(data.size(), static_cast<std::size_t>(memoryDataLength(m))) << m.name;
      const auto write = decodeMemoryWrite(m, data);
      ASSERT_TRUE(write) << m.name << " memory " << key.number;
      EXPECT_EQ(write->key, key);
      EXPECT_EQ(write->memory, memory) << m.name << " memory " << key.number;
    }
  }
}

TEST(MemoryLayout, MalformedWritesAreRefusedWithAReason) {
  const RadioModel& ic746 = model("IC-746");
  const Bytes good =
      hex("00 00 05 01 00 50 19 14 00 01 02 00 00 08 85 00 08 85"
          " 00 50 19 14 00 01 02 00 00 08 85 00 08 85 43 4F 4E 54 45 53 54 20 20");
  ASSERT_TRUE(decodeMemoryWrite(ic746, good));

  struct Case {
    const char* what;
    std::size_t index;
    Byte value;
  };
  const Case cases[] = {
      {"memory number nibble", 2, 0x0A},
      {"memory 0", 2, 0x00},
      {"frequency nibble", 6, 0x5A},
      {"unknown mode", 9, 0x09},
      {"filter 0", 10, 0x00},
      {"undefined flag bit", 11, 0x04},
      {"tone nibble", 13, 0xF8},
      {"tone squelch nibble", 17, 0x8F},
      {"transmit frequency nibble", 20, 0xA1},
      {"undefined select bit", 3, 0x04},
      {"transmit mode", 23, 0x42},
  };
  for (const Case& c : cases) {
    Bytes bad = good;
    bad[c.index] = c.value;
    std::string reason;
    EXPECT_FALSE(decodeMemoryWrite(ic746, bad, &reason)) << c.what;
    EXPECT_FALSE(reason.empty()) << c.what;
  }

  Bytes shorter = good;
  shorter.pop_back();
  EXPECT_FALSE(decodeMemoryWrite(ic746, shorter));
  Bytes longer = good;
  longer.push_back(0x20);
  EXPECT_FALSE(decodeMemoryWrite(ic746, longer));
  EXPECT_FALSE(decodeMemoryWrite(ic746, hex("00 01 03 FF"))) << "memory 103";
  EXPECT_FALSE(decodeMemoryWrite(ic746, hex("00 00 05 00"))) << "short write, no blank marker";

  const RadioModel& ic910 = model("IC-910");
  EXPECT_FALSE(decodeMemoryWrite(ic910, hex("00 04 00 01 FF"))) << "band 4";
  EXPECT_FALSE(decodeMemoryWrite(ic910, hex("00 01 01 07 FF"))) << "memory 107";
  EXPECT_FALSE(decodeMemoryWrite(
      ic910, hex("00 02 01 00 00 00 50 45 01 05 01 01 00 08 85 00 08 85 00 6A 00")))
      << "offset nibble";
  EXPECT_FALSE(decodeMemoryWrite(
      ic910, hex("00 02 01 00 00 00 50 45 01 05 01 41 00 08 85 00 08 85 00 60 00")))
      << "undefined flag bit";

  const RadioModel& pro = model("IC-746Pro");
  Bytes proData = encodeMemory(pro, {0, 5}, only(parseMemoryFile(kContest, pro)));
  proData[11] = 0x02;  // data mode is 00 or 01
  EXPECT_FALSE(decodeMemoryWrite(pro, proData));
}

// The IC-7300 family, from the byte table: split and select share the first
// byte, data mode and tone type the ninth.
TEST(MemoryLayout, DataToneLayoutsOfTheIc7300Family) {
  const std::string text =
      R"(mem 7 freq=18130000 mode=USB filter=wide split=1 select=1 data=1 tones=tsql)"
      R"( tsql=100.0 name="DX")";
  const std::string rx = "00 00 13 18 00 01 01 12 00 08 85 00 10 00";
  const std::string tx = "00 00 14 18 00 01 01 12 00 08 85 00 10 00";
  const std::string name10 = "44 58 20 20 20 20 20 20 20 20";
  const std::string name16 = name10 + " 20 20 20 20 20 20";
  struct Case {
    const RadioModel& model;
    std::string contents;
  };
  const RadioModel mk2at10 = *withNameLength(model("IC-7300MK2"), 10);
  const Case cases[] = {
      {model("IC-7300"), rx + " " + tx + " " + name10},
      {model("IC-7300MK2"), rx + " " + tx + " " + name16},
      {mk2at10, rx + " " + tx + " " + name10},
      {model("IC-7610"), rx + " " + name10},
  };
  for (const Case& c : cases) {
    // The IC-7610 has no transmit block to hold another frequency.
    const bool block = c.model.layout == Layout::DataTone;
    const RadioState state = parseMemoryFile(text + (block ? " tx=18140000" : ""), c.model);
    const Bytes expected = hex("00 00 07 11 " + c.contents);
    ASSERT_EQ(encodeMemory(c.model, {0, 7}, only(state)), expected) << c.model.name;
    const auto write = decodeMemoryWrite(c.model, expected);
    ASSERT_TRUE(write) << c.model.name;
    EXPECT_EQ(write->memory, only(state)) << c.model.name;
  }
  // 39, 45 and 25 bytes after the memory number.
  EXPECT_EQ(memoryDataLength(model("IC-7300")), 3 + 39);
  EXPECT_EQ(memoryDataLength(model("IC-7300MK2")), 3 + 45);
  EXPECT_EQ(memoryDataLength(model("IC-7610")), 3 + 25);
  EXPECT_FALSE(withNameLength(model("IC-7300MK2"), 12));
  EXPECT_FALSE(withNameLength(model("IC-7300"), 16));

  // What the IC-7300 cannot hold is refused.
  const RadioModel& ic7300 = model("IC-7300");
  const Bytes good = hex("00 00 07 11 " + rx + " " + tx + " " + name10);
  const std::pair<std::size_t, Byte> faults[] = {
      {3, 0x14},   // select group 4
      {3, 0x21},   // split nibble 2
      {9, 0x06},   // WFM
      {9, 0x11},   // S-AM
      {11, 0x03},  // tone type 3
      {11, 0x22},  // data nibble 2
      {23, 0x06},  // WFM in the transmit block
  };
  for (const auto& [index, value] : faults) {
    Bytes bad = good;
    bad[index] = value;
    EXPECT_FALSE(decodeMemoryWrite(ic7300, bad)) << index << " = " << int(value);
  }
  EXPECT_FALSE(decodeMemoryWrite(model("IC-7300MK2"), good)) << "a 10-character name on the MK2";
  EXPECT_TRUE(decodeMemoryWrite(mk2at10, good));
}

TEST(MemoryLayout, MemoryRequestsName) {
  EXPECT_EQ(parseMemoryRequest(model("IC-746"), hex("00 01 02")), (MemoryKey{0, 102}));
  EXPECT_FALSE(parseMemoryRequest(model("IC-756Pro"), hex("00 01 02"))) << "no memory 102";
  EXPECT_EQ(parseMemoryRequest(model("IC-910"), hex("00 03 01 06")), (MemoryKey{3, 106}));
  EXPECT_FALSE(parseMemoryRequest(model("IC-910"), hex("00 00 00 01"))) << "band 0";
  EXPECT_FALSE(parseMemoryRequest(model("IC-746"), hex("00 00 1F"))) << "bad BCD";
}

}  // namespace
}  // namespace tarnwick::sim
