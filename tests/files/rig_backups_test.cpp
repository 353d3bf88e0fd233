#include "files/rig_backups.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>

#include "files/memory_list_format.h"
#include "rig/rig_catalogue.h"
#include "tables/table_ops.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_folder.h"

namespace tarnwick {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::system_clock;

// 2024-05-01 10:15:00 UTC
const Clock::time_point kMay1 = Clock::from_time_t(1714558500);

TEST(RigBackups, NamesCarryModelBandAndUtcTime) {
  EXPECT_EQ(backupFileName(kModelIc746, "", BackupKind::BankRead, kMay1),
            "IC-746_20240501T101500Z.txt");
  EXPECT_EQ(backupFileName(kModelIc910, "430 MHz", BackupKind::BankRead, kMay1 + 59s),
            "IC-910_430MHz_20240501T101559Z.txt");
  // The band names only the IC-910's banks.
  EXPECT_EQ(backupFileName(kModelIc756ProII, "430 MHz", BackupKind::BeforeStore, kMay1),
            "IC-756ProII_20240501T101500Z_before-store.txt");
}

using testing::ScopedEnv;

TEST(RigBackups, DefaultFolderFollowsXdgDataHome) {
  ScopedEnv home("HOME", "/home/op");
  {
    ScopedEnv data("XDG_DATA_HOME", "/data/home");
    EXPECT_EQ(defaultBackupFolder(), "/data/home/tarnwick/backups");
  }
  ScopedEnv relative("XDG_DATA_HOME", "relative");  // not absolute: ignored
  EXPECT_EQ(defaultBackupFolder(), "/home/op/.local/share/tarnwick/backups");
}

ChannelTable namedRig(const std::string& name) {
  ChannelTable rig(TableKind::Rig);
  rig.setRowCount(3);
  SetColumnHeaders(rig);
  rig.setCell(colName, 1, name);
  return rig;
}

std::vector<std::string> namesOf(const std::vector<std::filesystem::path>& paths) {
  std::vector<std::string> names;
  for (const auto& p : paths) names.push_back(p.filename().string());
  return names;
}

TEST(RigBackups, EachRadioKeepsItsNewestFiftyReadsAndOtherFilesAreLeftAlone) {
  testing::TempFolder dir;
  BackupFolder folder(dir.file("backups"));
  ChannelTable rig = namedRig("FIRST");
  ASSERT_TRUE(folder.save(rig, kModelIc746, "", BackupKind::BankRead, kMay1).ok());
  testing::writeBytes(dir.file("backups/my notes.txt"), "keep");
  testing::writeBytes(dir.file("backups/IC-746_2024.txt"), "keep");

  // Two in the same second, then one IC-910 read a minute for an hour: the
  // IC-910's pass the IC-746's by, without pushing them out.
  const BackupOutcome same = folder.save(rig, kModelIc746, "", BackupKind::BankRead, kMay1);
  EXPECT_TRUE(same.path.ends_with("/IC-746_20240501T101500Z-2.txt")) << same.path;
  for (int m = 1; m <= 60; ++m) {
    rig.setCell(colName, 1, "M" + std::to_string(m));
    ASSERT_TRUE(folder
                    .save(rig, kModelIc910, "144 MHz", BackupKind::BankRead,
                          kMay1 + std::chrono::minutes(m))
                    .ok());
  }
  // The other band of the IC-910 is a radio of its own.
  ASSERT_TRUE(folder.save(rig, kModelIc910, "430 MHz", BackupKind::BankRead, kMay1 + 2h).ok());
  const auto kept = namesOf(folder.list());
  ASSERT_EQ(kept.size(), kReadBackupsKept + 3);
  EXPECT_EQ(kept[0], "IC-746_20240501T101500Z.txt");
  EXPECT_EQ(kept[1], "IC-746_20240501T101500Z-2.txt");
  EXPECT_EQ(kept[2], "IC-910_144MHz_20240501T102600Z.txt");
  EXPECT_EQ(kept[51], "IC-910_144MHz_20240501T111500Z.txt");
  EXPECT_EQ(kept[52], "IC-910_430MHz_20240501T121500Z.txt");
  EXPECT_EQ(parseMemoryList(testing::readBytes(dir.file("backups/" + kept[51])))[1][colName],
            "M60");
  EXPECT_EQ(testing::readBytes(dir.file("backups/my notes.txt")), "keep");
  EXPECT_EQ(testing::readBytes(dir.file("backups/IC-746_2024.txt")), "keep");

  // The clock went back a day: the backup just reported stays, the oldest
  // of the fifty later ones goes.
  const BackupOutcome early =
      folder.save(rig, kModelIc910, "144 MHz", BackupKind::BankRead, kMay1 - 24h);
  EXPECT_TRUE(std::filesystem::exists(early.path)) << early.path;
  const auto after = namesOf(folder.list());
  ASSERT_EQ(after.size(), kReadBackupsKept + 3);
  EXPECT_EQ(after[0], "IC-910_144MHz_20240430T101500Z.txt");
  EXPECT_EQ(after[3], "IC-910_144MHz_20240501T102700Z.txt");
}

TEST(RigBackups, BackupsInOneSecondNeverReplaceEachOther) {
  testing::TempFolder dir;
  BackupFolder folder(dir.file("backups"));
  ASSERT_TRUE(folder.save(namedRig("ONE"), kModelIc746, "", BackupKind::BankRead, kMay1).ok());
  // Another program took the next name in between.
  testing::writeBytes(dir.file("backups/IC-746_20240501T101500Z-2.txt"), "theirs");
  const BackupOutcome two =
      folder.save(namedRig("TWO"), kModelIc746, "", BackupKind::BankRead, kMay1);
  ASSERT_TRUE(two.ok()) << two.error;
  EXPECT_TRUE(two.path.ends_with("/IC-746_20240501T101500Z-3.txt")) << two.path;
  EXPECT_EQ(testing::readBytes(dir.file("backups/IC-746_20240501T101500Z-2.txt")), "theirs");
  EXPECT_EQ(parseMemoryList(
                testing::readBytes(dir.file("backups/IC-746_20240501T101500Z.txt")))[1][colName],
            "ONE");
  EXPECT_EQ(parseMemoryList(testing::readBytes(two.path))[1][colName], "TWO");
  // Private to the user, the folder too; no temporary file stays behind.
  struct stat st {};
  ASSERT_EQ(::stat(two.path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(::stat(dir.file("backups").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(folder.list().size(), 3u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("backups")),
                          std::filesystem::directory_iterator()),
            3);
}

TEST(RigBackups, BeforeStoreBackupsOutliveAnyNumberOfReads) {
  testing::TempFolder dir;
  BackupFolder folder(dir.file("backups"));
  const ChannelTable rig = namedRig("X");
  // Thirty stores over the past 200 days, one a week, then 60 reads.
  const Clock::time_point now = kMay1;
  for (int week = 30; week >= 1; --week) {
    ASSERT_TRUE(folder
                    .save(rig, kModelIc746, "", BackupKind::BeforeStore,
                          now - std::chrono::days(7 * week - 3))
                    .ok());
  }
  for (int m = 1; m <= 60; ++m) {
    ASSERT_TRUE(
        folder.save(rig, kModelIc746, "", BackupKind::BankRead, now + std::chrono::minutes(m))
            .ok());
  }
  std::vector<std::string> stores;
  int reads = 0;
  for (const std::string& name : namesOf(folder.list())) {
    if (name.ends_with("_before-store.txt")) {
      stores.push_back(name);
    } else {
      ++reads;
    }
  }
  EXPECT_EQ(reads, 50);
  // The newest twenty stay, though older ones are past 90 days.
  ASSERT_EQ(stores.size(), kBeforeStoreKept);
  EXPECT_EQ(stores.back(), "IC-746_20240427T101500Z_before-store.txt");

  // A month later the stores of the last 90 days all stay, beyond twenty.
  for (int day = 1; day <= 30; ++day) {
    ASSERT_TRUE(
        folder.save(rig, kModelIc746, "", BackupKind::BeforeStore, now + std::chrono::days(day))
            .ok());
  }
  stores.clear();
  for (const std::string& name : namesOf(folder.list())) {
    if (name.ends_with("_before-store.txt")) stores.push_back(name);
  }
  // 30 daily ones and the weekly ones made within 90 days of the last (the
  // oldest exactly 90 days before it).
  EXPECT_EQ(stores.size(), 30u + 9u);
  EXPECT_EQ(stores.front(), "IC-746_20240302T101500Z_before-store.txt");
}

TEST(RigBackups, NoFolderNoBackup) {
  ChannelTable rig(TableKind::Rig);
  BackupFolder none;
  EXPECT_FALSE(none.enabled());
  EXPECT_FALSE(none.save(rig, kModelIc746, "", BackupKind::BankRead).ok());

  // Without HOME there is no folder, yet backups are wanted: each one fails
  // with the reason.
  ScopedEnv home("HOME", nullptr);
  ScopedEnv data("XDG_DATA_HOME", nullptr);
  const BackupFolder user = BackupFolder::userFolder();
  EXPECT_TRUE(user.enabled());
  EXPECT_NE(user.unusableReason().find("HOME"), std::string::npos) << user.unusableReason();
  BackupFolder copy = user;
  EXPECT_FALSE(copy.save(rig, kModelIc746, "", BackupKind::BankRead).ok());

  // A folder above that cannot be made (sysfs takes none, as a read-only
  // file system would not): the reason is its own, not the missing folder.
  if (std::filesystem::is_directory("/sys/kernel")) {
    BackupFolder locked("/sys/tarnwick-test/tarnwick/backups");
    const std::string why = locked.save(rig, kModelIc746, "", BackupKind::BankRead).error;
    EXPECT_NE(why.find("cannot create /sys/tarnwick-test"), std::string::npos) << why;
    EXPECT_EQ(why.find("No such file or directory"), std::string::npos) << why;
  }
}

}  // namespace
}  // namespace tarnwick
