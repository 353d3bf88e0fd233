// Repeats: when a request is sent again, and when it is not.

#include <gtest/gtest.h>

#include "rig/rig_catalogue.h"
#include "tests/civ/civ_fakes.h"

namespace tarnwick::test {
namespace {

// Starts a read and lets the first 8 bytes of memory 1's answer arrive 35 ms
// after its request; the whole answer.
Bytes startFirstAnswer(EngineRig& r) {
  r.restart();
  const Bytes answer = answerFrame(0x5C, memoryAnswer(kModelIc756Pro, 1, 7000000));
  r.advance(35);
  r.port.inject(Bytes(answer.begin(), answer.begin() + 8));
  r.pump();
  return answer;
}

// A channel's answer is longer than a blank memory's: one that has begun to
// arrive when the wait runs out is given the time of the longest answer
// before the request goes out again over it.
TEST(Repeat, NotOverAnAnswerThatIsArriving) {
  EngineRig r(kModelIc756Pro);
  const Bytes answer = startFirstAnswer(r);
  r.advance(20);  // past the 40 ms wait
  EXPECT_EQ(r.port.sent.size(), 1u);
  r.port.inject(Bytes(answer.begin() + 8, answer.end()));
  r.pump();
  EXPECT_EQ(trimmed(r.rig.cell(colFrequency, 1)), "7,000.00");
  EXPECT_EQ(r.port.sentPayloads.back(), memoryRequest(2));
  EXPECT_TRUE(r.log.linesStartingWith("Repeat ").empty());
}

// A frame that stops half way (its end lost) is not waited for again.
TEST(Repeat, APartOfAnAnswerThatStopsIsNotWaitedForTwice) {
  EngineRig r(kModelIc756Pro);
  startFirstAnswer(r);
  r.advance(20);  // 55 ms: the wait ran out while the frame came in
  EXPECT_EQ(r.port.sent.size(), 1u);
  r.advance(50);  // 105 ms: nothing more came within the longest answer's time
  EXPECT_EQ(r.port.sent.size(), 2u);
  EXPECT_EQ(r.log.linesStartingWith("Repeat ").size(), 1u);
}

// Asked again after a slow answer, the radio answers twice: the second
// answer, for a memory already in, neither fills twice nor moves on, and
// the next request's wait starts after it, for its answer queues behind it.
TEST(Repeat, ALateSecondAnswerIsLeftAlone) {
  EngineRig r(kModelIc756Pro);
  r.restart();
  r.advance(70);  // memory 1 asked again at 40 ms
  ASSERT_EQ(r.port.sent.size(), 2u);
  const Bytes answer1 = answerFrame(0x5C, memoryAnswer(kModelIc756Pro, 1, 7000000));
  r.port.inject(answer1);
  r.pump();
  ASSERT_EQ(r.port.sentPayloads.back(), memoryRequest(2));
  r.advance(30);
  r.port.inject(answer1);
  r.pump();
  EXPECT_EQ(r.port.sent.size(), 3u);
  EXPECT_EQ(r.engine.currentMemory(), 2);
  r.advance(30);  // 130 ms: 60 after request 2, but 30 after the late answer
  EXPECT_EQ(r.port.sent.size(), 3u);
  r.advance(15);
  EXPECT_EQ(r.port.sent.size(), 4u);
  // The answer for 2 then goes on as usual.
  r.port.inject(answerFrame(0x5C, memoryAnswer(kModelIc756Pro, 2, 7001000)));
  r.pump();
  EXPECT_EQ(r.port.sentPayloads.back(), memoryRequest(3));
}

// The IC-746Pro moves on at the tick after each offset answer; an answer in
// time makes no repeat, and the tick is still what moves it on.
TEST(Repeat, AnsweredOffsetRequestsAreNotRepeated) {
  EngineRig r(kModelIc746Pro, 0x66);
  r.port.responder = [](const Bytes& p) -> std::vector<Bytes> {
    if (p.size() == 3 && p[0] == 0x1A && p[1] == 0x05)
      return {{0x1A, 0x05, p[2], 0x00, 0x50, 0x00}};
    return {};
  };
  r.restart();
  r.advance(900);
  EXPECT_EQ(r.port.sent.size(), 1u);
  EXPECT_EQ(r.engine.engineState(), smProOffsetHf);
  r.advance(100);
  EXPECT_EQ(r.engine.engineState(), smProOffset50);
}

}  // namespace
}  // namespace tarnwick::test
