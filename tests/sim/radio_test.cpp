// The radio's conversation, frame by frame, against hand-written bytes.

#include "sim/radio.h"

#include <gtest/gtest.h>

#include "sim/frame_parser.h"
#include "sim/memory_file.h"
#include "sim_test_util.h"

namespace tarnwick::sim {
namespace {

using test::hex;
using test::model;

// Parses one hand-written frame, so tests read like the bytes on the bus.
Frame frame(std::string_view text) {
  Frame result;
  int count = 0;
  FrameParser parser([&](const Frame& f, const Bytes&) {
    result = f;
    ++count;
  });
  parser.feed(hex(text));
  if (count != 1) throw std::invalid_argument("not one frame");
  return result;
}

Radio radioWithDefaults(std::string_view name, Faults faults = {}) {
  const RadioModel& m = model(name);
  return Radio(m, parseMemoryFile(defaultMemoryText(m), m), std::move(faults));
}

TEST(Radio, AnswersTheContestMemoryToAnyController) {
  Radio radio = radioWithDefaults("IC-746");
  const Bytes expected =
      hex("FE FE E0 56 1A 00 00 05 01 00 50 19 14 00 01 02 00 00 08 85 00 08 85"
          " 00 50 19 14 00 01 02 00 00 08 85 00 08 85 43 4F 4E 54 45 53 54 20 20 FD");
  EXPECT_EQ(radio.handle(frame("FE FE 56 E0 1A 00 00 05 FD")).answer, expected);

  // Another controller gets the answer addressed to it.
  const Bytes toE2 = radio.handle(frame("FE FE 56 E2 1A 00 00 05 FD")).answer;
  ASSERT_GT(toE2.size(), 4u);
  EXPECT_EQ(toE2[2], 0xE2);
  EXPECT_EQ(toE2[3], 0x56);
}

TEST(Radio, AnswersIc910BandMemories) {
  Radio radio = radioWithDefaults("IC-910");
  EXPECT_EQ(
      radio.handle(frame("FE FE 60 E0 1A 00 02 01 00 FD")).answer,
      hex("FE FE E0 60 1A 00 02 01 00 00 00 50 45 01 05 01 01 00 08 85 00 08 85 00 60 00 FD"));
  EXPECT_EQ(radio.handle(frame("FE FE 60 E0 1A 00 03 00 50 FD")).answer,
            hex("FE FE E0 60 1A 00 03 00 50 FF FD"));
  // A request without the band byte is not a request the IC-910 understands.
  EXPECT_EQ(radio.handle(frame("FE FE 60 E0 1A 00 01 00 FD")).answer, hex("FE FE E0 60 FA FD"));
}

TEST(Radio, BlankMemoryAndOutOfRangeRequests) {
  Radio radio = radioWithDefaults("IC-756Pro");
  EXPECT_EQ(radio.handle(frame("FE FE 5C E0 1A 00 00 06 FD")).answer,
            hex("FE FE E0 5C 1A 00 00 06 FF FD"));
  EXPECT_EQ(radio.handle(frame("FE FE 5C E0 1A 00 01 02 FD")).answer, hex("FE FE E0 5C FA FD"));
  EXPECT_EQ(radio.handle(frame("FE FE 5C E0 1A 00 00 00 FD")).answer, hex("FE FE E0 5C FA FD"));
}

TEST(Radio, WriteThenReadBackAndErase) {
  Radio radio = radioWithDefaults("IC-756ProII");
  const std::string write =
      "FE FE 64 E0 1A 00 00 42 00 00 00 13 14 00 03 03 00 00 08 85 00 08 85"
      " 51 52 50 20 20 20 20 20 20 20 FD";
  EXPECT_EQ(radio.handle(frame(write)).answer, hex("FE FE E0 64 FB FD"));
  EXPECT_EQ(radio.handle(frame("FE FE 64 E0 1A 00 00 42 FD")).answer,
            hex("FE FE E0 64 1A 00 00 42 00 00 00 13 14 00 03 03 00 00 08 85 00 08 85"
                " 51 52 50 20 20 20 20 20 20 20 FD"));
  const Memory& stored = radio.state().memory({0, 42});
  EXPECT_EQ(stored.rx.hz, 14'130'000);
  EXPECT_EQ(stored.rx.mode, mode::kCw);
  EXPECT_EQ(stored.name, "QRP       ");

  EXPECT_EQ(radio.handle(frame("FE FE 64 E0 1A 00 00 42 FF FD")).answer, hex("FE FE E0 64 FB FD"));
  EXPECT_TRUE(radio.state().memory({0, 42}).blank);
  EXPECT_EQ(radio.handle(frame("FE FE 64 E0 1A 00 00 42 FD")).answer,
            hex("FE FE E0 64 1A 00 00 42 FF FD"));
}

TEST(Radio, MalformedWritesGetNgAndChangeNothing) {
  Radio radio = radioWithDefaults("IC-746");
  const RadioState before = radio.state();
  const char* const writes[] = {
      "FE FE 56 E0 1A 00 00 05 01 00 50 FD",  // far too short
      "FE FE 56 E0 1A 00 00 05 FF 00 FD",     // blank marker with a tail
      "FE FE 56 E0 1A 00 00 05 01 00 5A 19 14 00 01 02 00 00 08 85 00 08 85"
      " 00 50 19 14 00 01 02 00 00 08 85 00 08 85 43 4F 4E 54 45 53 54 20 20 FD",  // bad BCD
  };
  for (const char* w : writes) {
    EXPECT_EQ(radio.handle(frame(w)).answer, hex("FE FE E0 56 FA FD")) << w;
  }
  EXPECT_EQ(radio.state().memories, before.memories);
}

// The whole offset conversation runs over the pseudo-terminal in pty_test;
// here, that the offset follows the VFO's band and can be set.
TEST(Radio, Ic746OffsetFollowsTheVfoBand) {
  Radio radio = radioWithDefaults("IC-746");
  auto says = [&](std::string_view request) { return radio.handle(frame(request)).answer; };
  const Bytes ok = hex("FE FE E0 56 FB FD");
  EXPECT_EQ(says("FE FE 56 E0 05 99 99 99 49 00 FD"), ok);  // 49,999,999 Hz: still HF
  EXPECT_EQ(says("FE FE 56 E0 0C FD"), hex("FE FE E0 56 0C 00 12 00 FD"));
  EXPECT_EQ(says("FE FE 56 E0 0C 00 25 00 FD"), ok);
  EXPECT_EQ(radio.state().offsetsHz[kOffsetHf], 250'000);
  EXPECT_EQ(says("FE FE 56 E0 0C 00 2A 00 FD"), hex("FE FE E0 56 FA FD"));
  EXPECT_EQ(says("FE FE 56 E0 05 00 00 00 44 01 FD"), ok);  // 144 MHz
  EXPECT_EQ(says("FE FE 56 E0 0C FD"), hex("FE FE E0 56 0C 00 70 00 FD"));
  EXPECT_EQ(says("FE FE 56 E0 0F 12 FD"), ok);
  EXPECT_EQ(radio.state().vfo.duplex, VfoDuplex::Plus);
}

TEST(Radio, Ic746ProOffsetItems) {
  Radio radio = radioWithDefaults("IC-746Pro");
  auto says = [&](std::string_view request) { return radio.handle(frame(request)).answer; };
  EXPECT_EQ(says("FE FE 66 E0 1A 05 14 FD"), hex("FE FE E0 66 1A 05 14 00 12 00 FD"));
  EXPECT_EQ(says("FE FE 66 E0 1A 05 15 FD"), hex("FE FE E0 66 1A 05 15 00 00 01 FD"));
  EXPECT_EQ(says("FE FE 66 E0 1A 05 16 FD"), hex("FE FE E0 66 1A 05 16 00 70 00 FD"));
  EXPECT_EQ(says("FE FE 66 E0 1A 05 17 FD"), hex("FE FE E0 66 FA FD"));
  EXPECT_EQ(says("FE FE 66 E0 1A 05 16 00 60 00 FD"), hex("FE FE E0 66 FB FD"));
  EXPECT_EQ(radio.state().offsetsHz[kOffset144], 600'000);
  // The 0C command is the IC-746's way, not this radio's.
  EXPECT_EQ(says("FE FE 66 E0 0C FD"), hex("FE FE E0 66 FA FD"));
}

TEST(Radio, TuningOnEveryModelAndNgForTheRest) {
  for (const RadioModel& m : radioModels()) {
    Radio radio(m, RadioState{});
    const Byte a = m.address;
    auto req = [&](Bytes body) {
      Frame f{.to = a, .from = 0xE0, .command = body[0], .data = {}};
      f.data.assign(body.begin() + 1, body.end());
      return radio.handle(f).answer;
    };
    const Bytes ok{0xFE, 0xFE, 0xE0, a, 0xFB, 0xFD};
    const Bytes ng{0xFE, 0xFE, 0xE0, a, 0xFA, 0xFD};
    EXPECT_EQ(req(hex("05 00 00 50 45 01")), ok) << m.name;
    EXPECT_EQ(req(hex("06 05 01")), ok) << m.name;
    EXPECT_EQ(radio.state().vfo.hz, 145'500'000) << m.name;
    EXPECT_EQ(radio.state().vfo.mode, mode::kFm) << m.name;
    EXPECT_EQ(req(hex("05 00 00 5A 45 01")), ng) << m.name << " bad BCD";
    EXPECT_EQ(req(hex("05 00 00 50 45")), ng) << m.name << " four bytes";
    EXPECT_EQ(req(hex("06 09 01")), ng) << m.name << " unknown mode";
    EXPECT_EQ(req(hex("06 01 04")), ng) << m.name << " unknown filter";
    EXPECT_EQ(req(hex("19 00")), (Bytes{0xFE, 0xFE, 0xE0, a, 0x19, 0x00, a, 0xFD})) << m.name;
    EXPECT_EQ(req(hex("19 01")), ng) << m.name;
    EXPECT_EQ(req(hex("1A 07")), ng) << m.name;
    EXPECT_EQ(req(hex("0F 13")), ng) << m.name;
    if (m.offsetAccess != OffsetAccess::OffsetCommand) {
      EXPECT_EQ(req(hex("0C")), ng) << m.name;
    }
  }
}

TEST(Radio, IgnoresFramesForOtherStationsAndHonoursAnAddressGiven) {
  const RadioModel& m = model("IC-746");
  Radio radio(m, RadioState{}, {}, Byte{0x70});
  EXPECT_TRUE(radio.handle(frame("FE FE 56 E0 03 FD")).answer.empty());
  EXPECT_TRUE(radio.handle(frame("FE FE 00 E0 03 FD")).answer.empty());
  EXPECT_EQ(radio.handle(frame("FE FE 70 E0 1A 00 00 01 FD")).answer,
            hex("FE FE E0 70 1A 00 00 01 FF FD"));
  EXPECT_EQ(radio.requestCount(), 1);
}

// "Find Radio": the ID request, to everyone or to the radio itself, is
// answered to the asker; no other broadcast is.
TEST(Radio, AnswersTheIdRequestSentToEveryStation) {
  Radio radio = radioWithDefaults("IC-7300");
  EXPECT_EQ(radio.handle(frame("FE FE 00 E0 19 00 FD")).answer, hex("FE FE E0 94 19 00 94 FD"));
  EXPECT_EQ(radio.handle(frame("FE FE 94 E0 19 00 FD")).answer, hex("FE FE E0 94 19 00 94 FD"));
  EXPECT_TRUE(radio.handle(frame("FE FE 00 E0 03 FD")).answer.empty());
  EXPECT_TRUE(radio.handle(frame("FE FE 00 E0 1A 00 00 01 FD")).answer.empty());
  EXPECT_TRUE(radio.handle(frame("FE FE 00 94 19 00 FD")).answer.empty()) << "its own frame";
}

TEST(Radio, Ic7300MemoryAndDataModeTuning) {
  Radio radio = radioWithDefaults("IC-7300");
  // Memory 17: USB-D (FT8) with the wide filter, no name beyond "FT8".
  EXPECT_EQ(radio.handle(frame("FE FE 94 E0 1A 00 00 17 FD")).answer,
            hex("FE FE E0 94 1A 00 00 17 00 00 40 07 07 00 01 01 10 00 08 85 00 08 85"
                " 00 40 07 07 00 01 01 10 00 08 85 00 08 85 46 54 38 20 20 20 20 20 20 20 FD"));
  EXPECT_EQ(radio.handle(frame("FE FE 94 E0 1A 00 00 06 FD")).answer,
            hex("FE FE E0 94 1A 00 00 06 FF FD"));
  auto says = [&](std::string_view request) { return radio.handle(frame(request)).answer; };
  const Bytes ok = hex("FE FE E0 94 FB FD");
  const Bytes ng = hex("FE FE E0 94 FA FD");
  EXPECT_EQ(says("FE FE 94 E0 1A 06 01 02 FD"), ok);
  EXPECT_TRUE(radio.state().vfo.data);
  EXPECT_EQ(radio.state().vfo.filter, filter::kNormal);
  EXPECT_EQ(says("FE FE 94 E0 1A 06 FD"), hex("FE FE E0 94 1A 06 01 02 FD"));
  EXPECT_EQ(says("FE FE 94 E0 1A 06 00 00 FD"), ok);
  EXPECT_FALSE(radio.state().vfo.data);
  EXPECT_EQ(says("FE FE 94 E0 1A 06 FD"), hex("FE FE E0 94 1A 06 00 00 FD"));
  EXPECT_EQ(says("FE FE 94 E0 1A 06 01 00 FD"), ng) << "data on needs a filter";
  EXPECT_EQ(says("FE FE 94 E0 1A 06 02 01 FD"), ng);
  EXPECT_EQ(says("FE FE 94 E0 06 06 FD"), ng) << "no WFM";
  // The older radios have no 1A 06.
  Radio older = radioWithDefaults("IC-746Pro");
  EXPECT_EQ(older.handle(frame("FE FE 66 E0 1A 06 01 02 FD")).answer, hex("FE FE E0 66 FA FD"));
}

TEST(Radio, TransceiveFrameCarriesTheVfoToEveryStation) {
  Radio radio = radioWithDefaults("IC-7610");
  EXPECT_EQ(radio.transceiveFrame(), hex("FE FE 00 98 00 00 00 07 14 00 FD"));
}

TEST(Radio, FaultSilentAndDropEvery) {
  Radio silent = radioWithDefaults("IC-746", {.silent = true});
  EXPECT_TRUE(silent.handle(frame("FE FE 56 E0 1A 00 00 05 FD")).answer.empty());
  EXPECT_TRUE(silent.handle(frame("FE FE 56 E0 05 00 00 07 14 00 FD")).answer.empty());
  EXPECT_EQ(silent.state().vfo.hz, 14'070'000) << "a silent radio acts on nothing";

  Radio dropping = radioWithDefaults("IC-746", {.dropEvery = 3});
  std::vector<bool> answered;
  for (int i = 1; i <= 7; ++i) {
    answered.push_back(!dropping.handle(frame("FE FE 56 E0 1A 00 00 01 FD")).answer.empty());
  }
  EXPECT_EQ(answered, (std::vector<bool>{true, true, false, true, true, false, true}));
}

TEST(Radio, FaultNgWriteRefusesOnlyTheListedMemories) {
  Radio radio = radioWithDefaults("IC-746", {.ngWrite = {3, 7}});
  EXPECT_EQ(radio.handle(frame("FE FE 56 E0 1A 00 00 07 FF FD")).answer, hex("FE FE E0 56 FA FD"));
  EXPECT_FALSE(radio.state().memory({0, 7}).blank) << "the refused write changed nothing";
  EXPECT_EQ(radio.handle(frame("FE FE 56 E0 1A 00 00 08 FF FD")).answer, hex("FE FE E0 56 FB FD"));
  EXPECT_TRUE(radio.state().memory({0, 8}).blank);
  // Reading a listed memory still works.
  EXPECT_EQ(radio.handle(frame("FE FE 56 E0 1A 00 00 03 FD")).answer[7], 0x03);
}

TEST(Radio, FaultShiftAnswerGivesTheNextMemoryTheFirstTime) {
  Radio radio = radioWithDefaults("IC-746", {.shiftAnswer = {4}});
  const Bytes answer = radio.handle(frame("FE FE 56 E0 1A 00 00 04 FD")).answer;
  ASSERT_GT(answer.size(), 12u);
  EXPECT_EQ(answer[7], 0x05) << "memory number of the answer";
  EXPECT_EQ(answer, radio.handle(frame("FE FE 56 E0 1A 00 00 05 FD")).answer);
  // Asked again, the radio answers for the memory asked for.
  EXPECT_EQ(radio.handle(frame("FE FE 56 E0 1A 00 00 04 FD")).answer[7], 0x04);
}

TEST(Radio, FaultCorruptWriteTakesTheWriteButKeepsSomethingElse) {
  Radio radio = radioWithDefaults("IC-746", {.corruptWrite = {5}});
  const Memory before = radio.state().memory({0, 5});
  ASSERT_FALSE(before.blank);
  // A copy of memory 5 written back: taken, with tone squelch switched over.
  Bytes write = radio.handle(frame("FE FE 56 E0 1A 00 00 05 FD")).answer;
  write[2] = 0x56;
  write[3] = 0xE0;
  EXPECT_EQ(radio.handle(frame(hexText(write))).answer, hex("FE FE E0 56 FB FD"));
  Memory expected = before;
  expected.rx.toneSquelchOn = !expected.rx.toneSquelchOn;
  EXPECT_EQ(radio.state().memory({0, 5}), expected);
  // An erase is answered OK and not done.
  EXPECT_EQ(radio.handle(frame("FE FE 56 E0 1A 00 00 05 FF FD")).answer, hex("FE FE E0 56 FB FD"));
  EXPECT_FALSE(radio.state().memory({0, 5}).blank);
  // Other memories are written as sent.
  EXPECT_EQ(radio.handle(frame("FE FE 56 E0 1A 00 00 06 FF FD")).answer, hex("FE FE E0 56 FB FD"));
  EXPECT_TRUE(radio.state().memory({0, 6}).blank);
}

TEST(Radio, FaultCloseAfterN) {
  Radio radio = radioWithDefaults("IC-746", {.closeAfter = 2});
  EXPECT_FALSE(radio.handle(frame("FE FE 56 E0 1A 00 00 01 FD")).answer.empty());
  EXPECT_FALSE(radio.handle(frame("FE FE 56 E0 1A 00 00 02 FD")).answer.empty());
  const Reply third = radio.handle(frame("FE FE 56 E0 1A 00 00 03 FD"));
  EXPECT_TRUE(third.closeDevice);
  EXPECT_TRUE(third.answer.empty());
  EXPECT_FALSE(radio.handle(frame("FE FE 56 E0 1A 00 00 04 FD")).closeDevice) << "closes once";
}

TEST(FrameParser, HuntsForFramesThroughNoiseAndBrokenHeaders) {
  std::vector<Bytes> raws;
  std::vector<Frame> frames;
  FrameParser parser([&](const Frame& f, const Bytes& raw) {
    frames.push_back(f);
    raws.push_back(raw);
  });
  parser.feed(hex("00 12 FD FE 33"));        // noise, a lone FE
  parser.feed(hex("FE FE FE 56 E0 03 FD"));  // a longer preamble still counts
  parser.feed(hex("FE FE F1 E0 03 FD"));     // address F1: dropped
  parser.feed(hex("FE FE 56 E0 1A 00"));     // split over two reads
  parser.feed(hex("00 05 FD"));
  parser.feed(hex("FE FE 56 E0 FB FD"));
  ASSERT_EQ(frames.size(), 3u);
  EXPECT_EQ(raws[0], hex("FE FE 56 E0 03 FD"));
  EXPECT_EQ(frames[1].command, 0x1A);
  EXPECT_EQ(frames[1].data, hex("00 00 05"));
  EXPECT_EQ(frames[2].command, 0xFB);

  Bytes tooLong = hex("FE FE 56 E0 1A");
  tooLong.resize(tooLong.size() + FrameParser::kMaxData + 1, 0x20);
  tooLong.push_back(0xFD);
  parser.feed(tooLong);
  parser.feed(hex("FE FE 56 E0 04 FD"));
  ASSERT_EQ(frames.size(), 4u) << "an over-long frame is dropped, the next one is heard";
  EXPECT_EQ(frames[3].command, 0x04);
}

}  // namespace
}  // namespace tarnwick::sim
