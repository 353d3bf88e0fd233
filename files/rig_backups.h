#pragma once
// Backups of a radio's memories: memory list files in one folder, named for
// the model, the band (IC-910) and the UTC time, private to the user. Every
// completed bank read is one; so are the memories a store is about to
// overwrite when no backup of them exists yet. Each radio (model and band)
// keeps its newest kReadBackupsKept reads, and its before-store backups for
// kBeforeStoreDaysKept days and at least the newest kBeforeStoreKept, however
// many reads follow. A backup is put back with
// "tarnwick-cli store --in BACKUP --all".

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_system.h"
#include "tables/channel_table.h"

namespace tarnwick {

inline constexpr std::size_t kReadBackupsKept = 50;
inline constexpr std::size_t kBeforeStoreKept = 20;
inline constexpr int kBeforeStoreDaysKept = 90;

// $XDG_DATA_HOME/tarnwick/backups, by default ~/.local/share/tarnwick/backups;
// empty when neither variable is set.
std::filesystem::path defaultBackupFolder();

enum class BackupKind {
  BankRead,     // a whole bank as read
  BeforeStore,  // the memories a store is about to overwrite
};

// "IC-910_430MHz_20240501T101500Z.txt", "IC-746_20240501T101500Z_before-store.txt".
std::string backupFileName(int modelIndex, std::string_view bandText, BackupKind kind,
                           std::chrono::system_clock::time_point when);

struct BackupOutcome {
  std::string path;   // the file written; empty when none was
  std::string error;  // why not
  bool ok() const { return !path.empty(); }
};

class BackupFolder {
 public:
  // An empty folder keeps no backups: the caller chose to go without.
  explicit BackupFolder(std::filesystem::path folder = {}, FileSystem& fs = defaultFileSystem());
  // The user's data folder (defaultBackupFolder). When there is none, backups
  // are still wanted and every one fails, so that nothing is stored unsaved.
  static BackupFolder userFolder();

  const std::filesystem::path& folder() const { return folder_; }
  bool enabled() const { return !folder_.empty() || !missing_.empty(); }

  // Why a backup cannot be written now (no folder, or one that cannot be
  // created or written), or empty. Creates the folder.
  std::string unusableReason() const;

  // Writes the table as a new backup under a name of its own (creating the
  // folder), then removes what the radio's backups of that kind keep no more.
  BackupOutcome save(const ChannelTable& table, int modelIndex, std::string_view bandText,
                     BackupKind kind,
                     std::chrono::system_clock::time_point when = std::chrono::system_clock::now());

  // The backups in the folder, oldest first; other files are not counted.
  std::vector<std::filesystem::path> list() const;

 private:
  void removeExpired(std::chrono::system_clock::time_point now,
                     const std::filesystem::path& justWritten) const;

  std::filesystem::path folder_;
  FileSystem* fs_;
  std::string missing_;  // why there is no folder, when one was wanted
};

// A file name's time stamp, UTC to the second: "20261207T181500Z".
std::string utcStamp(std::chrono::system_clock::time_point when);

}  // namespace tarnwick
