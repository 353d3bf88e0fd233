// What a busy or broken bus can make of the link: frames piling up while a
// step waits, long bursts of bytes, a flood of ID frames, a cut-off
// frequency answer.

#include <gtest/gtest.h>

#include <utility>

#include "civ/civ_protocol.h"
#include "rig/rig_catalogue.h"
#include "tests/civ/civ_fakes.h"

namespace tarnwick::test {
namespace {

// Another radio's mode answer to E0, each different (i below 10000), so that
// none repeats one before it in the log.
Bytes otherStationsAnswer(int i) {
  return {0xFE, 0xFE, 0xE0, 0xE2, 0x04, static_cast<Byte>(i / 100), static_cast<Byte>(i % 100),
          0xFD};
}

TEST(LinkBounds, FramesWaitingForAStepAreCappedAndTheDropCounted) {
  EngineRig r(kModelIc756Pro);
  constexpr std::size_t kArriving = kMaxQueuedFrames + 36;
  bool injected = false;
  r.window.onRepaint = [&] {
    if (std::exchange(injected, true)) return;
    // The restart waits in a repaint while the bus keeps talking.
    for (std::size_t i = 0; i < kArriving; ++i)
      r.port.inject(otherStationsAnswer(static_cast<int>(i)));
    r.engine.bytesReceived();
    EXPECT_EQ(r.engine.queuedFrames(), kMaxQueuedFrames);
  };
  r.restart();
  EXPECT_EQ(r.log.linesStartingWith("Rx: ").size(), kMaxQueuedFrames);
  EXPECT_EQ(r.log.linesStartingWith("Dropped "),
            std::vector<std::string>{"Dropped 36 received frames: too many waiting"});
  EXPECT_EQ(r.engine.queuedFrames(), 0u);
}

TEST(LinkBounds, OneReceiveEventReadsABoundedNumberOfBytes) {
  EngineRig r(kModelIc756Pro);
  r.engine.setEngineState(smIdle);
  constexpr int kFrames = 1000;  // 8000 bytes
  for (int i = 0; i < kFrames; ++i) r.port.inject(otherStationsAnswer(i));
  r.engine.bytesReceived();
  // The rest waits for the main thread's next round, not for more bytes.
  EXPECT_TRUE(r.port.hasBytes());
  EXPECT_EQ(r.log.linesStartingWith("Rx: ").size(),
            static_cast<std::size_t>(kMaxBytesPerWakeup) / otherStationsAnswer(0).size());
  r.mainThread.runPosted();
  EXPECT_FALSE(r.port.hasBytes());
  EXPECT_EQ(r.log.linesStartingWith("Rx: ").size(), static_cast<std::size_t>(kFrames));
}

TEST(LinkBounds, IdLineListsTheLatestSixteenAddresses) {
  EngineRig r(kModelIc756Pro);
  r.engine.setEngineState(smIdle);
  for (int a = 1; a <= 40; ++a)
    r.port.inject(answerFrame(0x5C, {0x19, 0x00, static_cast<Byte>(a)}));
  r.pump();
  const auto ids = r.log.linesStartingWith("ID: ");
  ASSERT_EQ(ids.size(), 40u);
  EXPECT_EQ(ids[0], "ID: 01 ");
  EXPECT_EQ(ids[15], "ID: 01 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 ");
  EXPECT_EQ(ids[16], "ID: 02 03 04 05 06 07 08 09 0A 0B 0C 0D 0E 0F 10 11 ");
  EXPECT_EQ(ids.back(), "ID: 19 1A 1B 1C 1D 1E 1F 20 21 22 23 24 25 26 27 28 ");
  EXPECT_EQ(r.engine.answers().idList.size(), 16u * 3u);
}

// A frequency answer cut short is no answer: the IC-746 asks again rather
// than keep 0 Hz to tune back to at the end of its offset sequence.
TEST(LinkBounds, ShortFrequencyAnswerIsNoAnswer) {
  EngineRig r(kModelIc746, 0x56);
  int frequencyAnswers = 0;
  r.port.responder = [&](const Bytes& p) -> std::vector<Bytes> {
    if (p == Bytes{civ::kCmdSelectVfo, civ::kSubVfoA}) return {kOkPayload};
    if (p == Bytes{civ::kCmdReadFrequency}) {
      if (++frequencyAnswers == 1) return {{0x03, 0x00, 0x00, 0x70, 0x14}};  // 4 data bytes
      return {{0x03, 0x00, 0x00, 0x70, 0x14, 0x00}};
    }
    return {};
  };
  r.restart();
  EXPECT_EQ(r.engine.engineState(), smReadVfoFrequency);
  EXPECT_EQ(r.engine.answers().vfoFrequency, -1);
  r.advance(200);  // the repeat
  EXPECT_EQ(frequencyAnswers, 2);
  EXPECT_EQ(r.engine.answers().vfoFrequency, 14700000);
  EXPECT_EQ(r.engine.engineState(), smReadVfoMode);
}

// An IC-7300MK2 memory answer whose name is neither 10 nor 16 characters is
// malformed: named, asked again like any answer that did not come, and
// never kept in its length to be written back so. A radio that keeps
// answering so ends in the time-out, which names it.
TEST(LinkBounds, Mk2NameOfAnotherLengthIsAMalformedAnswer) {
  for (const int malformedAnswers : {1, 3}) {
    SCOPED_TRACE(malformedAnswers);
    EngineRig r(kModelIc7300Mk2, 0xB6);
    int asked5 = 0;
    r.port.responder = [&](const Bytes& p) -> std::vector<Bytes> {
      const int memory = decodeBcd4(p[2], p[3]);
      Bytes answer = memoryAnswer(kModelIc7300Mk2, memory, 14000000);
      if (memory == 5 && ++asked5 <= malformedAnswers) answer.resize(answer.size() - 3);
      return {answer};
    };
    r.restart();
    r.advance(5000);
    const std::string fault = "a name of 13 characters, not 10 or 16";
    EXPECT_EQ(r.log.linesStartingWith("Malformed answer: " + fault).size(),
              static_cast<std::size_t>(malformedAnswers));
    EXPECT_EQ(r.log.linesStartingWith("Repeat 1: malformed answer: " + fault).size(), 1u);
    const bool read = malformedAnswers == 1;
    EXPECT_EQ(r.window.leftTexts().back(), read ? "Ready" : "Timeout (15)");
    EXPECT_EQ(trimmed(r.rig.cell(colName, 5)), read ? "M5" : "");
    const std::string box = r.window.boxes.empty() ? "" : r.window.boxes[0].first;
    EXPECT_EQ(box.find("Its answer is malformed: " + fault + ".\n") != std::string::npos, !read);
    EXPECT_EQ(r.engine.answeredNameLengthOf(5), 16);
  }
}

}  // namespace
}  // namespace tarnwick::test
