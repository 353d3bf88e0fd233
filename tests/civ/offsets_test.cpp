// The duplex-offset sequences of the IC-746 and the IC-746Pro.

#include <gtest/gtest.h>

#include "rig/rig_catalogue.h"
#include "tests/civ/civ_fakes.h"

namespace tarnwick::test {
namespace {

constexpr Byte kIc746 = 0x56;

// The IC-746 sequence as a conversation; step i waits in state 8 + i and
// reports time-out i + 1 when unanswered. The VFO is on 14.074 MHz USB.
std::vector<ConversationStep> ic746Sequence() {
  return {
      {"select VFO", {0x07, 0x00}, {kOkPayload}},
      {"read frequency", {0x03}, {{0x03, 0x00, 0x40, 0x07, 0x14, 0x00}}},
      {"read mode", {0x04}, {{0x04, 0x01, 0x02}}},
      {"tune 29.6 MHz", {0x05, 0x00, 0x00, 0x60, 0x29, 0x00}, {kOkPayload}},
      {"duplex minus", {0x0F, 0x11}, {kOkPayload}},
      {"read HF offset", {0x0C}, {{0x0C, 0x34, 0x12, 0x00}}},
      {"tune 50.12 MHz", {0x05, 0x00, 0x00, 0x12, 0x50, 0x00}, {kOkPayload}},
      {"duplex plus", {0x0F, 0x12}, {kOkPayload}},
      {"read 50 MHz offset", {0x0C}, {{0x0C, 0x78, 0x56, 0x00}}},
      {"tune 145.7 MHz", {0x05, 0x00, 0x00, 0x70, 0x45, 0x01}, {kOkPayload}},
      {"duplex minus", {0x0F, 0x11}, {kOkPayload}},
      {"read 144 MHz offset", {0x0C}, {{0x0C, 0x00, 0x60, 0x00}}},
      {"restore frequency", {0x05, 0x00, 0x40, 0x07, 0x14, 0x00}, {kOkPayload}},
      {"restore mode", {0x06, 0x01, 0x02}, {kOkPayload}},
  };
}

const DuplexOffsets kOld{.hf = 1, .mhz50 = 2, .mhz144 = 3};

TEST(Ic746Offsets, WholeSequenceThenTheBank) {
  EngineRig r(kModelIc746, kIc746);
  r.engine.setOffsets(kOld);
  auto steps = ic746Sequence();
  steps.push_back({"memory 1", memoryRequest(1), {memoryAnswer(kModelIc746, 1, 7100000)}});
  r.port.script(steps);
  r.port.responder = blankBankResponder(kModelIc746);
  r.restart();
  EXPECT_TRUE(r.port.scriptDone());
  EXPECT_EQ(r.engine.offsets(), (DuplexOffsets{.hf = 123400, .mhz50 = 567800, .mhz144 = 600000}));
  EXPECT_EQ(r.port.sent.size(), 14u + 102u);
  EXPECT_EQ(r.port.sentPayloads.back(), memoryRequest(102));
  // No status text of its own during the sequence.
  const auto left = r.window.leftTexts();
  ASSERT_GE(left.size(), 2u);
  EXPECT_EQ(left[0], "Restart...");
  EXPECT_EQ(left[1], "Reading #2");
  EXPECT_EQ(left.back(), "Ready");
  EXPECT_EQ(r.engine.engineState(), smIdle);
}

// Each state of the sequence, left unanswered or answered NG, reports its
// own time-out number; the offsets learnt before stay, the rest keep their
// old values.
TEST(Ic746Offsets, EveryStateTimesOutWithItsNumber) {
  const auto all = ic746Sequence();
  for (bool ng : {false, true}) {
    for (std::size_t cut = 0; cut < all.size(); ++cut) {
      EngineRig r(kModelIc746, kIc746);
      r.engine.setOffsets(kOld);
      std::vector<ConversationStep> steps(all.begin(), all.begin() + static_cast<long>(cut) + 1);
      steps.back().answers = ng ? std::vector<Bytes>{kNgPayload} : std::vector<Bytes>{};
      r.port.script(steps);
      r.restart();
      EXPECT_EQ(r.engine.engineState(), 8 + cut) << cut;
      r.advance(4000);
      const std::string what = std::string(ng ? "NG" : "silence") + " at " + all[cut].name;
      EXPECT_TRUE(r.port.scriptDone()) << what;
      // The unanswered command went out three times.
      EXPECT_EQ(r.port.sent.size(), cut + 1 + kRepeatsPerRequest) << what;
      EXPECT_EQ(r.port.sent.back(), r.port.sent[cut]) << what;
      EXPECT_EQ(r.log.linesStartingWith("Timeout: "),
                std::vector<std::string>{"Timeout: " + std::to_string(cut + 1)})
          << what;
      EXPECT_EQ(r.engine.engineState(), smIdle) << what;
      const DuplexOffsets o = r.engine.offsets();
      EXPECT_EQ(o.hf, cut > 5 ? 123400 : 1) << what;
      EXPECT_EQ(o.mhz50, cut > 8 ? 567800 : 2) << what;
      EXPECT_EQ(o.mhz144, cut > 11 ? 600000 : 3) << what;
    }
  }
}

TEST(Ic746Offsets, TimeoutInState16LeavesTheRadioOn50MHzDuplexPlus) {
  EngineRig r(kModelIc746, kIc746);
  r.engine.setOffsets(kOld);
  auto steps = ic746Sequence();
  steps.resize(9);
  steps.back().answers.clear();
  r.port.script(steps);
  r.restart();
  EXPECT_EQ(r.engine.engineState(), smOffset50);
  r.advance(4000);
  EXPECT_EQ(r.log.lines().back(), "Timeout: 9");
  EXPECT_EQ(r.port.sentPayloads[6], (Bytes{0x05, 0x00, 0x00, 0x12, 0x50, 0x00}));
  EXPECT_EQ(r.port.sentPayloads[7], (Bytes{0x0F, 0x12}));
  EXPECT_EQ(r.engine.offsets(), (DuplexOffsets{.hf = 123400, .mhz50 = 2, .mhz144 = 3}));
}

std::vector<ConversationStep> proSequence() {
  return {
      {"HF offset", {0x1A, 0x05, 0x14}, {{0x1A, 0x05, 0x14, 0x34, 0x12, 0x00}}},
      {"50 MHz offset", {0x1A, 0x05, 0x15}, {{0x1A, 0x05, 0x15, 0x78, 0x56, 0x00}}},
      {"144 MHz offset", {0x1A, 0x05, 0x16}, {{0x1A, 0x05, 0x16, 0x00, 0x60, 0x00}}},
  };
}

TEST(Ic746ProOffsets, EachOffsetIsTakenAtTheNextTick) {
  EngineRig r(kModelIc746Pro, 0x66);
  auto steps = proSequence();
  steps.push_back({"memory 1", memoryRequest(1), {memoryAnswer(kModelIc746Pro, 1, 7100000)}});
  r.port.script(steps);
  r.port.responder = blankBankResponder(kModelIc746Pro);
  r.restart();
  EXPECT_EQ(r.port.sent.size(), 1u);
  EXPECT_EQ(r.engine.engineState(), smProOffsetHf);
  r.advance(1000);
  EXPECT_EQ(r.port.sent.size(), 2u);
  r.advance(1000);
  EXPECT_EQ(r.port.sent.size(), 3u);
  r.advance(1000);
  EXPECT_TRUE(r.port.scriptDone());
  EXPECT_EQ(r.port.sentAtMs[3], 3000);  // about three seconds before memory 1
  EXPECT_EQ(r.port.sent.size(), 3u + 102u);
  EXPECT_EQ(r.engine.offsets(), (DuplexOffsets{.hf = 123400, .mhz50 = 567800, .mhz144 = 600000}));
  EXPECT_EQ(r.window.leftTexts().back(), "Ready");
  EXPECT_EQ(trimmed(r.rig.cell(colFrequency, 1)).empty(), false);
}

TEST(Ic746ProOffsets, EveryStateTimesOutWithItsNumber) {
  const auto all = proSequence();
  for (std::size_t cut = 0; cut < all.size(); ++cut) {
    EngineRig r(kModelIc746Pro, 0x66);
    r.engine.setOffsets(kOld);
    std::vector<ConversationStep> steps(all.begin(), all.begin() + static_cast<long>(cut) + 1);
    steps.back().answers.clear();
    r.port.script(steps);
    r.restart();
    r.advance(1000 * static_cast<long>(cut) + 4000);
    EXPECT_TRUE(r.port.scriptDone()) << cut;
    EXPECT_EQ(r.log.linesStartingWith("Timeout: "),
              std::vector<std::string>{"Timeout: " + std::to_string(19 + cut)});
    EXPECT_EQ(r.engine.offsets().hf, cut > 0 ? 123400 : 1);
    EXPECT_EQ(r.engine.offsets().mhz50, cut > 1 ? 567800 : 2);
    EXPECT_EQ(r.engine.offsets().mhz144, 3);
  }
}

TEST(Ic746ProOffsets, AnotherSettingItemIsNotAnOffset) {
  EngineRig r(kModelIc746Pro, 0x66);
  r.port.script({{"HF offset", {0x1A, 0x05, 0x14}, {{0x1A, 0x05, 0x17, 0x00, 0x60, 0x00}}}});
  r.restart();
  r.advance(4000);
  EXPECT_EQ(r.log.lines().back(), "Timeout: 19");
}

}  // namespace
}  // namespace tarnwick::test
