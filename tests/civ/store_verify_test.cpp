// Storing with the read-back after each write, and the rows a store refuses
// to send: texts the memory cannot carry, rows nobody has read.

#include <gtest/gtest.h>

#include <functional>

#include "rig/rig_catalogue.h"
#include "tables/table_ops.h"
#include "tests/civ/civ_fakes.h"

namespace tarnwick::test {
namespace {

// An idle engine over a full rig table of channels with tones, in front of
// a radio that keeps what it is given.
struct Verified : EngineRig {
  explicit Verified(int model, Byte address) : EngineRig(model, address), radio(model) {
    rig.setRowCount(findRigModel(model)->rigTableRows());
    ResetHeaders(permanent, rig);
    AddRowCheckBoxes(rig);
    for (int row = 1; row < rig.rowCount(); ++row) {
      rig.setCell(colNumber, row, specialLabel(model, row));
      rig.setCell(colFrequency, row, std::to_string(14000 + row) + ".50");
      rig.setCell(colName, row, "CH" + std::to_string(row));
      rig.setCell(colMode, row, "USB");
      rig.setCell(colFilter, row, "Normal");
      rig.setCell(colDuplex, row, "Simp");
      rig.setCell(colRepeaterTone, row, "88.5");
      rig.setCell(colChanged, row, "0");
    }
    port.responder = std::ref(radio);
    engine.setEngineState(smIdle);
  }
  void mark(std::initializer_list<int> rows) {
    for (int r : rows) rig.setCell(colChanged, r, "1");
  }
  std::vector<std::string> problems() const {
    std::vector<std::string> out;
    for (const StoreProblem& p : engine.storeProblems()) out.push_back(p.text);
    return out;
  }
  MemoryRadio radio;
};

TEST(VerifiedStore, EachWrittenMemoryIsReadBackOnce) {
  Verified r(kModelIc746, 0x56);
  r.rig.setCell(colName, 3, "AB");  // kept padded to nine characters: no difference
  r.rig.setCell(colToneSquelch, 7, "100.0");
  r.mark({3, 7});
  r.engine.storeChangedRows();
  r.pump();
  EXPECT_EQ(r.port.sentPayloads.size(), 4u);
  EXPECT_EQ(r.port.sentPayloads[1], memoryRequest(3));
  EXPECT_EQ(r.port.sentPayloads[3], memoryRequest(7));
  EXPECT_EQ(r.radio.writes, 2);
  EXPECT_EQ(r.radio.reads, 2);
  EXPECT_EQ(r.window.leftTexts(), (std::vector<std::string>{"Writing #3", "Writing #7", "Ready"}));
  EXPECT_EQ(r.rig.cell(colChanged, 3), "0");
  EXPECT_EQ(r.rig.cell(colChanged, 7), "0");
  EXPECT_TRUE(r.engine.storeProblems().empty());
  // A store that went well says so.
  EXPECT_EQ(r.window.statuses.back().second, "Stored 2 memories; all read back the same.");
  EXPECT_EQ(r.log.linesStartingWith("sm state: 25").size(), 2u);

  // Turned off, the writes go alone.
  r.engine.setVerifyAfterStore(false);
  r.mark({9});
  r.engine.storeChangedRows();
  r.pump();
  EXPECT_EQ(r.radio.reads, 2);
  EXPECT_EQ(r.rig.cell(colChanged, 9), "0");
}

TEST(VerifiedStore, AMemoryThatReadsBackDifferentIsMarkedAndNamed) {
  Verified r(kModelIc746, 0x56);
  // The radio takes memory 7 but keeps tone squelch where a repeater tone was asked for.
  r.radio.onWrite = [](int memory, Bytes& data) {
    if (memory == 7) data[11] ^= 0x02;
  };
  r.mark({3, 7, 9});
  r.engine.storeChangedRows();
  r.pump();
  EXPECT_EQ(r.problems(), std::vector<std::string>{"Memory 7 reads back different: Tone Squelch"});
  EXPECT_EQ(r.engine.storeProblems()[0].kind, StoreProblemKind::ReadsBack);
  EXPECT_EQ(r.engine.storeProblems()[0].row, 7);
  EXPECT_EQ(r.rig.cell(colChanged, 3), "0");
  EXPECT_EQ(r.rig.cell(colChanged, 7), "1");  // like a refusal: ticked for the next store
  EXPECT_EQ(r.rig.cell(colChanged, 9), "0");
  EXPECT_EQ(r.log.linesStartingWith("Store: "),
            std::vector<std::string>{"Store: Memory 7 reads back different: Tone Squelch"});
}

// The row as stored is what a read must show again, even where the memory
// drops a cell without the radio doing anything wrong: the IC-910 keeps no
// split, and the IC-746's tone squelch shows a repeater tone as well.
TEST(VerifiedStore, EveryCellTheRowShowsIsComparedWithTheReadBack) {
  Verified r(kModelIc910, 0x60);
  r.rig.setCell(colFrequency, 3, " 145,500.00");
  r.rig.setCell(colDuplex, 3, "Split");
  r.rig.setCell(colTxFrequency, 3, " 145,600.00");
  r.mark({3});
  r.engine.storeChangedRows();
  r.pump();
  // No split in its memory: refused, not stored as simplex.
  EXPECT_EQ(r.problems(),
            std::vector<std::string>{
                "Memory 3 not stored: Duplex \"Split\" is not a duplex of the IC-910"});

  Verified v(kModelIc746, 0x56);
  v.rig.setCell(colRepeaterTone, 4, "");
  v.rig.setCell(colToneSquelch, 4, "100.0");
  v.mark({4});
  v.engine.storeChangedRows();
  v.pump();
  EXPECT_TRUE(v.engine.storeProblems().empty());
  EXPECT_EQ(v.rig.cell(colRepeaterTone, 4), "88.5");  // shown before it goes out
}

// The IC-756Pro takes no duplex from a write and reports its own: not a
// difference of the store's making.
TEST(VerifiedStore, WhatTheModelDoesNotKeepIsNotCompared) {
  Verified r(kModelIc756Pro, 0x5C);
  r.radio.onWrite = [](int, Bytes& data) { data[11] |= 0x20; };  // plus duplex
  r.mark({4});
  r.engine.storeChangedRows();
  r.pump();
  EXPECT_TRUE(r.engine.storeProblems().empty());
  EXPECT_EQ(r.rig.cell(colChanged, 4), "0");

  // A name the radio changed is.
  r.radio.onWrite = [](int, Bytes& data) { data[18] = 'X'; };
  r.mark({5});
  r.engine.storeChangedRows();
  r.pump();
  EXPECT_EQ(r.problems(), std::vector<std::string>{"Memory 5 reads back different: Name"});
}

TEST(VerifiedStore, RowsTheMemoryCannotHoldAreRefusedAndNothingIsSentForThem) {
  Verified r(kModelIc746, 0x56);
  r.rig.setCell(colMode, 2, "XYZ");
  r.rig.setCell(colMode, 3, "USB-D");  // the IC-746 keeps no data mode
  r.rig.setCell(colToneSquelch, 4, "123.4");
  r.rig.setCell(colName, 5, std::string("A\0B", 3));  // from a UTF-16 file
  r.rig.setCell(colFrequency, 6, "abc");
  r.rig.setCell(colFrequency, 8, "-145.5");
  r.rig.setCell(colDuplex, 10, "Dup-");
  r.rig.setRecord(11, ChannelRecord{});  // a memory no read has filled
  r.rig.setCell(colFrequency, 12, "");   // blank: erases the memory
  r.mark({2, 3, 4, 5, 6, 7, 8, 10, 11, 12});
  r.engine.storeChangedRows();
  r.pump();
  EXPECT_EQ(r.problems(),
            (std::vector<std::string>{
                "Memory 2 not stored: Mode \"XYZ\" is not a mode of the IC-746",
                "Memory 3 not stored: Mode \"USB-D\" is not a mode of the IC-746",
                "Memory 4 not stored: Tone Squelch \"123.4\" is not a tone",
                "Memory 5 not stored: Name has a byte the radio cannot show (00)",
                "Memory 6 not stored: Frequency \"abc\" is not a frequency the memory holds",
                "Memory 8 not stored: Frequency \"-145.5\" is not a frequency the memory holds",
                "Memory 10 not stored: Duplex \"Dup-\" is not a duplex",
                "Memory 11 not stored: never read from the radio",
            }));
  EXPECT_EQ(r.engine.storeProblems()[7].kind, StoreProblemKind::NeverRead);
  // Only rows 7 and 12 went out, each with its read-back.
  EXPECT_EQ(r.radio.writes, 2);
  EXPECT_EQ(r.radio.kept.count(7), 1u);
  EXPECT_EQ(r.radio.kept.at(12), (Bytes{0x00, 0x00, 0x12, 0xFF}));
  for (int row : {2, 3, 4, 5, 6, 8, 10, 11}) EXPECT_EQ(r.rig.cell(colChanged, row), "1") << row;
  EXPECT_EQ(r.rig.cell(colChanged, 7), "0");
  EXPECT_EQ(r.window.leftTexts().back(), "Ready");
}

TEST(VerifiedStore, AWriteWithoutAnswerIsSentAgain) {
  Verified r(kModelIc756Pro, 0x5C);
  int writes = 0;
  r.port.responder = [&](const Bytes& p) -> std::vector<Bytes> {
    if (p.size() > 4 && ++writes == 1) return {};  // the first write is lost
    return r.radio(p);
  };
  r.mark({6});
  r.engine.storeChangedRows();
  r.pump();
  EXPECT_EQ(r.rig.cell(colChanged, 6), "1");
  r.advance(100);
  EXPECT_EQ(writes, 2);
  EXPECT_EQ(r.rig.cell(colChanged, 6), "0");
  ASSERT_EQ(r.log.linesStartingWith("Repeat ").size(), 1u);
  EXPECT_EQ(r.log.linesStartingWith("Repeat ")[0].rfind("Repeat 1: no answer within ", 0), 0u);
}

}  // namespace
}  // namespace tarnwick::test
