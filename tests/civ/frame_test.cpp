// Framing texts and the frame assembler's rules.

#include <gtest/gtest.h>

#include <vector>

#include "civ/civ_frame.h"
#include "civ/frame_assembler.h"

namespace tarnwick {
namespace {

using Bytes = std::vector<Byte>;

std::vector<CivFrame> feedAll(FrameAssembler& a, const Bytes& bytes) {
  std::vector<CivFrame> out;
  for (Byte b : bytes) {
    if (auto f = a.feed(b)) out.push_back(*f);
  }
  return out;
}

std::vector<CivFrame> assemble(const Bytes& bytes) {
  FrameAssembler a;
  return feedAll(a, bytes);
}

TEST(HexDump, TwoUpperCaseDigitsAndABlankPerByte) {
  EXPECT_EQ(hexDump(Bytes{0xFE, 0xFE, 0x5C, 0xE0, 0x1A, 0x00, 0x00, 0x01, 0xFD}),
            "FE FE 5C E0 1A 00 00 01 FD ");
  EXPECT_EQ(hexDump(Bytes{}), "");
  EXPECT_EQ(hexDump(Bytes{0x0a}), "0A ");
}

TEST(FrameDump, SourceFirstThenDestinationCommandLengthAnd64DataBytes) {
  CivFrame f;
  f.source = 0x5C;
  f.destination = 0xE0;
  f.command = 0xFB;
  std::string expected = "5C E0 FB 00 ";
  for (int i = 0; i < 64; ++i) expected += "00 ";
  EXPECT_EQ(frameDump(f), expected);

  f.length = 256;
  f.data[0] = 0xAB;
  f.data[63] = 0x01;
  f.data[64] = 0x77;  // past the 64 shown bytes
  const std::string dump = frameDump(f);
  EXPECT_EQ(dump.substr(0, 19), "5C E0 FB 100 AB 00 ");
  EXPECT_EQ(dump.substr(dump.size() - 6), "00 01 ");
  EXPECT_EQ(dump.find("77"), std::string::npos);
}

TEST(FrameAssembler, AssemblesAFrameWithAddressesCommandAndData) {
  const auto frames = assemble({0xFE, 0xFE, 0xE0, 0x5C, 0x1A, 0x00, 0x00, 0x01, 0xFE, 0xFC, 0xFD});
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].destination, 0xE0);
  EXPECT_EQ(frames[0].source, 0x5C);
  EXPECT_EQ(frames[0].command, 0x1A);
  // FE and FC inside the data are ordinary bytes.
  EXPECT_EQ(frames[0].length, 5);
  EXPECT_EQ(frames[0].payload().back(), 0xFC);
  EXPECT_EQ(frames[0].data[3], 0xFE);
  EXPECT_EQ(frames[0].data[5], 0x00);
}

TEST(FrameAssembler, DropsTheEchoOfOwnFrames) {
  FrameAssembler a;
  EXPECT_TRUE(feedAll(a, {0xFE, 0xFE, 0x5C, 0xE0, 0x1A, 0x00, 0x00, 0x01, 0xFD}).empty());
  EXPECT_EQ(a.rxState(), RxState::WaitPreamble);
  // The bytes after the dropped source are hunted through, then a real answer.
  EXPECT_EQ(feedAll(a, {0xFE, 0xFE, 0xE0, 0x5C, 0xFB, 0xFD}).size(), 1u);
}

TEST(FrameAssembler, PreambleInsideAnUnfinishedFrameStartsANewFrame) {
  const Bytes ok{0xFE, 0xFE, 0xE0, 0x5C, 0xFB, 0xFD};
  struct Case {
    const char* what;
    Bytes before;  // what comes before the OK frame
  };
  const std::vector<Case> cases{
      {"stray FE", {0xFE}},
      {"two stray FE", {0xFE, 0xFE}},
      {"lost end byte", {0xFE, 0xFE, 0xE0, 0x5C, 0x1A, 0x00, 0x00, 0x05}},
      {"lost end byte after one FE of data", {0xFE, 0xFE, 0xE0, 0x5C, 0x1A, 0xFE}},
      {"header cut after the destination", {0xFE, 0xFE, 0xE0}},
      {"header cut after the source", {0xFE, 0xFE, 0xE0, 0x5C}},
      {"echo cut short", {0xFE, 0xFE, 0x5C, 0xE0, 0x1A}},
  };
  for (const Case& c : cases) {
    Bytes stream = c.before;
    stream.insert(stream.end(), ok.begin(), ok.end());
    const auto frames = assemble(stream);
    ASSERT_EQ(frames.size(), 1u) << c.what;
    EXPECT_EQ(frames[0].command, 0xFB) << c.what;
    EXPECT_EQ(frames[0].length, 0) << c.what;
  }
  // One FE inside data is still a data byte.
  const auto single = assemble({0xFE, 0xFE, 0xE0, 0x5C, 0x1A, 0x05, 0xFE, 0x14, 0xFD});
  ASSERT_EQ(single.size(), 1u);
  EXPECT_EQ(single[0].length, 3);
  EXPECT_EQ(single[0].data[1], 0xFE);
}

