// One step at a time: ticks, frames and restarts that arrive while a step
// waits in a repaint, a modal box or a blocked send are taken up when the
// outer step returns, each frame once and in arrival order.

#include <gtest/gtest.h>

#include "rig/rig_catalogue.h"
#include "tests/civ/civ_fakes.h"

namespace tarnwick::test {
namespace {

// The log without the TX lines' and Rx lines' bodies, for comparing order.
std::vector<std::string> shortLog(const TempLog& log) {
  std::vector<std::string> out;
  for (const std::string& l : log.lines())
    out.push_back(l.substr(0, std::min<std::size_t>(l.size(), 12)));
  return out;
}

TEST(Reentry, FramesAndTicksDuringTheRestartsRepaintWaitForIt) {
  EngineRig r(kModelIc756Pro);
  int repaints = 0;
  bool nestedStepSeen = false;
  r.window.onRepaint = [&] {
    if (++repaints != 1) return;
    EXPECT_TRUE(r.engine.stepRunning());
    // The radio is asked before the table is drawn, so it answers meanwhile.
    EXPECT_EQ(r.port.sent.size(), 1u);
    const auto before = r.log.lines().size();
    r.port.inject(answerFrame(0x5C, {0xFA}));              // an NG, like silence here
    r.port.inject(answerFrame(0x5C, {0x19, 0x00, 0xAA}));  // an ID answer
    r.engine.bytesReceived();
    r.engine.tick();
    r.engine.tick();  // ticks that pile up count once
    nestedStepSeen = r.log.lines().size() != before;
    EXPECT_EQ(r.engine.queuedFrames(), 2u);
  };
  r.restart();
  EXPECT_FALSE(nestedStepSeen);
  EXPECT_EQ(shortLog(r.log),
            (std::vector<std::string>{"sm state: 2", "TX: FE FE 5C", "Rx: 5C E0 FA", "sm state: 3",
                                      "Rx: 5C E0 19", "ID: AA ", "sm state: 3", "sm state: 3"}));
  EXPECT_EQ(r.engine.ticksLeft(), 1);  // two answers and one tick counted down
  EXPECT_EQ(r.engine.queuedFrames(), 0u);
}

TEST(Reentry, RestartAndTickDuringTheTimeoutBoxRunAfterIt) {
  EngineRig r(kModelIc756Pro);
  r.window.onModal = [&] {
    EXPECT_EQ(r.engine.engineState(), smIdle);  // idle before the box
    r.engine.setEngineState(smRestart);
    r.engine.tick();
    EXPECT_EQ(r.engine.engineState(), smIdle);  // deferred
    EXPECT_EQ(r.port.sent.size(), 1u + kRepeatsPerRequest);
  };
  r.restart();
  r.advance(4000);
  ASSERT_EQ(r.window.boxes.size(), 1u);
  const auto lines = r.log.lines();
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(lines[lines.size() - 3], "Timeout: 15");
  EXPECT_EQ(lines[lines.size() - 2], "sm state: 2");
  EXPECT_EQ(r.window.leds.back(), LedColour::Red);
  EXPECT_EQ(r.engine.engineState(), smReadMemory);
  EXPECT_EQ(r.port.sent.size(), 2u + kRepeatsPerRequest);
  EXPECT_EQ(r.port.sentPayloads.back(), memoryRequest(1));
}

TEST(Reentry, AnswersDuringABlockedSendAreDispatchedOnceInOrder) {
  EngineRig r(kModelIc756Pro);
  r.port.responder = blankBankResponder(kModelIc756Pro);
  int depth = 0;
  int maxDepth = 0;
  r.port.onSend = [&] {
    // The answer is already there while the send still waits for room.
    ++depth;
    maxDepth = std::max(maxDepth, depth);
    r.engine.bytesReceived();
    --depth;
  };
  r.restart();
  EXPECT_EQ(maxDepth, 1);
  EXPECT_EQ(r.port.sent.size(), 101u);
  const auto lines = r.log.lines();
  std::vector<std::string> kinds;
  for (const auto& l : lines) kinds.push_back(l.substr(0, 3));
  // TX, Rx, sm state for every memory, in strict alternation.
  ASSERT_EQ(kinds.size(), 1u + 101u * 3u);
  for (std::size_t i = 0; i < 101; ++i) {
    EXPECT_EQ(kinds[1 + 3 * i], "TX:") << i;
    EXPECT_EQ(kinds[2 + 3 * i], "Rx:") << i;
    EXPECT_EQ(kinds[3 + 3 * i], "sm ") << i;
  }
  EXPECT_EQ(r.window.leftTexts().back(), "Ready");
}

TEST(Reentry, DoubleClickDuringTheTimeoutBoxTunesNothing) {
  EngineRig r(kModelIc756Pro);
  r.restart();
  r.rig.setCell(colFrequency, 1, "7050.00");
  r.window.onModal = [&] {
    r.engine.tuneFromCell(r.rig, 1, colFrequency);
    EXPECT_EQ(r.port.sent.size(), 1u + kRepeatsPerRequest);  // not inside the box
  };
  r.advance(4000);
  // Nor after it: the radio did not answer, so there is nothing to tune.
  EXPECT_EQ(r.engine.engineState(), smIdle);
  EXPECT_EQ(r.port.sent.size(), 1u + kRepeatsPerRequest);
  EXPECT_EQ(r.window.leds.back(), LedColour::Red);
}

}  // namespace
}  // namespace tarnwick::test
