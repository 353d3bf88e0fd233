// A radio on USB: no echo of the program's own frames, and with CI-V
// Transceive on, frames to every station (00) at any moment. Neither those
// nor a second controller's answers may ever count as an answer of ours.

#include <gtest/gtest.h>

#include "rig/rig_catalogue.h"
#include "tests/civ/civ_fakes.h"

namespace tarnwick::test {
namespace {

// A dial report of a radio at 5C: 14.074 MHz, to every station.
const Bytes kDialReport{0xFE, 0xFE, 0x00, 0x5C, 0x00, 0x00, 0x40, 0x07, 0x14, 0x00, 0xFD};

// A frame from the radio at 5C to another controller at E2.
Bytes toOtherController(const Bytes& payload) {
  Bytes f{0xFE, 0xFE, 0xE2, 0x5C};
  f.insert(f.end(), payload.begin(), payload.end());
  f.push_back(0xFD);
  return f;
}

// The whole read without echo, a dial report (and for every third memory a
// second controller's answer for the next memory) ahead of every answer.
TEST(UsbLink, ReadWithoutEchoIgnoresDialReportsAndOtherControllersAnswers) {
  EngineRig r(kModelIc756Pro);
  r.port.echo = false;
  r.port.responder = [&r](const Bytes& p) -> std::vector<Bytes> {
    const int memory = decodeBcd4(p[2], p[3]);
    r.port.inject(kDialReport);
    if (memory % 3 == 0 && memory < 101) {
      r.port.inject(toOtherController(memoryAnswer(kModelIc756Pro, memory + 1, 7000000)));
    }
    return {memoryAnswer(kModelIc756Pro, memory, 14000000 + memory * 1000)};
  };
  r.restart();

  EXPECT_EQ(r.window.leftTexts().back(), "Ready");
  ASSERT_EQ(r.port.sentPayloads.size(), 101u) << "every memory asked once, none again";
  EXPECT_TRUE(r.log.linesStartingWith("Repeat").empty());
  for (int m : {1, 3, 4, 100, 101}) {
    EXPECT_EQ(trimmed(r.rig.cell(colFrequency, m)),
              "14," + std::to_string(m + 1000).substr(1) + ".00")
        << m;
  }
  // Every frame heard is in the log, the ignored ones too; the dial report,
  // the same each time, once (its count follows within a minute).
  EXPECT_EQ(r.log.linesStartingWith("Rx: ").size(), 101u + 1u + 33u);
}

// A store waits for its own OK: an OK or NG to another controller or from
// another radio, and a dial report, neither finish nor refuse the row.
TEST(UsbLink, StoreWaitsForItsOwnOk) {
  EngineRig r(kModelIc756Pro);
  r.port.echo = false;
  r.engine.setVerifyAfterStore(false);
  r.port.responder = blankBankResponder(kModelIc756Pro);
  r.restart();
  r.rig.setCell(colFrequency, 3, "7,040.00");
  r.rig.setCell(colMode, 3, "CW");
  r.rig.setCell(colFilter, 3, "Narrow");
  r.rig.setCell(colChanged, 3, "1");
  r.port.responder = [](const Bytes&) -> std::vector<Bytes> { return {}; };
  r.engine.storeChangedRows();
  r.pump();
  ASSERT_EQ(r.engine.engineState(), smWriteMemory);

  r.port.inject(toOtherController(kNgPayload));
  r.port.inject(kDialReport);
  r.port.inject(toOtherController(kOkPayload));
  // Another radio on the bus answering another program at E0.
  r.port.inject(answerFrame(0x5E, kOkPayload));
  r.port.inject(answerFrame(0x5E, kNgPayload));
  r.pump();
  EXPECT_EQ(r.engine.engineState(), smWriteMemory);
  EXPECT_FALSE(r.engine.answers().okReceived);
  EXPECT_FALSE(r.engine.answers().ngReceived);
  EXPECT_EQ(r.rig.cell(colChanged, 3), "1");

  r.port.inject(answerFrame(0x5C, kOkPayload));
  r.pump();
  EXPECT_EQ(r.rig.cell(colChanged, 3), "0");
  EXPECT_EQ(r.window.leftTexts().back(), "Ready");
}

// The radio's answer to another controller's ID request still names the
// radio in the ID line, without stepping the engine.
TEST(UsbLink, IdAnswerToAnotherControllerIsListedButStepsNothing) {
  EngineRig r(kModelIc756Pro);
  r.engine.setEngineState(smIdle);
  r.pump();
  const auto steps = r.log.linesStartingWith("sm state: ").size();
  r.port.inject(toOtherController({0x19, 0x00, 0x5C}));
  r.pump();
  EXPECT_EQ(r.engine.answers().idList, "5C ");
  EXPECT_EQ(r.log.linesStartingWith("sm state: ").size(), steps);
}

}  // namespace
}  // namespace tarnwick::test
