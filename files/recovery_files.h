#pragma once
// Tables not saved when the program was ended by a signal (a logout, a
// shutdown, kill): kept as memory list files in a folder of the user's own,
// named for the table and the UTC time, and offered at the next start. A file
// is renamed once the user has answered its box, so that it is offered until
// then and never after; none is removed.

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "files/file_system.h"
#include "tables/channel_table.h"

namespace tarnwick {

// $XDG_STATE_HOME/tarnwick/recovery, by default ~/.local/state/tarnwick/recovery;
// empty when neither variable is set.
std::filesystem::path defaultRecoveryFolder();

struct KeptTable {
  TableKind table = TableKind::PermanentFile;
  std::string path;
};

class RecoveryFolder {
 public:
  explicit RecoveryFolder(std::filesystem::path folder, FileSystem& fs = defaultFileSystem());

  // Writes the table as "permanent-20240501T101500Z.txt" (or "rig-..."),
  // private, never over another file; the path written, or empty with the
  // reason in `error`.
  std::string keep(const ChannelTable& table, std::string& error,
                   std::chrono::system_clock::time_point when = std::chrono::system_clock::now());

  // Kept files not offered yet, oldest first.
  std::vector<KeptTable> pending() const;
  // The free name a pending file takes once offered ("...-offered.txt",
  // else "...-2-offered.txt" and so on): what the box names, as the file is
  // called by the time the user can act on it.
  static std::string offeredPath(const std::string& path);
  // Renames a pending file to its offered name, after the user answered its
  // box; the new path (the old one when it cannot be renamed).
  std::string markOffered(const std::string& path) const;

 private:
  std::filesystem::path folder_;
  FileSystem* fs_;
};

}  // namespace tarnwick
