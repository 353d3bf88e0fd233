// Ending a transfer early: Stop during a read and a store, and a port that
// goes away in the middle of a read.

#include <gtest/gtest.h>

#include "rig/rig_catalogue.h"
#include "rig/value_codes.h"
#include "tables/table_ops.h"
#include "tests/civ/civ_fakes.h"

namespace tarnwick::test {
namespace {

int requestedMemory(const Bytes& p) {
  if (p.size() < 4 || p[0] != 0x1A || p[1] != 0x00) return -1;
  return decodeBcd4(p[p.size() - 2], p[p.size() - 1]);
}

// Answers memory requests up to `last` with a channel; silent after that.
std::function<std::vector<Bytes>(const Bytes&)> answersUpTo(int last) {
  return [last](const Bytes& p) -> std::vector<Bytes> {
    const int memory = requestedMemory(p);
    if (memory < 1 || memory > last) return {};
    return {memoryAnswer(kModelIc756Pro, memory, 14000000 + memory * 1000)};
  };
}

TEST(StopTransfer, ReadEndsAtTheAnswerOnTheLineAndKeepsWhatItRead) {
  EngineRig r(kModelIc756Pro);
  const auto bank = answersUpTo(101);
  // The user stops while the request for memory 5 is on the line.
  r.port.responder = [&](const Bytes& p) {
    if (requestedMemory(p) == 5) r.engine.stopTransfer();
    return bank(p);
  };
  r.restart();
  EXPECT_EQ(r.port.sentPayloads.size(), 5u);
  EXPECT_EQ(r.window.statuses.back(),
            (std::pair<std::string, std::string>{"Stopped", "Read 5 of 101 memories"}));
  EXPECT_EQ(trimmed(r.rig.cell(colName, 5)), "M5");
  EXPECT_TRUE(IsNeverReadRow(r.rig, 6));
  EXPECT_FALSE(r.rig.inputLocked());
  EXPECT_EQ(r.window.count("unlock"), 1);
  EXPECT_EQ(r.engine.engineState(), smIdle);
  // Idle afterwards: no more requests, no time-out.
  r.advance(6000);
  EXPECT_EQ(r.port.sentPayloads.size(), 5u);
  EXPECT_TRUE(r.window.boxes.empty());
  // Stop when nothing runs does nothing.
  r.engine.stopTransfer();
  EXPECT_EQ(r.window.statuses.back().first, "Stopped");
}

TEST(StopTransfer, StoreFinishesTheWriteOnTheLineAndLeavesTheRestTicked) {
  EngineRig r(kModelIc756Pro);
  r.port.responder = answersUpTo(101);
  r.restart();
  ASSERT_EQ(r.window.statuses.back().first, "Ready");
  r.engine.setVerifyAfterStore(false);
  for (int row : {3, 5, 7}) r.rig.setCell(colChanged, row, "1");
  const std::size_t before = r.port.sentPayloads.size();
  // The read left a backup of every memory: the store writes at once.
  r.port.responder = [&](const Bytes&) {
    r.engine.stopTransfer();
    return std::vector<Bytes>{kOkPayload};
  };
  r.engine.storeChangedRows();
  r.pump();
  EXPECT_EQ(r.port.sentPayloads.size(), before + 1);
  EXPECT_EQ(r.rig.cell(colChanged, 3), "0");
  EXPECT_EQ(r.rig.cell(colChanged, 5), "1");
  EXPECT_EQ(r.rig.cell(colChanged, 7), "1");
  EXPECT_EQ(r.window.statuses.back(), (std::pair<std::string, std::string>{
                                          "Stopped", "Stored 1 row; the others stay ticked"}));
  EXPECT_FALSE(r.rig.inputLocked());
  EXPECT_EQ(r.engine.engineState(), smIdle);
}

TEST(ConnectionLost, EndsTheReadAndFreesTheRigSideWithoutABox) {
  EngineRig r(kModelIc756Pro);
  r.port.responder = answersUpTo(3);
  r.restart();
  ASSERT_EQ(r.engine.engineState(), smReadMemory);
  ASSERT_EQ(trimmed(r.rig.cell(colName, 3)), "M3");
  r.port.open = false;
  r.engine.connectionLost("Lost connection", "Waiting for /dev/ttyUSB0 ...");
  EXPECT_EQ(r.engine.engineState(), smNoInit);
  // The read did not complete: the table is the one it replaced.
  EXPECT_EQ(r.rig.rowCount(), 1);
  EXPECT_FALSE(r.rig.inputLocked());
  EXPECT_EQ(r.window.events.back(), "unlock");
  EXPECT_EQ(r.window.leds.back(), LedColour::Red);
  // The status says why until the link restarts, and no time-out follows.
  r.advance(6000);
  EXPECT_TRUE(r.window.boxes.empty());
  EXPECT_EQ(r.window.statuses.back(), (std::pair<std::string, std::string>{
                                          "Lost connection", "Waiting for /dev/ttyUSB0 ..."}));
  // A restart once the port is back reads afresh.
  const std::size_t sent = r.port.sentPayloads.size();
  r.port.open = true;
  r.engine.setEngineState(smRestart);
  r.advance(1000);
  EXPECT_EQ(r.port.sentPayloads.size(), sent + 4);
  EXPECT_EQ(r.engine.engineState(), smReadMemory);
}

}  // namespace
}  // namespace tarnwick::test
