#pragma once
// Backups of a radio's memories: memory list files in one folder, named for
// the model, the band (IC-910) and the UTC time. Every completed bank read
// is one; so are the memories a store is about to overwrite when no backup
// of them exists yet. The newest kBackupsKept stay. A backup is put back
// with "tarnwick-cli store --in BACKUP --all".

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "files/file_system.h"
#include "tables/channel_table.h"

namespace tarnwick {

inline constexpr std::size_t kBackupsKept = 50;

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
  // An empty folder keeps no backups.
  explicit BackupFolder(std::filesystem::path folder = {}, FileSystem& fs = defaultFileSystem());

  const std::filesystem::path& folder() const { return folder_; }
  bool enabled() const { return !folder_.empty(); }

  // Writes the table as a new backup (creating the folder), then removes
  // the oldest backups beyond kBackupsKept.
  BackupOutcome save(const ChannelTable& table, int modelIndex, std::string_view bandText,
                     BackupKind kind,
                     std::chrono::system_clock::time_point when = std::chrono::system_clock::now());

  // The backups in the folder, oldest first; other files are not counted.
  std::vector<std::filesystem::path> list() const;

 private:
  std::filesystem::path folder_;
  FileSystem* fs_;
};

}  // namespace tarnwick
