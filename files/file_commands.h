#pragma once
// Save, Save As and Open of both tables, the start-up load of the permanent
// file and the questions before closing. The window's buttons and menu items
// call these; dialogs and boxes go through FileCommandUi.

#include <string>
#include <string_view>
#include <vector>

#include "files/file_base.h"
#include "files/file_command_ui.h"
#include "files/file_paths.h"
#include "files/file_system.h"
#include "files/file_update_lock.h"
#include "tables/channel_table.h"

namespace tarnwick {

// More lines than any table of channels needs; a file of bare line feeds
// would otherwise make millions of rows.
inline constexpr std::size_t kMaxMemoryListLines = 1'000'000;
inline constexpr std::string_view kTooManyLines = "More than 1,000,000 lines";

// Why a reader refuses these bytes as a memory list file (too large, too
// many lines), or empty. Writers check it first: what they write must read
// back.
std::string_view memoryListLimitReason(std::string_view bytes);

// Reads a memory list file into rows, within the bounds above; false with
// the reason when it cannot. `bytes` keeps the file's bytes when given.
bool readMemoryListFile(FileSystem& fs, const std::string& path, std::vector<ChannelRecord>& rows,
                        std::string& reason, std::string* bytes = nullptr);

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

  // Reads `path` into the table as Open does once its questions are answered.
  // With Keep, the rows keep the Changed marks the file holds, so that a
  // tool adding rows to a file leaves the marks of earlier additions.
  enum class Marks { Clear, Keep };
  bool openFile(TableKind which, const std::string& path, Marks marks = Marks::Clear);

  // The radio the rig table's rows came from ("IC-7300", "IC-910 430 MHz"),
  // or empty when not known: a read sets it, Open takes the file's record.
  // Save records it in the file and asks before writing over a file that
  // records another radio.
  // Partial: a read the user stopped left its rows, the memories it did not
  // reach empty; Save asks before writing them over the file.
  enum class Rows { Whole, Partial };
  void setRigRowsRadio(std::string radio, Rows rows = Rows::Whole);
  // The rows just opened were changed (or emptied) to fit `radio`: Save asks
  // before writing them over the file they came from.
  void rigRowsFitted(int rows, std::string radio);
  const std::string& rigRowsRadio() const { return rigRowsRadio_; }

  // Once at start-up: reads the permanent file if it exists, without asking.
  // A file that exists but cannot be read is never written over: the table
  // does not hold it, and its Save asks for another name.
  void loadPermanentFile();

  // The table's file when it could not be read into the table (with the
  // reason), or empty: the table holds its file, or a new one.
  const std::string& unreadableFile(TableKind which) const { return unreadable(table(which)).path; }
  const std::string& unreadableReason(TableKind which) const {
    return unreadable(table(which)).reason;
  }

  // What the status bar shows while a table does not hold its file, or empty:
  // "icommemo.txt not loaded (More than 1,000,000 lines): Save asks for
  // another name".
  std::string fileWarning() const;

  // The table's file is left alone as one that could not be read is, for
  // `reason` ("another window runs on these settings").
  void keepFileReadOnly(TableKind which, std::string reason);

  // How long a save waits for another program saving the permanent file.
  void setLockWait(std::chrono::milliseconds wait) { lockWait_ = wait; }

  // Offers to save each changed table; false keeps the window open: after an
  // Abort, or when a save the user asked for was cancelled or could not be
  // written.
  bool confirmClose();

 private:
  enum class SaveOutcome { Saved, Cancelled, Failed };

  bool save(ChannelTable& table);
  SaveOutcome saveAs(ChannelTable& table);
  bool open(ChannelTable& table);
  bool openChosen(ChannelTable& table, const std::string& path, Marks marks);
  // Before Save writes the rig table over a file recording another radio.
  SaveOverAnswer askBeforeSavingOver(const std::string& path);
  // The start-up load proper; false when there was no file to take.
  bool readPermanentFile();
  struct RowRange {
    int first = 0;
    int count = 0;
  };
  bool write(ChannelTable& table, const std::string& path);
  // The write proper; the rows in `merged` keep their Changed marks.
  bool writeLocked(ChannelTable& table, const std::string& path, RowRange merged);
  // Appends to the permanent table what other programs added to its file
  // since it was read or written, and names them in `merged`; false when the
  // file changed in a way that cannot be read, so that writing would lose it.
  bool keepRowsAddedElsewhere(const std::string& path, RowRange& merged);
  void refuseUnreadable(const ChannelTable& table, const std::string& path);
  void setFile(ChannelTable& table, const std::string& path);
  std::string& label(const ChannelTable& table);
  ChannelTable& table(TableKind which) { return which == TableKind::Rig ? rig_ : permanent_; }
  const ChannelTable& table(TableKind which) const {
    return which == TableKind::Rig ? rig_ : permanent_;
  }

  struct Unreadable {
    std::string path;
    std::string reason;
    bool readOnly = false;  // read, but not to be written: another window runs
  };
  Unreadable& unreadable(const ChannelTable& table) {
    return table.isRig() ? unreadableRig_ : unreadablePermanent_;
  }
  const Unreadable& unreadable(const ChannelTable& table) const {
    return table.isRig() ? unreadableRig_ : unreadablePermanent_;
  }
  void setUnreadable(const ChannelTable& table, Unreadable what);
  // Whether `path` is the table's file that could not be read.
  bool isUnreadableFile(const ChannelTable& table, const std::string& path) const;

  ChannelTable& permanent_;
  ChannelTable& rig_;
  FileCommandUi& ui_;
  FileSystem& fs_;
  std::string dataFolder_;
  std::string permanentFileName_{kDefaultPermanentFileName};
  std::string rigFileName_{kDefaultRigFileName};
  Unreadable unreadablePermanent_;
  Unreadable unreadableRig_;
  FileBase permanentBase_;
  std::string rigRowsRadio_;
  // What Save asks before it writes the rig rows over an existing file, less
  // the file's name and "?"; empty: nothing to ask.
  std::string rigRowsQuestion_;
  std::chrono::milliseconds lockWait_ = kFileLockWait;
};

}  // namespace tarnwick
