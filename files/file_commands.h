#pragma once
// Save, Save As and Open of both tables, the start-up load of the permanent
// file and the questions before closing. The window's buttons and menu items
// call these; dialogs and boxes go through FileCommandUi.

#include <string>
#include <string_view>
#include <vector>

#include "files/file_command_ui.h"
#include "files/file_paths.h"
#include "files/file_system.h"
#include "tables/channel_table.h"

namespace tarnwick {

// More lines than any table of channels needs; a file of bare line feeds
// would otherwise make millions of rows.
inline constexpr std::size_t kMaxMemoryListLines = 1'000'000;
inline constexpr std::string_view kTooManyLines = "More than 1,000,000 lines";

// Reads a memory list file into rows, within the bounds above; false with
// the reason when it cannot.
bool readMemoryListFile(FileSystem& fs, const std::string& path, std::vector<ChannelRecord>& rows,
                        std::string& reason);

// "Cannot open file " + path, and the reason on a second line.
std::string openError(const std::string& path, std::string_view reason);
// "Cannot Create file " + path, and the reason on a second line.
std::string createError(const std::string& path, std::string_view reason);

class FileCommands {
 public:
  FileCommands(ChannelTable& permanentTable, ChannelTable& rigTable, FileCommandUi& ui,
               FileSystem& fs = defaultFileSystem());

  // The saved settings "path", "lffn" and "lrfn"; empty values fall back to
  // the user's documents folder and the default file names.
  void applySettings(std::string_view path, std::string_view lffn, std::string_view lrfn,
                     std::string_view documentsFolder);

  // Shared by both tables; after Save As or Open it ends in "/".
  const std::string& dataFolder() const { return dataFolder_; }
  // File names without folder, as the labels above the tables show them.
  const std::string& permanentFileName() const { return permanentFileName_; }
  const std::string& rigFileName() const { return rigFileName_; }
  // The table's current file: its label's name in dataFolder.
  std::string currentFile(const ChannelTable& table) const;

  // Save and Save As return whether the file was written; Open whether a
  // file was read.
  bool save(TableKind which) { return save(table(which)); }
  bool saveAs(TableKind which) { return saveAs(table(which)) == SaveOutcome::Saved; }
  bool open(TableKind which) { return open(table(which)); }

  // Once at start-up: reads the permanent file if it exists, without asking.
  void loadPermanentFile();

  // Offers to save each changed table; false keeps the window open: after an
  // Abort, or when a save the user asked for was cancelled or could not be
  // written.
  bool confirmClose();

 private:
  enum class SaveOutcome { Saved, Cancelled, Failed };

  bool save(ChannelTable& table);
  SaveOutcome saveAs(ChannelTable& table);
  bool open(ChannelTable& table);
  bool openChosen(ChannelTable& table, const std::string& path);
  // The start-up load proper; false when there was no file to take.
  bool readPermanentFile();
  bool write(ChannelTable& table, const std::string& path);
  void setFile(ChannelTable& table, const std::string& path);
  std::string& label(const ChannelTable& table);
  ChannelTable& table(TableKind which) { return which == TableKind::Rig ? rig_ : permanent_; }

  ChannelTable& permanent_;
  ChannelTable& rig_;
  FileCommandUi& ui_;
  FileSystem& fs_;
  std::string dataFolder_;
  std::string permanentFileName_{kDefaultPermanentFileName};
  std::string rigFileName_{kDefaultRigFileName};
};

}  // namespace tarnwick
