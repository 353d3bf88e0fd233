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

class FileCommands {
 public:
  FileCommands(ChannelTable& sgFile, ChannelTable& sgRig, FileCommandUi& ui,
               FileSystem& fs = defaultFileSystem());

  // The saved settings "path", "lffn" and "lrfn"; empty values fall back to
  // the user's documents folder and the default file names.
  void applySettings(std::string_view path, std::string_view lffn, std::string_view lrfn,
                     std::string_view documentsFolder);

  // Shared by both tables; after Save As or Open it ends in "/".
  const std::string& dataFolder() const { return dataFolder_; }
  // File names without folder, as the labels above the tables show them.
  const std::string& lbFileFilename() const { return lbFileFilename_; }
  const std::string& lbRigFilename() const { return lbRigFilename_; }
  // The table's current file: its label's name in dataFolder.
  std::string currentFile(const ChannelTable& table) const;

  // Permanent file. Save and Save As return whether the file was written;
  // Open whether a file was read.
  bool btFSaveClick() { return save(sgFile_); }
  bool btFSaveAsClick() { return saveAs(sgFile_) == SaveOutcome::Saved; }
  bool btFOpenClick() { return open(sgFile_); }
  // Rig table.
  bool btRSaveClick() { return save(sgRig_); }
  bool btRSaveAsClick() { return saveAs(sgRig_) == SaveOutcome::Saved; }
  bool btROpenClick() { return open(sgRig_); }

  // Once at start-up: reads the permanent file if it exists, without asking.
  void loadPermanentFile();

  // Offers to save each changed table; false keeps the window open: after an
  // Abort, or when a save the user asked for was cancelled or could not be
  // written.
  bool FormCloseQuery();

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

  ChannelTable& sgFile_;
  ChannelTable& sgRig_;
  FileCommandUi& ui_;
  FileSystem& fs_;
  std::string dataFolder_;
  std::string lbFileFilename_{kDefaultPermanentFileName};
  std::string lbRigFilename_{kDefaultRigFileName};
};

}  // namespace tarnwick
