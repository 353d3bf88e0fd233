#include "files/rig_backups.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "files/memory_list_format.h"
#include "rig/rig_catalogue.h"
#include "tables/table_ops.h"
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

// Sets an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    ::setenv(name, value, 1);
  }
  ~ScopedEnv() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(RigBackups, DefaultFolderFollowsXdgDataHome) {
  ScopedEnv home("HOME", "/home/op");
  {
    ScopedEnv data("XDG_DATA_HOME", "/data/home");
    EXPECT_EQ(defaultBackupFolder(), "/data/home/tarnwick/backups");
  }
  ScopedEnv relative("XDG_DATA_HOME", "relative");  // not absolute: ignored
  EXPECT_EQ(defaultBackupFolder(), "/home/op/.local/share/tarnwick/backups");
}

TEST(RigBackups, TheNewestFiftyStayAndOtherFilesAreLeftAlone) {
  testing::TempFolder dir;
  BackupFolder folder(dir.file("backups"));
  ChannelTable rig(TableKind::Rig);
  rig.setRowCount(3);
  SetColumnHeaders(rig);
  rig.setCell(colName, 1, "FIRST");
  ASSERT_TRUE(folder.save(rig, kModelIc746, "", BackupKind::BankRead, kMay1).ok());
  testing::writeBytes(dir.file("backups/my notes.txt"), "keep");
  testing::writeBytes(dir.file("backups/IC-746_2024.txt"), "keep");

  // Two in the same second, then one a minute for an hour.
  const BackupOutcome same = folder.save(rig, kModelIc746, "", BackupKind::BankRead, kMay1);
  EXPECT_TRUE(same.path.ends_with("/IC-746_20240501T101500Z-2.txt")) << same.path;
  for (int m = 1; m <= 60; ++m) {
    rig.setCell(colName, 1, "M" + std::to_string(m));
    ASSERT_TRUE(folder
                    .save(rig, kModelIc910, "144 MHz", BackupKind::BankRead,
                          kMay1 + std::chrono::minutes(m))
                    .ok());
  }
  const auto kept = folder.list();
  ASSERT_EQ(kept.size(), kBackupsKept);
  EXPECT_EQ(kept.front().filename(), "IC-910_144MHz_20240501T102600Z.txt");
  EXPECT_EQ(kept.back().filename(), "IC-910_144MHz_20240501T111500Z.txt");
  EXPECT_EQ(parseMemoryList(testing::readBytes(kept.back().string()))[1][colName], "M60");
  EXPECT_EQ(testing::readBytes(dir.file("backups/my notes.txt")), "keep");
  EXPECT_EQ(testing::readBytes(dir.file("backups/IC-746_2024.txt")), "keep");
}

TEST(RigBackups, NoFolderNoBackup) {
  ChannelTable rig(TableKind::Rig);
  BackupFolder none;
  EXPECT_FALSE(none.enabled());
  EXPECT_FALSE(none.save(rig, kModelIc746, "", BackupKind::BankRead).ok());
}

}  // namespace
}  // namespace tarnwick
