// Reading a bank: whole reads, the IC-910 band, answers for another memory,
// silence, NG, time-out timing and the models without a read sequence.

#include <gtest/gtest.h>

#include "rig/rig_catalogue.h"
#include "rig/value_codes.h"
#include "tables/table_ops.h"
#include "tests/civ/civ_fakes.h"

namespace tarnwick::test {
namespace {

// A radio answering every memory request with a channel on 14 MHz + n kHz.
std::function<std::vector<Bytes>(const Bytes&)> channelBank(int model, std::string band = "",
                                                            int answerFor4 = 4) {
  return [=](const Bytes& p) -> std::vector<Bytes> {
    if (p.size() < 4 || p[0] != 0x1A || p[1] != 0x00) return {};
    const std::size_t at = p.size() - 2;
    int memory = decodeBcd4(p[at], p[at + 1]);
    if (memory == 4) memory = answerFor4;
    return {memoryAnswer(model, memory, 14000000 + memory * 1000, band)};
  };
}

TEST(ReadBank, Ic756ProWholeBank) {
  EngineRig r(kModelIc756Pro);
  r.port.responder = channelBank(kModelIc756Pro);
  r.window.events.clear();
  r.restart();

  ASSERT_EQ(r.port.sentPayloads.size(), 101u);
  for (int m = 1; m <= 101; ++m) {
    EXPECT_EQ(r.port.sentPayloads[static_cast<std::size_t>(m - 1)], memoryRequest(m)) << m;
  }
  EXPECT_EQ(r.port.sentPayloads.front(), (Bytes{0x1A, 0x00, 0x00, 0x01}));
  EXPECT_EQ(r.port.sentPayloads.back(), (Bytes{0x1A, 0x00, 0x01, 0x01}));

  std::vector<std::pair<std::string, std::string>> expected{{"Restart...", "Please wait..."}};
  for (int m = 2; m <= 101; ++m)
    expected.emplace_back("Reading #" + std::to_string(m), "Please wait...");
  expected.emplace_back("Ready", "");
  EXPECT_EQ(r.window.statuses, expected);

  EXPECT_EQ(r.window.events.back(), "unlock");
  EXPECT_EQ(r.window.count("unlock"), 1);
  EXPECT_EQ(r.window.count("lock"), 0);
  EXPECT_EQ(r.window.leds.back(), LedColour::Green);
  EXPECT_EQ(r.engine.engineState(), smIdle);
  // The whole bank came in on one tick: the reader does not wait for the clock.
  EXPECT_EQ(r.nowMs, 0);

  EXPECT_EQ(r.rig.rowCount(), 102);
  EXPECT_EQ(r.rig.cell(colFrequency, 0), "Frequency");
  EXPECT_EQ(trimmed(r.rig.cell(colName, 7)), "M7");
  EXPECT_EQ(trimmed(r.rig.cell(colName, 101)), "M101");
  EXPECT_NE(r.permanent.rowCount(), 1);  // new channels were collected
  EXPECT_EQ(r.log.linesStartingWith("TX: ").size(), 101u);
  EXPECT_EQ(r.log.linesStartingWith("Rx: ").size(), 101u);
}

TEST(ReadBank, Ic910ReadsTheSelectedBand) {
  EngineRig r(kModelIc910, 0x60);
  r.engine.setBand(bankCodeOf("430 MHz"));
  r.port.responder = channelBank(kModelIc910, "430 MHz");
  r.restart();
  ASSERT_EQ(r.port.sentPayloads.size(), 106u);
  for (int m = 1; m <= 106; ++m) {
    EXPECT_EQ(r.port.sentPayloads[static_cast<std::size_t>(m - 1)], memoryRequest(m, 0x02)) << m;
  }
  EXPECT_EQ(r.rig.rowCount(), 107);
  EXPECT_EQ(r.rig.cell(colNumber, 106), "Call");
  EXPECT_FALSE(r.rig.cell(colFrequency, 106).empty());
  EXPECT_EQ(r.window.statuses.back().first, "Ready");
}

TEST(ReadBank, Ic910TakesANewBandFromTheNextRequest) {
  EngineRig r(kModelIc910, 0x60);
  r.engine.setBand(bankCodeOf("1240 MHz"));
  int answered = 0;
  r.port.responder = [&](const Bytes& p) -> std::vector<Bytes> {
    if (++answered == 3) r.engine.setBand(bankCodeOf("something else"));  // unknown text: band 1
    return channelBank(kModelIc910, "1240 MHz")(p);
  };
  r.restart();
  ASSERT_GE(r.port.sentPayloads.size(), 4u);
  EXPECT_EQ(r.port.sentPayloads[2], memoryRequest(3, 0x03));
  EXPECT_EQ(r.port.sentPayloads[3], memoryRequest(4, 0x01));
}

// A radio that always answers memory 5 when asked for 4: row 5 is filled at
// once, memory 4 is asked for twice more, and then the count goes on as it
// always has, leaving row 4 unread.
TEST(ReadBank, AnswerForAnotherMemoryFillsItsRowAndTheAskedOneIsAskedAgain) {
  EngineRig r(kModelIc756Pro);
  r.port.responder = channelBank(kModelIc756Pro, "", 5);
  r.restart();
  ASSERT_GE(r.port.sentPayloads.size(), 7u);
  for (std::size_t i : {3u, 4u, 5u}) EXPECT_EQ(r.port.sentPayloads[i], memoryRequest(4)) << i;
  EXPECT_EQ(r.port.sentPayloads[6], memoryRequest(5));
  EXPECT_EQ(r.port.sentPayloads.size(), 101u + kRepeatsPerRequest);
  EXPECT_EQ(r.log.linesStartingWith("Repeat "),
            (std::vector<std::string>{"Repeat 1: answer for memory 5, not 4",
                                      "Repeat 2: answer for memory 5, not 4"}));
  EXPECT_TRUE(IsNeverReadRow(r.rig, 4));
  EXPECT_EQ(trimmed(r.rig.cell(colName, 5)), "M5");
  EXPECT_EQ(r.window.statuses.back().first, "Ready");
}

TEST(ReadBank, SilentRadioTimesOutWith15) {
  EngineRig r(kModelIc756Pro);
  r.restart();
  ASSERT_EQ(r.port.sent.size(), 1u);
  r.advance(3000);
  EXPECT_TRUE(r.window.boxes.empty());
  r.advance(1000);
  EXPECT_EQ(r.log.linesStartingWith("sm state: "),
            (std::vector<std::string>{"sm state: 2", "sm state: 3", "sm state: 3", "sm state: 3",
                                      "sm state: 3"}));
  EXPECT_EQ(r.log.lines().back(), "Timeout: 15");
  EXPECT_EQ(r.window.statuses.back(),
            (std::pair<std::string, std::string>{"Timeout (15)", "Check COM setup and rig"}));
  ASSERT_EQ(r.window.boxes.size(), 1u);
  // The second line names what is in use, so the user can compare it with the radio.
  EXPECT_EQ(r.window.boxes[0],
            (std::pair<std::string, std::string>{
                "Rig is not responding.\nCheck the model (IC-756Pro) and CI-V address (5C) in "
                "use, the speed (9600 baud) and the radio's CI-V settings, or look for the radio "
                "with Find Radio.",
                "Error"}));
  EXPECT_EQ(r.window.leds.back(), LedColour::Red);
  EXPECT_EQ(r.engine.engineState(), smIdle);
  // Without the radio the table is the user's again, but nothing may go out.
  EXPECT_EQ(r.window.count("unlock"), 1);
  EXPECT_FALSE(r.rig.inputLocked());
  EXPECT_FALSE(r.engine.linkUp());
  // Idle afterwards: the sort indicators once a second, nothing sent.
  r.advance(2000);
  EXPECT_EQ(r.window.count("sort"), 2);
  // The request went out three times, each repeat the shortest exchange's
  // time after the last: 9 bytes out and a blank memory's 10 back at 9600
  // baud (20 ms), and the margin.
  EXPECT_EQ(r.port.sent.size(), 1u + kRepeatsPerRequest);
  EXPECT_EQ(r.port.sentAtMs, (std::vector<long>{0, 40, 80}));
  EXPECT_EQ(r.log.linesStartingWith("Repeat "),
            (std::vector<std::string>{"Repeat 1: no answer within 40 ms",
                                      "Repeat 2: no answer within 40 ms"}));
}

TEST(ReadBank, NgAnswersCountLikeSilence) {
  EngineRig r(kModelIc756Pro);
  r.port.responder = [](const Bytes&) { return std::vector<Bytes>{kNgPayload}; };
  r.restart();
  EXPECT_EQ(r.engine.engineState(), smReadMemory);
  EXPECT_EQ(r.engine.ticksLeft(), 3);  // the NG stepped once
  r.advance(3000);
  EXPECT_EQ(r.log.lines().back(), "Timeout: 15");
  EXPECT_EQ(r.port.sent.size(), 1u + kRepeatsPerRequest);
  EXPECT_EQ(r.rig.cell(colFrequency, 1), "");
}

TEST(ReadBank, TimeoutComesBetweenThreeAndFourSecondsAfterTheCommand) {
  for (long phase : {1L, 250L, 500L, 999L, 1000L}) {
    EngineRig r(kModelIc756Pro);
    long boxAt = -1;
    std::vector<std::string> loggedAtBox;
    r.window.onModal = [&] {
      boxAt = r.nowMs;
      // The box can stay open a long while: its cause is in the log by then.
      loggedAtBox = r.log.linesStartingWith("Timeout: ");
    };
    r.restart();
    r.advance(phase);
    // Memory 1 comes in late; request 2 goes out at once and is not answered.
    const std::size_t before = r.port.sent.size();
    r.port.inject(answerFrame(0x5C, memoryAnswer(kModelIc756Pro, 1, 7000000)));
    r.pump();
    ASSERT_EQ(r.port.sent.size(), before + 1);
    EXPECT_EQ(r.port.sentAtMs.back(), phase);
    r.advance(6000);
    // Counted from the last repeat.
    ASSERT_EQ(r.port.sent.size(), before + 1 + kRepeatsPerRequest);
    const long sentAt = r.port.sentAtMs.back();
    ASSERT_GE(boxAt, 0) << phase;
    EXPECT_GT(boxAt - sentAt, 3000 - 1) << phase;
    EXPECT_LE(boxAt - sentAt, 4000) << phase;
    EXPECT_EQ(loggedAtBox, std::vector<std::string>{"Timeout: 15"});
  }
}

TEST(ReadBank, LateAnswerAfterTimeoutIsIgnoredByIdle) {
  EngineRig r(kModelIc756Pro);
  r.restart();
  r.advance(4000);
  ASSERT_EQ(r.engine.engineState(), smIdle);
  r.port.inject(answerFrame(0x5C, memoryAnswer(kModelIc756Pro, 1, 7000000)));
  r.pump();
  EXPECT_EQ(r.engine.engineState(), smIdle);
  EXPECT_EQ(r.port.sent.size(), 1u + kRepeatsPerRequest);
  EXPECT_EQ(r.rig.cell(colFrequency, 1), "");
}

TEST(ReadBank, ModelWithoutReadSequenceStops) {
  EngineRig r(kModelIcR75, 0x5A);
  r.restart();
  EXPECT_EQ(r.engine.engineState(), smStopped);
  EXPECT_TRUE(r.port.sent.empty());
  EXPECT_EQ(r.rig.rowCount(), 102);
  EXPECT_EQ(r.rig.cell(colNumber, 0), "#");
  r.advance(2000);
  EXPECT_EQ(r.window.statuses.back(),
            (std::pair<std::string, std::string>{"Stop", "Internal Error"}));
  EXPECT_EQ(r.engine.engineState(), smStopped);
  EXPECT_TRUE(r.window.boxes.empty());
}

TEST(ReadBank, NoInitShowsErrorUntilARestart) {
  EngineRig r(kModelIc756Pro);
  r.advance(1000);
  EXPECT_EQ(r.window.statuses.back(), (std::pair<std::string, std::string>{"No init", "Error"}));
  EXPECT_EQ(r.log.lines(), std::vector<std::string>{"sm state: 0"});
}

TEST(ReadBank, RestartClearsUnsavedRowsWithoutTouchingModified) {
  EngineRig r(kModelIc756Pro);
  r.rig.setRowCount(102);
  r.rig.setCell(colName, 50, "edited");
  r.rig.setModified(true);
  r.window.events.clear();
  r.restart();
  EXPECT_EQ(r.rig.cell(colName, 50), "");
  EXPECT_TRUE(r.rig.modified());
  // Three repaints, and neither the controls nor the LED are touched.
  EXPECT_EQ(r.window.events, (std::vector<std::string>{"repaint", "repaint", "repaint"}));
  EXPECT_TRUE(r.window.leds.empty());
}

TEST(ReadBank, PortClosedDuringReadTimesOut) {
  EngineRig r(kModelIc756Pro);
  int answered = 0;
  r.port.responder = [&](const Bytes& p) -> std::vector<Bytes> {
    if (++answered == 10) r.port.open = false;
    return channelBank(kModelIc756Pro)(p);
  };
  r.rig.setRowCount(11);
  r.rig.setCell(colName, 10, "MINE");
  r.restart();
  EXPECT_EQ(r.port.sent.size(), 10u);
  r.advance(4000);
  EXPECT_EQ(r.log.lines().back(), "Timeout: 15");
  EXPECT_EQ(r.rig.cell(colName, 10), "MINE");  // not completed: the table it replaced
}

}  // namespace
}  // namespace tarnwick::test
