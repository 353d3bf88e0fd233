// Storing ticked rig rows, and tuning the radio from either table.

#include <gtest/gtest.h>

#include "rig/rig_catalogue.h"
#include "rig/value_codes.h"
#include "tables/table_ops.h"
#include "tests/civ/civ_fakes.h"

namespace tarnwick::test {
namespace {

// An idle engine over a rig table of the model's size, rows 1..n filled.
struct Loaded : EngineRig {
  explicit Loaded(int model, Byte address = 0x5C, int rows = -1) : EngineRig(model, address) {
    rig.setRowCount(rows > 0 ? rows : findRigModel(model)->rigTableRows());
    ResetHeaders(permanent, rig);
    AddRowCheckBoxes(rig);
    for (int row = 1; row < rig.rowCount(); ++row) {
      rig.setCell(colFrequency, row, std::to_string(7000 + row) + ".00");
      rig.setCell(colMode, row, "LSB");
      rig.setCell(colFilter, row, "Wide");
      rig.setCell(colChanged, row, "0");
    }
    engine.setEngineState(smIdle);
    // The read-back after each write has tests of its own.
    engine.setVerifyAfterStore(false);
  }
  Bytes rowPayload(int row, const std::string& band = "") {
    return encodeMemoryContents(engine.modelIndex(), row, rig.record(row), band,
                                Separators::point());
  }
  // Stores the marked rows against the radio's scripted answers, to the end.
  void storeScripted(std::vector<ConversationStep> steps) {
    port.script(std::move(steps));
    engine.storeChangedRows();
    pump();
  }
};

TEST(Store, NothingTickedDoesNothing) {
  Loaded r(kModelIc756Pro);
  r.engine.storeChangedRows();
  EXPECT_TRUE(r.port.sent.empty());
  EXPECT_EQ(r.window.leftTexts(), std::vector<std::string>{std::string(kNothingToStore)});
  EXPECT_TRUE(r.window.events.empty());
  EXPECT_EQ(r.engine.engineState(), smIdle);
}

TEST(Store, Rows3And7AcceptedAndRefused) {
  Loaded r(kModelIc756Pro);
  r.rig.setCell(colChanged, 3, "1");
  r.rig.setCell(colChanged, 7, "1");
  r.port.script({{"write row 3", r.rowPayload(3), {kOkPayload}},
                 {"write row 7", r.rowPayload(7), {kNgPayload}}});
  r.engine.storeChangedRows();
  EXPECT_EQ(r.engine.engineState(), smWriteMemory);  // the answers are not in yet
  r.pump();
  EXPECT_TRUE(r.port.scriptDone());
  EXPECT_EQ(r.window.leftTexts(), (std::vector<std::string>{"Writing #3", "Writing #7", "Ready"}));
  EXPECT_EQ(r.window.statuses.back().second, "");
  EXPECT_EQ(r.rig.cell(colChanged, 3), "0");
  EXPECT_EQ(r.rig.cell(colChanged, 7), "1");  // refused: ticked again for the next store
  EXPECT_EQ(r.window.events, (std::vector<std::string>{"lock", "unlock"}));
  EXPECT_EQ(r.engine.engineState(), smIdle);

  // A second store retries exactly the refused row.
  r.storeScripted({{"write row 7 again", r.rowPayload(7), {kOkPayload}}});
  EXPECT_TRUE(r.port.scriptDone());
  EXPECT_EQ(r.rig.cell(colChanged, 7), "0");
}

TEST(Store, RefusedRowHoldsTwoUntilTheEndAndTimeoutKeepsTheMarks) {
  Loaded r(kModelIc756Pro);
  for (int row : {2, 4, 6}) r.rig.setCell(colChanged, row, "1");
  r.storeScripted({{"row 2", r.rowPayload(2), {kNgPayload}},
                 {"row 4", r.rowPayload(4), {kOkPayload}},
                 {"row 6", r.rowPayload(6), {}}});
  EXPECT_EQ(r.rig.cell(colChanged, 2), "2");
  r.advance(4000);
  EXPECT_EQ(r.log.lines().back(), "Timeout: 16");
  EXPECT_EQ(r.rig.cell(colChanged, 2), "1");  // ticked again, as the box says
  EXPECT_TRUE(r.window.boxes.at(0).first.starts_with(
      "Rig is not responding.\n1 of 3 stored; 2 still ticked for the next Store to Rig.\n"));
  EXPECT_EQ(r.rig.cell(colChanged, 4), "0");
  EXPECT_EQ(r.rig.cell(colChanged, 6), "1");
  EXPECT_EQ(r.window.count("unlock"), 1);
  EXPECT_EQ(r.engine.engineState(), smIdle);
}

TEST(Store, EmptyFrequencyWritesTheBlankMemory) {
  Loaded r(kModelIc756Pro);
  r.rig.setCell(colFrequency, 5, "");
  r.rig.setCell(colChanged, 5, "1");
  r.storeScripted({{"blank 5", {0x1A, 0x00, 0x00, 0x05, 0xFF}, {kOkPayload}}});
  EXPECT_TRUE(r.port.scriptDone());
  EXPECT_EQ(r.rig.cell(colChanged, 5), "0");
}

TEST(Store, SearchStopsAtTheModelsLastStoredRow) {
  {
    Loaded r(kModelIc910, 0x60);
    for (int row = 102; row <= 106; ++row) r.rig.setCell(colChanged, row, "1");
    r.engine.storeChangedRows();
    EXPECT_TRUE(r.port.sent.empty());
    for (int row = 102; row <= 106; ++row) EXPECT_EQ(r.rig.cell(colChanged, row), "1");
  }
  {
    // A table from a file can be longer than the bank.
    Loaded r(kModelIc756Pro, 0x5C, 110);
    r.rig.setCell(colChanged, 102, "1");
    r.engine.storeChangedRows();
    EXPECT_TRUE(r.port.sent.empty());
  }
  {
    Loaded r(kModelIc746, 0x56);
    r.rig.setCell(colChanged, 102, "1");
    EXPECT_EQ(r.engine.findNextChanged(), 102);
  }
}

TEST(Store, Ic910WritesIntoTheSelectedBand) {
  Loaded r(kModelIc910, 0x60);
  r.engine.setBand(bankCodeOf("1240 MHz"));
  r.rig.setCell(colFrequency, 12, "1296200.00");
  r.rig.setCell(colChanged, 12, "1");
  const Bytes payload = r.rowPayload(12, "1240 MHz");
  ASSERT_GE(payload.size(), 5u);
  EXPECT_EQ(payload[2], 0x03);
  r.storeScripted({{"row 12 in band 3", payload, {kOkPayload}}});
  EXPECT_TRUE(r.port.scriptDone());
  EXPECT_EQ(r.window.leftTexts().back(), "Ready");
}

TEST(Store, PortClosedEndsInTimeout16) {
  Loaded r(kModelIc756Pro);
  r.port.open = false;
  r.rig.setCell(colChanged, 1, "1");
  r.engine.storeChangedRows();
  r.advance(4000);
  EXPECT_EQ(r.log.lines().back(), "Timeout: 16");
}

// An OK from an earlier command must not stand for a command that never went
// out (port closed, or an address that is not hex).
TEST(Store, CommandNotSentIsNotTakenForAcceptedByAnEarlierOk) {
  for (const bool portClosed : {true, false}) {
    Loaded r(kModelIc756Pro);
    r.rig.setCell(colChanged, 3, "1");
    r.storeScripted({{"write row 3", r.rowPayload(3), {kOkPayload}}});
    ASSERT_EQ(r.rig.cell(colChanged, 3), "0");
    ASSERT_TRUE(r.engine.answers().okReceived);

    if (portClosed) {
      r.port.open = false;
    } else {
      r.engine.setAddress(radioAddressOf("Q1"));
    }
    r.rig.setCell(colChanged, 5, "1");
    r.engine.storeChangedRows();
    r.advance(4000);
    EXPECT_EQ(r.rig.cell(colChanged, 5), "1");  // not written, still to do
    if (portClosed) {
      EXPECT_EQ(r.log.lines().back(), "Timeout: 16");
      EXPECT_EQ(r.window.leftTexts().back(), "Timeout (16)");
    } else {
      // Said at once, and not blamed on the radio.
      EXPECT_EQ(r.window.statuses.back(),
                (std::pair<std::string, std::string>{"Address error",
                                                     "\"Q1\" is not a hexadecimal address"}));
      EXPECT_TRUE(r.log.linesStartingWith("Timeout: ").empty());
      EXPECT_TRUE(r.window.boxes.empty());
    }
    EXPECT_EQ(r.engine.engineState(), smIdle);
  }
}

TEST(Tune, CommandNotSentIsNotTakenForAcceptedByAnEarlierOk) {
  Loaded r(kModelIc756Pro);
  r.port.script({{"frequency", {0x05, 0x00, 0x10, 0x00, 0x07, 0x00}, {kOkPayload}},
                 {"mode", {0x06, 0x00, 0x01}, {kOkPayload}}});
  r.engine.tuneFromCell(r.rig, 1, colFrequency);
  r.pump();
  ASSERT_EQ(r.window.leftTexts().back(), "Ready");
  r.port.open = false;
  r.engine.tuneFromCell(r.rig, 2, colFrequency);
  r.advance(4000);
  EXPECT_EQ(r.log.lines().back(), "Timeout: 17");
}

TEST(Tune, FromTheRigTable) {
  Loaded r(kModelIc756Pro);
  r.rig.setCell(colFrequency, 9, "14074.00");
  r.rig.setCell(colMode, 9, "USB-D");  // data modes tune to their base mode
  r.rig.setCell(colFilter, 9, "Narrow");
  r.port.script({{"frequency", {0x05, 0x00, 0x40, 0x07, 0x14, 0x00}, {kOkPayload}},
                 {"mode", {0x06, 0x01, 0x03}, {kOkPayload}}});
  r.engine.tuneFromCell(r.rig, 9, colFrequency);
  r.pump();
  EXPECT_TRUE(r.port.scriptDone());
  EXPECT_EQ(r.window.statuses, (std::vector<std::pair<std::string, std::string>>{
                                   {"Set frequency", ""}, {"Ready", "Tuned to 14,074.00 USB."}}));
  EXPECT_EQ(r.engine.engineState(), smIdle);
  EXPECT_TRUE(r.window.events.empty());  // no control is locked
}

TEST(Tune, FromThePermanentFileAndRefusedWithNg) {
  Loaded r(kModelIc756Pro);
  r.permanent.setRowCount(3);
  r.permanent.setCell(colFrequency, 2, "145500");
  r.permanent.setCell(colMode, 2, "FM");
  r.permanent.setCell(colFilter, 2, "Wide");
  // A refused frequency still goes on to the mode.
  r.port.script({{"frequency", {0x05, 0x00, 0x00, 0x50, 0x45, 0x01}, {kNgPayload}},
                 {"mode", {0x06, 0x05, 0x01}, {kNgPayload}}});
  r.engine.tuneFromCell(r.permanent, 2, colFrequency);
  r.pump();
  EXPECT_TRUE(r.port.scriptDone());
  EXPECT_EQ(r.window.statuses.back(), (std::pair<std::string, std::string>{"Ready", ""}));
  EXPECT_EQ(r.engine.engineState(), smIdle);
  EXPECT_TRUE(r.engine.tuneRefusals().frequency);
  EXPECT_TRUE(r.engine.tuneRefusals().mode);

  // The next tune starts with a clean record.
  r.port.script({{"frequency", {0x05, 0x00, 0x00, 0x50, 0x45, 0x01}, {kOkPayload}},
                 {"mode", {0x06, 0x05, 0x01}, {kNgPayload}}});
  r.engine.tuneFromCell(r.permanent, 2, colFrequency);
  r.pump();
  EXPECT_FALSE(r.engine.tuneRefusals().frequency);
  EXPECT_TRUE(r.engine.tuneRefusals().mode);
}

TEST(Tune, SilentRadioTimesOutWith17Then18) {
  {
    Loaded r(kModelIc756Pro);
    r.engine.tuneFromCell(r.rig, 1, colFrequency);
    EXPECT_EQ(r.engine.engineState(), smTuneFrequency);
    r.advance(3000);
    EXPECT_EQ(r.engine.engineState(), smTuneFrequency);
    r.advance(1000);
    EXPECT_EQ(r.log.lines().back(), "Timeout: 17");
    // The frequency went out three times; the mode command never.
    EXPECT_EQ(r.port.sent.size(), 1u + kRepeatsPerRequest);
    EXPECT_EQ(r.port.sentPayloads.back(), (Bytes{0x05, 0x00, 0x10, 0x00, 0x07, 0x00}));
  }
  {
    Loaded r(kModelIc756Pro);
    r.port.script({{"frequency", {0x05, 0x00, 0x10, 0x00, 0x07, 0x00}, {kOkPayload}}});
    r.engine.tuneFromCell(r.rig, 1, colFrequency);
    r.pump();
    EXPECT_EQ(r.engine.engineState(), smTuneMode);
    r.advance(4000);
    EXPECT_EQ(r.log.lines().back(), "Timeout: 18");
    EXPECT_EQ(r.port.sentPayloads.back(), (Bytes{0x06, 0x00, 0x01}));
  }
}

TEST(Tune, IgnoredOutsideFrequencyCellsWhenBusyOrBlank) {
  Loaded r(kModelIc756Pro);
  r.engine.tuneFromCell(r.rig, 3, colName);
  r.rig.setCell(colFrequency, 4, "");
  r.engine.tuneFromCell(r.rig, 4, colFrequency);
  r.rig.setCell(colFrequency, 5, "abc");
  r.engine.tuneFromCell(r.rig, 5, colFrequency);
  r.engine.tuneFromCell(r.rig, 0, colFrequency);    // the header row
  r.engine.tuneFromCell(r.rig, 500, colFrequency);  // past the table
  EXPECT_TRUE(r.port.sent.empty());
  EXPECT_TRUE(r.window.statuses.empty());

  r.engine.setEngineState(smReadMemory);
  r.engine.tuneFromCell(r.rig, 6, colFrequency);
  EXPECT_TRUE(r.port.sent.empty());
}

// Without a port nothing goes out and the table is the user's; a link check
// that the radio answers frees Store and tuning without reading the bank.
TEST(Link, ACheckFindsTheRadioAndLeavesThePreparedTable) {
  Loaded r(kModelIc756Pro);
  r.rig.setCell(colName, 3, "HOME");
  r.rig.setCell(colChanged, 3, "1");
  const ChannelRecord row3 = r.rig.record(3);
  r.engine.setEngineState(smNoInit);
  EXPECT_FALSE(r.engine.linkUp());
  EXPECT_FALSE(r.rig.inputLocked());
  r.engine.storeChangedRows();
  r.engine.tuneFromCell(r.rig, 3, colFrequency);
  r.advance(1000);
  EXPECT_TRUE(r.port.sent.empty());
  EXPECT_EQ(r.window.count("sort"), 1);  // both tables sort without a port

  r.port.script({{"frequency", {0x03}, {{0x03, 0x00, 0x00, 0x05, 0x07, 0x00}}}});
  r.engine.checkLink();
  r.advance(1000);
  EXPECT_TRUE(r.port.scriptDone());
  EXPECT_TRUE(r.engine.linkUp());
  EXPECT_EQ(r.engine.engineState(), smIdle);
  EXPECT_EQ(r.rig.record(3), row3);
  EXPECT_EQ(r.window.leftTexts().back(), "Ready");
  EXPECT_EQ(r.window.leds.back(), LedColour::Green);

  r.storeScripted({{"row 3", r.rowPayload(3), {kOkPayload}}});
  EXPECT_TRUE(r.port.scriptDone());
  EXPECT_EQ(r.rig.cell(colChanged, 3), "0");
}

// A check the radio does not answer ends like any other time-out, with the
// table left to the user.
TEST(Link, AnUnansweredCheckTimesOut) {
  Loaded r(kModelIc756Pro);
  r.engine.setEngineState(smNoInit);
  r.engine.checkLink();
  r.advance(5000);
  EXPECT_EQ(r.log.linesStartingWith("Timeout: "), std::vector<std::string>{"Timeout: 22"});
  EXPECT_FALSE(r.engine.linkUp());
  EXPECT_FALSE(r.rig.inputLocked());
}

}  // namespace
}  // namespace tarnwick::test