TEST(FrameAssembler, MalformedHeadersAreDiscarded) {
  struct Case {
    const char* what;
    Bytes bytes;
  };
  const std::vector<Case> cases{
      {"broken preamble", {0xFE, 0x00, 0xE0, 0x5C, 0xFB, 0xFD}},
      {"destination F0", {0xFE, 0xFE, 0xF0, 0x5C, 0xFB, 0xFD}},
      {"source F1", {0xFE, 0xFE, 0xE0, 0xF1, 0xFB, 0xFD}},
      {"own source", {0xFE, 0xFE, 0x00, 0xE0, 0xFB, 0xFD}},
      {"command 0x20", {0xFE, 0xFE, 0xE0, 0x5C, 0x20, 0x01, 0x02, 0xFD}},
      {"command 0x1D", {0xFE, 0xFE, 0xE0, 0x5C, 0x1D, 0xFD}},
      {"command 0xFC", {0xFE, 0xFE, 0xE0, 0x5C, 0xFC, 0xFD}},
      {"end byte as command", {0xFE, 0xFE, 0xE0, 0x5C, 0xFD}},
  };
  for (const Case& c : cases) {
    FrameAssembler a;
    EXPECT_TRUE(feedAll(a, c.bytes).empty()) << c.what;
    EXPECT_EQ(a.rxState(), RxState::WaitPreamble) << c.what;
  }
}

TEST(FrameAssembler, AcceptedCommandSetAndAnyOtherStation) {
  for (int c = 0; c < 256; ++c) {
    const auto frames = assemble({0xFE, 0xFE, 0xE0, 0x5C, static_cast<Byte>(c), 0xFD});
    const bool accepted = c <= 0x1C || c == 0xFA || c == 0xFB;
    EXPECT_EQ(frames.size(), accepted ? 1u : 0u) << "command " << c;
  }
  // Another controller, a broadcast: both are taken, addresses not compared.
  const auto other = assemble({0xFE, 0xFE, 0xE0, 0xE2, 0xFB, 0xFD, 0xFE, 0xFE, 0x00, 0x5C, 0x03,
                               0x00, 0x00, 0x60, 0x29, 0x00, 0xFD});
  ASSERT_EQ(other.size(), 2u);
  EXPECT_EQ(other[0].source, 0xE2);
  EXPECT_EQ(other[1].destination, 0x00);
  EXPECT_EQ(other[1].length, 5);
}

TEST(FrameAssembler, EmptyFrameHasLengthZero) {
  const auto frames = assemble({0xFE, 0xFE, 0xE0, 0x5C, 0xFB, 0xFD});
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(frames[0].length, 0);
  EXPECT_TRUE(frames[0].payload().empty());
}

TEST(FrameAssembler, SplitByteByByteAssemblesTheSame) {
  const Bytes stream{0x00, 0xFE, 0xFE, 0xE0, 0x5C, 0x1A, 0x00, 0x00, 0x05,
                     0xFF, 0xFD, 0xFE, 0xFE, 0xE0, 0x5C, 0xFA, 0xFD};
  const auto whole = assemble(stream);
  FrameAssembler a;
  std::vector<CivFrame> pieces;
  for (Byte b : stream) {
    // One feed per receive event; the state carries over between them.
    const auto f = feedAll(a, Bytes{b});
    pieces.insert(pieces.end(), f.begin(), f.end());
  }
  ASSERT_EQ(whole.size(), 2u);
  ASSERT_EQ(pieces.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    EXPECT_EQ(frameDump(pieces[i]), frameDump(whole[i]));
  }
}

TEST(FrameAssembler, AtMost256DataBytes) {
  Bytes full{0xFE, 0xFE, 0xE0, 0x5C, 0x1A};
  full.insert(full.end(), 256, 0x11);
  Bytes accepted = full;
  accepted.push_back(0xFD);
  const auto ok = assemble(accepted);
  ASSERT_EQ(ok.size(), 1u);
  EXPECT_EQ(ok[0].length, 256);

  Bytes tooLong = full;
  tooLong.push_back(0x11);  // the 257th data byte discards the frame
  tooLong.push_back(0xFD);
  FrameAssembler a;
  EXPECT_TRUE(feedAll(a, tooLong).empty());
  EXPECT_EQ(a.rxState(), RxState::WaitPreamble);
  EXPECT_EQ(feedAll(a, {0xFE, 0xFE, 0xE0, 0x5C, 0xFB, 0xFD}).size(), 1u);
}

}  // namespace
}  // namespace tarnwick
