// Backups: every completed read, and before a store the memories it will
// overwrite unless a backup made since the rig table was filled holds them.

#include <gtest/gtest.h>

#include <functional>

#include "files/memory_list_format.h"
#include "rig/rig_catalogue.h"
#include "tables/table_ops.h"
#include "tests/civ/civ_fakes.h"
#include "tests/support/temp_folder.h"

namespace tarnwick::test {
namespace {

// An IC-756Pro at 5C that keeps memories 1..10 on 14 MHz, with backups.
struct WithBackups : EngineRig {
  WithBackups() : EngineRig(kModelIc756Pro), radio(kModelIc756Pro) {
    for (int m = 1; m <= 10; ++m) {
      const Bytes answer = memoryAnswer(kModelIc756Pro, m, 14000000 + 1000 * m);
      radio.kept[m] = Bytes(answer.begin() + 1, answer.end());
    }
    port.responder = std::ref(radio);
    engine.setBackupFolder(folder.path());
  }
  std::vector<std::string> backupNames() const {
    std::vector<std::string> names;
    for (const auto& p : engine.backups().list()) names.push_back(p.filename().string());
    return names;
  }
  std::vector<Bytes> payloadsSince(std::size_t from) const {
    return {port.sentPayloads.begin() + static_cast<long>(from), port.sentPayloads.end()};
  }
  testing::TempFolder folder;
  MemoryRadio radio;
};

TEST(Backups, ACompletedReadIsKeptAndAStoreAfterItReadsNothingFirst) {
  WithBackups r;
  r.restart();
  ASSERT_EQ(r.window.leftTexts().back(), "Ready");
  const auto names = r.backupNames();
  ASSERT_EQ(names.size(), 1u);
  EXPECT_TRUE(names[0].starts_with("IC-756Pro_")) << names[0];
  EXPECT_FALSE(names[0].ends_with("_before-store.txt"));
  EXPECT_EQ(r.engine.lastBackup().path, r.engine.backups().list()[0].string());
  EXPECT_EQ(testing::readBytes(r.engine.lastBackup().path),
            formatMemoryList(r.rig, "IC-756Pro"));  // records its radio
  EXPECT_EQ(r.engine.backedUpMemories().size(), 101u);
  EXPECT_EQ(r.log.linesStartingWith("Backup: "),
            std::vector<std::string>{"Backup: " + r.engine.lastBackup().path});

  r.rig.setCell(colName, 3, "NEW");
  r.rig.setCell(colChanged, 3, "1");
  const std::size_t before = r.port.sentPayloads.size();
  r.engine.storeChangedRows();
  r.pump();
  // The write and its read-back, nothing more.
  const auto sent = r.payloadsSince(before);
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_GT(sent[0].size(), 4u);
  EXPECT_EQ(sent[1], memoryRequest(3));
  EXPECT_EQ(r.backupNames().size(), 1u);
}

TEST(Backups, AStoreOfAFileReadsWhatItOverwritesFirst) {
  WithBackups r;
  r.restart();
  const std::vector<Bytes> heldBefore{r.radio.kept.at(3), r.radio.kept.at(7)};
  // A file opened into the rig table: its rows do not come from this radio.
  std::vector<ChannelRecord> rows(1);
  rows[0] = r.rig.record(0);
  for (int row = 1; row <= 101; ++row) {
    ChannelRecord rec;
    rec[colNumber] = specialLabel(kModelIc756Pro, row);
    rec[colFrequency] = "7050.00";
    rec[colMode] = "LSB";
    rec[colFilter] = "Wide";
    rec[colName] = "FILE" + std::to_string(row);
    rows.push_back(rec);
  }
  rows[3][colChanged] = "1";
  rows[7][colChanged] = "1";
  r.rig.assign(rows, true);
  EXPECT_TRUE(r.engine.backedUpMemories().empty());

  const std::size_t before = r.port.sentPayloads.size();
  r.window.statuses.clear();
  r.engine.storeChangedRows();
  r.pump();
  const auto sent = r.payloadsSince(before);
  ASSERT_EQ(sent.size(), 6u);
  EXPECT_EQ(sent[0], memoryRequest(3));
  EXPECT_EQ(sent[1], memoryRequest(7));
  EXPECT_EQ(sent[3], memoryRequest(3));  // the read-back after the write
  EXPECT_EQ(r.window.leftTexts(), (std::vector<std::string>{"Backup #3", "Backup #7", "Writing #3",
                                                            "Writing #7", "Ready"}));

  // The backup holds the two memories as they were, and nothing else.
  const auto names = r.backupNames();
  ASSERT_EQ(names.size(), 2u);
  EXPECT_TRUE(names[1].ends_with("_before-store.txt")) << names[1];
  const auto kept = parseMemoryList(testing::readBytes(r.engine.backups().list()[1]));
  ASSERT_EQ(kept.size(), 102u);
  EXPECT_EQ(trimmed(kept[3][colName]), "M3");
  EXPECT_EQ(trimmed(kept[7][colName]), "M7");
  EXPECT_EQ(kept[4][colNumber], "");  // not read: nothing of it is known
  EXPECT_EQ(kept[4][colFrequency], "");
  EXPECT_NE(r.radio.kept.at(3), heldBefore[0]);
  EXPECT_EQ(r.rig.cell(colChanged, 3), "0");

  // Backed up now: a second store of the same rows reads nothing first.
  r.rig.setCell(colChanged, 7, "1");
  const std::size_t again = r.port.sentPayloads.size();
  r.engine.storeChangedRows();
  r.pump();
  EXPECT_EQ(r.payloadsSince(again).size(), 2u);
}

TEST(Backups, NoBackupNoStore) {
  WithBackups r;
  r.restart();
  // The folder cannot be made: a file stands in its place.
  testing::writeBytes(r.folder.file("blocked"), "x");
  r.engine.setBackupFolder(r.folder.file("blocked") + "/backups");
  r.rig.assign({r.rig.record(0), r.rig.record(1), r.rig.record(2), r.rig.record(3)}, true);
  r.rig.setCell(colChanged, 2, "1");
  const int writes = r.radio.writes;
  const std::size_t sent = r.port.sentPayloads.size();
  r.engine.storeChangedRows();
  r.pump();
  EXPECT_EQ(r.radio.writes, writes);
  EXPECT_EQ(r.port.sentPayloads.size(), sent);  // nothing read for a backup that cannot be kept
  EXPECT_EQ(r.rig.cell(colChanged, 2), "1");
  EXPECT_EQ(r.window.statuses.back(),
            (std::pair<std::string, std::string>{"Backup failed", "Nothing stored"}));
  ASSERT_EQ(r.engine.storeProblems().size(), 1u);
  EXPECT_EQ(r.engine.storeProblems()[0].kind, StoreProblemKind::NoBackup);
  EXPECT_EQ(r.engine.engineState(), smIdle);
  EXPECT_EQ(r.window.events.back(), "unlock");
}

}  // namespace
}  // namespace tarnwick::test
